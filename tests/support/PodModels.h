#pragma once

#include "sim/Pod.h"

namespace vantelo::testing {

// A fault-free pod answering with `reply`, its version major.minor, the probe at `baud`.
inline sim::PodModel PodModelOf(std::uint8_t reply, std::int32_t baud = 9600,
                                std::uint8_t major = 1, std::uint8_t minor = 0)
{
    sim::PodModel model;
    model.reply = reply;
    model.major = major;
    model.minor = minor;
    model.baud = baud;
    return model;
}

} // namespace vantelo::testing
