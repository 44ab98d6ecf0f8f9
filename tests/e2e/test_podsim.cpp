#include "PodsimProcess.h"
#include "support/ScriptedDialogs.h"

#include "catalogue/RegisterPod.h"
#include "discovery/ProbePort.h"
#include "platform/QtReplyTimer.h"
#include "platform/QtSerialPort.h"
#include "programming/DownloadData.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

namespace vantelo {
namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program's real serial adapters over podsim's ptys. COM1's pod answers
// the probe at 28800 only: a custom rate, and not the first one tried. COM3's
// device vanishes once its pod has heard the wake-up pulse, the probe at 9600
// and five blocks: podsim closes the pty.
TEST(OverPty, ProbeAndDownloadThenTheDeviceVanishes)
{
    QTemporaryDir dir;
    PodsimProcess podsim(QStringLiteral(PODSIM_PROGRAM),
                         {"--port", "1:type=1,version=1.12,baud=28800", "--port", "2:missing", "--port",
                          QStringLiteral("3:type=1,unplug=%1").arg(8 + 5 * 12), "--images", dir.path()},
                         dir.filePath("podsim.log"));
    QtSerialPort port;
    QtReplyTimer timer;
    testing::ScriptedMsgBox msgBox;
    testing::RecordingView view;
    const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
    PodLink link{port, timer, msgBox, view, podTypes};
    std::array<std::uint8_t, ImageSize> image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 13 + 1);

    port.CommPort(1);
    ASSERT_TRUE(port.PortOpen(true));
    EXPECT_EQ(ProbePort(link, true), 0x0C0122);
    EXPECT_TRUE(DownloadData(link, image, 200));
    EXPECT_EQ(ReadAll(dir.filePath("COM1.image")), QByteArray(reinterpret_cast<const char*>(image.data()), 200));
    EXPECT_TRUE(msgBox.calls.empty());
    port.PortOpen(false);

    port.CommPort(3);
    ASSERT_TRUE(port.PortOpen(true));
    ASSERT_EQ(ProbePort(link, false), 0x000122);
    EXPECT_FALSE(DownloadData(link, image, 400));
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(msgBox.Texts(), (std::vector<QString>{"Error!  4: No reply to download"}));
    EXPECT_EQ(ProbePort(link, true), 0) << "nothing answers on the vanished port";
    EXPECT_EQ(msgBox.calls.size(), 1u);

    port.CommPort(2);
    EXPECT_FALSE(port.PortOpen(true));
    EXPECT_TRUE(QString::fromStdString(port.OpenError()).endsWith(" does not exist"));
    if (::testing::Test::HasFailure())
        std::fprintf(stderr, "podsim's log:\n%s", ReadAll(dir.filePath("podsim.log")).constData());
}

// An adapter whose output never leaves (the system's queue never empties)
// holds its thread no longer than the drain's limit, and is then lost as a
// vanished device is. Settings that change nothing need no drain.
TEST(OverPty, AStalledAdapterIsLostAtTheDrainLimit)
{
    QTemporaryDir dir;
    PodsimProcess podsim(QStringLiteral(PODSIM_PROGRAM), {"--port", "1:empty"}, dir.filePath("podsim.log"));
    QtSerialPort port({}, [](qintptr) { return std::optional<long>(1); });
    port.CommPort(1);
    ASSERT_TRUE(port.PortOpen(true));
    EXPECT_TRUE(port.Settings("9600,n,8,1")) << "the line as it opens";
    EXPECT_TRUE(port.PortOpen());

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(port.Settings("9600,o,8,1"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3)) << "a hang, not a limit";
    EXPECT_FALSE(port.PortOpen());
}

} // namespace
} // namespace vantelo
