#include "support/PodModels.h"
#include "support/WindowFixture.h"

#include "sim/Pod.h"

#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace vantelo {
namespace {

using sim::Millisecond;

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

    std::vector<std::uint8_t> Image(const Download& w, bool ir, std::size_t length) const
    {
        const auto& image = ir ? w.configuration().ir_image : w.configuration().main_image;
        return {image.begin(), image.begin() + static_cast<std::ptrdiff_t>(length)};
    }

    // What a first download of the main image sends: the image up to index
    // main_length inclusive, then the still empty buffer up to the block's end.
    std::vector<std::uint8_t> FirstMainDownload(const Download& w, std::size_t length) const
    {
        auto sent = Image(w, false, length + 1);
        sent.resize((length + 7) / 8 * 8, 0);
        return sent;
    }

    void ExpectEndedClosed(const Download& w)
    {
        EXPECT_FALSE(line.PortOpen());
        EXPECT_TRUE(w.PleaseWait->isHidden());
        EXPECT_FALSE(w.running());
    }
};

TEST_F(ProgramPod, OrdinaryPodThenAnotherOnTheSamePort)
{
    sim::Pod pod(testing::PodModelOf(0x22, 38400));
    line.Connect(1, pod);
    const auto w = ReadyToProgram(1, 100);
    pod.Clear();

    msgBox.answers = {MsgAnswer::Yes, MsgAnswer::No};
    QTest::mouseClick(w->ProgramPod, Qt::LeftButton);
    EXPECT_EQ(Messages(), (std::vector<QString>{"All sent ok: Program another pod",
                                                "All sent ok: Program another pod"}));
    EXPECT_EQ(pod.Image(), FirstMainDownload(*w, 100));
    EXPECT_EQ(pod.restarts(), 2);
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
    EXPECT_EQ(Messages(), (std::vector<QString>{"All sent ok: Program another pod"}));
    ASSERT_EQ(pod.secondary().size(), 256u);
    for (int a = 0; a < 256; ++a)
        EXPECT_EQ(pod.secondary().at(a), w->configuration().secondary_table[a]) << a;
    EXPECT_EQ(pod.Image(), FirstMainDownload(*w, 64));
    EXPECT_EQ(w->Label3->text(), "Please wait programing Secondary Configuration");
    ExpectEndedClosed(*w);
}

TEST_F(ProgramPod, VelimPodRefusingEveryPassIsReportedThenRestarted)
{
    sim::Pod pod(testing::PodModelOf(0xDD));
    line.Connect(1, pod);
    const auto w = ReadyToProgram(13, 8);
    pod.model().faults.refuseSecondaryAddress = 0;
    pod.model().faults.refuseSecondaryTimes = 1000;
    QTest::mouseClick(w->ProgramPod, Qt::LeftButton);
    std::vector<QString> expected(5, "Error!: Failed to send secondary byte");
    expected.push_back("Error!: Failed to Program Velim Pod Secondary configuration");
    expected.push_back("All sent ok: Program another pod");
    EXPECT_EQ(Messages(), expected);
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
    EXPECT_EQ(pod.main().Image(), FirstMainDownload(*w, 12));
    // The IR image's copy ends at index ir_length; the rest is the main image's.
    auto ir = Image(*w, true, 5);
    ir.insert(ir.end(), w->configuration().main_image.begin() + 5,
              w->configuration().main_image.begin() + 8);
    EXPECT_EQ(pod.ir().Image(), ir);
    for (const auto& byte : pod.main().received())
        EXPECT_FALSE(byte.rts);
    for (const auto& byte : pod.ir().received())
        EXPECT_TRUE(byte.rts);
    EXPECT_GE(pod.main().probesAnswered(), 3) << "selection, download, and the final check";
    EXPECT_EQ(w->Label3->text(), "Please wait programing Oxa data");
    ExpectEndedClosed(*w);
    EXPECT_FALSE(line.rts());
}

TEST_F(ProgramPod, TwoMicroPodWhoseMicrosDoNotAnswer)
{
    sim::TwoMicroPod pod(testing::PodModelOf(0x88), testing::PodModelOf(0x99));
    line.Connect(1, pod);
    const auto w = ReadyToProgram(7, 8, 8);
    pod.main().model().faults.silent = true;
    QTest::mouseClick(w->ProgramPod, Qt::LeftButton);
    EXPECT_EQ(Messages(), (std::vector<QString>{
                              "Error!: No reply to restart", "Error!: No reply to restart",
                              "Error!: No reply to restart", "Error!: No reply to restart",
                              "Error!: Could not connect to Oxa pod main micro!"}));
    EXPECT_EQ(msgBox.calls.back().icon, MsgIcon::None);
    EXPECT_TRUE(pod.ir().received().empty());
    ExpectEndedClosed(*w);

    msgBox.calls.clear();
    pod.main().model().faults.silent = false;
    pod.ir().model().faults.silent = true;
    QTest::mouseClick(w->ProgramPod, Qt::LeftButton);
    ASSERT_FALSE(msgBox.calls.empty());
    EXPECT_EQ(Messages().back(), "Error!: Could not connect to Oxa pod IR micro!");
    EXPECT_TRUE(pod.ir().blocks().empty());
    ExpectEndedClosed(*w);
    EXPECT_FALSE(line.rts());
}

TEST_F(ProgramPod, MainMicroThatDoesNotComeBackIsReported)
{
    sim::TwoMicroPod pod(testing::PodModelOf(0x88), testing::PodModelOf(0x99));
    line.Connect(1, pod);
    const auto w = ReadyToProgram(7, 8, 8);
    pod.main().Clear();
    // The main micro hears its selection (pulse, probe, restart: 10 bytes) and
    // its image (pulse, probe, one block: 20 bytes), then nothing more.
    pod.main().model().faults.unplugAfterBytes = 30;
    QTest::mouseClick(w->ProgramPod, Qt::LeftButton);
    ASSERT_FALSE(msgBox.calls.empty());
    EXPECT_EQ(Messages().back(), "Error!: Unit failed to restart");
    EXPECT_EQ(msgBox.calls.back().icon, MsgIcon::Exclamation);
    EXPECT_EQ(pod.main().blocks().size(), 1u);
    EXPECT_EQ(pod.ir().blocks().size(), 1u);
    ExpectEndedClosed(*w);
}

TEST_F(ProgramPod, FailuresOfTheSequenceEndTheCommand)
{
    sim::Pod pod(testing::PodModelOf(0x22));
    line.Connect(1, pod);
    const auto w = ReadyToProgram(1, 16);

    pod.model().faults.silent = true;
    w->ProgramPod_Click();
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!: Pod not responding"}));
    ExpectEndedClosed(*w);

    msgBox.calls.clear();
    pod.model().faults.silent = false;
    pod.model().faults.ignoreRestarts = 4;
    w->ProgramPod_Click();
    EXPECT_EQ(Messages(),
              (std::vector<QString>{"Error!: No reply to restart",
                                    "Error!: Program failed, Trellin will fail to operate "
                                    "correctly until reprogrammmed, Try powering the pod "
                                    "off/wait/on and reprogram again"}));
    ExpectEndedClosed(*w);

    msgBox.calls.clear();
    w->Option1Group->setExclusive(false);
    w->Option1[0]->setChecked(false);
    w->ProgramPod_Click();
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!: Port not open"}));
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
    EXPECT_EQ(Messages(), (std::vector<QString>{"All sent ok: Program another pod",
                                                "Error!: Pod type does not match configuration"}));
    EXPECT_EQ(first.blocks().size(), 2u);
    EXPECT_TRUE(other.blocks().empty());
    EXPECT_EQ(other.restarts(), 0);
    ExpectEndedClosed(*w);
}

TEST_F(ProgramPod, PortThatCannotBeOpenedIsReportedAtOnce)
{
    sim::Pod pod(testing::PodModelOf(0x22));
    line.Connect(1, pod);
    const auto w = ReadyToProgram(1, 16);
    line.Missing(1);
    w->ProgramPod_Click();
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!: Could not open COM1"}));
    EXPECT_EQ(msgBox.calls[0].icon, MsgIcon::Exclamation);
    ExpectEndedClosed(*w);

    // What the adapter knows of the cause is said too.
    msgBox.calls.clear();
    line.Missing(1, "no permission to use /dev/ttyUSB0 (is your user in the dialout group?)");
    w->ProgramPod_Click();
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!: Could not open COM1: no permission to use "
                                                "/dev/ttyUSB0 (is your user in the dialout group?)"}));
}

TEST_F(ProgramPod, SlotClicksDuringTheCommandChangeNothing)
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
