#include "catalogue/RegisterPod.h"
#include "platform/FileSettingsStore.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <set>

namespace vantelo {
namespace {

const char* const Header = "Windows Registry Editor Version 5.00\n\n";
const char* const TypesHeader = "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types]\n";

QByteArray Entry(int number, const char* body)
{
    return QByteArray("\n[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\") +
           QByteArray::number(number) + "]\n" + body;
}

QByteArray FullEntry(int number, int type, int reply, const char* name)
{
    return Entry(number, QStringLiteral("\"Name\"=\"%1\"\n\"BootName\"=\"%1\"\n"
                                        "\"Type\"=dword:%2\n\"Reply\"=dword:%3\n")
                             .arg(QLatin1String(name))
                             .arg(type, 8, 16, QLatin1Char('0'))
                             .arg(reply, 8, 16, QLatin1Char('0'))
                             .toLatin1());
}

class CatalogueStore : public ::testing::Test {
protected:
    QString path() const { return dir.filePath("registry.reg"); }

    void WriteFile(const QByteArray& text)
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QByteArray ReadFile() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // A fresh store on the file, as each program start makes one.
    void Start()
    {
        FileSettingsStore store(path());
        PodTypes = RegisterPod::InitPodTypes(store);
    }

    std::optional<StoreValue> Stored(const std::string& key, std::string_view name)
    {
        FileSettingsStore store(path());
        const auto handle = store.OpenKey(key);
        if (!handle)
            return std::nullopt;
        auto value = store.QueryValue(*handle, name);
        store.CloseKey(*handle);
        return value;
    }

    void ExpectSeedCatalogue()
    {
        ASSERT_EQ(PodTypes.size(), 31u);
        EXPECT_EQ(PodTypes[11].Type, 12);
        EXPECT_EQ(PodTypes[11].Reply, 0xCC);
        EXPECT_EQ(PodTypes[30].Type, 31);
    }

    QTemporaryDir dir;
    PodCatalogue PodTypes;
};

TEST(SeedTable, FollowsTheFamilysNumbering)
{
    const PodCatalogue PodTypes = RegisterPod::LoadDefaultPodTypes();
    ASSERT_EQ(PodTypes.size(), 31u);
    std::set<int> replies;
    for (std::size_t i = 0; i < PodTypes.size(); ++i) {
        const auto& e = PodTypes[i];
        EXPECT_EQ(e.Type, i <= 10 ? i : i + 1) << "index " << i;
        if (i <= 13)
            EXPECT_EQ(e.Reply, (i + 1) * 0x11) << "index " << i;
        else
            EXPECT_TRUE(e.Reply >= 0x15 && e.Reply <= 0x29 && e.Reply != 0x1A &&
                        e.Reply != 0x1B && e.Reply != 0x1F && e.Reply != 0x22)
                << "index " << i;
        replies.insert(e.Reply);
    }
    EXPECT_EQ(replies.size(), 31u) << "identification bytes must differ";

    const auto endsWithBlank = [](const std::string& s) {
        return s.size() >= 2 && s.back() == ' ' && s[s.size() - 2] != ' ';
    };
    EXPECT_EQ(std::count_if(PodTypes.begin(), PodTypes.end(),
                            [&](const PodTypeInfo& e) { return endsWithBlank(e.Name); }),
              29);
    EXPECT_EQ(std::count_if(PodTypes.begin(), PodTypes.end(),
                            [&](const PodTypeInfo& e) { return endsWithBlank(e.BootName); }),
              25);
    for (int i : {11, 15, 16, 18, 22, 23, 24, 26, 28})
        EXPECT_EQ(PodTypes[i].BootName, PodTypes[i].Name) << "index " << i;
    EXPECT_NE(PodTypes[0].BootName, PodTypes[0].Name);
    EXPECT_EQ(PodTypes[7].Name, PodTypes[8].Name);
    EXPECT_NE(PodTypes[7].Name.find("Oxa"), std::string::npos);
    EXPECT_NE(PodTypes[7].BootName, PodTypes[8].BootName);
    EXPECT_NE(PodTypes[12].Name.find("Velim"), std::string::npos);
    EXPECT_NE(PodTypes[12].BootName.find("VELIM"), std::string::npos);
}

TEST(SeedTable, LookupTakesTheFirstMatchingReply)
{
    PodCatalogue PodTypes = RegisterPod::LoadDefaultPodTypes();
    EXPECT_EQ(RegisterPod::FindPodType(PodTypes, 0x22), 1);
    EXPECT_EQ(RegisterPod::FindPodType(PodTypes, 0x88), 7);
    EXPECT_EQ(RegisterPod::FindPodType(PodTypes, 0x99), 8);
    for (std::uint8_t unknown : {0x1F, 0x1A, 0x1B, 0x00})
        EXPECT_FALSE(RegisterPod::FindPodType(PodTypes, unknown));

    PodTypes[20].Reply = 0x22;
    EXPECT_EQ(RegisterPod::FindPodType(PodTypes, 0x22), 1);
    PodTypes.clear();
    EXPECT_FALSE(RegisterPod::FindPodType(PodTypes, 0x22)) << "an empty catalogue finds nothing";
}

TEST_F(CatalogueStore, FirstStartSeedsTheStoreWithoutTerminatingNuls)
{
    Start();
    ExpectSeedCatalogue();
    const auto version = Stored("Software\\Zantor\\Trellins\\Types", "Version");
    ASSERT_TRUE(version);
    EXPECT_EQ(version->type, StoreNumber);
    EXPECT_EQ(version->data, (std::vector<std::uint8_t>{17, 0, 0, 0}));
    for (int i = 0; i <= 30; ++i)
        EXPECT_TRUE(Stored("Software\\Zantor\\Trellins\\Types\\" + std::to_string(i), "Reply"))
            << i;
    const auto name = Stored("Software\\Zantor\\Trellins\\Types\\11", "Name");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->type, StoreText);
    EXPECT_EQ(std::string(name->data.begin(), name->data.end()), PodTypes[11].Name);
    const auto type = Stored("Software\\Zantor\\Trellins\\Types\\11", "Type");
    ASSERT_TRUE(type);
    EXPECT_EQ(type->data, (std::vector<std::uint8_t>{12, 0, 0, 0}));

    // The next start loads what the first one wrote, and leaves the file alone.
    const QByteArray written = ReadFile();
    Start();
    ExpectSeedCatalogue();
    EXPECT_EQ(ReadFile(), written);
}

TEST_F(CatalogueStore, LowerVersionRewritesSeedEntriesAndKeepsOthers)
{
    WriteFile(QByteArray(Header) + TypesHeader + "\"Version\"=dword:00000010\n" +
              FullEntry(3, 99, 0x30, "Hand edited ") + FullEntry(40, 40, 0x31, "Extra "));
    Start();
    ExpectSeedCatalogue();
    EXPECT_EQ(PodTypes[3].Type, 3);

    Start(); // now at version 17: entry 40 is loaded too
    ASSERT_EQ(PodTypes.size(), 41u);
    EXPECT_EQ(PodTypes[3].Name, "Sarn Relay ");
    EXPECT_EQ(RegisterPod::FindPodType(PodTypes, 0x31), 40);
}

TEST_F(CatalogueStore, StoredEntriesGoByTheirNumbers)
{
    // Listed "0", "10", "2", "40": each lands at its own index, gaps stay empty.
    WriteFile(QByteArray(Header) + TypesHeader + "\"Version\"=dword:00000012\n" +
              FullEntry(0, 0, 0x11, "Zero ") + FullEntry(10, 10, 0xBB, "Ten ") +
              FullEntry(2, 2, 0x33, "Two ") + FullEntry(40, 40, 0x30, "Forty "));
    Start();
    ASSERT_EQ(PodTypes.size(), 41u);
    EXPECT_EQ(PodTypes[10].Name, "Ten ");
    EXPECT_EQ(PodTypes[2].Name, "Two ");
    EXPECT_EQ(PodTypes[35].Reply, 0);
    EXPECT_EQ(PodTypes[35].Name, "");
    EXPECT_EQ(RegisterPod::FindPodType(PodTypes, 0x30), 40);
    EXPECT_EQ(RegisterPod::FindPodType(PodTypes, 0x00), 1) << "the first gap matches 0";
}

TEST_F(CatalogueStore, VersionWithoutEntriesGivesOneEmptyEntry)
{
    WriteFile(QByteArray(Header) + TypesHeader + "\"Version\"=dword:00000011\n");
    Start();
    ASSERT_EQ(PodTypes.size(), 1u);
    EXPECT_EQ(PodTypes[0].Reply, 0);
    EXPECT_EQ(PodTypes[0].Name, "");
}

TEST_F(CatalogueStore, ReadingAnEntryStopsAtItsFirstUnusableValue)
{
    WriteFile(QByteArray(Header) + TypesHeader + "\"Version\"=dword:00000011\n" +
              Entry(5, "\"Type\"=dword:00000005\n\"Reply\"=\"text\"\n\"Name\"=\"N\"\n") +
              Entry(6, "\"Type\"=dword:00000100\n\"Reply\"=dword:00000066\n") +
              Entry(7, "\"Type\"=dword:00000007\n\"Reply\"=dword:00000077\n\"Name\"=\"Seven \"\n"
                       "\"BootName\"=hex(1):41,00\n") +
              Entry(8, "\"Type\"=hex:08,00,00,00\n") +
              Entry(9, "\"Type\"=dword:00000009\n\"Reply\"=dword:00000199\n"));
    Start();
    ASSERT_EQ(PodTypes.size(), 10u);
    EXPECT_EQ(PodTypes[5].Type, 5);
    EXPECT_EQ(PodTypes[5].Reply, 0);
    EXPECT_EQ(PodTypes[5].Name, "");
    EXPECT_EQ(PodTypes[6].Type, 0) << "a type above 255 is refused";
    EXPECT_EQ(PodTypes[6].Reply, 0);
    EXPECT_EQ(PodTypes[7].Name, "Seven ");
    EXPECT_EQ(PodTypes[7].BootName, "A") << "texts are cut at their first NUL";
    EXPECT_EQ(PodTypes[8].Type, 0) << "a number stored as binary is refused";
    EXPECT_EQ(PodTypes[9].Type, 9);
    EXPECT_EQ(PodTypes[9].Reply, 0) << "a reply above 255 is refused";
}

TEST_F(CatalogueStore, OddSubKeyNamesAreSkipped)
{
    WriteFile(QByteArray(Header) + TypesHeader + "\"Version\"=dword:00000011\n" +
              FullEntry(1, 1, 0x22, "One ") +
              "\n[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\abc]\n"
              "\"Type\"=dword:00000063\n\"Reply\"=dword:00000063\n"
              "\n[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\-1]\n"
              "\"Type\"=dword:00000063\n"
              "\n[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\32768]\n"
              "\"Type\"=dword:00000063\n"
              "\n[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\99999999999]\n"
              "\"Type\"=dword:00000063\n"
              "\n[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\01]\n"
              "\"Type\"=dword:00000063\n");
    Start();
    ASSERT_EQ(PodTypes.size(), 2u);
    EXPECT_EQ(PodTypes[0].Type, 0);
    EXPECT_EQ(PodTypes[1].Type, 1);

    WriteFile(QByteArray(Header) + TypesHeader + "\"Version\"=dword:00000011\n" +
              FullEntry(32767, 3, 0x44, "Last "));
    Start();
    ASSERT_EQ(PodTypes.size(), 32768u) << "the highest index the catalogue can hold";
    EXPECT_EQ(RegisterPod::FindPodType(PodTypes, 0x44), 32767);
}

TEST_F(CatalogueStore, UnusableVersionIsRepairedWithTheSeed)
{
    for (const char* version : {"", "\"Version\"=\"17\"\n", "\"Version\"=hex:11,00,00\n",
                                "\"Version\"=hex(4):11,00,00,00,00\n"}) {
        WriteFile(QByteArray(Header) + TypesHeader + version + FullEntry(40, 40, 0x30, "Kept "));
        Start();
        ExpectSeedCatalogue();
        const auto stored = Stored("Software\\Zantor\\Trellins\\Types", "Version");
        ASSERT_TRUE(stored) << version;
        EXPECT_EQ(stored->type, StoreNumber) << version;
        EXPECT_TRUE(Stored("Software\\Zantor\\Trellins\\Types\\40", "Reply")) << version;
    }
}

// Passes everything to the file store and records the names of the values set.
struct RecordingStore final : SettingsStore {
    explicit RecordingStore(const QString& path) : file(path) {}
    std::optional<StoreKey> OpenKey(std::string_view p) override { return file.OpenKey(p); }
    std::optional<StoreKey> OpenKeyForListing(std::string_view p) override
    {
        return file.OpenKeyForListing(p);
    }
    std::optional<std::string> EnumKey(StoreKey k, std::uint32_t i) override
    {
        return file.EnumKey(k, i);
    }
    std::optional<StoreValue> QueryValue(StoreKey k, std::string_view n) override
    {
        return file.QueryValue(k, n);
    }
    std::optional<StoreKey> CreateKey(std::string_view p) override { return file.CreateKey(p); }
    bool SetValue(StoreKey k, std::string_view n, std::uint32_t t,
                  std::span<const std::uint8_t> d) override
    {
        names.emplace_back(n);
        return file.SetValue(k, n, t, d);
    }
    void CloseKey(StoreKey k) override { file.CloseKey(k); }

    FileSettingsStore file;
    std::vector<std::string> names;
};

TEST_F(CatalogueStore, VersionIsWrittenLastSoAnInterruptedSeedIsRepaired)
{
    RecordingStore store(path());
    PodTypes = RegisterPod::InitPodTypes(store);
    ASSERT_EQ(store.names.size(), 31u * 4 + 1);
    EXPECT_EQ(store.names.back(), "Version");

    // What a start cut off before the version leaves: the next start seeds again.
    WriteFile(QByteArray(Header) + FullEntry(0, 0, 0x11, "Partial "));
    Start();
    ExpectSeedCatalogue();
    EXPECT_EQ(PodTypes[0].Name, "Lumo Basic ");
}

TEST_F(CatalogueStore, UnwritableStoreStillGivesTheSeed)
{
    QFile blocker(dir.filePath("not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    FileSettingsStore store(dir.filePath("not-a-folder/registry.reg"));
    PodTypes = RegisterPod::InitPodTypes(store);
    ExpectSeedCatalogue();
}

TEST_F(CatalogueStore, UnparsableStoreIsUsedAsSeedAndLeftAlone)
{
    const QByteArray broken = QByteArray(Header) + TypesHeader + "\"Version\"=dword:zz\n";
    WriteFile(broken);
    ::testing::internal::CaptureStderr();
    Start();
    const std::string errors = ::testing::internal::GetCapturedStderr();
    ExpectSeedCatalogue();
    EXPECT_EQ(ReadFile(), broken);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find(path().toStdString()), std::string::npos) << errors;
    EXPECT_NE(errors.find("4"), std::string::npos) << "names the line: " << errors;
}

} // namespace
} // namespace vantelo
