#pragma once

#include "config/PodConfiguration.h"

#include <array>
#include <cstdint>
#include <span>

namespace vantelo {

inline constexpr std::size_t BlockData = 8;

// Number of 8-byte blocks for an image of `length` bytes (0 for lengths of
// 0 or below); `length` must not exceed MaxDownloadLength.
std::int16_t BlockCount(std::int32_t length);

// Block number (high byte first), 8 data bytes, frame checksum.
std::array<std::uint8_t, 11> BuildDownloadBlock(std::int16_t number, std::span<const std::uint8_t, BlockData> data);

} // namespace vantelo
