#include "support/SimFixture.h"

#include "serial/Checksum.h"
#include "serial/CommandExchange.h"
#include "serial/RestartPod.h"
#include "serial/Waits.h"

namespace vantelo {
namespace {

using sim::Millisecond;
using sim::Nanos;

class Link : public testing::SimFixture {};

TEST(FrameChecksum, MakesTheFrameAddUpToFF)
{
    const std::uint8_t packet[] = {0x00, 0x05, 0x20};
    EXPECT_EQ(FrameChecksum(packet), 0xDA);
    const std::uint8_t zero[] = {0x00, 0x00, 0x00};
    EXPECT_EQ(FrameChecksum(zero), 0xFF);
    const std::uint8_t top[] = {0x00, 0xFF, 0xFF};
    EXPECT_EQ(FrameChecksum(top), 0x01);
    const std::uint8_t probe[] = {0x22, 0x01, 0x02, 0xDA};
    EXPECT_TRUE(FrameChecks(probe));
    const std::uint8_t offByOne[] = {0x22, 0x01, 0x02, 0xDB};
    EXPECT_FALSE(FrameChecks(offByOne));
}

TEST_F(Link, PauseLastsItsTimeEvenWhenTheTimerWasLeftRunning)
{
    clock.Interval(500);
    clock.Enabled(true); // as an earlier wait that ended early leaves it
    const Nanos start = clock.Now();
    Pause(link, 10);
    EXPECT_EQ(clock.Now() - start, 10 * Millisecond);
    EXPECT_FALSE(clock.Enabled());
}

TEST_F(Link, WaitForReplyReturnsAtOnceOrAfterItsTimeOut)
{
    pod.model().faults.singleByteReplies = true;
    const std::uint8_t payload[] = {0xFF};
    SendCommandFrame(link, 0x33, payload);
    clock.RunAll(); // the single 0xF0 is waiting now

    const Nanos start = clock.Now();
    EXPECT_TRUE(WaitForReply(link, 500, 1));
    EXPECT_EQ(clock.Now(), start) << "no wait when the byte is there";
    EXPECT_TRUE(clock.Enabled()) << "the timer runs on until its tick";

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
    EXPECT_TRUE(got[1].ninthBit);
    EXPECT_FALSE(got[2].ninthBit);
    EXPECT_EQ(got[2].settings.parity, Parity::Even);
    // The payload starts 10 ms after the command byte was handed over.
    EXPECT_EQ(got[1].time - got[0].time, 10 * Millisecond);
}

TEST_F(Link, RestartAcknowledgedAtOnce)
{
    EXPECT_TRUE(RestartPod(link));
    EXPECT_EQ(Received(), (std::vector<std::uint8_t>{0x33, 0xFF}));
    EXPECT_EQ(pod.restarts(), 1);
    EXPECT_TRUE(msgBox.calls.empty());
}

TEST_F(Link, RestartCarriesASingleByteIntoTheNextAttempt)
{
    pod.model().faults.singleByteReplies = true;
    EXPECT_TRUE(RestartPod(link));
    EXPECT_EQ(Received(), (std::vector<std::uint8_t>{0x33, 0xFF, 0x33, 0xFF}));
    EXPECT_TRUE(msgBox.calls.empty());
}

TEST_F(Link, RestartGivesUpAfterFourAttempts)
{
    pod.model().faults.silent = true;
    const Nanos start = clock.Now();
    EXPECT_FALSE(RestartPod(link));
    EXPECT_EQ(Received().size(), 8u) << "four attempts";
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!: No reply to restart"}));
    EXPECT_EQ(msgBox.calls[0].icon, MsgIcon::Exclamation);
    // Each attempt: the command byte within a 10 ms pause, then the payload
    // and a 100 ms time-out that runs while it is on the wire.
    EXPECT_EQ(clock.Now() - start, 4 * (10 * Millisecond + 100 * Millisecond));

    msgBox.calls.clear();
    pod.model().faults.silent = false;
    pod.model().faults.wrongAcknowledgement = true;
    EXPECT_FALSE(RestartPod(link));
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!: Reply fail to restart"}));
    EXPECT_EQ(line.settingsLog().back(), "9600,e,8,1");
}

TEST_F(Link, RestartAnsweredOnTheFourthAttemptSucceeds)
{
    pod.model().faults.ignoreRestarts = 3;
    EXPECT_TRUE(RestartPod(link));
    EXPECT_EQ(Received().size(), 8u);
    EXPECT_TRUE(msgBox.calls.empty());
}

} // namespace
} // namespace vantelo
