#pragma once

#include "catalogue/PodTypeInfo.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantelo {
class SettingsStore;
}

namespace vantelo::RegisterPod {

inline constexpr std::string_view TypesKey = "Software\\Zantor\\Trellins\\Types";
inline constexpr std::string_view VersionValue = "Version"; // in TypesKey
inline constexpr std::int32_t SeedVersion = 17;
inline constexpr std::int32_t MaxEntries = 32768; // indices are 16-bit signed

// The 31 built-in entries.
PodCatalogue LoadDefaultPodTypes();

// Start-up check: seed the store, or load the catalogue from it.
PodCatalogue InitPodTypes(SettingsStore& store);
// Writes the built-in entries to the store and returns them.
PodCatalogue WritePodTypes(SettingsStore& store);
PodCatalogue LoadPodTypes(SettingsStore& store);
void ReadPodType(SettingsStore& store, std::string_view subKey, PodCatalogue& PodTypes);

// Index of the first entry whose Reply is the identification byte.
std::optional<std::int16_t> FindPodType(const PodCatalogue& PodTypes, std::uint8_t reply);

} // namespace vantelo::RegisterPod
