#include "programming/DownloadBlock.h"

#include "serial/Checksum.h"

#include <algorithm>

namespace vantelo {

std::int16_t BlockCount(std::int32_t length)
{
    if (length <= 0)
        return 0;
    return static_cast<std::int16_t>((length + 7) / 8);
}

std::array<std::uint8_t, 11> BuildDownloadBlock(std::int16_t number, std::span<const std::uint8_t, BlockData> data)
{
    std::array<std::uint8_t, 11> block{};
    block[0] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(number) >> 8);
    block[1] = static_cast<std::uint8_t>(number);
    std::copy(data.begin(), data.end(), block.begin() + 2);
    block[10] = FrameChecksum(std::span(block).first(10));
    return block;
}

} // namespace vantelo
