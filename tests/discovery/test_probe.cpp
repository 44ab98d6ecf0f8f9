#include "support/PodModels.h"
#include "support/SimFixture.h"

#include "discovery/ProbePort.h"

#include <algorithm>

namespace vantelo {
namespace {

using sim::Millisecond;

const std::vector<std::string> RateOrder = {"9600,n,8,2",  "38400,n,8,2", "28800,n,8,2",
                                            "19200,n,8,2", "14400,n,8,2", "4800,n,8,2",
                                            "2400,n,8,2"};

class Probe : public testing::SimFixture {
protected:
    Probe() : SimFixture(testing::PodModelOf(0x22, 38400, 1, 2)) {}

    std::vector<std::string> RatesTried() const
    {
        std::vector<std::string> rates;
        for (const auto& s : line.settingsLog())
            if (std::find(RateOrder.begin(), RateOrder.end(), s) != RateOrder.end())
                rates.push_back(s);
        return rates;
    }
};

TEST_F(Probe, FindsThePodAtItsRateAfterTheFasterOnesFail)
{
    EXPECT_EQ(ProbePort(link, true), 0x020122);
    EXPECT_EQ(RatesTried(), (std::vector<std::string>{"9600,n,8,2", "38400,n,8,2"}));
    EXPECT_EQ(pod.restarts(), 1) << "restarted after it was identified";
    EXPECT_TRUE(msgBox.calls.empty());

    // The wake-up pulse, then the probe sequence at each rate, all framed n,8,2.
    const auto& got = pod.received();
    ASSERT_GE(got.size(), 15u);
    EXPECT_EQ(got[0].value, 0x00);
    EXPECT_EQ(got[0].settings.baud, 110);
    const std::vector<std::uint8_t> sequence = {0xFF, 'S', 'E', 'T', 'P', 'O', 'D'};
    for (std::size_t i = 0; i < 14; ++i) {
        EXPECT_EQ(got[1 + i].value, sequence[i % 7]) << i;
        EXPECT_TRUE(got[1 + i].ninthBit) << i;
        EXPECT_EQ(got[1 + i].settings.baud, i < 7 ? 9600 : 38400) << i;
    }
}

TEST_F(Probe, WithoutRestartTheProbeLeavesThePodAlone)
{
    EXPECT_EQ(ProbePort(link, false), 0x020122);
    EXPECT_EQ(pod.restarts(), 0);
    EXPECT_EQ(line.settingsLog().back(), "38400,n,8,2");
}

TEST_F(Probe, SurplusBytesBeforeTheAnswerAreSkipped)
{
    pod.model().faults.probeReply = std::vector<std::uint8_t>{0x55, 0x66, 0x22, 0x01, 0x02, 0xDA, 0x00};
    EXPECT_EQ(ProbePort(link, false), 0x020122);
}

TEST_F(Probe, AnswersThatDoNotIdentifyAPodAreNoAnswer)
{
    const std::vector<std::vector<std::uint8_t>> replies = {
        {0x22, 0x01, 0x02, 0xDA},       // four bytes only
        {0x1F, 0x01, 0x02, 0xDD, 0x00}, // checks, but no catalogue entry answers 0x1F
        {0x22, 0x01, 0x02, 0xDB, 0x00}, // checksum off by one
    };
    for (const auto& reply : replies) {
        pod.model().faults.probeReply = reply;
        const auto tried = line.settingsLog().size();
        EXPECT_EQ(ProbePort(link, true), 0);
        EXPECT_EQ(line.settingsLog().size() - tried, 8u) << "the pulse and all seven rates";
    }
    EXPECT_EQ(pod.restarts(), 0);
    EXPECT_EQ(line.settingsLog().back(), "2400,n,8,2");
}

TEST_F(Probe, ChecksumOffByOneFailsAtEveryRate)
{
    for (const std::int32_t baud : {9600, 38400, 28800, 19200, 14400, 4800, 2400}) {
        sim::PodModel model = testing::PodModelOf(0x22, baud, 1, 2);
        model.faults.badProbeChecksum = true;
        sim::Pod other(model);
        line.PortOpen(false);
        line.Connect(1, other);
        ASSERT_TRUE(line.PortOpen(true));
        EXPECT_EQ(ProbePort(link, true), 0) << baud;
        EXPECT_EQ(other.probesAnswered(), 1) << baud;
        EXPECT_EQ(other.restarts(), 0) << baud;
    }
}

TEST_F(Probe, EveryRateFindsItsPod)
{
    for (const std::int32_t baud : {9600, 38400, 28800, 19200, 14400, 4800, 2400}) {
        sim::Pod other(testing::PodModelOf(0x22, baud, 1, 2));
        line.PortOpen(false);
        line.Connect(1, other);
        ASSERT_TRUE(line.PortOpen(true));
        EXPECT_EQ(ProbePort(link, false), 0x020122) << baud;
    }
}

TEST_F(Probe, SharedIdentificationByteStillIdentifies)
{
    podTypes[20].Reply = 0x22;
    EXPECT_EQ(ProbePort(link, false), 0x020122);
    EXPECT_EQ(RegisterPod::FindPodType(podTypes, 0x22), 1);
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

TEST_F(Probe, EmptyCatalogueIdentifiesNothing)
{
    podTypes.clear();
    EXPECT_EQ(ProbePort(link, true), 0);
}

} // namespace
} // namespace vantelo
