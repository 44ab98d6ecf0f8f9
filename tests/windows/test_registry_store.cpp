#include "support/SeedCodes.h"

#include "catalogue/RegisterPod.h"
#include "platform/store/WinRegistryStore.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace vantelo {
namespace {

const std::string Types(RegisterPod::TypesKey);

void Put(SettingsStore& store, const std::string& path, std::string_view name, std::uint32_t type,
         const std::vector<std::uint8_t>& data)
{
    const auto key = store.CreateKey(path);
    ASSERT_TRUE(key) << path;
    EXPECT_TRUE(store.SetValue(*key, name, type, data)) << path;
    store.CloseKey(*key);
}

std::vector<std::tuple<int, int, std::string, std::string>> Rows(const PodCatalogue& types)
{
    std::vector<std::tuple<int, int, std::string, std::string>> rows;
    for (const auto& e : types)
        rows.emplace_back(e.Type, e.Reply, e.Name, e.BootName);
    return rows;
}

// The catalogue on the real registry of a throwaway wine prefix, whose
// catalogue key CTest deletes before this runs.
TEST(WindowsRegistry, FirstStartSeedsAndLaterStartsReadWhatIsStored)
{
    WinRegistryStore store;
    ASSERT_FALSE(store.OpenKey(Types)) << "not a fresh registry";
    const PodCatalogue seed = RegisterPod::InitPodTypes(store);
    testing::ExpectSeed(seed);
    const auto key = store.OpenKey(Types);
    ASSERT_TRUE(key);
    EXPECT_EQ(store.QueryValue(*key, "Version")->data, (std::vector<std::uint8_t>{17, 0, 0, 0}));
    store.CloseKey(*key);
    // What the seed wrote reads back as the seed.
    EXPECT_EQ(Rows(RegisterPod::InitPodTypes(store)), Rows(seed));

    // By hand: a new entry, a reply stored as text, a name too long to read.
    const auto text = [](std::string_view s) { return std::vector<std::uint8_t>(s.begin(), s.end()); };
    Put(store, Types + "\\40", "Name", StoreText, text("Extra "));
    Put(store, Types + "\\40", "BootName", StoreText, text("EXTRA "));
    Put(store, Types + "\\40", "Type", StoreNumber, {40, 0, 0, 0});
    Put(store, Types + "\\40", "Reply", StoreNumber, {0x30, 0, 0, 0});
    Put(store, Types + "\\5", "Reply", StoreText, text("0x66"));
    Put(store, Types + "\\7", "Name", StoreText, std::vector<std::uint8_t>(300, 'N'));
    auto expected = Rows(seed);
    expected.resize(41);
    expected[40] = {40, 0x30, "Extra ", "EXTRA "};
    expected[5] = {seed[5].Type, 0, "", ""};             // reading stops at the text
    expected[7] = {seed[7].Type, seed[7].Reply, "", ""}; // a text longer than the buffer is refused
    EXPECT_EQ(Rows(RegisterPod::InitPodTypes(store)), expected);
}

} // namespace
} // namespace vantelo
