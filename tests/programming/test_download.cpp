#include "support/SimFixture.h"

#include "programming/DownloadBlock.h"
#include "programming/DownloadData.h"
#include "serial/CommandExchange.h"

#include <bit>

namespace vantelo {
namespace {

using Block = std::array<std::uint8_t, 11>;

TEST(DownloadBlock, WorkedExamples)
{
    const std::array<std::uint8_t, 8> counting = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(BuildDownloadBlock(258, counting),
              (Block{0x01, 0x02, 1, 2, 3, 4, 5, 6, 7, 8, 0xD8}));
    const std::array<std::uint8_t, 8> tens = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80};
    EXPECT_EQ(BuildDownloadBlock(0, tens),
              (Block{0x00, 0x00, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0xBF}));
    const auto block300 = BuildDownloadBlock(300, counting);
    EXPECT_EQ(block300[0], 0x01);
    EXPECT_EQ(block300[1], 0x2C);
    EXPECT_EQ(BuildDownloadBlock(4094, counting)[0], 0x0F);
}

TEST(DownloadBlock, CountRoundsUp)
{
    EXPECT_EQ(BlockCount(0), 0);
    EXPECT_EQ(BlockCount(-1), 0);
    EXPECT_EQ(BlockCount(-32768), 0);
    EXPECT_EQ(BlockCount(1), 1);
    EXPECT_EQ(BlockCount(8), 1);
    EXPECT_EQ(BlockCount(9), 2);
    EXPECT_EQ(BlockCount(256), 32);
    EXPECT_EQ(BlockCount(257), 33);
    EXPECT_EQ(BlockCount(32760), 4095);
}

class Download : public testing::SimFixture {
protected:
    Download()
    {
        for (std::size_t i = 0; i < buffer.size(); ++i)
            buffer[i] = static_cast<std::uint8_t>(i * 31 + (i >> 8));
    }

    // Every block as the pod received it: one entry per attempt.
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

TEST_F(Download, WholeImageArrivesIntactWithEveryByteFramed)
{
    ASSERT_TRUE(DownloadData(link, buffer, MaxDownloadLength));
    const auto image = pod.Image();
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + MaxDownloadLength, image.begin(),
                           image.end()));
    EXPECT_EQ(pod.blocks().size(), 4095u);

    int commands = 0;
    for (const auto& byte : pod.received()) {
        const bool evenWeight = std::popcount(byte.value) % 2 == 0;
        if (byte.settings.parity == Parity::Odd) {
            ++commands;
            EXPECT_EQ(byte.value, 0x11);
            EXPECT_TRUE(byte.ninthBit);
        } else {
            ASSERT_EQ(byte.settings.parity, Parity::Even);
            EXPECT_EQ(byte.ninthBit, !evenWeight) << "payload is sent with even parity";
        }
    }
    EXPECT_EQ(commands, 4095);
    EXPECT_EQ(view.percentages.back(), "100%");
    EXPECT_EQ(view.progress.back(), 1000);
    EXPECT_TRUE(msgBox.calls.empty());
}

TEST_F(Download, NothingToSendStillFlushesAndShowsDone)
{
    for (std::int32_t length : {0, -1, -32768}) {
        pod.model().faults.singleByteReplies = true;
        const std::uint8_t restart[] = {0xFF};
        SendCommandFrame(link, 0x33, restart);
        clock.RunAll();
        ASSERT_EQ(line.InBufferCount(), 1);
        const auto before = pod.received().size();
        EXPECT_TRUE(DownloadData(link, buffer, length)) << length;
        EXPECT_EQ(pod.received().size(), before) << length;
        EXPECT_EQ(line.InBufferCount(), 0) << "leftovers are dropped";
        EXPECT_EQ(view.percentages.back(), "100%");
        EXPECT_EQ(view.progress.back(), 1000);
    }
}

TEST_F(Download, LastBlockCarriesTheBufferBytesAfterTheImage)
{
    ASSERT_TRUE(DownloadData(link, buffer, 12));
    ASSERT_EQ(pod.blocks().size(), 2u);
    const auto& second = pod.blocks().at(1);
    EXPECT_TRUE(std::equal(second.begin(), second.end(), buffer.begin() + 8));
}

TEST_F(Download, ProgressShowsTheBlockJustAccepted)
{
    ASSERT_TRUE(DownloadData(link, buffer, 24));
    EXPECT_EQ(view.percentages, (std::vector<QString>{"0.0%", "33.3%", "66.6%", "100%"}));
    EXPECT_EQ(view.progress, (std::vector<int>{0, 333, 666, 1000}));
}

TEST_F(Download, RefusedBlockIsResentUntilItsThirdRepeat)
{
    pod.model().faults.refuseBlock = 1;
    pod.model().faults.refuseBlockTimes = 3;
    ASSERT_TRUE(DownloadData(link, buffer, 24));
    EXPECT_EQ(BlockAttempts(), (std::vector<int>{0, 1, 1, 1, 1, 2}));
    EXPECT_TRUE(msgBox.calls.empty());
}

TEST_F(Download, BlockRefusedFourTimesEndsTheDownload)
{
    pod.model().faults.refuseBlock = 5;
    pod.model().faults.refuseBlockTimes = 4;
    view.percentages.clear();
    EXPECT_FALSE(DownloadData(link, buffer, 80));
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!  5: Reply to download failed"}));
    EXPECT_EQ(msgBox.calls[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(BlockAttempts(), (std::vector<int>{0, 1, 2, 3, 4, 5, 5, 5, 5}));
    EXPECT_EQ(view.percentages.back(), "40.0%") << "progress of the last accepted block stays";
    EXPECT_EQ(line.settingsLog().back(), "9600,e,8,1");
}

TEST_F(Download, SingleByteRepliesAreJoinedAcrossAttempts)
{
    pod.model().faults.singleByteReplies = true;
    ASSERT_TRUE(DownloadData(link, buffer, 16));
    // Block 0 times out with one byte waiting; its second attempt finds two.
    // Block 1 then starts with nothing waiting and needs two attempts too.
    EXPECT_EQ(BlockAttempts(), (std::vector<int>{0, 0, 1, 1}));
    EXPECT_TRUE(msgBox.calls.empty());
}

TEST_F(Download, SilentOrWrongPodsAreReportedWithTheBlockNumber)
{
    pod.model().faults.silent = true;
    EXPECT_FALSE(DownloadData(link, buffer, 16));
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!  0: No reply to download"}));
    msgBox.calls.clear();

    pod.model().faults.silent = false;
    pod.model().faults.wrongAcknowledgement = true;
    EXPECT_FALSE(DownloadData(link, buffer, 16));
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!  0: Reply to download failed"}));
}

TEST_F(Download, LengthBeyondTheLimitIsRefusedUnsent)
{
    EXPECT_FALSE(DownloadData(link, buffer, MaxDownloadLength + 1));
    ASSERT_EQ(msgBox.calls.size(), 1u);
    EXPECT_EQ(msgBox.calls[0].title, "Error!");
    EXPECT_TRUE(pod.received().empty());
}

} // namespace
} // namespace vantelo
