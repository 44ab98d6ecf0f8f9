#include "support/ConfigFiles.h"
#include "support/PodModels.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"

#include "app/Download.h"
#include "catalogue/RegisterPod.h"
#include "discovery/ProbePort.h"
#include "platform/FileSettingsStore.h"
#include "programming/DownloadData.h"
#include "programming/SecondaryConfiguration.h"
#include "serial/RestartPod.h"
#include "sim/Line.h"

#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace vantelo {
namespace {

using sim::Millisecond;

// The simulated line as the operations use it, noting when they last touched
// COM1 and each frame (wake-up pulse or command byte) they begin on it after
// it vanished.
struct WatchedLine final : SerialPort {
    WatchedLine(sim::Line& line, sim::Clock& clock) : line(line), clock(clock) {}
    void Touch() { lastOnCom1 = number == 1 ? clock.Now() : lastOnCom1; }
    void CommPort(int n) override { Touch(), number = n, line.CommPort(n); }
    bool PortOpen() const override { return line.PortOpen(); }
    bool PortOpen(bool open) override { return Touch(), line.PortOpen(open); }
    std::string OpenError() const override { return line.OpenError(); }
    void RTSEnable(bool raised) override { line.RTSEnable(raised); }
    void Break(bool on) override { line.Break(on); }
    bool Settings(std::string_view text) override
    {
        const auto s = ParseLineSettings(text);
        begunAfterUnplug += goneAt >= 0 && number == 1 && (s->baud == 110 || s->parity == Parity::Odd);
        return Touch(), line.Settings(text);
    }
    void Output(std::span<const std::uint8_t> bytes) override { Touch(), line.Output(bytes); }
    std::int16_t InBufferCount() override { return Touch(), line.InBufferCount(); }
    std::vector<std::uint8_t> Input() override { return Touch(), line.Input(); }

    sim::Line& line;
    sim::Clock& clock;
    int number = 1;
    sim::Nanos goneAt = -1; // when COM1 vanished
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
        line.CommPort(1);
        line.PortOpen(true);
    }

    void UnplugIn(int milliseconds)
    {
        clock.Schedule(clock.Now() + milliseconds * Millisecond,
                       [this] { line.Unplug(1), port.goneAt = clock.Now(); });
    }

    // The window with a type 1 configuration loaded, which searches the ports.
    std::unique_ptr<Download> LoadedWindow(std::int32_t imageLength)
    {
        auto w = std::make_unique<Download>(
            DownloadServices{port, clock, store, fileDialog, clipboard, msgBox, {}, [] {}});
        QFile file(dir.filePath("job.TXF"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(testing::ConfigFileBytes(1, imageLength)));
        file.close();
        fileDialog.answers.push_back(file.fileName());
        w->Load_Click();
        return w;
    }

    sim::Clock clock;
    sim::Line line{clock};
    WatchedLine port{line, clock};
    sim::Pod pod{testing::PodModelOf(0x22, 9600, 1, 12)};
    testing::ScriptedMsgBox msgBox;
    testing::RecordingView view;
    const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
    PodLink link{port, clock, msgBox, view, podTypes};
    QTemporaryDir dir;
    FileSettingsStore store{dir.filePath("registry.reg")};
    testing::ScriptedFileDialog fileDialog;
    testing::RecordingClipboard clipboard;
};

struct Case {
    const char* operation;
    std::function<void(Bench&)> run; // unplugs COM1 under way
    std::vector<QString> messages;   // title: text
};

// A USB adapter pulled out mid-operation: the operation under way ends within
// the pause it is in, says so once, begins nothing more on the port, and
// leaves it closed.
TEST(Unplugged, EndsTheOperationUnderWayWithOneMessage)
{
    const std::array<std::uint8_t, ImageSize> buffer{};
    const Case cases[] = {
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
        {"program command",
         [](Bench& b) {
             const auto w = b.LoadedWindow(4000);
             w->Option1[0]->click();
             b.UnplugIn(3000);
             w->ProgramPod_Click();
             EXPECT_FALSE(w->running());
             EXPECT_TRUE(w->PleaseWait->isHidden());
         },
         {"Error!  110: No reply to download"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operation);
        Bench b;
        c.run(b);
        std::vector<QString> messages;
        for (const auto& call : b.msgBox.calls)
            messages.push_back(call.title + ": " + call.text);
        EXPECT_EQ(messages, c.messages);
        ASSERT_GE(b.port.goneAt, 0) << "unplugged under way";
        EXPECT_LE(b.port.lastOnCom1 - b.port.goneAt, 70 * Millisecond);
        EXPECT_EQ(b.port.begunAfterUnplug, 0);
        EXPECT_FALSE(b.line.PortOpen());
    }
}

} // namespace
} // namespace vantelo
