#pragma once

#include "catalogue/PodTypeInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace vantelo::testing {

// The built-in catalogue's type and reply codes, entry by entry, written out
// here so that a wrong row in the product's seed is not also the expectation.
inline constexpr std::pair<int, int> SeedCodes[] = {
    {0, 0x11},  {1, 0x22},  {2, 0x33},  {3, 0x44},  {4, 0x55},  {5, 0x66},  {6, 0x77},  {7, 0x88},
    {8, 0x99},  {9, 0xAA},  {10, 0xBB}, {12, 0xCC}, {13, 0xDD}, {14, 0xEE}, {15, 0x1E}, {16, 0x1D},
    {17, 0x1C}, {18, 0x20}, {19, 0x21}, {20, 0x23}, {21, 0x24}, {22, 0x25}, {23, 0x15}, {24, 0x16},
    {25, 0x17}, {26, 0x18}, {27, 0x19}, {28, 0x26}, {29, 0x27}, {30, 0x28}, {31, 0x29}};

// The seed's codes; the two micros of one model share a name and differ in boot name.
inline void ExpectSeed(const PodCatalogue& types)
{
    ASSERT_EQ(types.size(), std::size(SeedCodes));
    for (std::size_t i = 0; i < types.size(); ++i)
        EXPECT_EQ((std::pair<int, int>(types[i].Type, types[i].Reply)), SeedCodes[i]) << "entry " << i;
    EXPECT_EQ(std::string(types[7].Name), std::string(types[8].Name));
    EXPECT_NE(std::string(types[7].BootName), std::string(types[8].BootName));
}

} // namespace vantelo::testing
