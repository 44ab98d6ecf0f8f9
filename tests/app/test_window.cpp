#include "support/WindowFixture.h"

#include "app/Layout.h"

#include <QFileInfo>
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

int Pixels(const Download& w, int twips)
{
    return static_cast<int>(std::lround(twips * w.logicalDpiX() / 1440.0));
}

TEST_F(Window, StartsWithNoConfiguration)
{
    const auto w = Start();
    EXPECT_EQ(w->windowTitle(), "Vantelo 1.1.4");
    EXPECT_FALSE(w->Timer2->isActive());
    EXPECT_TRUE(clock.Enabled()) << "the reply timer runs until its first tick";
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(w->Option1[i]->isHidden()) << i;
        EXPECT_TRUE(w->PodType[i]->isHidden()) << i;
        EXPECT_TRUE(w->Blanking[i]->isHidden()) << i;
        EXPECT_EQ(w->Option1[i]->text(), QString::number(i + 1));
    }
    EXPECT_TRUE(w->PleaseWait->isHidden());
    EXPECT_TRUE(w->Load->isEnabled());
    EXPECT_TRUE(w->Exit->isEnabled());
    EXPECT_FALSE(w->search->isEnabled());
    EXPECT_FALSE(w->ProgramPod->isEnabled());
    EXPECT_EQ(w->FileName->text(), "");
    EXPECT_EQ(w->ProgressBar1->minimum(), 0);
    EXPECT_EQ(w->ProgressBar1->maximum(), 1000);

    clock.ProcessEvents();
    EXPECT_EQ(clock.Now(), 100 * sim::Millisecond);
    EXPECT_FALSE(clock.Enabled()) << "its tick stops it";
}

TEST_F(Window, OverlaysMoveIntoTheColumnAndLieInFront)
{
    const auto w = Start();
    EXPECT_EQ(w->width(), Pixels(*w, 2895));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(w->Blanking[i]->x(), Pixels(*w, 120)) << i;
    EXPECT_EQ(w->PleaseWait->x(), Pixels(*w, 120));

    // Front to back: PleaseWait, then Blanking 3, 2, 1, 0, then everything else.
    QList<QWidget*> order;
    for (QObject* child : w->children())
        if (auto* widget = qobject_cast<QWidget*>(child))
            order << widget;
    ASSERT_GE(order.size(), 5);
    const QList<QWidget*> front = order.mid(order.size() - 5);
    EXPECT_EQ(front, (QList<QWidget*>{w->Blanking[0], w->Blanking[1], w->Blanking[2],
                                      w->Blanking[3], w->PleaseWait}));

    // Panel i covers slot row i, and panel 3 the command buttons too.
    for (int i = 0; i < 4; ++i) {
        const QRect row = w->Option1[i]->geometry().united(w->PodType[i]->geometry())
                              .translated(w->Frame2->pos());
        EXPECT_TRUE(w->Blanking[i]->geometry().contains(row)) << i;
    }
    EXPECT_TRUE(w->Blanking[3]->geometry().contains(w->Frame3->geometry()));
    EXPECT_TRUE(w->PleaseWait->geometry().contains(w->Frame2->geometry()));
}

TEST_F(Window, ExitClosesAnOpenPort)
{
    const auto w = Start();
    line.Empty(2);
    line.CommPort(2);
    ASSERT_TRUE(line.PortOpen(true));
    w->Exit_Click();
    EXPECT_FALSE(line.PortOpen());
    EXPECT_EQ(programEnds, 1);

    const auto again = Start();
    again->close(); // closing the window is Exit too
    EXPECT_EQ(programEnds, 2);
}

// The program itself, started as a person would, seeds a missing store file.
TEST(Program, FirstStartWritesTheStoreAndLaterStartsKeepIt)
{
    QTemporaryDir dir;
    const QString store = dir.filePath("etc/registry.reg");
    const auto runOnce = [&] {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VANTELO_REGISTRY", store);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(env);
        program.start(VANTELO_PROGRAM, {});
        ASSERT_TRUE(program.waitForStarted());
        // Start-up is done once the window is up; give it a moment, then end it.
        QTest::qWait(1500);
        program.kill();
        program.waitForFinished();
    };
    runOnce();
    QFile file(store);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    file.close();
    EXPECT_TRUE(text.contains("[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types]\n"
                              "\"Version\"=dword:00000011\n"));
    EXPECT_TRUE(text.contains("[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\11]\n"));
    EXPECT_TRUE(text.contains("\"Type\"=dword:0000000c\n\"Reply\"=dword:000000cc\n"));
    EXPECT_TRUE(text.contains("Types\\30]"));
    EXPECT_FALSE(text.contains("Types\\31]"));

    // A hand-added entry survives the next start, which changes nothing.
    QByteArray edited = text + "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Types\\40]\n"
                               "\"Name\"=\"Extra \"\n\"BootName\"=\"Extra \"\n"
                               "\"Type\"=dword:00000028\n\"Reply\"=dword:00000030\n\n";
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(edited);
    file.close();
    const QDateTime written = QFileInfo(store).lastModified();
    runOnce();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), edited);
    EXPECT_EQ(QFileInfo(store).lastModified(), written);
}

} // namespace
} // namespace vantelo
