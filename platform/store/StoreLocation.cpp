#include "platform/store/StoreLocation.h"

#ifdef _WIN32
#include "platform/store/WinRegistryStore.h"
#else
#include "platform/store/FileSettingsStore.h"

#include <QtGlobal>
#endif

namespace vantelo {

std::unique_ptr<SettingsStore> OpenMachineSettingsStore()
{
#ifdef _WIN32
    return std::make_unique<WinRegistryStore>();
#else
    const QString path = qEnvironmentVariable("VANTELO_REGISTRY");
    return std::make_unique<FileSettingsStore>(path.isEmpty() ? QStringLiteral("/etc/vantelo/registry.reg") : path);
#endif
}

} // namespace vantelo
