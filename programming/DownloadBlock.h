#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace vantelo {

inline constexpr std::size_t BlockData = 8;
// The longest image: 4,095 blocks keep the block count and the buffer
// position within 16 bits.
inline constexpr std::int32_t MaxDownloadLength = 32760;

// Number of 8-byte blocks for an image of `length` bytes (0 for lengths of
// 0 or below); `length` must not exceed MaxDownloadLength.
std::int16_t BlockCount(std::int32_t length);

// Block number (high byte first), 8 data bytes, frame checksum.
std::array<std::uint8_t, 11> BuildDownloadBlock(std::int16_t number,
                                                std::span<const std::uint8_t, BlockData> data);

} // namespace vantelo
