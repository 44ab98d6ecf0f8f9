#include "support/SimFixture.h"

#include "programming/DownloadBlock.h"
#include "programming/DownloadData.h"
#include "programming/SecondaryConfiguration.h"

#include <QLocale>

#include <functional>
#include <ranges>

namespace vantelo {
namespace {

using Block = std::array<std::uint8_t, 11>;

TEST(DownloadBlock, NumberHighByteFirstThenDataThenChecksum)
{
    const std::array<std::uint8_t, 8> counting = {1, 2, 3, 4, 5, 6, 7, 8};
    const std::array<std::uint8_t, 8> tens = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80};
    EXPECT_EQ(BuildDownloadBlock(258, counting), (Block{0x01, 0x02, 1, 2, 3, 4, 5, 6, 7, 8, 0xD8}));
    EXPECT_EQ(BuildDownloadBlock(0, tens), (Block{0, 0, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0xBF}));
    const std::pair<std::int32_t, std::int16_t> counts[] = {{-32768, 0}, {-1, 0}, {0, 0},    {1, 1},
                                                            {8, 1},      {9, 2},  {257, 33}, {32760, 4095}};
    for (const auto& [length, blocks] : counts)
        EXPECT_EQ(BlockCount(length), blocks) << length;
}

// A Velim pod, which takes downloads and a secondary table.
class Download : public testing::SimFixture {
protected:
    Download() : SimFixture(testing::PodModelOf(0xDD, 9600, 2))
    {
        for (std::size_t i = 0; i < buffer.size(); ++i)
            buffer[i] = static_cast<std::uint8_t>(i * 31 + (i >> 8));
    }

    // One entry per attempt at `command` the pod received: the block number
    // or secondary address its payload starts with.
    static std::vector<int> Attempts(const sim::Pod& pod, std::uint8_t command)
    {
        std::vector<int> numbers;
        const auto& got = pod.received();
        for (std::size_t i = 0; i + 2 < got.size(); ++i)
            if (got[i].value == command && got[i].settings.parity == Parity::Odd)
                numbers.push_back(got[i + 1].value << 8 | got[i + 2].value);
        return numbers;
    }

    std::array<std::uint8_t, ImageSize> buffer{};
    std::span<const std::uint8_t, 256> table = std::span(buffer).first<256>();
};
using Secondary = Download;

TEST_F(Download, WholeImageArrivesIntact)
{
    ASSERT_TRUE(DownloadData(link, buffer, MaxDownloadLength));
    EXPECT_TRUE(std::ranges::equal(pod.Image(), std::span(buffer).first(MaxDownloadLength)));
    EXPECT_EQ(Attempts(pod, 0x11).size(), 4095u);
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
        // clang-format off
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
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pod);
        pod.model().faults = {};
        row.fault(pod.model().faults);
        pod.Clear();
        msgBox.calls.clear();
        view.percentages.clear();
        EXPECT_EQ(DownloadData(link, buffer, 24), row.sent);
        EXPECT_EQ(Attempts(pod, 0x11), row.attempts);
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

TEST(SecondaryPacket, CarriesAddressValueAndChecksum)
{
    EXPECT_EQ(SecondaryPacket(5, 0x20), (std::array<std::uint8_t, 4>{0x00, 0x05, 0x20, 0xDA}));
    EXPECT_EQ(SecondaryPacket(255, 0xFF), (std::array<std::uint8_t, 4>{0x00, 0xFF, 0xFF, 0x01}));
}

TEST_F(Secondary, WholeTableLandsAtItsAddresses)
{
    // The first caption is fixed; the running ones follow the user's number format.
    QLocale::setDefault(QLocale(QLocale::German));
    const bool sent = ProgramSecondaryConfiguration(link, 13, table);
    QLocale::setDefault(QLocale::c());
    ASSERT_TRUE(sent);
    ASSERT_EQ(pod.secondary().size(), 256u);
    EXPECT_TRUE(std::ranges::equal(pod.secondary() | std::views::values, table));
    EXPECT_EQ(Attempts(pod, 0x44).size(), 256u) << "each byte acknowledged at once";
    EXPECT_EQ(view.statuses, std::vector<ProgramStep>{ProgramStep::SecondaryTable});
    ASSERT_GE(view.percentages.size(), 3u);
    EXPECT_EQ(std::vector(view.percentages.begin(), view.percentages.begin() + 3),
              (std::vector<QString>{"0.0%", "0,0%", "0,3%"}));
    EXPECT_EQ(view.percentages.back(), "100,0%");
    EXPECT_EQ(view.progress.back(), 1000);
    EXPECT_EQ(pod.restarts(), 1) << "a pass starts with a restart";
    EXPECT_TRUE(msgBox.calls.empty());
}

TEST_F(Secondary, OnlyTypes13And14HaveATable)
{
    for (std::uint8_t type : {0, 7, 12, 15}) {
        EXPECT_FALSE(ProgramSecondaryConfiguration(link, type, table));
        EXPECT_TRUE(pod.received().empty());
        EXPECT_TRUE(view.percentages.empty());
    }
    EXPECT_TRUE(ProgramSecondaryConfiguration(link, 14, table)) << "0xDD serves type 14 too";
}

TEST_F(Secondary, FailuresStartANewPassAndFiveInAllGiveUp)
{
    const QString byteFailed = "Error!: Failed to send secondary byte";
    const QString noRestart = "Error!: No reply to restart";
    const QString gaveUp = "Error!: Failed to Program Velim Pod Secondary configuration";
    const auto pod = [](int refusedAddress, int times, bool silent = false, std::uint8_t reply = 0xDD) {
        sim::PodModel model = testing::PodModelOf(reply);
        model.faults.refuseSecondaryAddress = refusedAddress;
        model.faults.refuseSecondaryTimes = times;
        model.faults.silent = silent;
        return model;
    };
    const struct {
        const char* pod;
        sim::PodModel model;
        bool sent;
        std::vector<QString> messages;
        std::size_t attempts; // secondary frames sent
        int restarts;
    } rows[] = {
        // clang-format off
        {"refuses a byte three times", pod(100, 3), true, {}, 256 + 3, 1},
        {"refuses a byte four times", pod(100, 4), true, {byteFailed}, 101 + 3 + 256, 2},
        {"refuses a byte always", pod(3, 1000), false,
         {byteFailed, byteFailed, byteFailed, byteFailed, byteFailed, gaveUp}, 5 * 7, 5},
        {"silent", pod(-1, 0, true), false, {noRestart, noRestart, noRestart, noRestart, noRestart, gaveUp}, 0, 0},
        {"of another kind", pod(-1, 0, false, 0x88), false, {gaveUp}, 0, 5},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pod);
        sim::Pod other(row.model);
        line.Connect(1, other);
        msgBox.calls.clear();
        EXPECT_EQ(ProgramSecondaryConfiguration(link, 13, table), row.sent);
        EXPECT_EQ(Messages(), row.messages);
        EXPECT_EQ(Attempts(other, 0x44).size(), row.attempts);
        EXPECT_EQ(other.restarts(), row.restarts);
    }
}

// Late but within the time-out counts; left over from an earlier exchange does not.
TEST_F(Secondary, AcknowledgementCountsOnlyWithinItsExchange)
{
    pod.model().turnaround = 450 * sim::Millisecond;
    EXPECT_TRUE(SendSecondaryByte(link, 7, 0x80));
    EXPECT_EQ(pod.secondary().at(7), 0x80);
    LeaveALateAcknowledgement();
    EXPECT_FALSE(SendSecondaryByte(link, 0, 0x80));
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!: Failed to send secondary byte"}));
}

} // namespace
} // namespace vantelo
