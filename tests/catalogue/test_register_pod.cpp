#include "support/Files.h"
#include "support/SeedCodes.h"

#include "catalogue/RegisterPod.h"
#include "platform/store/FileSettingsStore.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace vantelo {
namespace {

using RegisterPod::FindPodType;
using testing::ReadFile;
using Row = std::tuple<int, int, std::string, std::string>; // Type, Reply, Name, BootName
const std::string Types(RegisterPod::TypesKey);

std::string Key(const std::string& sub)
{
    return "\n[HKEY_LOCAL_MACHINE\\" + Types + (sub.empty() ? "" : "\\" + sub) + "]\n";
}

// The store file: its header and the key with its version, when given.
std::string Store(const std::string& version)
{
    return "Windows Registry Editor Version 5.00\n" + Key("") +
           (version.empty() ? "" : "\"Version\"=" + version + "\n");
}

std::vector<Row> Rows(const PodCatalogue& types)
{
    std::vector<Row> rows;
    for (const auto& e : types)
        rows.emplace_back(e.Type, e.Reply, e.Name, e.BootName);
    return rows;
}

// Notes the names of the values written, in order, into the store behind it.
struct WriteLog final : SettingsStore {
    explicit WriteLog(SettingsStore& store) : s(store) {}
    std::optional<StoreKey> OpenKey(std::string_view p) override { return s.OpenKey(p); }
    std::optional<StoreKey> OpenKeyForListing(std::string_view p) override { return s.OpenKeyForListing(p); }
    std::optional<std::string> EnumKey(StoreKey k, std::uint32_t i) override { return s.EnumKey(k, i); }
    std::optional<StoreValue> QueryValue(StoreKey k, std::string_view n) override { return s.QueryValue(k, n); }
    std::optional<StoreKey> CreateKey(std::string_view p) override { return s.CreateKey(p); }
    bool SetValue(StoreKey k, std::string_view n, std::uint32_t t, std::span<const std::uint8_t> d) override
    {
        names.emplace_back(n);
        return s.SetValue(k, n, t, d);
    }
    void CloseKey(StoreKey k) override { s.CloseKey(k); }

    SettingsStore& s;
    std::vector<std::string> names;
};

class Catalogue : public ::testing::Test {
protected:
    QString Path() const { return dir_.filePath("registry.reg"); }

    // A fresh store on the file, as each program start makes one.
    PodCatalogue Start()
    {
        FileSettingsStore file(Path());
        WriteLog store(file);
        const PodCatalogue types = RegisterPod::InitPodTypes(store);
        written = store.names;
        return types;
    }

    QTemporaryDir dir_;
    std::vector<std::string> written;
};

// Seeding writes every entry's four values, as numbers and quoted texts, and
// the version last, so that a start cut short seeds again.
TEST_F(Catalogue, VersionDecidesWhetherTheSeedIsWrittenOrTheStoreLoaded)
{
    enum Outcome { Seeded, Loaded, Unparsable };
    const std::string kept = Key("40") + "\"Type\"=dword:28\n\"Reply\"=dword:30\n";
    // The file (none: no file), what the first start does, how many entries the next one finds.
    // clang-format off
    const std::tuple<std::optional<std::string>, Outcome, std::size_t> rows[] = {
        {std::nullopt, Seeded, 31}, {Store("") + kept, Seeded, 41},
        {Store("\"17\"") + kept, Seeded, 41}, {Store("hex(4):11,00,00") + kept, Seeded, 41},
        {Store("dword:ffffffff") + kept, Seeded, 41}, {Store("dword:10") + kept, Seeded, 41},
        {Store("dword:11") + kept, Loaded, 41}, {Store("dword:12") + kept, Loaded, 41},
        {Store("dword:11"), Loaded, 1}, {Store("dword:zz") + kept, Unparsable, 31}};
    // clang-format on
    const PodCatalogue seed = Start();
    testing::ExpectSeed(seed);
    for (const auto& [file, outcome, next] : rows) {
        SCOPED_TRACE(file.value_or("no file"));
        QFile::remove(Path());
        ASSERT_TRUE(!file || testing::WriteFile(Path(), *file));
        ::testing::internal::CaptureStderr();
        const PodCatalogue first = Start();
        const std::string errors = ::testing::internal::GetCapturedStderr();
        const std::string stored = ReadFile(Path());
        const auto writes = written;
        PodCatalogue expected(next);
        if (outcome != Loaded)
            std::copy(seed.begin(), seed.end(), expected.begin());
        if (next == 41)
            expected[40] = {40, 0x30, "", ""};
        EXPECT_EQ(Rows(first), Rows(outcome == Loaded ? expected : seed));
        EXPECT_EQ(Rows(Start()), Rows(expected));
        EXPECT_EQ(stored == file.value_or("<none>"), outcome != Seeded);
        EXPECT_EQ(std::ranges::count(errors, '\n'), outcome == Unparsable ? 1 : 0) << errors;
        if (outcome == Seeded) {
            EXPECT_EQ(stored.find("hex"), std::string::npos);
            ASSERT_EQ(writes.size(), 31 * 4 + 1u);
            EXPECT_EQ(writes.back(), "Version");
            EXPECT_EQ(std::ranges::count(writes, std::string("Version")), 1);
        }
    }
}

// Entries go by their sub-key's number; reading one stops at its first unusable value.
TEST_F(Catalogue, EntriesAreReadUpToTheirFirstUnusableValue)
{
    const std::string t7 = "\"Type\"=dword:7\n", r = "\"Reply\"=dword:66\n";
    const std::string names = "\"Name\"=\"N\"\n\"BootName\"=\"B\"\n", n255(255, 'n');
    const std::string good = t7 + "\"Reply\"=dword:99\n" + names;
    // The sub-key, its values, and the entry read from them.
    const std::tuple<std::string, std::string, Row> rows[] = {
        {"0", "\"Type\"=dword:ff\n" + r + names, {0xFF, 0x66, "N", "B"}},
        {"1", "\"Type\"=dword:100\n" + r + names, {0, 0, "", ""}},
        {"2", "\"Type\"=hex:07,00,00,00\n" + r + names, {0, 0, "", ""}},
        {"3", "\"Type\"=hex(4):07,00,00\n" + r + names, {0, 0, "", ""}},
        {"4", t7 + "\"Reply\"=dword:100\n" + names, {7, 0, "", ""}},
        {"5", t7 + names, {7, 0, "", ""}},
        {"6", t7 + r + "\"Name\"=\"" + n255 + "\"\n\"BootName\"=\"B\"\n", {7, 0x66, n255, "B"}},
        {"7", t7 + r + "\"Name\"=\"" + n255 + "n\"\n\"BootName\"=\"B\"\n", {7, 0x66, "", ""}},
        {"8", t7 + r + "\"Name\"=\"\"\n\"BootName\"=\"B\"\n", {7, 0x66, "", ""}},
        {"9", t7 + r + "\"Name\"=hex(2):4e,00\n\"BootName\"=\"B\"\n", {7, 0x66, "", ""}},
        {"10", t7 + r + "\"Name\"=hex(1):4e,00,4f\n\"BootName\"=hex(1):42,00\n", {7, 0x66, "N", "B"}},
        {"32767", good, {7, 0x99, "N", "B"}},
        {"32768", good, {}},
        {"01", good, {}},
        {"-1", good, {}},
        {"abc", good, {}},
        {"1x", good, {}},
        {"99999999999", good, {}}};
    std::string text = Store("dword:11");
    std::vector<Row> expected(32768, Row{});
    for (const auto& [subKey, values, read] : rows) {
        text += Key(subKey) + values;
        if (read != Row{}) // a sub-key skipped, or an entry left empty
            expected[std::stoul(subKey)] = read;
    }
    ASSERT_TRUE(testing::WriteFile(Path(), text));
    const PodCatalogue types = Start();
    EXPECT_EQ(Rows(types), expected);
    // The pod type that answers with a reply is the first entry with it.
    EXPECT_EQ(FindPodType(types, 0x66), 0);
    EXPECT_EQ(FindPodType(types, 0), 1);
    EXPECT_EQ(FindPodType(types, 0x99), 32767);
    EXPECT_EQ(FindPodType(types, 0x98), std::nullopt);
}

} // namespace
} // namespace vantelo
