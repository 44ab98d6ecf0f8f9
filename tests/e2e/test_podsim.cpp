#include "PodsimProcess.h"
#include "support/ScriptedDialogs.h"

#include "catalogue/RegisterPod.h"
#include "discovery/ProbePort.h"
#include "platform/serial/LinuxReplyTimer.h"
#include "platform/serial/LinuxSerialPort.h"
#include "platform/serial/OpenFailure.h"
#include "platform/serial/SystemSerialPort.h"
#include "programming/DownloadData.h"
#include "serial/Waits.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>

namespace vantelo {
namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program's real serial adapters over podsim's ptys.
class OverPty : public ::testing::Test {
protected:
    void Start(const QStringList& arguments)
    {
        podsim.emplace(QStringLiteral(PODSIM_PROGRAM), arguments, dir.filePath("podsim.log"));
    }

    void TearDown() override
    {
        if (HasFailure())
            std::fprintf(stderr, "podsim's log:\n%s", ReadAll(dir.filePath("podsim.log")).constData());
    }

    QTemporaryDir dir;
    std::optional<PodsimProcess> podsim;
    LinuxSerialPort port;
    LinuxReplyTimer timer;
    testing::ScriptedMsgBox msgBox;
    testing::RecordingView view;
    const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
    PodLink link{port, timer, msgBox, view, podTypes};
};

// COM1's pod answers the probe at 28800 only: a custom rate, and not the
// first one tried. COM3's device vanishes once its pod has heard the wake-up
// pulse, the probe at 9600 and five blocks: podsim closes the pty.
TEST_F(OverPty, ProbeAndDownloadThenTheDeviceVanishes)
{
    Start({"--port", "1:type=1,version=1.12,baud=28800", "--port", "2:missing", "--port",
           QStringLiteral("3:type=1,unplug=%1").arg(8 + 5 * 12), "--images", dir.path()});
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

    // A missing port, and one another program holds: the program's words,
    // the system's for the missing one, and no device name, which the
    // message around the reason gives.
    LinuxSerialPort holder;
    holder.CommPort(1);
    ASSERT_TRUE(holder.PortOpen(true));
    const struct {
        int number;
        OpenFailure failure;
        const char* systemWords;
    } rows[] = {{2, OpenFailure::Missing, std::strerror(ENOENT)}, {1, OpenFailure::InUse, ""}};
    for (const auto& row : rows) {
        port.CommPort(row.number);
        EXPECT_FALSE(port.PortOpen(true));
        const std::string why = port.OpenError();
        EXPECT_EQ(why.rfind(OpenFailureText(row.failure, {}), 0), 0u) << why;
        EXPECT_NE(why.find(row.systemWords), std::string::npos) << why;
        EXPECT_EQ(why.find('/'), std::string::npos) << why;
    }
}

// A program killed with its port open leaves its settings on the pty, and Qt
// puts back at each close what it found at the open. On a pty, which drops
// PARENB, a parity change that changes nothing else is refused as an invalid
// argument: after a program died in even parity, the next could open the port
// only once; after odd parity, it could not set odd parity. podsim makes the
// port raw again when the dead program's descriptor closes. The pod is deaf
// for 1 s after each restart it accepts and misses the fifth probe it hears.
TEST_F(OverPty, PortThatAKilledProgramLeftInOddSettingsWorksForTheNext)
{
    Start({"--port", "1:type=1,version=1.12,reboot=1000,missprobe=5"});
    const QStringList leftIn[] = {
        {"9600,n,8,2", "9600,o,8,1"},               // killed after a command byte
        {"9600,n,8,2", "9600,o,8,1", "9600,e,8,1"}, // after its payload
    };
    for (const QStringList& settings : leftIn) {
        SCOPED_TRACE(settings.join(' ').toStdString());
        QProcess killed;
        killed.start(QStringLiteral(PTY_CLIENT_PROGRAM), QStringList{SerialDeviceName(1)} + settings);
        ASSERT_TRUE(killed.waitForReadyRead(10'000)) << killed.readAllStandardError().constData();
        killed.kill();
        killed.waitForFinished();
        QThread::msleep(200); // podsim hears of it

        LinuxSerialPort fresh; // the next program
        PodLink next{fresh, timer, msgBox, view, podTypes};
        ASSERT_TRUE(fresh.PortOpen(true)) << fresh.OpenError();
        for (const char* framing : {"9600,n,8,2", "9600,o,8,1", "9600,e,8,1"})
            EXPECT_TRUE(fresh.Settings(framing)) << framing;
        EXPECT_EQ(ProbePort(next, true), 0x0C0122);
        fresh.PortOpen(false);
        ASSERT_TRUE(fresh.PortOpen(true)) << fresh.OpenError();
        EXPECT_EQ(ProbePort(next, false), 0) << "still rebooting";
        EXPECT_EQ(ProbePort(next, false), 0x0C0122);
    }
    port.CommPort(1);
    ASSERT_TRUE(port.PortOpen(true));
    EXPECT_EQ(ProbePort(link, false), 0) << "the fifth probe";
    EXPECT_EQ(ProbePort(link, false), 0x0C0122);
    EXPECT_TRUE(msgBox.calls.empty());
}

// A device that vanishes fails the next write, which closes the port: the
// wait after it ends at once, not at its time-out.
TEST_F(OverPty, AVanishedDeviceEndsTheWaitAtOnce)
{
    Start({"--port", "1:type=1,unplug=1"});
    ASSERT_TRUE(port.PortOpen(true));
    const std::uint8_t byte[] = {0x00};
    port.Output(byte);
    Pause(link, 200);
    port.Output(byte);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(WaitForReply(link, 10'000, 1));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(port.PortOpen());
}

// An adapter whose output never leaves (the system's queue never empties)
// holds its thread no longer than the drain's limit, and is then lost as a
// vanished device is. Settings that change nothing need no drain.
TEST_F(OverPty, AStalledAdapterIsLostAtTheDrainLimit)
{
    Start({"--port", "1:empty"});
    LinuxSerialPort stalled({}, [](qintptr) { return std::optional<long>(1); });
    ASSERT_TRUE(stalled.PortOpen(true));
    EXPECT_TRUE(stalled.Settings("9600,n,8,1")) << "the line as it opens";
    EXPECT_TRUE(stalled.PortOpen());

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(stalled.Settings("9600,o,8,1"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3)) << "a hang, not a limit";
    EXPECT_FALSE(stalled.PortOpen());
}

} // namespace
} // namespace vantelo
