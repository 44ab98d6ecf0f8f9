#pragma once

#include <cstdint>
#include <span>

namespace vantelo {

// The last byte of a frame: all bytes of the frame then add up to 0xFF.
std::uint8_t FrameChecksum(std::span<const std::uint8_t> bytes);

// True when the bytes, checksum included, add up to 0xFF modulo 256.
bool FrameChecks(std::span<const std::uint8_t> frame);

} // namespace vantelo
