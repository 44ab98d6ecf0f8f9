#include "platform/FileSettingsStore.h"
#include "platform/RegFile.h"
#include "platform/StoreLocation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

namespace vantelo {
namespace {

constexpr const char* Types = R"(Software\Zantor\Trellins\Types)";

std::span<const std::uint8_t> AsBytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::vector<std::uint8_t> Data(std::string_view text)
{
    const auto bytes = AsBytes(text);
    return {bytes.begin(), bytes.end()};
}

std::vector<std::uint8_t> Number(std::uint32_t n)
{
    return {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
            static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
}

std::string ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll().toStdString();
}

void WriteFile(const QString& path, std::string_view bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())),
              static_cast<qint64>(bytes.size()));
}

// UTF-16LE with a byte order mark, as the Windows registry editor exports.
std::string Utf16LeWithBom(std::string_view utf8)
{
    std::string out = "\xFF\xFE";
    for (const char16_t unit :
         QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toStdU16String()) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
    return out;
}

std::optional<StoreValue> Query(SettingsStore& store, std::string_view key, std::string_view name)
{
    const auto handle = store.OpenKey(key);
    if (!handle)
        return std::nullopt;
    auto value = store.QueryValue(*handle, name);
    store.CloseKey(*handle);
    return value;
}

void Set(SettingsStore& store, std::string_view key, std::string_view name, std::uint32_t type,
         const std::vector<std::uint8_t>& data)
{
    const auto handle = store.CreateKey(key);
    ASSERT_TRUE(handle);
    EXPECT_TRUE(store.SetValue(*handle, name, type, data));
    store.CloseKey(*handle);
}

MATCHER_P2(IsValue, type, data, "")
{
    return arg && arg->type == static_cast<std::uint32_t>(type) && arg->data == data;
}

class FileStoreTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString Path(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
};

// ---- Reading the file ----

TEST(RegFileParse, ReportsTheLineAtFault)
{
    const std::string header = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\K]\n";
    const struct {
        std::string text;
        int line;
    } cases[] = {
        {"", 1},
        {"REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\K]\n", 1},
        {"\n\nWindows Registry Editor Version 5.0\n", 3},
        {"Windows Registry Editor Version 5.00\n\"a\"=dword:1\n", 2},
        {"Windows Registry Editor Version 5.00\n[-HKEY_LOCAL_MACHINE\\K]\n", 2},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\K\\]\n", 2},
        {"Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\K\n", 2},
        {header + "\"a\"=dword:123456789\n", 4},
        {header + "\"a\"=dword:\n", 4},
        {header + "\"a\"=dword:12x\n", 4},
        {header + "\"a\"=hex:01,2g\n", 4},
        {header + "\"a\"=hex:01,,02\n", 4},
        {header + "\"a\"=hex:01,\n", 4},
        {header + "\"a\"=hex(7:00\n", 4},
        {header + "\"a\"=hex(123456789):00\n", 4},
        {header + "\"a\"=qword:00\n", 4},
        {header + "\"a\"=-\n", 4},
        {header + "\"a\"=\"open\n", 4},
        {header + "\"a\"=\"x\\n\"\n", 4},
        {header + "\"a\"=\"x\" y\n", 4},
        {header + "\"a\"dword:1\n", 4},
        {header + "a=dword:1\n", 4},
        {header + "\"ok\"=dword:1\n\"a\"=hex:01,\\\n", 5},
        {header + "\"ok\"=dword:1\n\"a\"=\"\xC3(\"\n", 5},
        {header + "\"ok\"=dword:1\n\"a\"=\"\xC0\xAF\"\n", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto result = ParseRegFile(AsBytes(c.text));
        ASSERT_TRUE(std::holds_alternative<RegParseError>(result));
        EXPECT_EQ(std::get<RegParseError>(result).line, c.line);
    }
}

TEST(RegFileParse, ReportsBrokenUtf16OnItsLine)
{
    const std::string good = Utf16LeWithBom("Windows Registry Editor Version 5.00\r\n\r\n");
    const std::string loneSurrogate = good + std::string("\x00\xD8\x41\x00", 4);
    const std::string oddLength = good + "A";
    for (const auto& text : {loneSurrogate, oddLength}) {
        const auto result = ParseRegFile(AsBytes(text));
        ASSERT_TRUE(std::holds_alternative<RegParseError>(result));
        EXPECT_EQ(std::get<RegParseError>(result).line, 3);
    }
}

TEST(RegFileParse, JoinsHexListsContinuedOnFollowingLines)
{
    const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_LOCAL_MACHINE\\K]\r\n"
                             "\"Blob\"=hex:00,01,02,\\\r\n"
                             "  03,04\r\n"
                             "\"A rather long value name\"=hex(7):\\\r\n"
                             "  41,00,\\\r\n"
                             "  00,00\r\n"
                             "\"After\"=dword:1\r\n";
    const auto result = ParseRegFile(AsBytes(text));
    ASSERT_TRUE(std::holds_alternative<RegTree>(result));
    const auto& values = std::get<RegTree>(result).at("HKEY_LOCAL_MACHINE\\K");
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].value.data, (std::vector<std::uint8_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(values[1].value.type, 7u);
    EXPECT_EQ(values[1].value.data, (std::vector<std::uint8_t>{0x41, 0, 0, 0}));
    EXPECT_EQ(values[2].value.data, Number(1));
}

TEST_F(FileStoreTest, ReadsEveryEncodingTheEditorWrites)
{
    const std::string content = "\r\nWindows Registry Editor Version 5.00\r\n\r\n"
                                "; written by hand\r\n"
                                "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\0]\r\n"
                                "\"Name\"=\"Z\xC3\xBCrich \xE2\x82\xAC\"\r\n"
                                "\"Type\"=dword:0000001F\r\n";
    const struct {
        const char* label;
        std::string bytes;
    } files[] = {
        {"utf-16le", Utf16LeWithBom(content)},
        {"utf-8 bom", "\xEF\xBB\xBF" + content},
        {"utf-8 lf", QString::fromStdString(content).remove('\r').toStdString()},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.label);
        WriteFile(Path("registry.reg"), f.bytes);
        FileSettingsStore store(Path("registry.reg"));
        const std::string key = std::string(Types) + "\\0";
        EXPECT_THAT(Query(store, key, "Name"),
                    IsValue(StoreText, Data("Z\xC3\xBCrich \xE2\x82\xAC")));
        EXPECT_THAT(Query(store, key, "Type"), IsValue(StoreNumber, Number(0x1F)));
        // Reading alone leaves the file as it was written.
        EXPECT_EQ(ReadFile(Path("registry.reg")), f.bytes);
    }
}

TEST_F(FileStoreTest, ListsSubKeysInRegistryOrder)
{
    WriteFile(Path("registry.reg"),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\2]\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\10]\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\b]\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\1\\Sub]\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\0]\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\A]\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\1]\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\11]\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\B\\Deeper]\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\3\\Only\\Deep]\n");
    FileSettingsStore store(Path("registry.reg"));
    const auto types = store.OpenKeyForListing(Types);
    ASSERT_TRUE(types);
    std::vector<std::string> names;
    for (std::uint32_t i = 0; i < 20; ++i) {
        if (auto name = store.EnumKey(*types, i))
            names.push_back(*name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"0", "1", "10", "11", "2", "3", "A", "b"}));

    // A key only implied by one below it exists, holds no values and lists its child.
    const auto implied = store.OpenKey(std::string(Types) + "\\3");
    ASSERT_TRUE(implied);
    EXPECT_EQ(store.QueryValue(*implied, "Name"), std::nullopt);
    EXPECT_EQ(store.EnumKey(*implied, 0), "Only");
    EXPECT_EQ(store.EnumKey(*implied, 1), std::nullopt);
    EXPECT_FALSE(store.OpenKey(std::string(Types) + "\\4"));
    EXPECT_FALSE(store.OpenKey(std::string(Types) + "\\3\\Onl"));
}

// ---- Writing the file ----

TEST_F(FileStoreTest, SavesOnCloseInTheEditorFormatAndReadsItBack)
{
    const QString path = Path("etc/vantelo/registry.reg");
    {
        FileSettingsStore store(path);
        EXPECT_FALSE(store.OpenKey(Types));
        const std::string entry = std::string(Types) + "\\0";
        Set(store, entry, "Name", StoreText, Data("Some Name"));
        Set(store, entry, "BootName", StoreText, Data("Other "));
        Set(store, entry, "Type", StoreNumber, Number(0));
        Set(store, entry, "Reply", StoreNumber, Number(0x11));
        // The registry matches names without regard to case: this replaces.
        Set(store, R"(software\zantor\trellins\types\0)", "name", StoreText, Data("Some Name "));
        Set(store, Types, "Version", StoreNumber, Number(0x11));
    }
    EXPECT_EQ(ReadFile(path), "Windows Registry Editor Version 5.00\n\n"
                              "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types]\n"
                              "\"Version\"=dword:00000011\n\n"
                              "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\0]\n"
                              "\"Name\"=\"Some Name \"\n"
                              "\"BootName\"=\"Other \"\n"
                              "\"Type\"=dword:00000000\n"
                              "\"Reply\"=dword:00000011\n\n");
    EXPECT_EQ(
        QDir(Path("etc/vantelo")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList{"registry.reg"});

    FileSettingsStore reread(path);
    EXPECT_THAT(Query(reread, std::string(Types) + "\\0", "Name"),
                IsValue(StoreText, Data("Some Name ")));
    EXPECT_THAT(Query(reread, Types, "Version"), IsValue(StoreNumber, Number(0x11)));
}

TEST_F(FileStoreTest, KeepsEveryForeignKeyAndValueByteForByte)
{
    const std::string before = R"reg(Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Other]
@="default"
"Pa\\th \"q\""="C:\\Program Files\\\"Q\" "
"Expand"=hex(2):25,00,41,00,00,00
"Multi"=hex(7):61,00,00,00,00,00
"Quad"=hex(b):01,02,03,04,05,06,07,08
"None"=hex(0):
"Empty"=hex:
"Short"=hex(4):01,02
"Nul"=hex(1):61,00,62
"Odd"=hex(ffffffff):ff
"Big"=dword:ffffffff

[HKEY_LOCAL_MACHINE\Software\Zantor\Trellins\Types]
"Version"=dword:00000011

[HKEY_LOCAL_MACHINE\Software\Zantor\Trellins\Types\1]
"Name"="Pod "

[HKEY_LOCAL_MACHINE\Software\Zantor\Trellins\Types\1\Extra]
"Note"="ünïcödé"

[HKEY_LOCAL_MACHINE\Software\Zantor\Trellins\Types\10]
"Name"="Ten"

)reg";
    const std::string after = R"reg([HKEY_LOCAL_MACHINE\SYSTEM\Other]
"Blob"=hex:de,ad,be,ef

)reg";
    const std::string added = "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\2]\n"
                              "\"Name\"=\"Two\"\n\n";
    const QString path = Path("registry.reg");
    WriteFile(path, before + after);
    {
        FileSettingsStore store(path);
        EXPECT_THAT(Query(store, R"(Software\Zantor\Trellins\Types\1\Extra)", "Note"),
                    IsValue(StoreText, Data("ünïcödé")));
        Set(store, std::string(Types) + "\\2", "Name", StoreText, Data("Two"));
    }
    EXPECT_EQ(ReadFile(path), before + added + after);

    const auto tree = std::get<RegTree>(ParseRegFile(AsBytes(before)));
    const auto& other = tree.at(R"(HKEY_CURRENT_USER\Software\Other)");
    EXPECT_THAT(FindValue(other, "pa\\TH \"Q\""),
                IsValue(StoreText, Data("C:\\Program Files\\\"Q\" ")));
    EXPECT_THAT(FindValue(other, ""), IsValue(StoreText, Data("default")));
}

TEST_F(FileStoreTest, ValuesTheTextFormCannotHoldSurviveAReload)
{
    const QString path = Path("registry.reg");
    const std::string key = std::string(Types) + "\\0";
    const struct {
        const char* name;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    } values[] = {
        {"Lines", StoreText, Data("one\r\ntwo\nthree")},
        {"Nul", StoreText, {'a', 0, 'b', 0}},
        {"Latin1", StoreText, {'Z', 0xFC, 'r'}},
        {"Quote", StoreText, Data("\\\"")},
        {"Short", StoreNumber, {1, 2, 3}},
        {"Long", StoreNumber, {1, 2, 3, 4, 5}},
        {"Nothing", 0, {}},
        {"Bytes", StoreBinary, {0, 0xFF, 0x10}},
    };
    {
        FileSettingsStore store(path);
        for (const auto& v : values)
            Set(store, key, v.name, v.type, v.data);
    }
    FileSettingsStore reread(path);
    for (const auto& v : values) {
        SCOPED_TRACE(v.name);
        EXPECT_THAT(Query(reread, key, v.name), IsValue(v.type, v.data));
    }
}

// ---- Files that are not ours to write ----

TEST_F(FileStoreTest, UnparseableFileIsReportedOnceAndNeverWritten)
{
    const std::string bytes = "Windows Registry Editor Version 5.00\n\n"
                              "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types]\n"
                              "\"Version\"=dword:00000011\n\n"
                              "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\0]\n"
                              "\"Name\"=Some Name\n";
    const QString path = Path("registry.reg");
    WriteFile(path, bytes);

    testing::internal::CaptureStderr();
    {
        FileSettingsStore store(path);
        EXPECT_FALSE(store.OpenKey(Types));
        Set(store, std::string(Types) + "\\0", "Name", StoreText, Data("Other"));
        Set(store, Types, "Version", StoreNumber, Number(0x12));
    }
    const std::string err = testing::internal::GetCapturedStderr();

    EXPECT_EQ(err, "vantelo: " + path.toStdString() +
                       " line 7: cannot parse the settings store; using built-in pod types, file "
                       "left unchanged\n");
    EXPECT_EQ(ReadFile(path), bytes);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"registry.reg"});
}

TEST_F(FileStoreTest, EmptyFileIsAnEmptyStoreThatMayBeWritten)
{
    const QString path = Path("registry.reg");
    WriteFile(path, " \n\n");
    testing::internal::CaptureStderr();
    {
        FileSettingsStore store(path);
        EXPECT_FALSE(store.OpenKey(Types));
        Set(store, Types, "Version", StoreNumber, Number(0x11));
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    FileSettingsStore reread(path);
    EXPECT_THAT(Query(reread, Types, "Version"), IsValue(StoreNumber, Number(0x11)));
}

TEST_F(FileStoreTest, UnreadableFileIsReportedOnce)
{
    // A directory in the file's place cannot be read, even by root.
    const QString path = Path("registry.reg");
    ASSERT_TRUE(QDir().mkpath(path));

    testing::internal::CaptureStderr();
    {
        FileSettingsStore store(path);
        EXPECT_FALSE(store.OpenKey(Types));
        Set(store, Types, "Version", StoreNumber, Number(0x11));
    }
    EXPECT_EQ(
        testing::internal::GetCapturedStderr(),
        "vantelo: " + path.toStdString() +
            ": cannot read the settings store; using built-in pod types, file left unchanged\n");
}

TEST_F(FileStoreTest, UnwritableLocationFailsSilently)
{
    // A regular file where the folder should be blocks the save, even for root.
    WriteFile(Path("blocker"), "keep");
    const QString path = Path("blocker/registry.reg");

    testing::internal::CaptureStderr();
    {
        FileSettingsStore store(path);
        Set(store, Types, "Version", StoreNumber, Number(0x11));
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(ReadFile(Path("blocker")), "keep");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"blocker"});
}

TEST_F(FileStoreTest, MachineStoreIsTheFileTheEnvironmentNames)
{
    const QByteArray saved = qgetenv("VANTELO_REGISTRY");
    const QString path = Path("from-env.reg");
    qputenv("VANTELO_REGISTRY", QFile::encodeName(path));
    {
        const auto store = OpenMachineSettingsStore();
        Set(*store, Types, "Version", StoreNumber, Number(0x11));
    }
    saved.isNull() ? qunsetenv("VANTELO_REGISTRY") : qputenv("VANTELO_REGISTRY", saved);
    EXPECT_TRUE(QFile::exists(path));
}

} // namespace
} // namespace vantelo
