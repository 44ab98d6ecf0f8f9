#pragma once

#include "platform/SettingsStore.h"

#include <memory>

namespace vantelo {

// The registry on Windows. Elsewhere the file named by VANTELO_REGISTRY,
// or /etc/vantelo/registry.reg when that is unset or empty.
std::unique_ptr<SettingsStore> OpenMachineSettingsStore();

} // namespace vantelo
