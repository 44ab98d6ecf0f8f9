#include "station/report/JsonScanner.h"

#include <algorithm>
#include <charconv>

namespace vantelo::station {

namespace {

constexpr int MaxDepth = 64;

std::optional<unsigned> Hex4(std::string_view digits)
{
    unsigned value = 0;
    if (digits.size() < 4 || std::from_chars(digits.data(), digits.data() + 4, value, 16).ptr != digits.data() + 4)
        return std::nullopt;
    return value;
}

} // namespace

void JsonScanner::Blanks()
{
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
        ++at_;
}

bool JsonScanner::Take(char c)
{
    Blanks();
    if (at_ >= text_.size() || text_[at_] != c)
        return false;
    ++at_;
    return true;
}

bool JsonScanner::AtEnd()
{
    Blanks();
    return at_ == text_.size();
}

std::optional<std::string_view> JsonScanner::Raw()
{
    if (!Take('"'))
        return std::nullopt;
    const std::size_t start = at_;
    for (; at_ < text_.size(); ++at_) {
        const auto c = static_cast<unsigned char>(text_[at_]);
        if (c == '"')
            return text_.substr(start, at_++ - start);
        // Control characters are taken as they are, as Qt's reader takes them.
        if (c == '\\' && ++at_ == text_.size())
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<QString> JsonScanner::String()
{
    const auto raw = Raw();
    if (!raw)
        return std::nullopt;
    if (raw->find('\\') == std::string_view::npos)
        return QString::fromUtf8(raw->data(), static_cast<qsizetype>(raw->size()));
    QString text;
    for (std::size_t i = 0; i < raw->size();) {
        const std::size_t escape = std::min(raw->find('\\', i), raw->size());
        text += QString::fromUtf8(raw->data() + i, static_cast<qsizetype>(escape - i));
        if (escape == raw->size())
            break;
        const char escaped = (*raw)[escape + 1];
        static constexpr std::string_view From = "\"\\/bfnrt", To = "\"\\/\b\f\n\r\t";
        i = escape + 2;
        if (const auto k = From.find(escaped); k != std::string_view::npos) {
            text += QLatin1Char(To[k]);
        } else if (const auto unit = escaped == 'u' ? Hex4(raw->substr(i)) : std::nullopt) {
            text += QChar(static_cast<char16_t>(*unit));
            i += 4;
        } else {
            i = escape + 1; // an escape JSON does not know: the character itself, as Qt reads it
        }
    }
    return text;
}

std::optional<double> JsonScanner::Number()
{
    Blanks();
    double value = 0;
    const auto [end, error] = std::from_chars(text_.data() + at_, text_.data() + text_.size(), value);
    if (error != std::errc{})
        return std::nullopt;
    at_ = static_cast<std::size_t>(end - text_.data());
    return value;
}

bool JsonScanner::SkipAt(int depth)
{
    Blanks();
    if (depth > MaxDepth || at_ >= text_.size())
        return false;
    const char c = text_[at_];
    if (c == '"')
        return Raw().has_value();
    if (c == '{' || c == '[') {
        ++at_;
        const char close = c == '{' ? '}' : ']';
        if (Take(close))
            return true;
        do {
            if (c == '{' && !(Raw() && Take(':')))
                return false;
            if (!SkipAt(depth + 1))
                return false;
        } while (Take(','));
        return Take(close);
    }
    if (c == '-' || (c >= '0' && c <= '9'))
        return Number().has_value();
    for (const std::string_view literal : {"true", "false", "null"}) {
        if (text_.substr(at_).starts_with(literal)) {
            at_ += literal.size();
            return true;
        }
    }
    return false;
}

} // namespace vantelo::station
