#include "catalogue/RegisterPod.h"

#include "platform/LittleEndian.h"
#include "platform/SettingsStore.h"
#include "platform/store/StoreValues.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace vantelo::RegisterPod {

namespace {

// Texts are read back through a buffer of this many bytes.
constexpr std::size_t TextBuffer = 255;

std::string EntryKey(std::int32_t index)
{
    return std::string(TypesKey) + '\\' + std::to_string(index);
}

std::optional<std::uint8_t> QueryByte(SettingsStore& store, StoreKey key, std::string_view name)
{
    const auto number = QueryNumber(store, key, name);
    if (!number || *number > 0xFF)
        return std::nullopt;
    return static_cast<std::uint8_t>(*number);
}

void SetNumber(SettingsStore& store, StoreKey key, std::string_view name, std::uint32_t number)
{
    store.SetValue(key, name, StoreNumber, WriteLittleEndian32(number));
}

// Stored without a terminating NUL: as many bytes as the text has.
void SetText(SettingsStore& store, StoreKey key, std::string_view name, const std::string& text)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    store.SetValue(key, name, StoreText, {bytes, text.size()});
}

// Plain decimal, no sign, no leading zeros, within the catalogue's 16-bit index.
std::optional<std::int16_t> EntryNumber(std::string_view subKey)
{
    if (subKey.empty() || (subKey.size() > 1 && subKey.front() == '0'))
        return std::nullopt;
    int number = 0;
    const auto [end, error] = std::from_chars(subKey.data(), subKey.data() + subKey.size(), number);
    if (error != std::errc{} || end != subKey.data() + subKey.size() || number < 0 || number >= MaxEntries)
        return std::nullopt;
    return static_cast<std::int16_t>(number);
}

} // namespace

PodCatalogue InitPodTypes(SettingsStore& store)
{
    std::optional<std::uint32_t> version;
    {
        const OpenedKey types(store, store.OpenKey(TypesKey));
        if (types)
            version = QueryNumber(store, *types, VersionValue);
    }
    // A key without a usable version is repaired like a missing one.
    if (version && static_cast<std::int32_t>(*version) >= SeedVersion)
        return LoadPodTypes(store);
    return WritePodTypes(store);
}

PodCatalogue WritePodTypes(SettingsStore& store)
{
    PodCatalogue PodTypes = LoadDefaultPodTypes();
    for (std::size_t i = 0; i < PodTypes.size(); ++i) {
        const OpenedKey entry(store, store.CreateKey(EntryKey(static_cast<std::int32_t>(i))));
        if (!entry)
            continue;
        const PodTypeInfo& info = PodTypes[i];
        SetText(store, *entry, "Name", info.Name);
        SetText(store, *entry, "BootName", info.BootName);
        SetNumber(store, *entry, "Type", info.Type);
        SetNumber(store, *entry, "Reply", info.Reply);
    }
    // The version goes last: a start cut short before it is repaired by the next one.
    const OpenedKey types(store, store.CreateKey(TypesKey));
    if (types)
        SetNumber(store, *types, VersionValue, SeedVersion);
    return PodTypes;
}

PodCatalogue LoadPodTypes(SettingsStore& store)
{
    PodCatalogue PodTypes(1);
    std::vector<std::string> subKeys;
    {
        const OpenedKey types(store, store.OpenKeyForListing(TypesKey));
        if (!types)
            return WritePodTypes(store);
        for (std::uint32_t n = 0;; ++n) {
            auto name = store.EnumKey(*types, n);
            if (!name)
                break;
            subKeys.push_back(std::move(*name));
        }
    }
    for (const auto& name : subKeys)
        ReadPodType(store, name, PodTypes);
    return PodTypes;
}

void ReadPodType(SettingsStore& store, std::string_view subKey, PodCatalogue& PodTypes)
{
    const auto number = EntryNumber(subKey);
    if (!number)
        return;
    const OpenedKey key(store, store.OpenKey(std::string(TypesKey) + '\\' + std::string(subKey)));
    if (!key)
        return;
    const auto index = static_cast<std::size_t>(*number);
    if (index >= PodTypes.size())
        PodTypes.resize(index + 1);
    PodTypeInfo& entry = PodTypes[index];

    // Reading stops at the first value that is missing or of the wrong kind;
    // the fields read before it stay.
    const auto type = QueryByte(store, *key, "Type");
    if (!type)
        return;
    entry.Type = *type;
    const auto reply = QueryByte(store, *key, "Reply");
    if (!reply)
        return;
    entry.Reply = *reply;
    auto name = QueryText(store, *key, "Name", TextBuffer);
    if (!name)
        return;
    entry.Name = std::move(*name);
    auto bootName = QueryText(store, *key, "BootName", TextBuffer);
    if (!bootName)
        return;
    entry.BootName = std::move(*bootName);
}

std::optional<std::int16_t> FindPodType(const PodCatalogue& PodTypes, std::uint8_t reply)
{
    const auto found =
        std::find_if(PodTypes.begin(), PodTypes.end(), [reply](const PodTypeInfo& e) { return e.Reply == reply; });
    if (found == PodTypes.end())
        return std::nullopt;
    return static_cast<std::int16_t>(found - PodTypes.begin());
}

} // namespace vantelo::RegisterPod
