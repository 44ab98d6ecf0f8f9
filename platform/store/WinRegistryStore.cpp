#include "platform/store/WinRegistryStore.h"

#include <windows.h>

namespace vantelo {

namespace {

HKEY Handle(StoreKey key)
{
    return reinterpret_cast<HKEY>(key);
}

std::optional<StoreKey> Opened(LONG status, HKEY key)
{
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return reinterpret_cast<StoreKey>(key);
}

} // namespace

std::optional<StoreKey> WinRegistryStore::OpenKey(std::string_view path)
{
    HKEY key = nullptr;
    const LONG status = RegOpenKeyA(HKEY_LOCAL_MACHINE, std::string(path).c_str(), &key);
    return Opened(status, key);
}

std::optional<StoreKey> WinRegistryStore::OpenKeyForListing(std::string_view path)
{
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, std::string(path).c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &key);
    return Opened(status, key);
}

std::optional<std::string> WinRegistryStore::EnumKey(StoreKey key, std::uint32_t index)
{
    char name[255];
    DWORD length = sizeof name;
    if (RegEnumKeyExA(Handle(key), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(name, length);
}

// Asks the size first, then reads: the value comes back with exactly the
// bytes stored, a text without a NUL the writer left off.
std::optional<StoreValue> WinRegistryStore::QueryValue(StoreKey key, std::string_view name)
{
    const std::string valueName(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(Handle(key), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    StoreValue value;
    value.data.resize(size);
    if (RegQueryValueExA(Handle(key), valueName.c_str(), nullptr, &type, value.data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.type = type;
    value.data.resize(size);
    return value;
}

std::optional<StoreKey> WinRegistryStore::CreateKey(std::string_view path)
{
    HKEY key = nullptr;
    const LONG status = RegCreateKeyA(HKEY_LOCAL_MACHINE, std::string(path).c_str(), &key);
    return Opened(status, key);
}

bool WinRegistryStore::SetValue(StoreKey key, std::string_view name, std::uint32_t type,
                                std::span<const std::uint8_t> data)
{
    return RegSetValueExA(Handle(key), std::string(name).c_str(), 0, type, data.data(),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

void WinRegistryStore::CloseKey(StoreKey key)
{
    RegCloseKey(Handle(key));
}

} // namespace vantelo
