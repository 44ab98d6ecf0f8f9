#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace vantelo {

// Well-formed UTF-8: no overlong forms, surrogates or code points past U+10FFFF.
bool IsValidUtf8(std::string_view text);

struct Utf16Error {
    int line = 0; // 1-based line of the broken unit
};

// UTF-16LE without its byte order mark, to UTF-8.
std::variant<std::string, Utf16Error> Utf16LeToUtf8(std::span<const std::uint8_t> bytes);

} // namespace vantelo
