#include "support/PodModels.h"
#include "support/WindowFixture.h"

#include "sim/Pod.h"

#include <QRadioButton>
#include <QTest>

#include <iostream>
#include <memory>
#include <random>

namespace vantelo {
namespace {

constexpr int PodCount = 300;
constexpr std::int32_t ImageLength = 256; // 32 blocks

// One pod on the bench, with what it was given and what the program said.
struct BenchPod {
    std::unique_ptr<sim::Pod> pod;
    std::string fault;    // empty: none
    bool mustFail = false;
    bool reportedProgrammed = false;
    int failuresReported = 0;
};

BenchPod MakePod(std::mt19937& random)
{
    static constexpr std::array<std::int32_t, 7> rates = {9600, 38400, 28800, 19200,
                                                         14400, 4800,  2400};
    sim::PodModel model = testing::PodModelOf(0x22, rates[random() % rates.size()]);
    model.turnaround = static_cast<sim::Nanos>(random() % 20) * sim::Millisecond;
    BenchPod bench;
    auto& faults = model.faults;
    const auto pick = random() % 20;
    const int times = 1 + static_cast<int>(random() % 6); // up to 3 are survived
    switch (pick) {
    case 0: faults.silent = true; bench.fault = "silent"; break;
    case 1: faults.wrongAcknowledgement = true; bench.fault = "wrong acknowledgement"; break;
    case 2: faults.singleByteReplies = true; bench.fault = "single-byte replies"; break;
    case 3:
        faults.refuseBlock = static_cast<int>(random() % 32);
        faults.refuseBlockTimes = times;
        bench.fault = "refused block";
        bench.mustFail = times > 3;
        break;
    case 4: faults.badProbeChecksum = true; bench.fault = "bad probe checksum"; break;
    case 5:
        faults.ignoreRestarts = times;
        bench.fault = "unanswered restarts";
        bench.mustFail = times > 3;
        break;
    case 6:
        faults.unplugAfterBytes = static_cast<int>(random() % (8 + 32 * 12));
        bench.fault = "gone mid-way";
        break;
    case 7: model.reply = 0x33; bench.fault = "another type"; break;
    default: break;
    }
    bench.mustFail = bench.mustFail || pick == 0 || pick == 1 || pick == 4 || pick == 6 || pick == 7;
    bench.pod = std::make_unique<sim::Pod>(model);
    return bench;
}

class Soak : public testing::WindowFixture {};

// Pods programmed one after another on COM1, each next one plugged in while
// "Program another pod" is asked and the answer is Yes; after a failure the
// technician plugs in the next pod and clicks Download again.
TEST_F(Soak, EveryPodReportedProgrammedHoldsTheImage)
{
    std::mt19937 random(20261206);
    std::vector<BenchPod> bench;
    for (int i = 0; i < PodCount; ++i)
        bench.push_back(MakePod(random));

    sim::Pod searched(testing::PodModelOf(0x22));
    line.Connect(1, searched);
    const auto w = Start();
    LoadThroughDialog(*w, ConfigFile("soak.TXF", 1, ImageLength));
    QTest::mouseClick(w->Option1[0], Qt::LeftButton);
    const auto& image = w->configuration().main_image;
    const std::vector<std::uint8_t> expected(image.begin(), image.begin() + ImageLength);

    std::size_t current = 0;
    line.Connect(1, *bench[current].pod);
    msgBox.onShow = [&] {
        BenchPod& pod = bench[current];
        if (msgBox.calls.back().title != "All sent ok") {
            ++pod.failuresReported;
            return;
        }
        pod.reportedProgrammed = true;
        const bool more = current + 1 < bench.size();
        msgBox.answers.push_back(more ? MsgAnswer::Yes : MsgAnswer::No);
        if (more)
            line.Connect(1, *bench[++current].pod);
    };
    while (current < bench.size()) {
        w->ProgramPod_Click();
        ASSERT_FALSE(w->running());
        ASSERT_FALSE(line.PortOpen());
        if (++current < bench.size())
            line.Connect(1, *bench[current].pod);
    }

    int faults = 0;
    int checks = 0;
    for (std::size_t i = 0; i < bench.size(); ++i) {
        const BenchPod& pod = bench[i];
        faults += !pod.fault.empty();
        const auto detail = "pod " + std::to_string(i) + " (" + pod.fault + ")";
        if (pod.reportedProgrammed) {
            ++checks;
            EXPECT_EQ(pod.pod->Image(), expected) << detail;
            EXPECT_EQ(pod.failuresReported, 0) << detail;
        }
        if (pod.mustFail) {
            ++checks;
            EXPECT_GT(pod.failuresReported, 0) << detail;
        }
        if (pod.fault.empty()) {
            ++checks;
            EXPECT_TRUE(pod.reportedProgrammed) << detail;
        }
        EXPECT_TRUE(pod.reportedProgrammed || pod.failuresReported > 0)
            << detail << ": neither programmed nor reported";
        ++checks;
    }
    std::cout << "soak: " << bench.size() << " pods, " << faults << " with faults, " << checks
              << " checks\n";
    RecordProperty("pods", static_cast<int>(bench.size()));
    RecordProperty("faults", faults);
    RecordProperty("checks", checks);
}

} // namespace
} // namespace vantelo
