#include "support/SimFixture.h"

#include "serial/Checksum.h"
#include "serial/CommandExchange.h"
#include "serial/RestartPod.h"
#include "serial/Waits.h"

namespace vantelo {
namespace {

using sim::Millisecond;
using sim::Nanos;
using Link = testing::SimFixture;

TEST(FrameChecksum, MakesTheFrameAddUpToFFAndNoOtherLastByteChecks)
{
    const std::pair<std::vector<std::uint8_t>, std::uint8_t> rows[] = {{{0x00, 0x05, 0x20}, 0xDA},
                                                                       {{0x00, 0x00, 0x00}, 0xFF},
                                                                       {{0x00, 0xFF, 0xFF}, 0x01},
                                                                       {{0x01, 0x02, 1, 2, 3, 4, 5, 6, 7, 8}, 0xD8}};
    for (auto [frame, checksum] : rows) {
        EXPECT_EQ(FrameChecksum(frame), checksum);
        frame.push_back(checksum);
        EXPECT_TRUE(FrameChecks(frame));
        for (int wrong = 1; wrong < 256; ++wrong) {
            frame.back() = static_cast<std::uint8_t>(checksum + wrong);
            EXPECT_FALSE(FrameChecks(frame)) << "checksum off by " << wrong;
        }
    }
}

TEST_F(Link, WaitsLastTheirTimeOrEndWhenTheBytesAreThere)
{
    clock.Interval(500);
    clock.Enabled(true); // as an earlier wait that ended early leaves it
    Nanos start = clock.Now();
    Pause(link, 10);
    EXPECT_EQ(clock.Now() - start, 10 * Millisecond);
    EXPECT_FALSE(clock.Enabled());

    LeaveALateAcknowledgement();
    start = clock.Now();
    EXPECT_TRUE(WaitForReply(link, 500, 1));
    EXPECT_EQ(clock.Now(), start) << "no wait when the byte is there";
    EXPECT_FALSE(WaitForReply(link, 100, 2));
    EXPECT_EQ(clock.Now() - start, 100 * Millisecond);
    EXPECT_EQ(line.InBufferCount(), 1) << "the byte stays waiting";
}

TEST_F(Link, CommandByteAndPayloadAreMarkedByTheirParityBit)
{
    const std::uint8_t payload[] = {0x01, 0x03};
    SendCommandFrame(link, 0x11, payload);
    clock.RunAll();
    const auto& got = pod.received();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].value, 0x11);
    EXPECT_TRUE(got[0].ninthBit);
    EXPECT_EQ(got[0].settings.parity, Parity::Odd);
    EXPECT_TRUE(got[1].ninthBit) << "0x01 has odd weight: its even-parity bit is 1";
    EXPECT_FALSE(got[2].ninthBit);
    EXPECT_EQ(got[2].settings.parity, Parity::Even);
    // The payload starts 10 ms after the command byte was handed over.
    EXPECT_EQ(got[1].time - got[0].time, 10 * Millisecond);
}

// Each attempt: the command byte within a 10 ms pause, then the payload and
// a 100 ms time-out that runs while it is on the wire.
TEST_F(Link, RestartIsTriedFourTimesAtMost)
{
    const QString noReply = "Error!: No reply to restart";
    const struct {
        const char* pod;
        void (*fault)(sim::PodFaults&);
        std::size_t attempts;
        std::vector<QString> messages; // none: restarted
    } rows[] = {
        {"answers", [](sim::PodFaults&) {}, 1, {}},
        {"answers with one byte", [](sim::PodFaults& f) { f.singleByteReplies = true; }, 2, {}},
        {"answers the fourth", [](sim::PodFaults& f) { f.ignoreRestarts = 3; }, 4, {}},
        {"ignores four", [](sim::PodFaults& f) { f.ignoreRestarts = 4; }, 4, {noReply}},
        {"silent", [](sim::PodFaults& f) { f.silent = true; }, 4, {noReply}},
        {"acknowledges wrongly",
         [](sim::PodFaults& f) { f.wrongAcknowledgement = true; },
         4,
         {"Error!: Reply fail to restart"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pod);
        sim::Pod other(sim::PodModel{});
        row.fault(other.model().faults);
        line.Connect(1, other);
        msgBox.calls.clear();
        PodLink fresh{line, clock, msgBox, view, podTypes}; // owes nothing from the row before
        const Nanos start = clock.Now();
        EXPECT_EQ(RestartPod(fresh), row.messages.empty());
        ASSERT_EQ(other.received().size(), 2 * row.attempts);
        for (std::size_t i = 0; i < other.received().size(); ++i)
            EXPECT_EQ(other.received()[i].value, i % 2 ? 0xFF : 0x33);
        EXPECT_EQ(Messages(), row.messages);
        EXPECT_TRUE(row.messages.empty() || msgBox.calls[0].icon == MsgIcon::Exclamation);
        EXPECT_TRUE(!other.model().faults.silent || clock.Now() - start == 4 * (10 + 100) * Millisecond);
    }
}

} // namespace
} // namespace vantelo
