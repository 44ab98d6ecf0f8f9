#pragma once

#include "platform/SettingsStore.h"

namespace vantelo {

// The settings store as the Windows registry under HKEY_LOCAL_MACHINE; a
// handle is the registry's own key handle.
class WinRegistryStore final : public SettingsStore {
public:
    std::optional<StoreKey> OpenKey(std::string_view path) override;
    std::optional<StoreKey> OpenKeyForListing(std::string_view path) override;
    std::optional<std::string> EnumKey(StoreKey key, std::uint32_t index) override;
    std::optional<StoreValue> QueryValue(StoreKey key, std::string_view name) override;
    std::optional<StoreKey> CreateKey(std::string_view path) override;
    bool SetValue(StoreKey key, std::string_view name, std::uint32_t type, std::span<const std::uint8_t> data) override;
    void CloseKey(StoreKey key) override;
};

} // namespace vantelo
