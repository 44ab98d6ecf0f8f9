#include "support/ConfigFiles.h"
#include "support/PodModels.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/WatchedLine.h"

#include "app/Download.h"
#include "catalogue/RegisterPod.h"
#include "discovery/ProbePort.h"
#include "platform/FileSettingsStore.h"
#include "programming/DownloadData.h"
#include "programming/SecondaryConfiguration.h"
#include "serial/RestartPod.h"

#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace vantelo {
namespace {

using sim::Millisecond;

// Notes when the operations last touched COM1, when it vanished under them,
// and each frame (wake-up pulse or command byte) they begin on it after that.
struct Watch final : testing::WatchedLine {
    Watch(sim::Line& line, sim::Clock& clock) : WatchedLine(line), clock(clock) {}
    void Used() override
    {
        if (number != 1)
            return;
        if (goneAt < 0 && opened && !line.PortOpen()) // closed, but not by the program
            goneAt = clock.Now();
        lastOnCom1 = clock.Now();
    }
    bool PortOpen(bool open) override
    {
        const bool result = WatchedLine::PortOpen(open);
        opened = open && result && number == 1;
        return result;
    }
    void Setting(const LineSettings& s) override
    {
        begunAfterUnplug += goneAt >= 0 && number == 1 && (s.baud == 110 || s.parity == Parity::Odd);
    }

    sim::Clock& clock;
    bool opened = false;
    sim::Nanos goneAt = -1;
    int begunAfterUnplug = 0;
    sim::Nanos lastOnCom1 = 0;
};

// A type 1 pod on COM1, COM3 empty; the operations and the window go through
// the watched line.
struct Bench {
    Bench()
    {
        line.Connect(1, pod);
        line.Empty(3);
        port.CommPort(1);
        port.PortOpen(true);
    }

    void UnplugIn(int milliseconds)
    {
        clock.Schedule(clock.Now() + milliseconds * Millisecond, [this] { line.Unplug(1), port.goneAt = clock.Now(); });
    }

    // The window with a configuration loaded, which searches the ports; a
    // type 13 or 7 configuration finds a pod of its type on COM1.
    std::unique_ptr<Download> LoadedWindow(std::int32_t mainLength, std::uint8_t type = 1)
    {
        pod.model().reply = type == 13 ? 0xDD : 0x22;
        if (type == 7)
            line.Connect(1, twoMicro);
        auto w = std::make_unique<Download>(
            DownloadServices{port, clock, store, fileDialog, clipboard, msgBox, {}, [] {}});
        QFile file(dir.filePath("job.TXF"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(testing::ConfigFileBytes(type, mainLength, 8)));
        file.close();
        fileDialog.answers.push_back(file.fileName());
        w->Load_Click();
        return w;
    }

    sim::Clock clock;
    sim::Line line{clock};
    Watch port{line, clock};
    sim::Pod pod{testing::PodModelOf(0x22, 9600, 1, 12)};
    sim::TwoMicroPod twoMicro{testing::PodModelOf(0x88), testing::PodModelOf(0x99)};
    testing::ScriptedMsgBox msgBox;
    testing::RecordingView view;
    const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
    PodLink link{port, clock, msgBox, view, podTypes};
    QTemporaryDir dir;
    FileSettingsStore store{dir.filePath("registry.reg")};
    testing::ScriptedFileDialog fileDialog;
    testing::RecordingClipboard clipboard;
};

// The program command on a configuration of this type and length, COM1
// vanishing after the pod heard this many bytes, or at this time.
std::function<void(Bench&)> ProgramCommand(std::uint8_t type, std::int32_t length, int bytes, int ms = 0)
{
    return [=](Bench& b) {
        const auto w = b.LoadedWindow(length, type);
        w->Option1[0]->click();
        if (bytes)
            b.line.UnplugAfterBytes(bytes);
        else
            b.UnplugIn(ms);
        w->ProgramPod_Click();
        EXPECT_FALSE(w->running());
        EXPECT_TRUE(w->PleaseWait->isHidden());
    };
}

// A USB adapter pulled out mid-operation: the operation under way ends within
// the pause it is in, says so once, begins nothing more on the port, and
// leaves it closed.
TEST(Unplugged, EndsTheOperationUnderWayWithOneMessage)
{
    const std::array<std::uint8_t, ImageSize> buffer{};
    const struct {
        const char* operation;
        std::function<void(Bench&)> run; // unplugs COM1 under way
        std::vector<QString> messages;   // title: text
    } cases[] = {
        {"probe", [](Bench& b) { b.UnplugIn(150); EXPECT_EQ(ProbePort(b.link, true), 0); }, {}},
        {"restart",
         [](Bench& b) {
             b.pod.model().faults.ignoreRestarts = 4;
             b.UnplugIn(150);
             EXPECT_FALSE(RestartPod(b.link));
         },
         {"Error!: No reply to restart"}},
        {"download", [&](Bench& b) { b.UnplugIn(200); EXPECT_FALSE(DownloadData(b.link, buffer, 800)); },
         {"Error!  8: No reply to download"}},
        {"secondary table",
         [&](Bench& b) {
             b.pod.model().reply = 0xDD;
             b.UnplugIn(1000);
             EXPECT_FALSE(ProgramSecondaryConfiguration(b.link, 13, std::span(buffer).first<256>()));
         },
         {"Error!: No reply to secondary byte"}},
        {"search, which goes on with the other ports",
         [](Bench& b) {
             b.UnplugIn(150);
             const auto w = b.LoadedWindow(8);
             EXPECT_FALSE(w->PodType[0]->isHidden()) << "it opened, then nothing answered";
             EXPECT_FALSE(w->Option1[0]->isEnabled());
             EXPECT_FALSE(w->PodType[2]->isHidden());
         },
         {}},
        {"program command", ProgramCommand(1, 4000, 0, 3000), {"Error!  110: No reply to download"}},
        // Bytes the pod hears: 8 for a probe at 9600, 2 for a restart, 12
        // for a block, 5 for a secondary byte.
        {"program command, in the closing restart", ProgramCommand(1, 16, 8 + 24 + 1),
         {"Error!: No reply to restart"}},
        {"program command, in the secondary table", ProgramCommand(13, 16, 8 + 24 + 10 + 5 * 20 + 3),
         {"Error!: No reply to secondary byte"}},
        // The main micro's selection (pulse, probe, restart), then its pulse, probe and blocks.
        {"program command, in the main micro's image", ProgramCommand(7, 16, 10 + 8 + 12 + 6),
         {"Error!  1: No reply to download"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        Bench b;
        c.run(b);
        EXPECT_EQ(b.msgBox.Texts(), c.messages);
        ASSERT_GE(b.port.goneAt, 0) << "unplugged under way";
        EXPECT_LE(b.port.lastOnCom1 - b.port.goneAt, 70 * Millisecond);
        EXPECT_EQ(b.port.begunAfterUnplug, 0);
        EXPECT_FALSE(b.line.PortOpen());
        EXPECT_FALSE(b.line.rts());
    }
}

} // namespace
} // namespace vantelo
