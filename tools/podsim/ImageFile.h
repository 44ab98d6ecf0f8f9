#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vantelo::podsim {

// Replaces the file in one step, so a reader never sees half an image.
void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

} // namespace vantelo::podsim
