#include "platform/store/RegFile.h"

#include "platform/LittleEndian.h"
#include "platform/store/Utf.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>

namespace vantelo {

namespace {

constexpr std::string_view Header = "Windows Registry Editor Version 5.00";

char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The separator sorts first, so a key's sub-keys follow it before its siblings.
int PathRank(char c)
{
    return c == '\\' ? -1 : static_cast<unsigned char>(AsciiUpper(c));
}

// Position of the value of that name, or the count when there is none.
std::size_t IndexOf(const std::vector<RegValue>& values, std::string_view name)
{
    const auto it = std::ranges::find_if(values, [&](const RegValue& v) { return EqualNoCase(v.name, name); });
    return static_cast<std::size_t>(it - values.begin());
}

std::string_view Trim(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && EqualNoCase(s.substr(0, prefix.size()), prefix);
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    for (;;) {
        const auto end = text.find('\n');
        auto line = text.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            return lines;
        text.remove_prefix(end + 1);
    }
}

// Takes a quoted text off the front of s, undoing the \\ and \" escapes.
std::optional<std::string> TakeQuoted(std::string_view& s)
{
    if (!s.starts_with('"'))
        return std::nullopt;
    std::string text;
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '"') {
            s.remove_prefix(i + 1);
            return text;
        }
        if (s[i] == '\\' && (++i == s.size() || (s[i] != '\\' && s[i] != '"')))
            return std::nullopt;
        text += s[i];
    }
    return std::nullopt;
}

std::optional<std::string> TakeName(std::string_view& s)
{
    if (!s.starts_with('@'))
        return TakeQuoted(s);
    s.remove_prefix(1);
    return std::string();
}

std::optional<std::uint32_t> ParseHex(std::string_view digits, std::size_t maxDigits)
{
    std::uint32_t number = 0;
    const auto* end = digits.data() + digits.size();
    if (digits.empty() || digits.size() > maxDigits || std::from_chars(digits.data(), end, number, 16).ptr != end)
        return std::nullopt;
    return number;
}

std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view list)
{
    std::vector<std::uint8_t> bytes;
    if (list.empty())
        return bytes;
    for (;;) {
        const auto comma = list.find(',');
        const auto byte = ParseHex(list.substr(0, comma), 2);
        if (!byte)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(*byte));
        if (comma == std::string_view::npos)
            return bytes;
        list.remove_prefix(comma + 1);
    }
}

// What follows the '=' of a value line, hex lists joined across their lines.
std::optional<StoreValue> ParseData(std::string_view s)
{
    if (s.starts_with('"')) {
        const auto text = TakeQuoted(s);
        if (!text || !s.empty())
            return std::nullopt;
        return StoreValue{StoreText, {text->begin(), text->end()}};
    }
    if (StartsWithNoCase(s, "dword:")) {
        const auto number = ParseHex(s.substr(6), 8);
        if (!number)
            return std::nullopt;
        const auto bytes = WriteLittleEndian32(*number);
        return StoreValue{StoreNumber, {bytes.begin(), bytes.end()}};
    }
    std::optional<std::uint32_t> type = StoreBinary;
    if (StartsWithNoCase(s, "hex(")) {
        const auto close = s.find(')');
        type = ParseHex(s.substr(4, close - 4), 8);
        s.remove_prefix(close == std::string_view::npos ? s.size() : close + 1);
    } else if (StartsWithNoCase(s, "hex")) {
        s.remove_prefix(3);
    } else {
        return std::nullopt;
    }
    if (!type || !s.starts_with(':'))
        return std::nullopt;
    auto bytes = ParseHexBytes(s.substr(1));
    if (!bytes)
        return std::nullopt;
    return StoreValue{*type, std::move(*bytes)};
}

std::optional<std::string_view> KeyHeader(std::string_view line)
{
    if (line.size() < 2 || line.back() != ']')
        return std::nullopt;
    const auto path = line.substr(1, line.size() - 2);
    // "[-path]" deletes a key on import, which a store cannot take.
    if (path.starts_with('-') || !IsKeyPath(path))
        return std::nullopt;
    return path;
}

std::variant<RegTree, RegParseError> ParseText(std::string_view text)
{
    const auto lines = SplitLines(text);
    RegTree tree;
    std::vector<RegValue>* key = nullptr;
    bool headerSeen = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const RegParseError error{static_cast<int>(i) + 1};
        if (!IsValidUtf8(lines[i]))
            return error;
        const auto line = Trim(lines[i]);
        if (line.empty())
            continue;
        if (!headerSeen) {
            if (lines[i] != Header)
                return error;
            headerSeen = true;
            continue;
        }
        if (line.starts_with(';'))
            continue;
        if (line.starts_with('[')) {
            const auto path = KeyHeader(line);
            if (!path)
                return error;
            key = &tree[std::string(*path)];
            continue;
        }
        std::string_view rest = line;
        auto name = TakeName(rest);
        rest = Trim(rest);
        if (!key || !name || !rest.starts_with('='))
            return error;
        std::string data(Trim(rest.substr(1)));
        if (StartsWithNoCase(data, "hex")) {
            while (data.ends_with('\\')) {
                if (++i == lines.size() || !IsValidUtf8(lines[i]))
                    return error;
                data.pop_back();
                data += Trim(lines[i]);
            }
        }
        auto value = ParseData(data);
        if (!value)
            return error;
        PutValue(*key, *name, std::move(*value));
    }
    if (!headerSeen)
        return RegParseError{1};
    return tree;
}

void AppendQuoted(std::string& out, std::string_view text)
{
    out += '"';
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
}

void AppendData(std::string& out, const StoreValue& value)
{
    const auto& data = value.data;
    const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    // A line break would end the line early, a NUL would be cut on reading back.
    if (value.type == StoreText && text.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos &&
        IsValidUtf8(text)) {
        AppendQuoted(out, text);
        return;
    }
    char buffer[20];
    if (value.type == StoreNumber && data.size() == 4) {
        std::snprintf(buffer, sizeof buffer, "dword:%08x",
                      static_cast<unsigned>(ReadLittleEndian32(std::span(data).first<4>())));
        out += buffer;
        return;
    }
    if (value.type == StoreBinary) {
        out += "hex:";
    } else {
        std::snprintf(buffer, sizeof buffer, "hex(%x):", static_cast<unsigned>(value.type));
        out += buffer;
    }
    constexpr std::string_view digits = "0123456789abcdef";
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i != 0)
            out += ',';
        out += digits[data[i] >> 4];
        out += digits[data[i] & 0xF];
    }
}

} // namespace

bool RegPathLess::operator()(std::string_view a, std::string_view b) const
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return PathRank(x) < PathRank(y); });
}

std::variant<RegTree, RegParseError> ParseRegFile(std::span<const std::uint8_t> bytes)
{
    constexpr std::uint8_t utf8Bom[] = {0xEF, 0xBB, 0xBF};
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        const auto text = Utf16LeToUtf8(bytes.subspan(2));
        if (const auto* bad = std::get_if<Utf16Error>(&text))
            return RegParseError{bad->line};
        return ParseText(std::get<std::string>(text));
    }
    if (std::ranges::equal(bytes.first(std::min(bytes.size(), std::size(utf8Bom))), utf8Bom))
        bytes = bytes.subspan(std::size(utf8Bom));
    return ParseText({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

std::string SerializeRegFile(const RegTree& tree)
{
    std::string out(Header);
    out += "\n\n";
    for (const auto& [path, values] : tree) {
        out += '[';
        out += path;
        out += "]\n";
        for (const auto& [name, value] : values) {
            if (name.empty())
                out += '@';
            else
                AppendQuoted(out, name);
            out += '=';
            AppendData(out, value);
            out += '\n';
        }
        out += '\n';
    }
    return out;
}

bool IsKeyPath(std::string_view path)
{
    return !path.empty() && !path.starts_with('\\') && !path.ends_with('\\') &&
           path.find("\\\\") == std::string_view::npos;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

const StoreValue* FindValue(const std::vector<RegValue>& values, std::string_view name)
{
    const auto at = IndexOf(values, name);
    return at == values.size() ? nullptr : &values[at].value;
}

bool PutValue(std::vector<RegValue>& values, std::string_view name, StoreValue value)
{
    const auto at = IndexOf(values, name);
    if (at == values.size()) {
        values.push_back({std::string(name), std::move(value)});
        return true;
    }
    StoreValue& old = values[at].value;
    if (old.type == value.type && old.data == value.data)
        return false;
    old = std::move(value);
    return true;
}

} // namespace vantelo
