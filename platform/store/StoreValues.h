#pragma once

#include "platform/SettingsStore.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vantelo {

// Closes the key on every way out of a procedure.
class OpenedKey {
public:
    OpenedKey(SettingsStore& store, std::optional<StoreKey> key) : store_(store), key_(key) {}
    ~OpenedKey()
    {
        if (key_)
            store_.CloseKey(*key_);
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    explicit operator bool() const { return key_.has_value(); }
    StoreKey operator*() const { return *key_; }

private:
    SettingsStore& store_;
    std::optional<StoreKey> key_;
};

// A number value; nothing when missing or of another kind.
std::optional<std::uint32_t> QueryNumber(SettingsStore& store, StoreKey key, std::string_view name);

// A text value cut at its first NUL; nothing when missing, of another kind,
// empty or longer than `buffer` bytes.
std::optional<std::string> QueryText(SettingsStore& store, StoreKey key, std::string_view name, std::size_t buffer);

} // namespace vantelo
