#include "support/PodModels.h"
#include "support/SimFixture.h"
#include "support/WindowFixture.h"

#include "discovery/ProbePort.h"
#include "programming/DownloadData.h"
#include "programming/SecondaryConfiguration.h"

#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace vantelo {
namespace {

using sim::Millisecond;

// A USB adapter pulled out in the middle of an operation.
class Unplugged : public testing::SimFixture {
protected:
    void UnplugAt(sim::Nanos at)
    {
        clock.Schedule(at, [this] {
            line.Unplug(1);
            unpluggedAt = clock.Now();
        });
    }

    // What the operation still did after the port was gone: at most the
    // rest of the pause under way.
    void ExpectEndedSoonAfterUnplug()
    {
        ASSERT_GE(unpluggedAt, 0);
        EXPECT_LE(clock.Now() - unpluggedAt, 70 * Millisecond);
    }

    sim::Nanos unpluggedAt = -1;
    std::array<std::uint8_t, ImageSize> buffer{};
};

TEST_F(Unplugged, DownloadFailsAtOnceWithOneMessage)
{
    UnplugAt(clock.Now() + 200 * Millisecond); // during the ninth block
    EXPECT_FALSE(DownloadData(link, buffer, 800));
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!  8: No reply to download"}));
    ExpectEndedSoonAfterUnplug();
    EXPECT_FALSE(line.PortOpen());
}

TEST_F(Unplugged, SecondaryTableStopsAfterTheFirstFailure)
{
    pod.model().reply = 0xDD;
    std::array<std::uint8_t, 256> table{};
    UnplugAt(clock.Now() + 1000 * Millisecond);
    EXPECT_FALSE(ProgramSecondaryConfiguration(link, 13, table));
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!: No reply to secondary byte"}));
    ExpectEndedSoonAfterUnplug();
}

TEST_F(Unplugged, ProbeOfAVanishedPortFindsNothing)
{
    UnplugAt(clock.Now() + 150 * Millisecond);
    EXPECT_EQ(ProbePort(link, true), 0);
    EXPECT_TRUE(msgBox.calls.empty());
    ExpectEndedSoonAfterUnplug();
}

TEST_F(Unplugged, RateTheAdapterRefusesIsNoAnswer)
{
    line.RefuseRate(38400);
    EXPECT_EQ(ProbePort(link, false), 0x000122) << "the pod at 9600 is still found";

    sim::Pod fast(testing::PodModelOf(0x22, 38400));
    line.PortOpen(false);
    line.Connect(1, fast);
    line.PortOpen(true);
    EXPECT_EQ(ProbePort(link, true), 0);
    EXPECT_EQ(fast.restarts(), 0);
}

class UnpluggedWindow : public testing::WindowFixture {
protected:
    UnpluggedWindow()
    {
        line.Connect(1, pod);
        line.Empty(3);
    }

    sim::Pod pod{testing::PodModelOf(0x22, 9600, 1, 12)};
};

TEST_F(UnpluggedWindow, ProgramCommandEndsAndTheNextSearchFindsThePodAgain)
{
    const auto w = Start();
    LoadThroughDialog(*w, ConfigFile("job.TXF", 1, 4000));
    QTest::mouseClick(w->Option1[0], Qt::LeftButton);
    clock.Schedule(clock.Now() + 3000 * Millisecond, [&] { line.Unplug(1); });
    w->ProgramPod_Click();
    ASSERT_EQ(msgBox.calls.size(), 1u);
    EXPECT_EQ(msgBox.calls[0].text, "No reply to download");
    EXPECT_FALSE(w->running());
    EXPECT_TRUE(w->PleaseWait->isHidden());
    EXPECT_FALSE(line.PortOpen());

    // While it is away the slot shows it gone; plugged in again, it is back.
    w->search_Click();
    EXPECT_TRUE(w->PodType[0]->isHidden());
    line.Connect(1, pod);
    w->search_Click();
    EXPECT_EQ(w->PodType[0]->text(), "Lumo Plus 1.12");
    EXPECT_TRUE(w->Option1[0]->isEnabled());

    msgBox.calls.clear();
    pod.Clear();
    QTest::mouseClick(w->Option1[0], Qt::LeftButton);
    w->ProgramPod_Click();
    EXPECT_EQ(Messages(), (std::vector<QString>{"All sent ok: Program another pod"}));
    EXPECT_EQ(pod.blocks().size(), 500u);
}

TEST_F(UnpluggedWindow, SearchGoesOnPastAPortThatVanishes)
{
    const auto w = Start();
    clock.Schedule(clock.Now() + 150 * Millisecond, [&] { line.Unplug(1); });
    LoadThroughDialog(*w, ConfigFile("job.TXF", 1));
    EXPECT_TRUE(msgBox.calls.empty());
    EXPECT_FALSE(w->PodType[0]->isHidden()) << "it opened, then nothing answered";
    EXPECT_FALSE(w->Option1[0]->isEnabled());
    EXPECT_FALSE(w->PodType[2]->isHidden());
    EXPECT_FALSE(line.PortOpen());
    EXPECT_FALSE(w->running());
}

} // namespace
} // namespace vantelo
