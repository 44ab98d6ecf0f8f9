#include "config/PodFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace vantelo {
namespace {

// A file whose every field holds a value that tells where it was read from.
std::vector<std::uint8_t> MarkedFile(std::size_t size = PodFile::Size)
{
    std::vector<std::uint8_t> bytes(std::max(size, PodFile::MainImageOffset));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    bytes[0] = 13;
    // main_length 0x00001234 and ir_length 0x00007FF8, least significant byte first
    const std::uint8_t lengths[8] = {0x34, 0x12, 0x00, 0x00, 0xF8, 0x7F, 0x00, 0x00};
    std::copy(std::begin(lengths), std::end(lengths), bytes.begin() + 257);
    bytes.resize(size);
    return bytes;
}

void SetLength(std::vector<std::uint8_t>& bytes, std::size_t offset, std::int32_t value)
{
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(u >> (8 * i));
}

TEST(PodFileLayout, FieldsComeFromTheirOffsets)
{
    const auto bytes = MarkedFile();
    PodConfiguration config;
    ASSERT_EQ(ParsePodConfiguration(bytes, config).fault, PodFileFault::None);
    EXPECT_EQ(config.type_code, 13);
    EXPECT_EQ(config.secondary_table[0], bytes[1]);
    EXPECT_EQ(config.secondary_table[255], bytes[256]);
    EXPECT_EQ(config.main_length, 0x1234);
    EXPECT_EQ(config.ir_length, 0x7FF8);
    EXPECT_EQ(config.main_image[0], bytes[265]);
    EXPECT_EQ(config.main_image[32768], bytes[33033]);
    EXPECT_EQ(config.ir_image[0], bytes[33034]);
    EXPECT_EQ(config.ir_image[32768], bytes[65802]);
    EXPECT_EQ(PodFile::Size, 65803u);
}

TEST(PodFileLayout, BytesPastTheLayoutAreIgnored)
{
    auto longer = MarkedFile(PodFile::Size + 100);
    PodConfiguration config;
    ASSERT_EQ(ParsePodConfiguration(longer, config).fault, PodFileFault::None);
    EXPECT_EQ(config.ir_image[32768], longer[65802]);
}

TEST(PodFileLayout, ShortFileIsRefusedAndLeavesTheConfiguration)
{
    PodConfiguration config;
    config.type_code = 99;
    for (std::size_t size : {std::size_t{0}, std::size_t{264}, PodFile::Size - 1}) {
        const auto bytes = MarkedFile(size);
        EXPECT_EQ(ParsePodConfiguration(bytes, config).fault, PodFileFault::TooShort) << size;
        EXPECT_EQ(config.type_code, 99) << size;
    }
}

TEST(PodFileLayout, LengthsTheDownloadCannotSendAreRefused)
{
    auto bytes = MarkedFile();
    PodConfiguration config;
    for (std::int32_t bad : {-1, 32761, 32768, std::numeric_limits<std::int32_t>::min()}) {
        SetLength(bytes, PodFile::MainLengthOffset, bad);
        const auto status = ParsePodConfiguration(bytes, config);
        EXPECT_EQ(status.fault, PodFileFault::MainLength) << bad;
        EXPECT_EQ(status.length, bad);
        EXPECT_EQ(config.main_length, 0) << "refused files change nothing";
    }
    SetLength(bytes, PodFile::MainLengthOffset, 32760);

    // ir_length matters only where the second image is sent.
    SetLength(bytes, PodFile::IrLengthOffset, 40000);
    EXPECT_EQ(ParsePodConfiguration(bytes, config).fault, PodFileFault::None);
    EXPECT_EQ(config.ir_length, 40000);
    bytes[0] = TwoMicroTypeCode;
    const auto status = ParsePodConfiguration(bytes, config);
    EXPECT_EQ(status.fault, PodFileFault::IrLength);
    EXPECT_EQ(status.length, 40000);
    SetLength(bytes, PodFile::IrLengthOffset, 0);
    EXPECT_EQ(ParsePodConfiguration(bytes, config).fault, PodFileFault::None);
    EXPECT_EQ(config.main_length, 32760);
}

TEST(PodFileNames, DisplayNameDropsFolderAndLastFourCharacters)
{
    EXPECT_EQ(PodDisplayName("C:\\Jobs\\Hall2.TXF"), QString("Hall2"));
    EXPECT_EQ(PodDisplayName("/jobs/Hall2.TXF"), QString("Hall2"));
    EXPECT_EQ(PodDisplayName("/jobs\\mixed/a\\Hall2.TXF"), QString("Hall2"));
    EXPECT_EQ(PodDisplayName("job1.TXF"), QString("job1"));
    EXPECT_EQ(PodDisplayName("conf.data"), QString("conf."));
    EXPECT_EQ(PodDisplayName("C:\\abcd"), QString(""));
    EXPECT_FALSE(PodDisplayName("C:\\x.b"));
    EXPECT_FALSE(PodDisplayName("/jobs/"));
    EXPECT_EQ(PodFileName("C:\\x.b"), QString("x.b"));
}

} // namespace
} // namespace vantelo
