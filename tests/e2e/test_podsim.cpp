#include "PodsimProcess.h"
#include "support/ScriptedDialogs.h"
#include "support/SimFixture.h"

#include "catalogue/RegisterPod.h"
#include "discovery/ProbePort.h"
#include "platform/QtReplyTimer.h"
#include "platform/QtSerialPort.h"
#include "programming/DownloadData.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <vector>

namespace vantelo {
namespace {

using testing::RecordingView;
using testing::ScriptedMsgBox;

// The program's real serial adapters against a type 1 pod, version 1.12,
// answering the probe at 38400, on a pty that podsim serves as COM1.
class PodOverPty : public ::testing::Test {
protected:
    PodOverPty()
    {
        port.CommPort(1);
    }

    void SetUp() override { ASSERT_TRUE(port.PortOpen(true)) << qPrintable(SerialDeviceName(1)); }

    void TearDown() override
    {
        port.PortOpen(false);
        if (HasFailure()) {
            QFile log(LogPath());
            if (log.open(QIODevice::ReadOnly))
                std::fprintf(stderr, "podsim's log:\n%s", log.readAll().constData());
        }
    }

    QString LogPath() const { return dir.filePath(QStringLiteral("podsim.log")); }

    std::vector<std::uint8_t> ImageFile() const
    {
        QFile file(dir.filePath(QStringLiteral("COM1.image")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray bytes = file.readAll();
        return {bytes.begin(), bytes.end()};
    }

    QTemporaryDir dir;
    PodsimProcess podsim{QStringLiteral(PODSIM_PROGRAM),
                         {QStringLiteral("--port"), QStringLiteral("1:type=1,version=1.12,baud=38400"),
                          QStringLiteral("--images"), dir.path()},
                         LogPath()};
    QtSerialPort port;
    QtReplyTimer timer;
    ScriptedMsgBox msgBox;
    RecordingView view;
    const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
    PodLink link{port, timer, msgBox, view, podTypes};
};

TEST_F(PodOverPty, ProbeIdentifiesThePodAndRestartsIt)
{
    EXPECT_EQ(ProbePort(link, true), 0x0C0122);
    // An unacknowledged restart would have shown an error box.
    EXPECT_TRUE(msgBox.calls.empty());
}

TEST_F(PodOverPty, DownloadedImageArrivesWhole)
{
    std::array<std::uint8_t, ImageSize> buffer{};
    for (std::size_t i = 0; i < 104; ++i)
        buffer[i] = static_cast<std::uint8_t>(0xA5 ^ (i * 13));

    ASSERT_TRUE(DownloadData(link, buffer, 100));
    EXPECT_TRUE(msgBox.calls.empty());
    // 13 blocks: the last one carries the four bytes after the image too.
    EXPECT_EQ(ImageFile(), std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + 104));
}

TEST_F(PodOverPty, PortTakesEveryRateTheProgramUses)
{
    for (const char* settings : {"110,n,8,2", "2400,n,8,2", "4800,n,8,2", "9600,n,8,2", "14400,n,8,2",
                                 "19200,n,8,2", "28800,n,8,2", "38400,n,8,2"})
        EXPECT_TRUE(port.Settings(settings)) << settings;
}

} // namespace
} // namespace vantelo
