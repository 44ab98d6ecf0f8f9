#pragma once

#include "config/PodConfiguration.h"

#include <cstdint>
#include <span>

namespace vantelo {

struct PodLink;

// What the program command hands the configuration sequence.
struct TransferBuffers {
    std::array<std::uint8_t, ImageSize> download_buffer{};
    std::int32_t download_length = 0;
    std::array<std::uint8_t, 256> secondary_buffer{};
};

// Results of Configure_Pod.
enum ConfigureResult : std::int16_t {
    ProgramAnother = 1, // done, and the user asked for another pod
    ConfigureDone = 0,  // done and No, a two-part stage sent, or the download failed
    PortNotOpen = -1,
    PodNotResponding = -2,
    PodTypeMismatch = -3, // an ordinary pod of another type than the configuration's
    RestartFailed = -4,
};

// Checks the pod, sends the image (and the secondary table), restarts the pod
// and asks whether to program another. With two_part only the image is sent.
std::int16_t Configure_Pod(PodLink& link, bool two_part, std::uint8_t type_code, const TransferBuffers& buffers);

} // namespace vantelo
