#include "support/SimFixture.h"

#include "discovery/ProbePort.h"
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
    const std::pair<std::vector<std::uint8_t>, std::uint8_t> rows[] = {
        {{0x00, 0x05, 0x20}, 0xDA}, {{0x00, 0x00, 0x00}, 0xFF}, {{0x00, 0xFF, 0xFF}, 0x01},
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
        {"acknowledges wrongly", [](sim::PodFaults& f) { f.wrongAcknowledgement = true; }, 4,
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

constexpr std::array<std::int32_t, 7> RateOrder = {9600, 38400, 28800, 19200, 14400, 4800, 2400};

class Probe : public testing::SimFixture {
protected:
    // A fresh pod on COM1, the port reopened.
    sim::Pod& Replace(sim::PodModel model)
    {
        other = std::make_unique<sim::Pod>(model);
        line.PortOpen(false);
        line.Connect(1, *other);
        EXPECT_TRUE(line.PortOpen(true));
        return *other;
    }

    std::unique_ptr<sim::Pod> other;
};

// A pod at each rate is found there, with every rate before it tried, or
// not at all when its checksum is off.
TEST_F(Probe, EveryRateInTurnUntilThePodAnswers)
{
    for (std::size_t rate = 0; rate < RateOrder.size(); ++rate) {
        SCOPED_TRACE(RateOrder[rate]);
        sim::PodModel model = testing::PodModelOf(0x22, RateOrder[rate], 1, 2);
        sim::Pod& pod = Replace(model);
        EXPECT_EQ(ProbePort(link, true), 0x020122);
        EXPECT_EQ(pod.restarts(), 1) << "restarted after it was identified";
        // The wake-up pulse, then the probe sequence at each rate, all framed n,8,2.
        const auto& got = pod.received();
        ASSERT_GE(got.size(), 1 + 7 * (rate + 1));
        EXPECT_EQ(got[0].value, 0x00);
        EXPECT_EQ(got[0].settings.baud, 110);
        const std::uint8_t sequence[] = {0xFF, 'S', 'E', 'T', 'P', 'O', 'D'};
        for (std::size_t i = 0; i < 7 * (rate + 1); ++i) {
            EXPECT_EQ(got[1 + i].value, sequence[i % 7]) << i;
            EXPECT_EQ(got[1 + i].settings, (LineSettings{RateOrder[i / 7], Parity::None, 8, 2})) << i;
        }
        model.faults.badProbeChecksum = true;
        const sim::Pod& bad = Replace(model);
        EXPECT_EQ(ProbePort(link, true), 0);
        EXPECT_EQ(bad.restarts(), 0);
    }
    EXPECT_TRUE(msgBox.calls.empty());
    Replace(testing::PodModelOf(0x22, 38400, 1, 2));
    EXPECT_EQ(ProbePort(link, false), 0x020122);
    EXPECT_EQ(other->restarts(), 0) << "without restart the pod is left alone";
}

TEST_F(Probe, AnswerIsTheFirstFourOfItsLastFiveBytes)
{
    const std::pair<const char*, std::vector<std::uint8_t>> rows[] = {
        {"four bytes only", {0x22, 0x01, 0x02, 0xDA}},
        {"no catalogue entry", {0x1F, 0x01, 0x02, 0xDD, 0x00}},
        {"checksum off by one", {0x22, 0x01, 0x02, 0xDB, 0x00}},
        {"checksum far off", {0x22, 0x01, 0x02, 0x5A, 0x00}},
        {"surplus before", {0x55, 0x66, 0x22, 0x01, 0x02, 0xDA, 0x00}}, // the one found
    };
    for (const auto& [reply, bytes] : rows) {
        SCOPED_TRACE(reply);
        sim::PodModel model = testing::PodModelOf(0x22, 9600, 1, 2);
        model.faults.probeReply = bytes;
        sim::Pod& pod = Replace(model);
        const bool found = bytes[0] == 0x55;
        EXPECT_EQ(ProbePort(link, true), found ? 0x020122 : 0);
        if (!found) {
            EXPECT_EQ(line.settingsLog().back(), "2400,n,8,2") << "every rate is tried";
            EXPECT_EQ(pod.restarts(), 0);
        }
    }
}

// Probe after probe, each restarting the pod it finds: a pod deaf while it
// boots after a restart it accepted, and one that misses a probe. The probe
// straight after a restart wakes the pod 111 ms into its 150 ms boot.
TEST_F(Probe, RebootingPodIsFoundOnceBootedAndAMissedProbeIsOnlyThatOne)
{
    const struct {
        const char* pod;
        Nanos reboot;
        int missProbe;
        std::vector<bool> found;
    } rows[] = {
        {"reboots in 150 ms", 150 * Millisecond, 0, {true, false, true, false}},
        {"misses its second probe", 0, 2, {true, false, true, true}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pod);
        sim::PodModel model = testing::PodModelOf(0x22, 9600, 1, 2);
        model.reboot = row.reboot;
        model.faults.missProbe = row.missProbe;
        Replace(model);
        for (std::size_t i = 0; i < row.found.size(); ++i)
            EXPECT_EQ(ProbePort(link, true), row.found[i] ? 0x020122 : 0) << "probe " << i + 1;
    }
}

TEST_F(Probe, CatalogueDecidesWhatIsIdentified)
{
    podTypes[20].Reply = 0x22; // a later entry sharing the byte changes nothing
    EXPECT_EQ(ProbePort(link, false), 0x000122);
    EXPECT_EQ(RegisterPod::FindPodType(podTypes, 0x22), 1);
    podTypes.clear();
    EXPECT_EQ(ProbePort(link, true), 0);
}

TEST_F(Probe, AdapterWithout110BaudWakesThePodWithABreak)
{
    line.RefuseRate(110);
    EXPECT_EQ(ProbePort(link, false), 0x000122);
    EXPECT_EQ(pod.received().at(0).low, 82 * Millisecond);
    EXPECT_EQ(pod.received().at(1).value, 0xFF) << "then the probe, as after the pulse";
}

TEST_F(Probe, EmptyPortTakesTheWholeScan)
{
    line.PortOpen(false);
    line.Empty(2);
    line.CommPort(2);
    ASSERT_TRUE(line.PortOpen(true));
    const auto start = clock.Now();
    EXPECT_EQ(ProbePort(link, true), 0);
    // The pulse's pause, then at each rate seven 10 ms pauses and a 100 ms wait.
    EXPECT_EQ(clock.Now() - start, (100 + 7 * (7 * 10 + 100)) * Millisecond);
}

} // namespace
} // namespace vantelo
