#pragma once

#include <cstdint>
#include <string>

namespace vantelo {

// One pod type of the catalogue.
struct PodTypeInfo {
    std::uint8_t Type = 0;  // type code that configuration files name
    std::uint8_t Reply = 0; // identification byte the pod answers a probe with
    std::string Name;       // list name, shown in the pod list
    std::string BootName;
};

} // namespace vantelo
