#include "support/PodModels.h"
#include "support/WindowFixture.h"

#include "sim/Pod.h"

#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <functional>

namespace vantelo {
namespace {

using sim::Millisecond;

const QString ProgramFailed = "Error!: Program failed, Trellin will fail to operate correctly "
                              "until reprogrammmed, Try powering the pod off/wait/on and "
                              "reprogram again";
const QString Another = "All sent ok: Program another pod";

class ProgramPod : public testing::WindowFixture {
protected:
    // Loads the configuration, searches, and selects slot 0 as a person would.
    std::unique_ptr<Download> ReadyToProgram(std::uint8_t typeCode, std::int32_t mainLength,
                                             std::int32_t irLength = 0)
    {
        auto w = Start();
        LoadThroughDialog(*w, ConfigFile("job.TXF", typeCode, mainLength, irLength));
        EXPECT_TRUE(w->Option1[0]->isEnabled());
        QTest::mouseClick(w->Option1[0], Qt::LeftButton);
        EXPECT_TRUE(w->ProgramPod->isEnabled());
        return w;
    }

    // What a download of an image sends: the image copied up to index `length`
    // inclusive over what the transfer buffer held before, to the block's end.
    static std::vector<std::uint8_t> Sent(const std::array<std::uint8_t, ImageSize>& image,
                                          std::size_t length,
                                          const std::array<std::uint8_t, ImageSize>& before)
    {
        const std::size_t end = (length + 7) / 8 * 8;
        std::vector<std::uint8_t> sent(before.begin(), before.begin() + end);
        std::copy_n(image.begin(), std::min(length + 1, end), sent.begin());
        return sent;
    }

    void ExpectEndedClosed(const Download& w)
    {
        EXPECT_FALSE(line.PortOpen());
        EXPECT_TRUE(w.PleaseWait->isHidden());
        EXPECT_FALSE(w.running());
    }

    const std::array<std::uint8_t, ImageSize> empty{};
};

TEST_F(ProgramPod, OrdinaryPodThenAnotherOnTheSamePort)
{
    sim::Pod pod(testing::PodModelOf(0x22, 38400));
    line.Connect(1, pod);
    const auto w = ReadyToProgram(1, 100);
    pod.Clear();

    msgBox.answers = {MsgAnswer::Yes, MsgAnswer::No};
    QTest::mouseClick(w->ProgramPod, Qt::LeftButton);
    EXPECT_EQ(Messages(), (std::vector<QString>{Another, Another}));
    EXPECT_EQ(msgBox.calls[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(msgBox.calls[0].icon, MsgIcon::Question);
    EXPECT_EQ(pod.Image(), Sent(w->configuration().main_image, 100, empty));
    EXPECT_EQ(pod.restarts(), 2);
    EXPECT_EQ(pod.programmed(), 2);
    EXPECT_EQ(w->Label3->text(), "Please wait programing pod");
    EXPECT_EQ(w->Label2->text(), "100%");
    ExpectEndedClosed(*w);
}

TEST_F(ProgramPod, VelimPodGetsItsSecondaryTable)
{
    sim::Pod pod(testing::PodModelOf(0xDD, 19200));
    line.Connect(1, pod);
    const auto w = ReadyToProgram(13, 64);
    QTest::mouseClick(w->ProgramPod, Qt::LeftButton);
    EXPECT_EQ(Messages(), (std::vector<QString>{Another}));
    ASSERT_EQ(pod.secondary().size(), 256u);
    for (int a = 0; a < 256; ++a)
        EXPECT_EQ(pod.secondary().at(a), w->configuration().secondary_table[a]) << a;
    EXPECT_EQ(pod.Image(), Sent(w->configuration().main_image, 64, empty));
    EXPECT_EQ(pod.programmed(), 1) << "not the restart before the table, nor the search's";
    EXPECT_EQ(w->Label3->text(), "Please wait programing Secondary Configuration");
    ExpectEndedClosed(*w);
}

TEST_F(ProgramPod, TwoMicroPodGetsEachImageOnItsMicro)
{
    sim::TwoMicroPod pod(testing::PodModelOf(0x88), testing::PodModelOf(0x99, 4800));
    line.Connect(1, pod);
    const auto w = ReadyToProgram(7, 12, 4);
    pod.main().Clear();
    pod.ir().Clear();

    QTest::mouseClick(w->ProgramPod, Qt::LeftButton);
    EXPECT_TRUE(msgBox.calls.empty()) << "only failures are reported";
    const auto& c = w->configuration();
    EXPECT_EQ(pod.main().Image(), Sent(c.main_image, 12, empty));
    // The IR image's copy ends at index ir_length; the rest is the main image's.
    EXPECT_EQ(pod.ir().Image(), Sent(c.ir_image, 4, c.main_image));
    for (const auto& byte : pod.main().received())
        EXPECT_FALSE(byte.rts);
    for (const auto& byte : pod.ir().received())
        EXPECT_TRUE(byte.rts);
    EXPECT_GE(pod.main().probesAnswered(), 3) << "selection, download, and the final check";
    EXPECT_EQ(w->Label3->text(), "Please wait programing Oxa data");
    ExpectEndedClosed(*w);
    EXPECT_FALSE(line.rts());
}

// Each failure is said once, where it is found, and ends the command.
TEST_F(ProgramPod, FailuresEndTheCommand)
{
    struct Row {
        const char* what;
        std::uint8_t typeCode;
        std::function<void(sim::Pod& main, sim::Pod& ir, Download& w)> fault;
        std::vector<QString> messages;
        MsgIcon lastIcon = MsgIcon::Exclamation;
    };
    const QString noRestart = "Error!: No reply to restart";
    const std::vector<Row> rows = {
        {"silent pod", 1, [](sim::Pod& pod, sim::Pod&, Download&) { pod.model().faults.silent = true; },
         {"Error!: Pod not responding"}},
        {"block refused", 1,
         [](sim::Pod& pod, sim::Pod&, Download&) {
             pod.model().faults.refuseBlock = 1;
             pod.model().faults.refuseBlockTimes = 4;
         },
         {"Error!  1: Reply to download failed"}},
        {"no restart at the end", 1,
         [](sim::Pod& pod, sim::Pod&, Download&) { pod.model().faults.ignoreRestarts = 4; },
         {noRestart, ProgramFailed}},
        {"secondary table refused", 13,
         [](sim::Pod& pod, sim::Pod&, Download&) {
             pod.model().faults.refuseSecondaryAddress = 0;
             pod.model().faults.refuseSecondaryTimes = 1000;
         },
         {"Error!: Failed to send secondary byte", "Error!: Failed to send secondary byte",
          "Error!: Failed to send secondary byte", "Error!: Failed to send secondary byte",
          "Error!: Failed to send secondary byte",
          "Error!: Failed to Program Velim Pod Secondary configuration", ProgramFailed}},
        {"no slot selected", 1,
         [](sim::Pod&, sim::Pod&, Download& w) {
             w.Option1Group->setExclusive(false);
             w.Option1[0]->setChecked(false);
         },
         {"Error!: Port not open"}},
        {"port gone", 1, [this](sim::Pod&, sim::Pod&, Download&) { line.Missing(1); },
         {"Error!: Could not open COM1"}},
        {"port refused", 1,
         [this](sim::Pod&, sim::Pod&, Download&) {
             line.Missing(1, "no permission to use /dev/ttyUSB0 (is your user in the dialout group?)");
         },
         {"Error!: Could not open COM1: no permission to use /dev/ttyUSB0 (is your user in the "
          "dialout group?)"}},
        {"main micro silent", 7,
         [](sim::Pod& main, sim::Pod&, Download&) { main.model().faults.silent = true; },
         {noRestart, noRestart, noRestart, noRestart,
          "Error!: Could not connect to Oxa pod main micro!"},
         MsgIcon::None},
        {"IR micro silent", 7,
         [](sim::Pod&, sim::Pod& ir, Download&) { ir.model().faults.silent = true; },
         {noRestart, noRestart, noRestart, noRestart,
          "Error!: Could not connect to Oxa pod IR micro!"},
         MsgIcon::None},
        // The main micro hears its selection (pulse, probe, restart: 10 bytes)
        // and its image (pulse, probe, two blocks: 32 bytes), then nothing more.
        {"main micro gone after its image", 7,
         [](sim::Pod& main, sim::Pod&, Download&) {
             main.Clear();
             main.model().faults.unplugAfterBytes = 42;
         },
         {noRestart, noRestart, noRestart, noRestart, "Error!: Unit failed to restart"}},
        // A port that vanishes has its one message; nothing more is sent. The
        // counts are of the bytes the pod hears: 8 for a probe at 9600, 2 for a
        // restart, 12 for a block, 5 for a secondary byte.
        {"port gone in the secondary table", 13,
         [this](sim::Pod&, sim::Pod&, Download&) { line.UnplugAfterBytes(8 + 24 + 10 + 5 * 20 + 3); },
         {"Error!: No reply to secondary byte"}},
        {"port gone in the closing restart", 1,
         [this](sim::Pod&, sim::Pod&, Download&) { line.UnplugAfterBytes(8 + 24 + 1); },
         {noRestart}},
        {"port gone in the main micro's image", 7,
         [this](sim::Pod&, sim::Pod&, Download&) { line.UnplugAfterBytes(10 + 8 + 12 + 6); },
         {"Error!  1: No reply to download"}},
    };
    for (const Row& row : rows) {
        const std::uint8_t reply = row.typeCode == 13 ? 0xDD : 0x22;
        sim::Pod pod(testing::PodModelOf(reply));
        sim::TwoMicroPod twoMicro(testing::PodModelOf(0x88), testing::PodModelOf(0x99));
        if (row.typeCode == 7)
            line.Connect(1, twoMicro);
        else
            line.Connect(1, pod);
        const auto w = ReadyToProgram(row.typeCode, 16, 8);
        sim::Pod& main = row.typeCode == 7 ? twoMicro.main() : pod;
        msgBox.calls.clear();
        row.fault(main, twoMicro.ir(), *w);
        w->ProgramPod_Click();
        EXPECT_EQ(Messages(), row.messages) << row.what;
        EXPECT_EQ(main.programmed(), 0) << row.what;
        ASSERT_FALSE(msgBox.calls.empty()) << row.what;
        EXPECT_EQ(msgBox.calls.back().icon, row.lastIcon) << row.what;
        ExpectEndedClosed(*w);
        EXPECT_FALSE(line.rts()) << row.what;
    }
}

TEST_F(ProgramPod, TwoMicroPortThatCannotBeReopenedForTheCheckEndsAtOnce)
{
    sim::TwoMicroPod pod(testing::PodModelOf(0x88), testing::PodModelOf(0x99));
    line.Connect(1, pod);
    const auto w = ReadyToProgram(7, 16, 8);
    line.FailOpening(5); // for the command, each micro's selection, the IR check, the restart check
    sim::Nanos shown = 0;
    msgBox.onShow = [&] { shown = clock.Now(); };
    w->ProgramPod_Click();
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!: Could not open COM1"}));
    EXPECT_EQ(pod.ir().blocks().size(), 1u) << "it failed at the restart check";
    EXPECT_LT(clock.Now() - shown, 100 * Millisecond);
    ExpectEndedClosed(*w);
}

TEST_F(ProgramPod, NextPodOfAnotherTypeIsNotProgrammed)
{
    sim::Pod first(testing::PodModelOf(0x22));
    sim::Pod other(testing::PodModelOf(0x33)); // type 2
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
    sim::Pod pod(testing::PodModelOf(0x22));
    sim::Pod second(testing::PodModelOf(0x22));
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
    sim::Pod pod(testing::PodModelOf(0x22));
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
