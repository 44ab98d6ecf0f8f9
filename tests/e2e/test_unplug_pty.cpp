#include "PodsimProcess.h"
#include "support/SimFixture.h"

#include "catalogue/RegisterPod.h"
#include "discovery/ProbePort.h"
#include "platform/QtReplyTimer.h"
#include "platform/QtSerialPort.h"
#include "programming/DownloadData.h"

#include <gtest/gtest.h>

namespace vantelo {
namespace {

// The real adapter when the device vanishes under it: podsim closes the pty
// once the pod has heard the probe (8 bytes at 9600) and five blocks, the
// last of them unanswered.
TEST(UnplugOverPty, DownloadEndsWithOneMessageAndThePortClosed)
{
    PodsimProcess podsim(QStringLiteral(PODSIM_PROGRAM),
                         {"--port", QStringLiteral("1:type=1,baud=9600,unplug=%1").arg(8 + 5 * 12)});
    QtSerialPort port;
    QtReplyTimer timer;
    testing::ScriptedMsgBox msgBox;
    testing::RecordingView view;
    const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
    PodLink link{port, timer, msgBox, view, podTypes};
    port.CommPort(1);
    ASSERT_TRUE(port.PortOpen(true));
    ASSERT_EQ(ProbePort(link, false) & 0xFF, 0x22);

    std::array<std::uint8_t, ImageSize> buffer{};
    EXPECT_FALSE(DownloadData(link, buffer, 400));
    EXPECT_FALSE(port.PortOpen()) << "the adapter closed the vanished port";
    ASSERT_EQ(msgBox.calls.size(), 1u);
    EXPECT_EQ(msgBox.calls[0].text, "No reply to download");
    EXPECT_EQ(msgBox.calls[0].title, "Error!  4");

    // The next probe on it finds nothing, quietly.
    EXPECT_EQ(ProbePort(link, true), 0);
    EXPECT_EQ(msgBox.calls.size(), 1u);
}

TEST(UnplugOverPty, MissingDeviceIsNamedWhenOpeningFails)
{
    qputenv("VANTELO_COM2", "/nonexistent/vantelo-test");
    QtSerialPort port;
    port.CommPort(2);
    EXPECT_FALSE(port.PortOpen(true));
    EXPECT_EQ(port.OpenError(), "/nonexistent/vantelo-test does not exist");
}

} // namespace
} // namespace vantelo
