#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantelo {

// Value types, with the codes the registry gives them.
enum StoreType : std::uint32_t {
    StoreText = 1,   // REG_SZ
    StoreBinary = 3, // REG_BINARY
    StoreNumber = 4, // REG_DWORD
};

struct StoreValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data; // stored bytes, exactly as written
};

using StoreKey = std::uintptr_t;

// The machine-wide settings store, shaped like the registry's
// HKEY_LOCAL_MACHINE: keys by backslash-separated path, typed values by name,
// creation on write, sub-keys listed by index. Every failure is a result,
// never an exception.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual std::optional<StoreKey> OpenKey(std::string_view path) = 0;
    // Open only to list the sub-keys.
    virtual std::optional<StoreKey> OpenKeyForListing(std::string_view path) = 0;
    // Name of sub-key number index, or nothing past the last one.
    virtual std::optional<std::string> EnumKey(StoreKey key, std::uint32_t index) = 0;
    virtual std::optional<StoreValue> QueryValue(StoreKey key, std::string_view name) = 0;
    // Creates missing keys on the way.
    virtual std::optional<StoreKey> CreateKey(std::string_view path) = 0;
    virtual bool SetValue(StoreKey key, std::string_view name, std::uint32_t type,
                          std::span<const std::uint8_t> data) = 0;
    virtual void CloseKey(StoreKey key) = 0;
};

} // namespace vantelo
