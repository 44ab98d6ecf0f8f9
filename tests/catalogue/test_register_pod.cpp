#include "catalogue/RegisterPod.h"
#include "platform/FileSettingsStore.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace vantelo {
namespace {

using RegisterPod::FindPodType;
using Row = std::tuple<int, int, std::string, std::string>; // Type, Reply, Name, BootName
using Typed = std::pair<std::uint32_t, std::vector<std::uint8_t>>;
const std::string Types = R"(Software\Zantor\Trellins\Types)";

std::string Key(const std::string& sub)
{
    return "\n[HKEY_LOCAL_MACHINE\\" + Types + (sub.empty() ? "" : "\\" + sub) + "]\n";
}

// The store file: its header and the key with its version, when given.
std::string Store(const std::string& version)
{
    const std::string header = "Windows Registry Editor Version 5.00\n";
    return header + Key("") + (version.empty() ? "" : "\"Version\"=" + version + "\n");
}

std::vector<Row> Rows(const PodCatalogue& types)
{
    std::vector<Row> rows;
    for (const auto& e : types)
        rows.emplace_back(e.Type, e.Reply, e.Name, e.BootName);
    return rows;
}

class Catalogue : public testing::Test {
protected:
    QString Path() const { return dir_.filePath("registry.reg"); }

    void Write(const std::string& text)
    {
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
    }

    std::string Read() const
    {
        QFile file(Path());
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<none>";
    }

    // A fresh store on the file, as each program start makes one.
    PodCatalogue Start()
    {
        FileSettingsStore store(Path());
        return RegisterPod::InitPodTypes(store);
    }

    QTemporaryDir dir_;
};

TEST_F(Catalogue, VersionDecidesWhetherTheSeedIsWrittenOrTheStoreLoaded)
{
    enum Outcome { Seeded, Loaded, Unparsable };
    const std::string kept = Key("40") + "\"Type\"=dword:28\n\"Reply\"=dword:30\n";
    // The file (none: no file), what the first start does, how many entries the next one finds.
    const std::tuple<std::optional<std::string>, Outcome, std::size_t> rows[] = {
        {std::nullopt, Seeded, 31}, {Store("") + kept, Seeded, 41},
        {Store("\"17\"") + kept, Seeded, 41}, {Store("hex(4):11,00,00") + kept, Seeded, 41},
        {Store("dword:ffffffff") + kept, Seeded, 41}, {Store("dword:10") + kept, Seeded, 41},
        {Store("dword:11") + kept, Loaded, 41}, {Store("dword:12") + kept, Loaded, 41},
        {Store("dword:11"), Loaded, 1}, {Store("dword:zz") + kept, Unparsable, 31}};
    const PodCatalogue seed = RegisterPod::LoadDefaultPodTypes();
    for (const auto& [file, outcome, next] : rows) {
        SCOPED_TRACE(file.value_or("no file"));
        QFile::remove(Path());
        if (file)
            Write(*file);
        testing::internal::CaptureStderr();
        const PodCatalogue first = Start();
        const std::string errors = testing::internal::GetCapturedStderr();
        const std::string stored = Read();
        PodCatalogue expected(next);
        if (outcome != Loaded)
            std::copy(seed.begin(), seed.end(), expected.begin());
        if (next == 41)
            expected[40] = {40, 0x30, "", ""};
        EXPECT_EQ(Rows(first), Rows(outcome == Loaded ? expected : seed));
        EXPECT_EQ(Rows(Start()), Rows(expected));
        EXPECT_EQ(stored == file.value_or("<none>"), outcome != Seeded);
        EXPECT_EQ(std::ranges::count(errors, '\n'), outcome == Unparsable ? 1 : 0) << errors;
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
        {"10", t7 + r + "\"Name\"=hex(1):4e,00,4f\n\"BootName\"=hex(1):42,00\n",
            {7, 0x66, "N", "B"}},
        {"32767", good, {7, 0x99, "N", "B"}},
        {"32768", good, {}}, {"01", good, {}}, {"-1", good, {}}, {"abc", good, {}},
        {"1x", good, {}}, {"99999999999", good, {}}};
    std::string text = Store("dword:11");
    std::vector<Row> expected(32768, Row{});
    for (const auto& [subKey, values, read] : rows) {
        text += Key(subKey) + values;
        if (read != Row{}) // a sub-key skipped, or an entry left empty
            expected[std::stoul(subKey)] = read;
    }
    Write(text);
    const PodCatalogue types = Start();
    EXPECT_EQ(Rows(types), expected);
    // The pod type that answers with a reply is the first entry with it.
    EXPECT_EQ(FindPodType(types, 0x66), 0);
    EXPECT_EQ(FindPodType(types, 0), 1);
    EXPECT_EQ(FindPodType(types, 0x99), 32767);
    EXPECT_EQ(FindPodType(types, 0x98), std::nullopt);
}

// Holds nothing, as a store seen for the first time, and records what is written.
struct RecordingStore final : SettingsStore {
    std::optional<StoreKey> OpenKey(std::string_view) override { return {}; }
    std::optional<StoreKey> OpenKeyForListing(std::string_view) override { return {}; }
    std::optional<std::string> EnumKey(StoreKey, std::uint32_t) override { return {}; }
    std::optional<StoreValue> QueryValue(StoreKey, std::string_view) override { return {}; }
    std::optional<StoreKey> CreateKey(std::string_view path) override
    {
        keys.emplace_back(path);
        return keys.size();
    }
    bool SetValue(StoreKey key, std::string_view name, std::uint32_t type,
        std::span<const std::uint8_t> data) override
    {
        written.emplace_back(
            keys.at(key - 1) + ":" + std::string(name), Typed{type, {data.begin(), data.end()}});
        return true;
    }
    void CloseKey(StoreKey) override { }

    std::vector<std::string> keys;
    std::vector<std::pair<std::string, Typed>> written;
};

TEST(Seed, IsWrittenLittleEndianWithoutNulsAndTheVersionLast)
{
    RecordingStore store;
    const PodCatalogue seed = RegisterPod::LoadDefaultPodTypes();
    EXPECT_EQ(Rows(RegisterPod::InitPodTypes(store)), Rows(seed));
    ASSERT_EQ(store.written.size(), seed.size() * 4 + 1);
    EXPECT_EQ(store.written.back(),
        std::pair(Types + ":Version", Typed{StoreNumber, {17, 0, 0, 0}}));
    std::map<std::string, Typed> values(store.written.begin(), store.written.end());
    EXPECT_EQ(values.size(), store.written.size()) << "each value is written once";
    const auto text = [](const std::string& s) { return Typed{StoreText, {s.begin(), s.end()}}; };
    for (std::size_t i = 0; i < seed.size(); ++i) {
        const std::string key = Types + "\\" + std::to_string(i) + ":";
        EXPECT_EQ(values[key + "Type"], (Typed{StoreNumber, {seed[i].Type, 0, 0, 0}}));
        EXPECT_EQ(values[key + "Reply"], (Typed{StoreNumber, {seed[i].Reply, 0, 0, 0}}));
        EXPECT_EQ(values[key + "Name"], text(seed[i].Name));
        EXPECT_EQ(values[key + "BootName"], text(seed[i].BootName));
    }
}

} // namespace
} // namespace vantelo
