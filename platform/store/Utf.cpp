#include "platform/store/Utf.h"

namespace vantelo {

namespace {

void AppendUtf8(std::string& out, char32_t c)
{
    const auto put = [&](char32_t byte) { out += static_cast<char>(byte); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | c >> 6);
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | c >> 12);
        put(0x80 | (c >> 6 & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | c >> 18);
        put(0x80 | (c >> 12 & 0x3F));
        put(0x80 | (c >> 6 & 0x3F));
        put(0x80 | (c & 0x3F));
    }
}

bool IsHighSurrogate(char32_t c)
{
    return c >= 0xD800 && c < 0xDC00;
}

bool IsLowSurrogate(char32_t c)
{
    return c >= 0xDC00 && c < 0xE000;
}

} // namespace

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        char32_t c = lead;
        char32_t least = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if ((lead & 0xE0) == 0xC0) {
            extra = 1, c = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, c = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, c = lead & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (text.size() - i <= extra)
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = c << 6 | (next & 0x3F);
        }
        if (c < least || c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c))
            return false;
        i += extra + 1;
    }
    return true;
}

std::variant<std::string, Utf16Error> Utf16LeToUtf8(std::span<const std::uint8_t> bytes)
{
    std::string out;
    int line = 1;
    const std::size_t units = bytes.size() / 2;
    const auto unit = [&](std::size_t i) { return char32_t{bytes[2 * i]} | char32_t{bytes[2 * i + 1]} << 8; };
    for (std::size_t i = 0; i < units; ++i) {
        char32_t c = unit(i);
        if (IsLowSurrogate(c))
            return Utf16Error{line};
        if (IsHighSurrogate(c)) {
            if (++i == units || !IsLowSurrogate(unit(i)))
                return Utf16Error{line};
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i) - 0xDC00);
        }
        if (c == '\n')
            ++line;
        AppendUtf8(out, c);
    }
    if (bytes.size() % 2 != 0)
        return Utf16Error{line};
    return out;
}

} // namespace vantelo
