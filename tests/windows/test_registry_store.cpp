#include "catalogue/RegisterPod.h"
#include "platform/WinRegistryStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vantelo {
namespace {


const std::string Types(RegisterPod::TypesKey);

std::vector<std::uint8_t> Bytes(std::string_view text)
{
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> Number(std::uint32_t n)
{
    return {std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16), std::uint8_t(n >> 24)};
}

void Put(SettingsStore& store, const std::string& path, std::string_view name, std::uint32_t type,
         const std::vector<std::uint8_t>& data)
{
    const auto key = store.CreateKey(path);
    ASSERT_TRUE(key) << path;
    EXPECT_TRUE(store.SetValue(*key, name, type, data)) << path;
    store.CloseKey(*key);
}

// Wine's registry hands a text back with a NUL after it, stored or not.
std::string Text(const StoreValue& value)
{
    const auto end = std::find(value.data.begin(), value.data.end(), std::uint8_t{0});
    return {value.data.begin(), end};
}

StoreValue Get(SettingsStore& store, const std::string& path, std::string_view name)
{
    const auto key = store.OpenKey(path);
    if (!key)
        return {};
    auto value = store.QueryValue(*key, name);
    store.CloseKey(*key);
    return value.value_or(StoreValue{});
}

// The catalogue on the real registry of a throwaway wine prefix, whose
// catalogue key CTest deletes before this runs.
TEST(WindowsRegistry, FirstStartSeedsAndLaterStartsReadWhatIsStored)
{
    WinRegistryStore store;
    ASSERT_FALSE(store.OpenKey(Types)) << "not a fresh registry";
    const PodCatalogue seed = RegisterPod::InitPodTypes(store);
    ASSERT_EQ(seed.size(), 31u);
    EXPECT_EQ(Get(store, Types, "Version").data, Number(17));
    const auto listing = store.OpenKeyForListing(Types);
    ASSERT_TRUE(listing);
    std::uint32_t subKeys = 0;
    while (store.EnumKey(*listing, subKeys))
        ++subKeys;
    store.CloseKey(*listing);
    EXPECT_EQ(subKeys, 31u);
    for (std::size_t i = 0; i < seed.size(); ++i) {
        const std::string entry = Types + '\\' + std::to_string(i);
        const StoreValue name = Get(store, entry, "Name");
        EXPECT_EQ(name.type, StoreText) << i;
        EXPECT_EQ(Text(name), seed[i].Name) << i;
        EXPECT_EQ(Text(Get(store, entry, "BootName")), seed[i].BootName) << i;
        EXPECT_EQ(Get(store, entry, "Type").data, Number(seed[i].Type)) << i;
        EXPECT_EQ(Get(store, entry, "Reply").data, Number(seed[i].Reply)) << i;
    }

    // By hand: a new entry, a reply stored as text, a name too long to read.
    Put(store, Types + "\\40", "Name", StoreText, Bytes("Extra "));
    Put(store, Types + "\\40", "BootName", StoreText, Bytes("EXTRA "));
    Put(store, Types + "\\40", "Type", StoreNumber, Number(40));
    Put(store, Types + "\\40", "Reply", StoreNumber, Number(0x30));
    Put(store, Types + "\\5", "Reply", StoreText, Bytes("0x66"));
    Put(store, Types + "\\7", "Name", StoreText, std::vector<std::uint8_t>(300, 'N'));
    const PodCatalogue PodTypes = RegisterPod::InitPodTypes(store);
    ASSERT_EQ(PodTypes.size(), 41u);
    EXPECT_EQ(RegisterPod::FindPodType(PodTypes, 0x30), 40);
    EXPECT_EQ(PodTypes[40].BootName, "EXTRA ");
    EXPECT_EQ(PodTypes[35].Name, "") << "the gap holds empty entries";
    EXPECT_EQ(PodTypes[5].Type, seed[5].Type);
    EXPECT_EQ(PodTypes[5].Reply, 0) << "reading stops at the text";
    EXPECT_EQ(PodTypes[5].Name, "");
    EXPECT_EQ(PodTypes[7].Reply, seed[7].Reply);
    EXPECT_EQ(PodTypes[7].Name, "") << "a text longer than the buffer is refused";
    EXPECT_EQ(PodTypes[7].BootName, "");
    EXPECT_EQ(PodTypes[30].Name, seed[30].Name);
}

} // namespace
} // namespace vantelo
