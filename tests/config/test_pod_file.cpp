#include "support/Files.h"

#include "config/PodFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace vantelo {
namespace {

bool ReadFrom(const PodConfiguration& c, const QByteArray& file)
{
    const auto at = [&](std::size_t offset) { return reinterpret_cast<const std::uint8_t*>(file.data()) + offset; };
    return c.type_code == *at(0) && std::equal(c.secondary_table.begin(), c.secondary_table.end(), at(1)) &&
           std::equal(c.main_image.begin(), c.main_image.end(), at(testing::MainImageAt)) &&
           std::equal(c.ir_image.begin(), c.ir_image.end(), at(testing::IrImageAt));
}

// The sizes around the layout's 65,803 bytes, then lengths at the edges of what
// a download can send for an ordinary type (0) and the two-micro one (7).
// A refused file leaves the configuration loaded before it.
TEST(PodFile, AcceptsWhatCanBeSentAndRefusesTheRestUntouched)
{
    using enum PodFileFault;
    // Size, type, main_length, ir_length, and the fault found.
    const std::tuple<qsizetype, std::uint8_t, std::int32_t, std::int32_t, PodFileFault> rows[] = {
        {0, 0, 0, 0, TooShort},           {65802, 0, 0, 0, TooShort},       {65803, 13, 0x1234, 0x7FF8, None},
        {65903, 0, 0, 0, None},           {65803, 0, -1, 0, MainLength},    {65803, 7, -1, -1, MainLength},
        {65803, 0, 32761, 0, MainLength}, {65803, 7, 32761, 0, MainLength}, {65803, 0, INT_MIN, 0, MainLength},
        {65803, 0, 32760, 32760, None},   {65803, 7, 32760, 32760, None},   {65803, 0, 0, -1, None},
        {65803, 7, 0, -1, IrLength},      {65803, 0, 0, 32761, None},       {65803, 7, 0, 32761, IrLength}};
    QTemporaryDir dir;
    const QString path = dir.filePath("job.TXF");
    const QByteArray previous = testing::ConfigFileBytes(2, 100, 200);
    auto config = std::make_unique<PodConfiguration>();
    for (const auto& [size, type, main, ir, fault] : rows) {
        SCOPED_TRACE(::testing::Message()
                     << size << " bytes, type " << int(type) << ", lengths " << main << " and " << ir);
        ASSERT_EQ(ParsePodConfiguration(
                      std::span(reinterpret_cast<const std::uint8_t*>(previous.data()), std::size_t(previous.size())),
                      *config)
                      .fault,
                  None);
        const QByteArray bytes = testing::ConfigFileBytes(type, main, ir, size);
        ASSERT_TRUE(testing::WriteFile(path, std::string_view(bytes.data(), std::size_t(bytes.size()))));
        const PodFileStatus status = LoadPodFile(path, *config);
        EXPECT_EQ(status.fault, fault);
        EXPECT_EQ(status.length, fault == MainLength ? main : fault == IrLength ? ir : 0);
        const bool read = fault == None;
        EXPECT_TRUE(ReadFrom(*config, read ? bytes : previous));
        EXPECT_EQ(std::pair(config->main_length, config->ir_length), read ? std::pair(main, ir) : std::pair(100, 200));
    }
    for (const QString& unreadable : {dir.filePath("missing.TXF"), dir.path()})
        EXPECT_EQ(LoadPodFile(unreadable, *config).fault, Unreadable);
}

TEST(PodFile, DisplayNameDropsTheFolderAndTheLastFourCharacters)
{
    const std::pair<const char*, std::optional<QString>> rows[] = {{"C:\\Jobs\\Hall2.TXF", "Hall2"},
                                                                   {"/jobs/Hall2.TXF", "Hall2"},
                                                                   {"/a\\b/c\\Hall2.TXF", "Hall2"},
                                                                   {"C:\\a\\b/Hall2.TXF", "Hall2"},
                                                                   {"job1.TXF", "job1"},
                                                                   {"conf.data", "conf."},
                                                                   {"C:\\abcd", ""},
                                                                   {"C:\\x.b", std::nullopt},
                                                                   {"/jobs/", std::nullopt}};
    for (const auto& [path, name] : rows)
        EXPECT_EQ(PodDisplayName(path), name) << path;
}

} // namespace
} // namespace vantelo
