#include "support/PodModels.h"
#include "support/WindowFixture.h"

#include "sim/Pod.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace vantelo {
namespace {

// COM1: a type 1 pod at 38400; COM2: missing; COM3: empty; COM4: a type 13 pod.
class Search : public testing::WindowFixture {
protected:
    Search()
    {
        line.Connect(1, lumo);
        line.Empty(3);
        line.Connect(4, velim);
    }

    sim::Pod lumo{testing::PodModelOf(0x22, 38400, 1, 12)};
    sim::Pod velim{testing::PodModelOf(0xDD, 2400, 2, 0)};
};

TEST_F(Search, ListsEachPortsPodAndEnablesOnlyMatchingOnes)
{
    const auto w = Start();
    LoadThroughDialog(*w, ConfigFile("job.TXF", 1));

    EXPECT_EQ(w->PodType[0]->text(), "Lumo Plus 1.12");
    EXPECT_FALSE(w->PodType[0]->isHidden());
    EXPECT_TRUE(w->Option1[0]->isEnabled());

    EXPECT_EQ(w->PodType[1]->text(), "--------------");
    EXPECT_TRUE(w->PodType[1]->isHidden());
    EXPECT_TRUE(w->Option1[1]->isHidden());
    EXPECT_FALSE(w->Option1[1]->isEnabled());

    EXPECT_EQ(w->PodType[2]->text(), "") << "no pod: the text stays";
    EXPECT_FALSE(w->PodType[2]->isHidden());
    EXPECT_FALSE(w->Option1[2]->isHidden());
    EXPECT_FALSE(w->Option1[2]->isEnabled());

    EXPECT_EQ(w->PodType[3]->text(), "Velim Pod 2.0");
    EXPECT_FALSE(w->Option1[3]->isEnabled()) << "type 13 does not match the file's type 1";

    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(w->Blanking[i]->isHidden()) << i;
        EXPECT_EQ(w->Option1[i]->text(), "") << i;
        EXPECT_FALSE(w->Option1[i]->isChecked()) << i;
    }
    EXPECT_FALSE(w->ProgramPod->isEnabled());
    EXPECT_TRUE(w->search->isEnabled());
    EXPECT_FALSE(line.PortOpen());
    EXPECT_FALSE(line.rts());
    EXPECT_EQ(lumo.restarts(), 1) << "an identified pod is restarted";
    EXPECT_EQ(velim.restarts(), 1);
    EXPECT_TRUE(msgBox.calls.empty());
}

TEST_F(Search, SecondSearchClearsTheSelectionAndUpdatesTheSlots)
{
    const auto w = Start();
    LoadThroughDialog(*w, ConfigFile("job.TXF", 1));
    QTest::mouseClick(w->Option1[0], Qt::LeftButton);
    ASSERT_TRUE(w->Option1[0]->isChecked());
    ASSERT_TRUE(w->ProgramPod->isEnabled());

    line.Missing(1);
    line.Empty(2);
    w->search_Click();
    EXPECT_FALSE(w->Option1[0]->isChecked());
    EXPECT_FALSE(w->ProgramPod->isEnabled());
    EXPECT_EQ(w->PodType[0]->text(), "--------------");
    EXPECT_EQ(w->PodType[1]->text(), "--------------") << "an empty port keeps its text";
    EXPECT_FALSE(w->PodType[1]->isHidden());
    EXPECT_EQ(w->FileName->text(), "job") << "the configuration stays loaded";
}

TEST_F(Search, BlankingPanelsComeDownPortByPort)
{
    const auto w = Start();
    std::vector<std::array<bool, 4>> seen;
    // Look at the panels while the probe on COM3 is under way.
    clock.Schedule(clock.Now() + 1000 * sim::Millisecond, [&] {
        seen.push_back({w->Blanking[0]->isHidden(), w->Blanking[1]->isHidden(),
                        w->Blanking[2]->isHidden(), w->Blanking[3]->isHidden()});
    });
    LoadThroughDialog(*w, ConfigFile("job.TXF", 1));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], (std::array<bool, 4>{true, true, false, false}));
}

TEST_F(Search, ClicksDuringASearchStartNothing)
{
    const auto w = Start();
    // In the middle of the search, the user clicks search, Load and a slot.
    clock.Schedule(clock.Now() + 300 * sim::Millisecond, [&] {
        ASSERT_TRUE(w->running());
        w->search->setEnabled(true);
        QTest::mouseClick(w->search, Qt::LeftButton);
        w->search_Click();
        w->Load_Click();
        w->Option1[0]->setEnabled(true);
        w->Option1[0]->show();
        QTest::mouseClick(w->Option1[0], Qt::LeftButton);
    });
    LoadThroughDialog(*w, ConfigFile("job.TXF", 1));
    EXPECT_EQ(line.opens(), 3) << "one search: COM1, COM3 and COM4";
    EXPECT_EQ(fileDialog.calls.size(), 1u);
    EXPECT_FALSE(w->Option1[0]->isChecked());
    EXPECT_FALSE(w->ProgramPod->isEnabled());
    EXPECT_FALSE(w->running());
}

} // namespace
} // namespace vantelo
