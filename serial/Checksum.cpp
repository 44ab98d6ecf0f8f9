#include "serial/Checksum.h"

#include <numeric>

namespace vantelo {

namespace {
std::uint8_t Sum(std::span<const std::uint8_t> bytes)
{
    return static_cast<std::uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}
} // namespace

std::uint8_t FrameChecksum(std::span<const std::uint8_t> bytes)
{
    return static_cast<std::uint8_t>(0xFF - Sum(bytes));
}

bool FrameChecks(std::span<const std::uint8_t> frame)
{
    return Sum(frame) == 0xFF;
}

} // namespace vantelo
