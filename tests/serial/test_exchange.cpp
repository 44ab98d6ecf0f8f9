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
    struct Row {
        std::vector<std::uint8_t> bytes;
        std::uint8_t checksum;
    };
    for (const Row& row : std::vector<Row>{{{0x00, 0x05, 0x20}, 0xDA},
                                           {{0x00, 0x00, 0x00}, 0xFF},
                                           {{0x00, 0xFF, 0xFF}, 0x01},
                                           {{0x01, 0x02, 1, 2, 3, 4, 5, 6, 7, 8}, 0xD8}}) {
        EXPECT_EQ(FrameChecksum(row.bytes), row.checksum);
        auto frame = row.bytes;
        frame.push_back(row.checksum);
        EXPECT_TRUE(FrameChecks(frame));
        for (int wrong = 1; wrong < 256; ++wrong) {
            frame.back() = static_cast<std::uint8_t>(row.checksum + wrong);
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

TEST_F(Link, RestartIsTriedFourTimesAtMost)
{
    struct Row {
        const char* pod;
        void (*fault)(sim::PodFaults&);
        bool restarted;
        std::size_t bytesSent; // two per attempt
        std::vector<QString> messages;
    };
    const Row rows[] = {
        {"answers", [](sim::PodFaults&) {}, true, 2, {}},
        {"answers with one byte", [](sim::PodFaults& f) { f.singleByteReplies = true; }, true, 4, {}},
        {"answers the fourth", [](sim::PodFaults& f) { f.ignoreRestarts = 3; }, true, 8, {}},
        {"ignores four", [](sim::PodFaults& f) { f.ignoreRestarts = 4; }, false, 8,
         {"Error!: No reply to restart"}},
        {"silent", [](sim::PodFaults& f) { f.silent = true; }, false, 8,
         {"Error!: No reply to restart"}},
        {"acknowledges wrongly", [](sim::PodFaults& f) { f.wrongAcknowledgement = true; }, false, 8,
         {"Error!: Reply fail to restart"}},
    };
    for (const Row& row : rows) {
        sim::Pod other(sim::PodModel{});
        row.fault(other.model().faults);
        line.Connect(1, other);
        msgBox.calls.clear();
        const Nanos start = clock.Now();
        EXPECT_EQ(RestartPod(link), row.restarted) << row.pod;
        EXPECT_EQ(other.received().size(), row.bytesSent) << row.pod;
        for (std::size_t i = 0; i < other.received().size(); ++i)
            EXPECT_EQ(other.received()[i].value, i % 2 ? 0xFF : 0x33) << row.pod;
        EXPECT_EQ(Messages(), row.messages) << row.pod;
        if (!row.restarted) {
            EXPECT_EQ(msgBox.calls[0].icon, MsgIcon::Exclamation);
        }
        // Each attempt: the command byte within a 10 ms pause, then the
        // payload and a 100 ms time-out that runs while it is on the wire.
        if (other.model().faults.silent) {
            EXPECT_EQ(clock.Now() - start, 4 * (10 + 100) * Millisecond);
        }
    }
}

} // namespace
} // namespace vantelo
