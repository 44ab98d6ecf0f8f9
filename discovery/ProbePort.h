#pragma once

#include <cstdint>

namespace vantelo {

struct PodLink;

// Finds the pod on the open port: its identification byte in bits 0 to 7,
// its version (major, minor) in bits 8 to 15 and 16 to 23; 0 when no rate
// brought an answer that checks and names a catalogue entry.
std::int32_t ProbePort(PodLink& link, bool restartAfter);

} // namespace vantelo
