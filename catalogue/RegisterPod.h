#pragma once

#include "catalogue/PodTypeInfo.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vantelo {
class SettingsStore;
}

namespace vantelo::RegisterPod {

inline constexpr std::string_view TypesKey = "Software\\Zantor\\Trellins\\Types";
inline constexpr std::int32_t SeedVersion = 17;
inline constexpr std::int32_t MaxEntries = 32768; // indices are 16-bit signed

// The catalogue, indexed from 0. Empty until InitPodTypes has run.
extern std::vector<PodTypeInfo> PodTypes;

// Replaces the catalogue with the 31 built-in entries.
void LoadDefaultPodTypes();

// Start-up check: seed the store, or load the catalogue from it.
void InitPodTypes(SettingsStore& store);
void WritePodTypes(SettingsStore& store);
void LoadPodTypes(SettingsStore& store);
void ReadPodType(SettingsStore& store, std::string_view subKey);

// Index of the first entry whose Reply is the identification byte.
std::optional<std::int16_t> FindPodType(std::uint8_t reply);

} // namespace vantelo::RegisterPod
