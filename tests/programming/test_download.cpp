#include "support/SimFixture.h"

#include "programming/DownloadBlock.h"
#include "programming/DownloadData.h"

#include <functional>

namespace vantelo {
namespace {

using Block = std::array<std::uint8_t, 11>;

TEST(DownloadBlock, NumberHighByteFirstThenDataThenChecksum)
{
    const std::array<std::uint8_t, 8> counting = {1, 2, 3, 4, 5, 6, 7, 8};
    const std::array<std::uint8_t, 8> tens = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80};
    EXPECT_EQ(BuildDownloadBlock(258, counting), (Block{0x01, 0x02, 1, 2, 3, 4, 5, 6, 7, 8, 0xD8}));
    EXPECT_EQ(BuildDownloadBlock(0, tens), (Block{0, 0, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0xBF}));
    const std::pair<std::int32_t, std::int16_t> counts[] = {
        {-32768, 0}, {-1, 0}, {0, 0}, {1, 1}, {8, 1}, {9, 2}, {257, 33}, {32760, 4095}};
    for (const auto& [length, blocks] : counts)
        EXPECT_EQ(BlockCount(length), blocks) << length;
}

class Download : public testing::SimFixture {
protected:
    Download()
    {
        for (std::size_t i = 0; i < buffer.size(); ++i)
            buffer[i] = static_cast<std::uint8_t>(i * 31 + (i >> 8));
    }

    // Block numbers as the pod received them: one entry per attempt.
    std::vector<int> BlockAttempts() const
    {
        std::vector<int> numbers;
        const auto& got = pod.received();
        for (std::size_t i = 0; i + 2 < got.size(); ++i)
            if (got[i].value == 0x11 && got[i].settings.parity == Parity::Odd)
                numbers.push_back(got[i + 1].value << 8 | got[i + 2].value);
        return numbers;
    }

    std::array<std::uint8_t, ImageSize> buffer{};
};

TEST_F(Download, WholeImageArrivesIntact)
{
    ASSERT_TRUE(DownloadData(link, buffer, MaxDownloadLength));
    EXPECT_TRUE(std::ranges::equal(pod.Image(), std::span(buffer).first(MaxDownloadLength)));
    EXPECT_EQ(BlockAttempts().size(), 4095u);
    EXPECT_TRUE(msgBox.calls.empty());
}

TEST_F(Download, ProgressAndTheLastBlocksTail)
{
    pod.model().turnaround = 450 * sim::Millisecond; // late, within the time-out
    ASSERT_TRUE(DownloadData(link, buffer, 20));
    EXPECT_EQ(view.percentages, (std::vector<QString>{"0.0%", "33.3%", "66.6%", "100%"}));
    EXPECT_EQ(view.progress, (std::vector<int>{0, 333, 666, 1000}));
    // The last block carries the buffer's bytes after the image.
    ASSERT_EQ(pod.blocks().size(), 3u);
    EXPECT_TRUE(std::ranges::equal(pod.blocks().at(2), std::span(buffer).subspan(16, 8)));
}

TEST_F(Download, NothingToSendStillDropsLeftoversAndShowsDone)
{
    for (std::int32_t length : {0, -32768}) {
        LeaveALateAcknowledgement();
        const auto before = pod.received().size();
        EXPECT_TRUE(DownloadData(link, buffer, length)) << length;
        EXPECT_EQ(pod.received().size(), before) << length;
        EXPECT_EQ(line.InBufferCount(), 0) << length;
        EXPECT_EQ(view.percentages.back(), "100%");
        EXPECT_EQ(view.progress.back(), 1000);
    }
}

TEST_F(Download, BlockIsTriedFourTimesAtMost)
{
    const struct {
        const char* pod;
        std::function<void(sim::PodFaults&)> fault;
        bool sent;
        std::vector<int> attempts;
        std::vector<QString> messages;
    } rows[] = {
        {"refuses block 1 three times", [](auto& f) { f.refuseBlock = 1, f.refuseBlockTimes = 3; }, true,
         {0, 1, 1, 1, 1, 2}, {}},
        {"refuses block 1 four times", [](auto& f) { f.refuseBlock = 1, f.refuseBlockTimes = 4; }, false,
         {0, 1, 1, 1, 1}, {"Error!  1: Reply to download failed"}},
        // Block 0 times out with one byte waiting; its second attempt finds two.
        {"answers one byte at a time", [](auto& f) { f.singleByteReplies = true; }, true, {0, 0, 1, 1, 2, 2}, {}},
        {"silent", [](auto& f) { f.silent = true; }, false, {0, 0, 0, 0}, {"Error!  0: No reply to download"}},
        // An acknowledgement left over from an earlier exchange does not count.
        {"acknowledges wrongly, late", [this](auto&) { LeaveALateAcknowledgement(); }, false, {0, 0, 0, 0},
         {"Error!  0: Reply to download failed"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pod);
        pod.model().faults = {};
        row.fault(pod.model().faults);
        pod.Clear();
        msgBox.calls.clear();
        view.percentages.clear();
        EXPECT_EQ(DownloadData(link, buffer, 24), row.sent);
        EXPECT_EQ(BlockAttempts(), row.attempts);
        EXPECT_EQ(Messages(), row.messages);
        if (!row.sent) {
            EXPECT_EQ(msgBox.calls[0].icon, MsgIcon::Exclamation);
            EXPECT_EQ(std::ranges::count(view.percentages, "100%"), 0);
        }
    }
}

TEST_F(Download, LengthBeyondTheLimitIsRefusedUnsent)
{
    EXPECT_FALSE(DownloadData(link, buffer, MaxDownloadLength + 1));
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!: The image is 32761 bytes long; at most "
                                                "32760 bytes can be sent"}));
    EXPECT_TRUE(pod.received().empty());
}

} // namespace
} // namespace vantelo
