#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantelo {

// One pod type of the catalogue.
struct PodTypeInfo {
    std::uint8_t Type = 0;  // type code that configuration files name
    std::uint8_t Reply = 0; // identification byte the pod answers a probe with
    std::string Name;       // list name, shown in the pod list
    std::string BootName;
};

// The pod types a program knows, indexed from 0. Filled once at start-up and
// only read afterwards, so that several ports may look pods up at once.
using PodCatalogue = std::vector<PodTypeInfo>;

} // namespace vantelo
