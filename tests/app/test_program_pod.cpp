#include "support/WindowFixture.h"

#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <functional>
#include <ranges>

namespace vantelo {
namespace {

using sim::Millisecond;
using testing::PodModelOf;

const QString ProgramFailed = "Error!: Program failed, Trellin will fail to operate correctly "
                              "until reprogrammmed, Try powering the pod off/wait/on and "
                              "reprogram again";
const QString Another = "All sent ok: Program another pod";
const QString NoRestart = "Error!: No reply to restart";
using Image = std::array<std::uint8_t, ImageSize>;

class ProgramPod : public testing::WindowFixture {
protected:
    // Loads the configuration, searches, and selects slot 0 as a person would.
    std::unique_ptr<Download> ReadyToProgram(std::uint8_t typeCode, std::int32_t mainLength, std::int32_t irLength = 0)
    {
        auto w = Start();
        LoadThroughDialog(*w, ConfigFile("job.TXF", typeCode, mainLength, irLength));
        QTest::mouseClick(w->Option1[0], Qt::LeftButton);
        EXPECT_TRUE(w->ProgramPod->isEnabled());
        return w;
    }

    // What a download of an image sends: the image copied up to index `length`
    // inclusive over what the transfer buffer held before, to the block's end.
    static std::vector<std::uint8_t> Sent(const Image& image, std::size_t length, const Image& before = {})
    {
        const std::size_t end = (length + 7) / 8 * 8;
        std::vector<std::uint8_t> sent(before.begin(), before.begin() + end);
        std::copy_n(image.begin(), std::min(length + 1, end), sent.begin());
        return sent;
    }

    void ExpectEndedClosed(const Download& w)
    {
        EXPECT_FALSE(line.PortOpen());
        EXPECT_FALSE(line.rts());
        EXPECT_TRUE(w.PleaseWait->isHidden());
        EXPECT_FALSE(w.running());
    }
};

TEST_F(ProgramPod, OrdinaryPodThenAnotherOnTheSamePort)
{
    sim::Pod pod(PodModelOf(0x22, 38400));
    line.Connect(1, pod);
    const auto w = ReadyToProgram(1, 100);
    pod.Clear();
    msgBox.answers = {MsgAnswer::Yes, MsgAnswer::No};
    QTest::mouseClick(w->ProgramPod, Qt::LeftButton);
    EXPECT_EQ(Messages(), (std::vector<QString>{Another, Another}));
    EXPECT_EQ(msgBox.calls[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(msgBox.calls[0].icon, MsgIcon::Question);
    EXPECT_EQ(pod.Image(), Sent(w->configuration().main_image, 100));
    EXPECT_EQ(pod.restarts(), 2);
    EXPECT_EQ(pod.programmed(), 2);
    EXPECT_EQ(w->Label3->text(), "Please wait programing pod");
    EXPECT_EQ(w->Label2->text(), "100%");
    ExpectEndedClosed(*w);
}

TEST_F(ProgramPod, VelimPodGetsItsSecondaryTable)
{
    sim::Pod pod(PodModelOf(0xDD, 19200));
    line.Connect(1, pod);
    const auto w = ReadyToProgram(13, 64);
    QTest::mouseClick(w->ProgramPod, Qt::LeftButton);
    EXPECT_EQ(Messages(), (std::vector<QString>{Another}));
    ASSERT_EQ(pod.secondary().size(), 256u);
    EXPECT_TRUE(std::ranges::equal(pod.secondary() | std::views::values, w->configuration().secondary_table));
    EXPECT_EQ(pod.Image(), Sent(w->configuration().main_image, 64));
    EXPECT_EQ(pod.programmed(), 1) << "not the restart before the table, nor the search's";
    EXPECT_EQ(w->Label3->text(), "Please wait programing Secondary Configuration");
    ExpectEndedClosed(*w);
}

// Block 3's answer comes after its time-out (a slow flash write), block 6 is
// refused once: all sent, and the pod holds all of it.
TEST_F(ProgramPod, LateAnswerThenARefusalStillLeavesTheWholeImage)
{
    sim::PodModel model = PodModelOf(0x22);
    model.faults.late = {{.command = 0x11, .number = 3, .times = 1, .by = 560 * Millisecond}};
    model.faults.refuseBlock = 6, model.faults.refuseBlockTimes = 1;
    sim::Pod pod(model);
    line.Connect(1, pod);
    const auto w = ReadyToProgram(1, 80);
    QTest::mouseClick(w->ProgramPod, Qt::LeftButton);
    EXPECT_EQ(Messages(), (std::vector<QString>{Another}));
    EXPECT_EQ(pod.Image(), Sent(w->configuration().main_image, 80));
}

TEST_F(ProgramPod, TwoMicroPodGetsEachImageOnItsMicro)
{
    sim::TwoMicroPod pod(PodModelOf(0x88), PodModelOf(0x99, 4800));
    line.Connect(1, pod);
    const auto w = ReadyToProgram(7, 12, 4);
    pod.main().Clear();
    pod.ir().Clear();
    QTest::mouseClick(w->ProgramPod, Qt::LeftButton);
    EXPECT_TRUE(msgBox.calls.empty()) << "only failures are reported";
    const auto& c = w->configuration();
    EXPECT_EQ(pod.main().Image(), Sent(c.main_image, 12));
    // The IR image's copy ends at index ir_length; the rest is the main image's.
    EXPECT_EQ(pod.ir().Image(), Sent(c.ir_image, 4, c.main_image));
    EXPECT_TRUE(std::ranges::none_of(pod.main().received(), &sim::WireByte::rts));
    EXPECT_TRUE(std::ranges::all_of(pod.ir().received(), &sim::WireByte::rts));
    EXPECT_GE(pod.main().probesAnswered(), 3) << "selection, download, and the final check";
    EXPECT_EQ(w->Label3->text(), "Please wait programing Oxa data");
    ExpectEndedClosed(*w);
}

// Each failure is said once, where it is found, and ends the command.
TEST_F(ProgramPod, FailuresEndTheCommand)
{
    const QString byteFailed = "Error!: Failed to send secondary byte";
    const struct {
        const char* what;
        std::uint8_t typeCode;
        std::function<void(sim::PodFaults& main, sim::PodFaults& ir)> faults; // of the pod or the two micros
        std::function<void(Download&)> act;
        std::vector<QString> messages;
        MsgIcon lastIcon = MsgIcon::Exclamation;
    } rows[] = {
        // clang-format off
        {"silent pod", 1, [](auto& f, auto&) { f.silent = true; }, {}, {"Error!: Pod not responding"}},
        {"block refused", 1, [](auto& f, auto&) { f.refuseBlock = 1, f.refuseBlockTimes = 4; }, {},
         {"Error!  1: Reply to download failed"}},
        {"no restart at the end", 1, [](auto& f, auto&) { f.ignoreRestarts = 4; }, {}, {NoRestart, ProgramFailed}},
        {"secondary table refused", 13,
         [](auto& f, auto&) { f.refuseSecondaryAddress = 0, f.refuseSecondaryTimes = 1000; }, {},
         {byteFailed, byteFailed, byteFailed, byteFailed, byteFailed,
          "Error!: Failed to Program Velim Pod Secondary configuration", ProgramFailed}},
        {"no slot selected", 1, {},
         [](Download& w) { w.Option1Group->setExclusive(false), w.Option1[0]->setChecked(false); },
         {"Error!: Port not open"}},
        {"port gone", 1, {}, [this](Download&) { line.Missing(1); }, {"Error!: Could not open COM1"}},
        // Opened for the command, each micro's selection, the IR check; not for the restart check.
        {"two-micro port not reopened", 7, {}, [this](Download&) { line.FailOpening(5); },
         {"Error!: Could not open COM1"}},
        {"port refused", 1, {}, [this](Download&) { line.Missing(1, "no permission to use /dev/ttyUSB0"); },
         {"Error!: Could not open COM1: no permission to use /dev/ttyUSB0"}},
        {"main micro silent", 7, [](auto& f, auto&) { f.silent = true; }, {},
         {NoRestart, NoRestart, NoRestart, NoRestart, "Error!: Could not connect to Oxa pod main micro!"}, MsgIcon::None},
        {"IR micro silent", 7, [](auto&, auto& f) { f.silent = true; }, {},
         {NoRestart, NoRestart, NoRestart, NoRestart, "Error!: Could not connect to Oxa pod IR micro!"}, MsgIcon::None},
        // The main micro hears its selection (pulse, probe, restart: 10 bytes)
        // and its image (pulse, probe, two blocks: 32 bytes), then nothing more.
        {"main micro gone after its image", 7, [](auto& f, auto&) { f.unplugAfterBytes = 42; }, {},
         {NoRestart, NoRestart, NoRestart, NoRestart, "Error!: Unit failed to restart"}},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        sim::Pod pod(PodModelOf(row.typeCode == 13 ? 0xDD : 0x22));
        sim::TwoMicroPod twoMicro(PodModelOf(0x88), PodModelOf(0x99));
        sim::Pod& main = row.typeCode == 7 ? twoMicro.main() : pod;
        line.Connect(1, row.typeCode == 7 ? static_cast<sim::Device&>(twoMicro) : pod);
        const auto w = ReadyToProgram(row.typeCode, 16, 8);
        msgBox.calls.clear();
        main.Clear();
        if (row.faults)
            row.faults(main.model().faults, twoMicro.ir().model().faults);
        if (row.act)
            row.act(*w);
        w->ProgramPod_Click();
        EXPECT_EQ(Messages(), row.messages);
        EXPECT_EQ(main.programmed(), 0);
        ASSERT_FALSE(msgBox.calls.empty());
        EXPECT_EQ(msgBox.calls.back().icon, row.lastIcon);
        ExpectEndedClosed(*w);
    }
}

TEST_F(ProgramPod, NextPodOfAnotherTypeIsNotProgrammed)
{
    sim::Pod first(PodModelOf(0x22));
    sim::Pod other(PodModelOf(0x33)); // type 2
    line.Connect(1, first);
    const auto w = ReadyToProgram(1, 16);
    // Asked for another pod, the user plugs in one of another type and says Yes.
    msgBox.answers = {MsgAnswer::Yes};
    msgBox.onShow = [&] { line.Connect(1, other); };
    w->ProgramPod_Click();
    EXPECT_EQ(Messages(), (std::vector<QString>{Another, "Error!: Pod type does not match configuration"}));
    EXPECT_TRUE(other.blocks().empty());
    EXPECT_EQ(other.restarts(), 0);
    ExpectEndedClosed(*w);
}

TEST_F(ProgramPod, ClicksDuringTheCommandChangeNothing)
{
    sim::Pod pod(PodModelOf(0x22));
    sim::Pod second(PodModelOf(0x22));
    line.Connect(1, pod);
    line.Connect(3, second);
    const auto w = ReadyToProgram(1, 16);
    msgBox.answers = {MsgAnswer::Yes, MsgAnswer::No};
    clock.Schedule(clock.Now() + 400 * Millisecond, [&] {
        QTest::mouseClick(w->Option1[2], Qt::LeftButton);
        QTest::mouseClick(w->ProgramPod, Qt::LeftButton);
        w->ProgramPod_Click();
    });
    pod.Clear();
    second.Clear();
    w->ProgramPod_Click();
    EXPECT_TRUE(w->Option1[0]->isChecked());
    EXPECT_TRUE(second.received().empty()) << "the next pod is still programmed on COM1";
    EXPECT_EQ(pod.restarts(), 2);
}

TEST_F(ProgramPod, ExitDuringADownloadClosesThePortAndEnds)
{
    sim::Pod pod(PodModelOf(0x22));
    line.Connect(1, pod);
    const auto w = ReadyToProgram(1, 800);
    clock.Schedule(clock.Now() + 1000 * Millisecond, [&] {
        ASSERT_TRUE(line.PortOpen());
        QTest::mouseClick(w->Exit, Qt::LeftButton);
        EXPECT_FALSE(line.PortOpen());
    });
    w->ProgramPod_Click();
    EXPECT_EQ(programEnds, 1);
}

} // namespace
} // namespace vantelo
