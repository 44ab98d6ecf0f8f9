#include "support/WindowFixture.h"

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
    EXPECT_TRUE(w->PleaseWait->isHidden());
    EXPECT_TRUE(w->Load->isEnabled());
    EXPECT_FALSE(w->search->isEnabled());
    EXPECT_FALSE(w->ProgramPod->isEnabled());
    EXPECT_EQ(w->ProgressBar1->maximum(), 1000);
    clock.ProcessEvents();
    EXPECT_EQ(clock.Now(), 100 * sim::Millisecond);
    EXPECT_FALSE(clock.Enabled()) << "its tick stops it";

    // Front to back: PleaseWait, then Blanking 3, 2, 1, 0, then everything else.
    QList<QWidget*> order;
    for (QObject* child : w->children())
        if (auto* widget = qobject_cast<QWidget*>(child))
            order << widget;
    EXPECT_EQ(order.mid(order.size() - 5), (QList<QWidget*>{w->Blanking[0], w->Blanking[1], w->Blanking[2],
                                                              w->Blanking[3], w->PleaseWait}));
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
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(store), 5000);
    QTest::qWait(500); // written by renaming: whole once there; let start-up end
    program.kill();
    program.waitForFinished();
    QFile file(store);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types]\n"
                              "\"Version\"=dword:00000011\n"));
    EXPECT_TRUE(text.contains("Types\\11]\n"));
    EXPECT_TRUE(text.contains("\"Type\"=dword:0000000c\n\"Reply\"=dword:000000cc\n"));
    EXPECT_TRUE(text.contains("Types\\30]"));
    EXPECT_FALSE(text.contains("Types\\31]"));
}

} // namespace
} // namespace vantelo
