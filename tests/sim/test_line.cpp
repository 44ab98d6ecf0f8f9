#include "sim/Clock.h"
#include "sim/Line.h"
#include "sim/Pod.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace vantelo::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr Nanos Second = 1'000'000'000;
const Bytes Probe{0xFF, 'S', 'E', 'T', 'P', 'O', 'D'};

LineSettings Parsed(std::string_view text)
{
    return ParseLineSettings(text).value();
}

// Payload followed by the checksum that makes all of it sum to 0xFF.
Bytes Sealed(Bytes payload)
{
    const auto sum = std::accumulate(payload.begin(), payload.end(), 0u);
    payload.push_back(static_cast<std::uint8_t>(0xFF - sum));
    return payload;
}

// A pod on port 1, the port open.
class LineTest : public ::testing::Test {
protected:
    explicit LineTest(PodModel model = {}) : pod(model)
    {
        line.Connect(1, pod);
        line.CommPort(1);
        EXPECT_TRUE(line.PortOpen(true));
    }

    void Send(std::string_view settings, const Bytes& bytes)
    {
        ASSERT_TRUE(line.Settings(settings));
        line.Output(bytes);
    }

    void WakeUp() { Send("110,n,8,2", {0x00}); }

    // A command byte with a parity error against the pod, then the payload without.
    Bytes Command(std::uint8_t command, const Bytes& payload)
    {
        Send("9600,o,8,1", {command});
        Send("9600,e,8,1", payload);
        clock.RunAll();
        return line.Input();
    }

    Clock clock;
    Line line{clock};
    Pod pod;
};

class ProbeTest : public LineTest {
protected:
    ProbeTest()
        : LineTest({.reply = 0x22, .major = 1, .minor = 2, .baud = 19200,
                    .turnaround = 2 * Millisecond, .faults = {}})
    {
    }
};

TEST(Framing, CharacterLengthAndNinthBit)
{
    for (const char* settings : {"9600,o,8,1", "9600,n,8,2", "110,n,8,2"})
        EXPECT_EQ(CharacterBits(Parsed(settings)), 11) << settings;

    EXPECT_TRUE(NinthBit(0x11, Parsed("9600,o,8,1")));
    EXPECT_FALSE(NinthBit(0x01, Parsed("9600,o,8,1")));
    EXPECT_TRUE(NinthBit(0x01, Parsed("9600,e,8,1")));
    EXPECT_FALSE(NinthBit(0x03, Parsed("9600,e,8,1")));
    for (const std::uint8_t value : {0x00, 0x01, 0x03, 0xFF})
        EXPECT_TRUE(NinthBit(value, Parsed("38400,n,8,2"))) << int{value};
}

TEST_F(LineTest, BurstTakesElevenBitTimesPerByte)
{
    const Bytes burst{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    Send("9600,o,8,1", burst);
    clock.RunAll();

    ASSERT_EQ(pod.received().size(), burst.size());
    for (std::size_t i = 0; i < burst.size(); ++i)
        EXPECT_EQ(pod.received()[i].value, burst[i]);
    // Whole nanoseconds per byte: at most one lost to rounding each.
    EXPECT_NEAR(static_cast<double>(pod.received().back().time), 12.0 * 11 * Second / 9600, 12.0);
}

TEST_F(LineTest, SettingsWaitUntilQueuedBytesHaveLeft)
{
    Send("9600,o,8,1", {0x33});
    ASSERT_TRUE(line.Settings("9600,e,8,1"));
    EXPECT_EQ(clock.Now(), 11 * Second / 9600);
    line.Output(Bytes{0xFF});
    clock.RunAll();

    ASSERT_EQ(pod.received().size(), 2u);
    EXPECT_EQ(pod.received()[0].settings, Parsed("9600,o,8,1"));
    EXPECT_EQ(pod.received()[1].settings, Parsed("9600,e,8,1"));
    EXPECT_EQ(line.settingsLog(), (std::vector<std::string>{"9600,o,8,1", "9600,e,8,1"}));
}

TEST_F(ProbeTest, AnsweredOnlyAfterTheLowPulseAndAtTheListeningRate)
{
    Send("19200,n,8,2", Probe);
    clock.RunAll();
    EXPECT_EQ(pod.probesAnswered(), 0) << "asleep";

    WakeUp();
    Send("38400,n,8,2", Probe);
    clock.RunAll();
    EXPECT_EQ(pod.probesAnswered(), 0) << "wrong rate";

    Send("19200,n,8,2", Probe);
    clock.RunAll();
    EXPECT_EQ(pod.probesAnswered(), 1);
    EXPECT_EQ(line.Input(), (Bytes{0x22, 0x01, 0x02, 0xDA, 0x00}));
}

TEST_F(ProbeTest, ReplyIsLostWhenThePortChangesBeforeItArrives)
{
    WakeUp();
    Send("19200,n,8,2", Probe);
    ASSERT_TRUE(line.Settings("9600,n,8,2"));
    clock.RunAll();
    EXPECT_EQ(pod.probesAnswered(), 1);
    EXPECT_EQ(line.InBufferCount(), 0) << "other baud";

    Send("19200,n,8,2", Probe);
    ASSERT_TRUE(line.Settings("19200,n,8,2"));
    ASSERT_TRUE(line.PortOpen(false));
    ASSERT_TRUE(line.PortOpen(true));
    clock.RunAll();
    EXPECT_EQ(pod.probesAnswered(), 2);
    EXPECT_EQ(line.InBufferCount(), 0) << "reopened";
}

TEST_F(LineTest, FramesAreAcknowledgedOnlyWithAGoodChecksum)
{
    EXPECT_EQ(Command(0x33, {0xFF}), (Bytes{0xF0, 0x00}));
    EXPECT_EQ(pod.restarts(), 1);

    const Bytes block = Sealed({0x00, 0x00, 1, 2, 3, 4, 5, 6, 7, 8});
    Bytes corrupted = block;
    corrupted.back() ^= 0x01;
    EXPECT_EQ(Command(0x11, corrupted), (Bytes{0x0F, 0x00}));
    EXPECT_TRUE(pod.blocks().empty());

    EXPECT_EQ(Command(0x11, block), (Bytes{0xF0, 0x00}));
    EXPECT_EQ(pod.Image(), (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(LinePorts, OnlyPresentPortsOpen)
{
    Clock clock;
    Line line{clock};
    line.CommPort(2);
    EXPECT_FALSE(line.PortOpen(true)) << "missing";
    EXPECT_FALSE(line.PortOpen());

    line.Empty(2);
    EXPECT_TRUE(line.PortOpen(true));
    EXPECT_EQ(line.opens(), 1);

    ASSERT_TRUE(line.PortOpen(false));
    line.Unplug(2);
    EXPECT_FALSE(line.PortOpen(true)) << "unplugged";
}

TEST(ClockTimer, ProcessEventsJumpsToTheDeadlineAndStopsTheTimer)
{
    Clock clock;
    clock.Interval(50);
    clock.Enabled(true);
    clock.ProcessEvents();
    EXPECT_EQ(clock.Now(), 50 * Millisecond);
    EXPECT_FALSE(clock.Enabled());
}

TEST(ClockTimer, EventAtTheDeadlineRunsBeforeTheTick)
{
    Clock clock;
    clock.Interval(50);
    clock.Enabled(true);
    bool ran = false;
    clock.Schedule(50 * Millisecond, [&] { ran = true; });

    clock.ProcessEvents();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(clock.Enabled());
    clock.ProcessEvents();
    EXPECT_FALSE(clock.Enabled());
    EXPECT_EQ(clock.Now(), 50 * Millisecond);
}

} // namespace
} // namespace vantelo::sim
