#include "support/WindowFixture.h"

#include "platform/console/CommandLine.h"

#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace vantelo {
namespace {

using Window = testing::WindowFixture;

TEST_F(Window, StartsWithNoConfigurationAndTheOverlaysInFront)
{
    const auto w = Start();
    EXPECT_EQ(w->windowTitle(), "Vantelo 1.1.4");
    EXPECT_TRUE(clock.Enabled()) << "the reply timer runs until its first tick";
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(w->Option1[i]->isHidden() && w->PodType[i]->isHidden() && w->Blanking[i]->isHidden()) << i;
        EXPECT_EQ(w->Option1[i]->text(), QString::number(i + 1));
    }
    EXPECT_TRUE(w->PleaseWait->isHidden() && w->Load->isEnabled());
    EXPECT_FALSE(w->search->isEnabled() || w->ProgramPod->isEnabled());
    EXPECT_EQ(w->ProgressBar1->maximum(), 1000);
    clock.ProcessEvents();
    EXPECT_EQ(clock.Now(), 100 * sim::Millisecond);
    EXPECT_FALSE(clock.Enabled()) << "its tick stops it";

    // Front to back: PleaseWait, then Blanking 3, 2, 1, 0, then everything else.
    QList<QWidget*> order;
    for (QObject* child : w->children())
        if (auto* widget = qobject_cast<QWidget*>(child))
            order << widget;
    EXPECT_EQ(order.mid(order.size() - 5),
              (QList<QWidget*>{w->Blanking[0], w->Blanking[1], w->Blanking[2], w->Blanking[3], w->PleaseWait}));
    // Panel i covers slot row i, and panel 3 the command buttons too.
    for (int i = 0; i < 4; ++i) {
        const QRect row = w->Option1[i]->geometry().united(w->PodType[i]->geometry()).translated(w->Frame2->pos());
        EXPECT_TRUE(w->Blanking[i]->geometry().contains(row)) << i;
    }
    EXPECT_TRUE(w->Blanking[3]->geometry().contains(w->Frame3->geometry()));
}

TEST_F(Window, ExitAndClosingCloseAnOpenPortAndEnd)
{
    const auto w = Start();
    line.Empty(2);
    line.CommPort(2);
    ASSERT_TRUE(line.PortOpen(true));
    w->Exit_Click();
    EXPECT_FALSE(line.PortOpen());
    EXPECT_EQ(programEnds, 1);
    Start()->close();
    EXPECT_EQ(programEnds, 2);
}

// The program itself, started as a person would, seeds the store file the
// environment names, in a folder not there yet.
TEST(Program, FirstStartSeedsTheStoreTheEnvironmentNames)
{
    QTemporaryDir dir;
    const QString store = dir.filePath("etc/registry.reg");
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VANTELO_REGISTRY", store);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start(VANTELO_PROGRAM, {});
    ASSERT_TRUE(program.waitForStarted());
    // The version is written last: once it is there, so is every entry.
    const auto seeded = [&] { return testing::ReadFile(store).find("Types]\n\"Version\"=dword:00000011\n"); };
    QTRY_VERIFY_WITH_TIMEOUT(seeded() != std::string::npos, 5000);
    program.kill();
    program.waitForFinished();
    EXPECT_NE(testing::ReadFile(store).find("Types\\30]"), std::string::npos);
}

// Files tell apart by their type code.
using OpenPodFile = Window;

TEST_F(OpenPodFile, DialogLoadShowsTheDisplayNameAndACancelledLoadResets)
{
    const auto w = Start();
    LoadThroughDialog(*w, ConfigFile("Hall2.TXF", 1));
    EXPECT_EQ(w->FileName->text(), "Hall2");
    EXPECT_TRUE(w->search->isEnabled());
    ASSERT_EQ(fileDialog.calls.size(), 1u);
    const auto& call = fileDialog.calls[0];
    EXPECT_TRUE(call.flags == 4096 && call.filter == "Trellin Export File (*.TXF)| *.TXF" && call.filterIndex == 1);
    EXPECT_EQ(clipboard.texts, (std::vector<QString>{""}));
    EXPECT_EQ(w->configuration().type_code, 1);
    // A longer file is read up to its layout.
    QString longer = ConfigFile("big.TXF", 5, 8, 0, testing::ConfigFileSize + 4096);
    EXPECT_TRUE(w->open_pod_file(longer));
    EXPECT_EQ(w->configuration().type_code, 5);

    w->ProgramPod->setEnabled(true);
    w->Load_Click(); // cancelled this time: no failure
    EXPECT_FALSE(w->search->isEnabled());
    EXPECT_FALSE(w->ProgramPod->isEnabled());
    EXPECT_EQ(w->FileName->text(), "");
    EXPECT_EQ(clipboard.texts.back(), "");
    EXPECT_TRUE(msgBox.calls.empty());
}

// A name is shown as written, never as markup, where the system allows such a name.
TEST_F(OpenPodFile, MarkupInANameIsShownAsWritten)
{
    const auto w = Start();
    QString path = dir.filePath("<u>Hall2.TXF");
    const QByteArray bytes = testing::ConfigFileBytes(1, 8);
    if (!testing::WriteFile(path, {bytes.data(), std::size_t(bytes.size())}))
        GTEST_SKIP() << "this system allows no '<' in a file's name";
    ASSERT_TRUE(w->open_pod_file(path));
    EXPECT_GE(w->FileName->sizeHint().width(), w->FileName->fontMetrics().horizontalAdvance("<u>Hall2"));
}

TEST_F(OpenPodFile, RefusedFilesAreSaidOnceAndKeepThePreviousConfiguration)
{
    const auto w = Start();
    QString good = ConfigFile("good.TXF", 3);
    ASSERT_TRUE(w->open_pod_file(good));
    QDir(dir.path()).mkdir("folder.TXF");
    const QString failed = "Failed to open file " + dir.path() + "/";
    const struct {
        QString path;
        QString message;
        int typeAfter = 3;
    } rows[] = {
        {dir.filePath("none.TXF"), failed + "none.TXF"},
        {dir.filePath("folder.TXF"), failed + "folder.TXF"},
        {ConfigFile("short.TXF", 4, 8, 0, testing::ConfigFileSize - 1), failed + "short.TXF"},
        {ConfigFile("long.TXF", 4, 32761), failed + "long.TXF: main_length 32761 is outside 0 to 32760"},
        {ConfigFile("neg.TXF", 4, -1), failed + "neg.TXF: main_length -1 is outside 0 to 32760"},
        {ConfigFile("ir.TXF", 7, 8, 32761), failed + "ir.TXF: ir_length 32761 is outside 0 to 32760"},
        // A name too short for a display name fails after the file was read.
        {ConfigFile("x.b", 6), "Failed to open file x.b", 6},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message.toStdString());
        QString path = row.path;
        w->FileName->setText("old");
        msgBox.calls.clear();
        EXPECT_FALSE(w->open_pod_file(path));
        ASSERT_EQ(Messages(), std::vector<QString>{"Error!: " + row.message});
        EXPECT_TRUE(msgBox.calls[0].buttons == MsgButtons::Ok && msgBox.calls[0].icon == MsgIcon::None);
        EXPECT_EQ(clipboard.texts.back(), row.path);
        EXPECT_EQ(w->configuration().type_code, row.typeAfter);
        EXPECT_EQ(w->FileName->text(), "");
    }
    EXPECT_TRUE(fileDialog.calls.empty());
}

// The file named on the command line, quotes stripped at each end, loads
// at the first tick, half a second after start-up, unless Load came first.
TEST_F(OpenPodFile, CommandLineLoadsAtTheFirstTick)
{
    // As a launcher passes it: one word, the quotes in it.
    const QString path = ConfigFile("Hall2.TXF", 2);
    QByteArray quoted = ("\"" + path + "\"").toLocal8Bit(), name = "vantelo";
    char* argv[] = {name.data(), quoted.data()};
    const auto w = Start(CommandLineText(2, argv));
    EXPECT_EQ(w->Timer2->interval(), 500);
    QTRY_VERIFY_WITH_TIMEOUT(w->search->isEnabled(), 3000);
    EXPECT_FALSE(w->Timer2->isActive()) << "the tick comes once";
    EXPECT_EQ(w->FileName->text(), "Hall2");
    EXPECT_EQ(w->PodType[0]->text(), "--------------") << "a search followed";
    EXPECT_EQ(clipboard.texts.back(), path);
    const auto other = Start(path);
    LoadThroughDialog(*other, ConfigFile("chosen.TXF", 3));
    EXPECT_FALSE(other->Timer2->isActive()) << "the command line's file is dropped";
    EXPECT_EQ(other->configuration().type_code, 3);

    // Only the quotes at either end go: one inside is part of the name.
    const QString missing = dir.filePath("say \"hi\".TXF");
    const struct {
        QString commandLine;
        bool loaded;
        std::size_t dialogs; // an empty path asks the user
    } rows[] = {{path + "\"", true, 0},
                {"\"" + path, true, 0},
                {"\"", false, 1},
                {"\"\"", false, 1},
                {"\"" + missing + "\"", false, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.commandLine.toStdString());
        msgBox.calls.clear(), fileDialog.calls.clear();
        const auto started = Start(row.commandLine);
        started->Timer2_Timer();
        EXPECT_EQ(started->search->isEnabled(), row.loaded);
        EXPECT_EQ(fileDialog.calls.size(), row.dialogs);
        EXPECT_EQ(Messages(), !row.loaded && !row.dialogs
                                  ? std::vector<QString>{"Error!: Failed to open file " + missing}
                                  : std::vector<QString>{});
    }
}

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
    } ports[] = {{"Lumo Plus 1.12", true, true},
                 {"--------------", false, false},
                 {"", true, false},
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
