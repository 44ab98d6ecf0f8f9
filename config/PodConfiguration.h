#pragma once

#include <array>
#include <cstdint>

namespace vantelo {

inline constexpr std::size_t ImageSize = 32769;
// The longest image that can be sent: 4,095 blocks keep the block count and
// the buffer position within 16 bits.
inline constexpr std::int32_t MaxDownloadLength = 32760;

// A loaded configuration file.
struct PodConfiguration {
    std::uint8_t type_code = 0;
    std::array<std::uint8_t, 256> secondary_table{};
    std::int32_t main_length = 0;
    std::int32_t ir_length = 0;
    std::array<std::uint8_t, ImageSize> main_image{};
    std::array<std::uint8_t, ImageSize> ir_image{};
};

// The configuration of the two-micro pod, which carries a second image.
inline constexpr std::uint8_t TwoMicroTypeCode = 7;

} // namespace vantelo
