#pragma once

#include <cstdint>

namespace vantelo {

class PodSlots;
struct PodLink;

// Probes ports 1 to 4 and lists what answers; only pods of the loaded
// configuration's type can be chosen. Ends with the port closed.
void SearchForPods(PodLink& link, PodSlots& podList, std::uint8_t type_code);

} // namespace vantelo
