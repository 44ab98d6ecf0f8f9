#include "PodsimProcess.h"
#include "support/ConfigFiles.h"
#include "support/ScriptedDialogs.h"

#include "app/Download.h"
#include "platform/FileSettingsStore.h"
#include "platform/QtReplyTimer.h"
#include "platform/QtSerialPort.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace vantelo {
namespace {

// The whole job as a person does it, with the real window and the real serial
// adapter: podsim serves a type 1 pod on COM1 and an empty port on COM3.
TEST(WindowOverPty, SearchSelectAndProgramAPod)
{
    QTemporaryDir dir;
    PodsimProcess podsim(QStringLiteral(PODSIM_PROGRAM),
                         {"--port", "1:type=1,version=1.12,baud=38400", "--port", "2:missing",
                          "--port", "3:empty", "--port", "4:missing", "--images", dir.path()});
    const QString config = dir.filePath("Hall2.TXF");
    {
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(testing::ConfigFileBytes(1, 200));
    }

    QtSerialPort port;
    QtReplyTimer replyTimer;
    FileSettingsStore store(dir.filePath("registry.reg"));
    testing::ScriptedFileDialog fileDialog;
    testing::RecordingClipboard clipboard;
    testing::ScriptedMsgBox msgBox;
    fileDialog.answers.push_back(config);
    Download w({port, replyTimer, store, fileDialog, clipboard, msgBox, {}, [] {}});

    QTest::mouseClick(w.Load, Qt::LeftButton);
    EXPECT_EQ(w.PodType[0]->text(), "Lumo Plus 1.12");
    EXPECT_TRUE(w.Option1[0]->isEnabled());
    EXPECT_TRUE(w.PodType[1]->isHidden());
    EXPECT_FALSE(w.PodType[2]->isHidden());
    EXPECT_FALSE(w.Option1[2]->isEnabled());

    QTest::mouseClick(w.Option1[0], Qt::LeftButton);
    ASSERT_TRUE(w.ProgramPod->isEnabled());
    msgBox.answers = {MsgAnswer::No};
    QTest::mouseClick(w.ProgramPod, Qt::LeftButton);

    ASSERT_EQ(msgBox.calls.size(), 1u);
    EXPECT_EQ(msgBox.calls[0].text, "Program another pod");
    QFile image(dir.filePath("COM1.image"));
    ASSERT_TRUE(image.open(QIODevice::ReadOnly));
    const QByteArray sent = image.readAll();
    EXPECT_EQ(sent, testing::ConfigFileBytes(1, 200).mid(PodFile::MainImageOffset, 200));
    EXPECT_FALSE(port.PortOpen());
}

} // namespace
} // namespace vantelo
