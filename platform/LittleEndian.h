#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace vantelo {

// 32-bit numbers as files and the settings store keep them: low byte first.
inline std::uint32_t ReadLittleEndian32(std::span<const std::uint8_t, 4> bytes)
{
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

inline std::array<std::uint8_t, 4> WriteLittleEndian32(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

} // namespace vantelo
