#include "platform/store/FileSettingsStore.h"
#include "platform/store/RegFile.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <variant>

namespace vantelo {
namespace {

using testing::ReadFile;
const std::string Header = "Windows Registry Editor Version 5.00\n\n";
const std::string Types = R"(Software\Zantor\Trellins\Types)";
const std::string TypesKey = "[HKEY_LOCAL_MACHINE\\" + Types + "]\n";
using Typed = std::pair<std::uint32_t, std::vector<std::uint8_t>>;

std::vector<std::uint8_t> Bytes(std::string_view text)
{
    return {text.begin(), text.end()};
}

// With the byte order mark, as the registry editor exports.
std::string Utf16Le(std::string_view utf8)
{
    std::string out = "\xFF\xFE";
    for (const char16_t unit : QString::fromUtf8(utf8).toStdU16String())
        out += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return out;
}

std::optional<Typed> Query(SettingsStore& store, const std::string& key, std::string_view name)
{
    const auto handle = store.OpenKey(key);
    const auto value = handle ? store.QueryValue(*handle, name) : std::nullopt;
    if (handle)
        store.CloseKey(*handle);
    return value ? std::optional(Typed{value->type, value->data}) : std::nullopt;
}

void Set(SettingsStore& store, const std::string& key, std::string_view name, const Typed& value)
{
    const auto handle = store.CreateKey(key);
    ASSERT_TRUE(handle);
    EXPECT_TRUE(store.SetValue(*handle, name, value.first, value.second));
    store.CloseKey(*handle);
}

TEST(RegFile, ParseErrorsNameTheirLine)
{
    const std::string k = Header + "[HKEY_LOCAL_MACHINE\\K]\n";
    const std::string u16 = Utf16Le("Windows Registry Editor Version 5.00\r\n\r\n");
    // clang-format off
    std::vector<std::pair<std::string, int>> rows = {{"", 1}, {"REGEDIT4\n", 1}, {" " + Header, 1},
        {"\n\nWindows Registry Editor Version 5.0", 3}, {Header + "\"a\"=dword:1\n", 3},
        {Header + "[-HKEY_LOCAL_MACHINE\\K]", 3}, {Header + "[HKEY_LOCAL_MACHINE\\K\\]", 3},
        {Header + "[HKEY_LOCAL_MACHINE\\\\K]", 3}, {Header + "[HKEY_LOCAL_MACHINE\\K", 3},
        {Header + "[]", 3}, {Header + "[\\K]", 3}, {k + "\"a\"=hex:01,\\\n  02\n\"b\"=x\n", 6},
        {k + "\"a\"=dword:1\n\xE2\x82", 5}, {u16 + std::string("\x00\xD8\x41\x00", 4), 3},
        {u16 + std::string("\x00\xDC", 2), 3}, {u16 + "A", 3}};
    // clang-format on
    // Each spoils an otherwise good file at its line 4.
    // clang-format off
    for (const char* line : {R"("a"=dword:123456789)", R"("a"=dword:)", R"("a"=dword:12x)",
             R"("a"=hex:01,2g)", R"("a"=hex:01,,02)", R"("a"=hex:01,)", R"("a"=hex:123)",
             R"("a"=hex(7:00)", R"("a"=hex(7)00)", R"("a"=hex(123456789):00)", R"("a"=qword:00)",
             R"("a"=-)", R"("a"="open)", R"("a"="x\n")", R"("a"="x" y)", R"("a"dword:1)",
             R"(a=dword:1)", "\"a\"=hex:01,\\", "\"a\"=hex:01,\\\n\xC3(", "\"a\"=\"\xC3(\"",
             "\"a\"=\"\xC0\xAF\"", "\"a\"=\"\xE0\x80\xAF\"", "\"a\"=\"\xED\xA0\x80\"",
             "\"a\"=\"\xF4\x90\x80\x80\"", "\"a\"=\"\xF8\x88\x80\x80\x80\""})
        rows.emplace_back(k + line + "\n", 4);
    // clang-format on
    for (const auto& [text, line] : rows) {
        const auto result = ParseRegFile(Bytes(text));
        const auto* error = std::get_if<RegParseError>(&result);
        EXPECT_EQ(error ? error->line : 0, line) << text;
    }
}

TEST(RegFile, ValuesReadAndWriteInTheirTextForms)
{
    // The text after "v"=, the value read, and the text written back (nullptr: the same).
    const std::tuple<const char*, Typed, const char*> rows[] = {
        {"DWORD:12345678", {StoreNumber, {0x78, 0x56, 0x34, 0x12}}, "dword:12345678"},
        {"dword:1", {StoreNumber, {1, 0, 0, 0}}, "dword:00000001"},
        {"hex(4):78,56,34,12", {StoreNumber, {0x78, 0x56, 0x34, 0x12}}, "dword:12345678"},
        {"hex(4):01,02", {StoreNumber, {1, 2}}, nullptr},
        {"hex(4):01,02,03,04,05", {StoreNumber, {1, 2, 3, 4, 5}}, nullptr},
        {"hex:DE,ad,0,f", {StoreBinary, {0xDE, 0xAD, 0, 0xF}}, "hex:de,ad,00,0f"},
        {"hex(0):", {0, {}}, nullptr},
        {"hex(ffffffff):ff", {0xFFFFFFFF, {0xFF}}, nullptr},
        {"hex(7):\\\n  41,00,\\\n  00,00", {7, {0x41, 0, 0, 0}}, "hex(7):41,00,00,00"},
        {R"("C:\\Pro \"Q\" ")", {StoreText, Bytes("C:\\Pro \"Q\" ")}, nullptr},
        {"\"\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80\"",
         {StoreText, Bytes("\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80")},
         nullptr},
        // Texts that quotes would cut or break: NUL, line ends, not UTF-8.
        {"hex(1):61,00,62", {StoreText, Bytes({"a\0b", 3})}, nullptr},
        {"hex(1):61,0d,62", {StoreText, Bytes("a\rb")}, nullptr},
        {"hex(1):61,0a,62", {StoreText, Bytes("a\nb")}, nullptr},
        {"hex(1):5a,fc", {StoreText, {'Z', 0xFC}}, nullptr},
    };
    const std::string key = Header + "[HKEY_LOCAL_MACHINE\\K]\n\"v\"=";
    for (const auto& [text, read, written] : rows) {
        SCOPED_TRACE(text);
        const auto parsed = ParseRegFile(Bytes(key + text + "\n"));
        const auto* tree = std::get_if<RegTree>(&parsed);
        ASSERT_TRUE(tree);
        const StoreValue& value = tree->at("HKEY_LOCAL_MACHINE\\K").at(0).value;
        EXPECT_EQ(Typed(value.type, value.data), read);
        EXPECT_EQ(SerializeRegFile(*tree), key + (written ? written : text) + "\n\n");
    }
}

TEST(FileStore, ReadsUtf8WithOrWithoutBomAndUtf16WithBomWithoutWriting)
{
    const std::string name = "Z\xC3\xBC \xE2\x82\xAC \xF0\x9F\x98\x80";
    const std::string text = "\r\nWindows Registry Editor Version 5.00\r\n\r\n; by hand\r\n" +
                             TypesKey.substr(0, TypesKey.size() - 1) + "\r\n\"Name\"=\"" + name +
                             "\"\r\n\"Type\"=dword:0000001F\r\n";
    QTemporaryDir dir;
    const QString path = dir.filePath("registry.reg");
    for (const auto& bytes :
         {Utf16Le(text), "\xEF\xBB\xBF" + text, QString::fromStdString(text).remove('\r').toStdString()}) {
        ASSERT_TRUE(testing::WriteFile(path, bytes));
        {
            FileSettingsStore store(path);
            EXPECT_EQ(Query(store, Types, "Name"), Typed(StoreText, Bytes(name))) << bytes;
            EXPECT_EQ(Query(store, Types, "type"), Typed(StoreNumber, {0x1F, 0, 0, 0})) << bytes;
            // Setting a value it already holds changes nothing either.
            Set(store, Types, "TYPE", {StoreNumber, {0x1F, 0, 0, 0}});
        }
        EXPECT_EQ(ReadFile(path), bytes);
    }
}

// Set a value and close: saved where the file may be written, and where it
// cannot be read or parsed, reported once and left alone.
TEST(FileStore, FileStates)
{
    const std::string broken = Header + TypesKey + "\"Version\"=dword:00000011\n\"Name\"=Bare\n";
    const std::string saved = Header + TypesKey + "\"Version\"=dword:00000011\n\n";
    const char* const folder = "<folder>";
    // The file, what is there before (nullptr: nothing), what standard error says after its path.
    const std::tuple<const char*, const char*, std::string> rows[] = {
        {"new/registry.reg", nullptr, ""},
        {"registry.reg", " \r\n\n", ""},
        {"registry.reg", folder, ": cannot read the settings store"},
        {"registry.reg", broken.c_str(), " line 5: cannot parse the settings store"},
        {"blocker/registry.reg", nullptr, ""},
    };
    for (const auto& [file, content, error] : rows) {
        SCOPED_TRACE(file + std::string(" ") + (content ? content : ""));
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        const bool blocked = path.contains("blocker"), kept = content && !error.empty();
        ASSERT_TRUE(testing::WriteFile(dir.filePath("blocker"), "keep"));
        ASSERT_TRUE(content == folder ? QDir().mkpath(path) : !content || testing::WriteFile(path, content));

        ::testing::internal::CaptureStderr();
        {
            FileSettingsStore store(path);
            EXPECT_FALSE(store.OpenKey(Types));
            Set(store, Types, "Version", {StoreNumber, {0x11, 0, 0, 0}});
        }
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  kept ? "vantelo: " + path.toStdString() + error + "; using built-in pod types, file left unchanged\n"
                       : "");
        if (content != folder && !blocked) {
            EXPECT_EQ(ReadFile(path), kept ? content : saved);
        }
        EXPECT_EQ(ReadFile(dir.filePath("blocker")), "keep");
        // Nothing else is left beside the file: it is replaced whole, by renaming.
        QStringList left =
            QDir(QFileInfo(path).path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        left.removeAll("blocker");
        EXPECT_EQ(left, blocked ? QStringList{} : QStringList{"registry.reg"});
    }
}

// Keys and values the program does not know are written back byte for byte, in
// the registry's order, which is also the order that sub-keys are listed in.
TEST(FileStore, KeepsForeignKeysAndListsSubKeysInTheRegistrysOrder)
{
    const std::string before = Header + R"([HKEY_CURRENT_USER\Other]
@="default"
"Pa\\th \"q\""=hex(7):61,00,00,00,00,00

[HKEY_LOCAL_MACHINE\Software\Zantor\Trellins\Types\1]
"Name"="Pod "
"Type"=dword:00000001

[HKEY_LOCAL_MACHINE\Software\Zantor\Trellins\Types\1\Extra]
"Note"="ünï"

[HKEY_LOCAL_MACHINE\Software\Zantor\Trellins\Types\10]

)";
    const std::string after = R"([HKEY_LOCAL_MACHINE\Software\Zantor\Trellins\Types\a]

[HKEY_LOCAL_MACHINE\Software\Zantor\Trellins\Types\A\X]

[HKEY_LOCAL_MACHINE\Software\Zantor\Trellins\Types\B\C]

[HKEY_LOCAL_MACHINE\SYSTEM\Other]
"Blob"=hex:de,ad

)";
    QTemporaryDir dir;
    const QString path = dir.filePath("registry.reg");
    ASSERT_TRUE(testing::WriteFile(path, before + after));
    {
        FileSettingsStore store(path);
        EXPECT_EQ(Query(store, Types + "\\1\\Extra", "NOTE"), Typed(StoreText, Bytes("ünï")));
        // Keys and values are matched without regard to case: this replaces.
        Set(store, R"(software\zantor\trellins\types\1)", "name", {StoreText, Bytes("One")});
        Set(store, Types + "\\2", "Name", {StoreText, Bytes("Two")});
    }
    std::string expected = before + TypesKey.substr(0, TypesKey.size() - 2) + "\\2]\n\"Name\"=\"Two\"\n\n" + after;
    EXPECT_EQ(ReadFile(path), expected.replace(expected.find("\"Pod \""), 6, "\"One\""));

    FileSettingsStore store(path);
    const auto types = store.OpenKeyForListing(Types);
    ASSERT_TRUE(types);
    std::vector<std::string> names;
    for (std::uint32_t i = 0; auto name = store.EnumKey(*types, i); ++i)
        names.push_back(*name);
    EXPECT_EQ(names, (std::vector<std::string>{"1", "10", "2", "a", "B"}));
    // A key only implied by one below it exists and lists its child.
    const auto implied = store.OpenKey(Types + "\\B");
    ASSERT_TRUE(implied);
    EXPECT_EQ(store.EnumKey(*implied, 0), "C");
    EXPECT_EQ(store.EnumKey(*implied, 1), std::nullopt);
    EXPECT_FALSE(store.OpenKey(Types + "\\3"));
    EXPECT_FALSE(store.OpenKey(Types + "\\1\\Ext"));
}

} // namespace
} // namespace vantelo
