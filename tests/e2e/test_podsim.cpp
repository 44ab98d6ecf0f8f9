#include "PodsimProcess.h"
#include "support/ConfigFiles.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"

#include "app/Download.h"
#include "catalogue/RegisterPod.h"
#include "discovery/ProbePort.h"
#include "platform/FileSettingsStore.h"
#include "platform/QtReplyTimer.h"
#include "platform/QtSerialPort.h"
#include "programming/DownloadData.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

namespace vantelo {
namespace {

using testing::ScriptedMsgBox;

// The program's real serial adapters over podsim's ptys. Unless a test
// starts podsim itself, COM1's pod answers the probe at 28800 only: a custom
// rate, and not the first one tried.
class OverPty : public ::testing::Test {
protected:
    void Start(const QStringList& ports)
    {
        podsim.emplace(QStringLiteral(PODSIM_PROGRAM), ports + QStringList{"--images", dir.path()},
                       dir.filePath("podsim.log"));
    }
    void SetUp() override
    {
        Start({"--port", "1:type=1,version=1.12,baud=28800", "--port", "2:missing", "--port", "3:empty",
               "--port", "4:missing"});
    }
    void TearDown() override
    {
        QFile log(dir.filePath("podsim.log"));
        if (HasFailure() && log.open(QIODevice::ReadOnly))
            std::fprintf(stderr, "podsim's log:\n%s", log.readAll().constData());
    }

    QByteArray Image() const
    {
        QFile file(dir.filePath("COM1.image"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    std::optional<PodsimProcess> podsim;
    QtSerialPort port;
    QtReplyTimer timer;
    ScriptedMsgBox msgBox;
    testing::RecordingView view;
    const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
    PodLink link{port, timer, msgBox, view, podTypes};
};

// The whole job as a person does it, in the real window: the probe finds the
// pod at 28800, the image arrives intact.
TEST_F(OverPty, WindowSearchesSelectsAndPrograms)
{
    FileSettingsStore store(dir.filePath("registry.reg"));
    testing::ScriptedFileDialog fileDialog;
    testing::RecordingClipboard clipboard;
    const QByteArray config = testing::ConfigFileBytes(1, 200);
    QFile file(dir.filePath("Hall2.TXF"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(config) == config.size());
    file.close();
    fileDialog.answers.push_back(file.fileName());
    Download w({port, timer, store, fileDialog, clipboard, msgBox, {}, [] {}});

    QTest::mouseClick(w.Load, Qt::LeftButton);
    EXPECT_EQ(w.PodType[0]->text(), "Lumo Plus 1.12");
    EXPECT_TRUE(w.PodType[1]->isHidden());
    EXPECT_FALSE(w.PodType[2]->isHidden());
    EXPECT_EQ(std::vector<bool>({w.Option1[0]->isEnabled(), w.Option1[2]->isEnabled()}),
              std::vector<bool>({true, false}));
    QTest::mouseClick(w.Option1[0], Qt::LeftButton);
    QTest::mouseClick(w.ProgramPod, Qt::LeftButton);
    ASSERT_EQ(msgBox.calls.size(), 1u);
    EXPECT_EQ(msgBox.calls[0].text, "Program another pod");
    EXPECT_EQ(Image(), config.mid(PodFile::MainImageOffset, 200));
    EXPECT_FALSE(port.PortOpen());
}

// The device vanishes under the adapter: podsim closes the pty once the pod
// has heard the wake-up pulse, the probe at 9600 and five blocks.
TEST_F(OverPty, UnpluggedDeviceEndsTheDownloadWithOneMessageAndClosesThePort)
{
    podsim.reset();
    Start({"--port", QStringLiteral("1:type=1,unplug=%1").arg(8 + 5 * 12), "--port", "2:missing"});
    port.CommPort(1);
    ASSERT_TRUE(port.PortOpen(true));
    ASSERT_EQ(ProbePort(link, false), 0x000122);

    std::array<std::uint8_t, ImageSize> buffer{};
    EXPECT_FALSE(DownloadData(link, buffer, 400));
    EXPECT_FALSE(port.PortOpen());
    ASSERT_EQ(msgBox.calls.size(), 1u);
    EXPECT_EQ(msgBox.calls[0].title + ": " + msgBox.calls[0].text, "Error!  4: No reply to download");
    EXPECT_EQ(ProbePort(link, true), 0) << "nothing answers on the vanished port";
    EXPECT_EQ(msgBox.calls.size(), 1u);

    port.CommPort(2);
    EXPECT_FALSE(port.PortOpen(true));
    EXPECT_TRUE(QString::fromStdString(port.OpenError()).endsWith(" does not exist"));
}

} // namespace
} // namespace vantelo
