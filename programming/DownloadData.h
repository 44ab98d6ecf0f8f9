#pragma once

#include "config/PodConfiguration.h"

#include <cstdint>
#include <span>

namespace vantelo {

struct PodLink;

// Sends the first `length` bytes of the buffer in acknowledged 8-byte blocks.
// True when every block was acknowledged; false, after telling the user,
// when a block failed four times or the length cannot be sent.
bool DownloadData(PodLink& link, std::span<const std::uint8_t, ImageSize> download_buffer, std::int32_t length);

} // namespace vantelo
