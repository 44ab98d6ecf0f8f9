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

// COM1: a type 1 pod at 38400; COM2: missing; COM3: empty; COM4: a type 13
// pod; a type 1 configuration loaded, which searches.
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
    const struct {
        QString text; // "" for an empty port: the text stays
        bool shown, enabled;
    } ports[] = {{"Lumo Plus 1.12", true, true}, {"--------------", false, false}, {"", true, false},
                 {"Velim Pod 2.0", true, false}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(w->PodType[i]->text(), ports[i].text);
        EXPECT_EQ(w->PodType[i]->isHidden(), !ports[i].shown);
        EXPECT_EQ(w->Option1[i]->isHidden(), !ports[i].shown);
        EXPECT_EQ(w->Option1[i]->isEnabled(), ports[i].enabled);
        EXPECT_EQ(w->Option1[i]->text(), "");
        EXPECT_FALSE(w->Option1[i]->isChecked());
        EXPECT_TRUE(w->Blanking[i]->isHidden());
    }
    EXPECT_FALSE(w->ProgramPod->isEnabled());
    EXPECT_TRUE(w->search->isEnabled());
    EXPECT_FALSE(line.PortOpen());
    EXPECT_FALSE(line.rts());
    EXPECT_EQ(lumo.restarts(), 1) << "an identified pod is restarted";
    EXPECT_EQ(velim.restarts(), 1);
    EXPECT_TRUE(msgBox.calls.empty());

    // A second search clears the selection and updates the slots.
    QTest::mouseClick(w->Option1[0], Qt::LeftButton);
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

TEST_F(Search, PanelsComeDownPortByPortAndClicksStartNothing)
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
    // While the probe on COM3 is under way, the panels of COM1 and COM2 are down.
    std::vector<bool> hidden;
    clock.Schedule(clock.Now() + 1000 * sim::Millisecond, [&] {
        for (const auto* panel : w->Blanking)
            hidden.push_back(panel->isHidden());
    });
    LoadThroughDialog(*w, ConfigFile("job.TXF", 1));
    EXPECT_EQ(hidden, (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(line.opens(), 3) << "one search: COM1, COM3 and COM4";
    EXPECT_EQ(fileDialog.calls.size(), 1u);
    EXPECT_FALSE(w->Option1[0]->isChecked());
    EXPECT_FALSE(w->ProgramPod->isEnabled());
    EXPECT_FALSE(w->running());
}

} // namespace
} // namespace vantelo
