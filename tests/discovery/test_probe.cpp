#include "support/SimFixture.h"

#include "discovery/ProbePort.h"

namespace vantelo {
namespace {

using sim::Millisecond;
using sim::Nanos;

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
