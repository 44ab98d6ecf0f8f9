#include "platform/store/StoreValues.h"

#include "platform/LittleEndian.h"

#include <algorithm>

namespace vantelo {

std::optional<std::uint32_t> QueryNumber(SettingsStore& store, StoreKey key, std::string_view name)
{
    const auto value = store.QueryValue(key, name);
    if (!value || value->type != StoreNumber || value->data.size() != 4)
        return std::nullopt;
    return ReadLittleEndian32(std::span(value->data).first<4>());
}

std::optional<std::string> QueryText(SettingsStore& store, StoreKey key, std::string_view name, std::size_t buffer)
{
    const auto value = store.QueryValue(key, name);
    if (!value || value->type != StoreText || value->data.empty() || value->data.size() > buffer)
        return std::nullopt;
    const auto end = std::find(value->data.begin(), value->data.end(), std::uint8_t{0});
    return std::string(value->data.begin(), end);
}

} // namespace vantelo
