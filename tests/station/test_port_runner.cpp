#include "support/Files.h"
#include "support/Sim.h"

#include "catalogue/RegisterPod.h"
#include "config/PodFile.h"
#include "sim/Clock.h"
#include "sim/Line.h"
#include "sim/Pod.h"
#include "station/AbortablePort.h"
#include "station/PortRunner.h"
#include "station/RecordFile.h"
#include "station/StationControl.h"
#include "station/terminal/TerminalBoard.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace vantelo::station {
namespace {

using sim::Millisecond;
using sim::Nanos;
constexpr Nanos Second = 1000 * Millisecond;

// The line as the runner uses it, noting when each poll's wake pulse leaves.
// A wake pulse within a second of the one before is the same poll's: the
// program command probing the pod just found.
struct PollingLine final : testing::WatchedLine {
    PollingLine(sim::Line& line, sim::Clock& clock) : WatchedLine(line), clock(clock) {}
    void Setting(const LineSettings& settings) override
    {
        if (settings.baud != 110)
            return;
        if (wakes.empty() || clock.Now() - last >= Second)
            wakes.push_back(clock.Now());
        last = clock.Now();
    }
    void Sent(std::span<const std::uint8_t> bytes) override
    {
        if (abort && *abort)
            sentAfterAbort += bytes.size();
    }
    sim::Clock& clock;
    std::vector<Nanos> wakes;
    Nanos last = 0;
    const std::atomic<bool>* abort = nullptr;
    std::size_t sentAfterAbort = 0;
};

// COM1's runner on the simulated line, in virtual time, with a record and a
// piped board of its own.
class Runner : public ::testing::Test {
protected:
    // Watching, the runner is stopped once `seconds` have passed. Every
    // 100 ms of virtual time `hands` sees the port as the operator would.
    void Run(bool watch, int seconds = 0, const StationPort& where = {"COM1", "/dev/x", true, 1},
             const std::function<void(const PortState&)>& hands = {})
    {
        auto configuration = std::make_unique<PodConfiguration>();
        ASSERT_EQ(ParsePodConfiguration({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                         static_cast<std::size_t>(bytes.size())},
                                        *configuration)
                      .fault,
                  PodFileFault::None);
        const StationJob job{*configuration, QStringLiteral("Lumo.TXF"), QStringLiteral("ab12"), watch};
        QString error;
        ASSERT_TRUE(record.Open(recordPath, error)) << error.toStdString();
        StatusBoard board({where.name});
        TerminalBoard view(screen, false, false);
        // Events of a run that has ended do nothing.
        const auto running = std::make_shared<bool>(true);
        if (watch)
            After(seconds * Second, running, [this] { control.stopTaking = true; });
        std::function<void()> look = [&, running] {
            const BoardSnapshot snapshot = board.Take();
            view.Draw(snapshot, {});
            if (hands)
                hands(snapshot.ports[0]);
            After(100 * Millisecond, running, look);
        };
        After(0, running, look);
        AbortablePort port(polls, control.abort);
        AbortableTimer timer(clock, control.abort);
        PortRunner(port, timer, {podTypes, job, where, 0, board, record, control}, [this] {
            return std::chrono::nanoseconds(clock.Now());
        }).Run();
        *running = false;
        polls.PortOpen(false); // as the port thread's end closes it
        last = board.Take();
        view.Draw(last, {});
    }
    void After(Nanos delay, const std::shared_ptr<bool>& running, std::function<void()> event)
    {
        clock.Schedule(clock.Now() + delay, [running, event = std::move(event)] {
            if (*running)
                event();
        });
    }
    std::vector<QJsonObject> Records() const
    {
        QFile file(recordPath);
        std::vector<QJsonObject> lines;
        if (!file.open(QIODevice::ReadOnly))
            return lines;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.isEmpty())
                lines.push_back(QJsonDocument::fromJson(line).object());
        }
        return lines;
    }
    QString Screen() const
    {
        std::rewind(screen);
        QByteArray text;
        for (int c; (c = std::fgetc(screen)) != EOF;)
            text += static_cast<char>(c);
        return QString::fromLocal8Bit(text);
    }
    void TearDown() override { std::fclose(screen); }

    sim::Clock clock;
    sim::Line line{clock};
    PollingLine polls{line, clock};
    QByteArray bytes = testing::ConfigFileBytes(1, 40);
    const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
    QTemporaryDir dir;
    QString recordPath = dir.filePath("record.jsonl");
    RecordFile record;
    std::FILE* screen = std::tmpfile();
    StationControl control;
    BoardSnapshot last;
};

// The two-micro pod needs RTS, which no pty has: its whole path runs here.
TEST_F(Runner, TwoMicroPodGetsBothImagesAndOneRecord)
{
    sim::TwoMicroPod pod(testing::PodModelOf(0x88), testing::PodModelOf(0x99, 4800));
    line.Connect(1, pod);
    bytes = testing::ConfigFileBytes(TwoMicroTypeCode, 12, 4);
    Run(false);

    // Each image up to its length inclusive, in whole blocks; the IR one
    // over what the buffer held of the main one.
    const auto file = [&](qsizetype at, qsizetype n) {
        std::vector<std::uint8_t> out(n);
        std::copy_n(bytes.constData() + at, n, out.begin());
        return out;
    };
    std::vector<std::uint8_t> main = file(testing::MainImageAt, 13), ir = file(testing::MainImageAt, 8);
    main.resize(16, 0);
    const auto irBytes = file(testing::IrImageAt, 5);
    std::copy(irBytes.begin(), irBytes.end(), ir.begin());
    EXPECT_EQ(pod.main().Image(), main);
    EXPECT_EQ(pod.ir().Image(), ir);
    EXPECT_EQ(ExitStatus(control, false), 0);
    const auto lines = Records();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["pod_type"].toInt(), 7);
    EXPECT_EQ(lines[0]["result"].toString(), "programmed");
}

// Pods as a production floor has them, booting from 0.5 s to 12 s after
// their restart, and hands that take them off and put the next on at "take
// off", during the boot, right after "ready" or too soon. Each pod put on
// after "ready" is programmed and recorded once and restarted only by its
// programming; one put on too soon is never written to, and the port keeps
// asking for the pod to be taken off. A lost record line takes no new pod.
TEST_F(Runner, EachPodPutOnAfterReadyIsProgrammedOnce)
{
    enum class Off { Never, AtTakeOff, DuringBoot };
    const struct {
        const char* name;
        Nanos boot;
        int missProbe;
        Off off;
        Nanos gap;                   // from "ready" to the next pod; below 0: from taking one off
        std::uint8_t nextMinor;      // the version of the pods after the first
        std::vector<int> programmed; // each pod put on, in order
        bool recordFull;
        PortPhase end;
        std::uint8_t reply = 0x22; // 0x33: another type, skipped and restarted once
    } rows[] = {
        // clang-format off
        {"booting 0.5 s, left on", 500 * Millisecond, 0, Off::Never, 0, 0, {1}, false, PortPhase::TakeOff},
        {"booting 4 s, left on", 4 * Second, 0, Off::Never, 0, 0, {1}, false, PortPhase::TakeOff},
        {"booting 12 s, left on", 12 * Second, 0, Off::Never, 0, 0, {1}, false, PortPhase::TakeOff},
        {"booting 3 s, a probe missed", 3 * Second, 4, Off::Never, 0, 0, {1}, false, PortPhase::TakeOff},
        {"taken off while booting", 12 * Second, 0, Off::DuringBoot, 200 * Millisecond, 0, {1, 1}, false,
         PortPhase::TakeOff},
        {"swapped right after ready", 6 * Second, 0, Off::AtTakeOff, 100 * Millisecond, 0, {1, 1, 1}, false,
         PortPhase::TakeOff},
        {"swapped too soon", 1 * Second, 0, Off::AtTakeOff, -1000 * Millisecond, 0, {1, 0}, false,
         PortPhase::TakeOff},
        {"another version too soon", 1 * Second, 0, Off::AtTakeOff, -1000 * Millisecond, 1, {1, 0}, false,
         PortPhase::Changed},
        {"the record lost", 1 * Second, 0, Off::AtTakeOff, 100 * Millisecond, 0, {1, 0}, true, PortPhase::Halted},
        {"another type, left on", 4 * Second, 0, Off::Never, 0, 0, {0}, false, PortPhase::TakeOff, 0x33},
        // clang-format on
    };
    bytes = testing::ConfigFileBytes(1, 300);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        screen = std::tmpfile();
        // A record of its own: Windows deletes no file that is open.
        recordPath = row.recordFull ? QStringLiteral("/dev/full")
                                    : dir.filePath(QString::fromUtf8(row.name) + QStringLiteral(".jsonl"));
        control.stopTaking = control.recordLost = false;
        std::vector<std::unique_ptr<sim::Pod>> pods;
        for (std::size_t i = 0; i < row.programmed.size(); ++i) {
            sim::PodModel model = testing::PodModelOf(row.reply, 9600, 1, i ? row.nextMinor : 0);
            model.reboot = row.boot;
            model.faults.missProbe = row.missProbe;
            pods.push_back(std::make_unique<sim::Pod>(model));
        }
        std::size_t on = 0, next = 1; // the pod on the port (pods.size(): none), the next to put on
        bool putting = false;
        PortPhase seen = PortPhase::Waiting; // the last before the runner was stopped
        line.Connect(1, *pods[0]);
        const auto putNext = [&](Nanos gap) {
            putting = true;
            clock.Schedule(clock.Now() + gap, [&, n = next++] {
                line.Connect(1, *pods[n]);
                on = n;
                putting = false;
            });
        };
        const auto hands = [&](const PortState& port) {
            const bool takeOff = (row.off == Off::AtTakeOff && port.phase == PortPhase::TakeOff) ||
                                 (row.off == Off::DuringBoot && port.phase == PortPhase::Restarting);
            if (port.phase != PortPhase::Stopped)
                seen = port.phase;
            // The last pod stays on.
            if (on < pods.size() && takeOff && !putting && next < pods.size()) {
                line.Empty(1);
                on = pods.size();
                if (row.gap < 0 && next < pods.size())
                    putNext(-row.gap);
            }
            if (on == pods.size() && row.gap >= 0 && port.phase == PortPhase::Ready && next < pods.size() && !putting)
                putNext(row.gap);
        };
        Run(true, 90, {"COM1", "/dev/x", true, 1}, hands);

        int recorded = 0;
        for (std::size_t i = 0; i < pods.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(pods[i]->programmed(), row.programmed[i]);
            EXPECT_EQ(pods[i]->restarts(), row.programmed[i] + (row.reply != 0x22))
                << "only its programming restarts it, or its being skipped";
            if (!row.programmed[i]) {
                EXPECT_TRUE(pods[i]->blocks().empty()) << "not half programmed either";
            }
            recorded += row.programmed[i];
        }
        if (!row.recordFull) {
            EXPECT_EQ(int(Records().size()), recorded + (row.reply != 0x22));
            for (const QJsonObject& line : Records())
                EXPECT_EQ(line["result"].toString(), row.reply == 0x22 ? "programmed" : "skipped");
        }
        EXPECT_EQ(row.recordFull ? last.ports[0].phase : seen, row.end);
        EXPECT_EQ(last.ports[0].phase, row.recordFull ? PortPhase::Halted : PortPhase::Stopped);
        EXPECT_EQ(Screen().count(": programmed, "), recorded) << "a piped line per result";
    }
}

// Stopped at once mid-download: not one byte more reaches the pod, and the
// pod is recorded as interrupted.
TEST_F(Runner, StoppedAtOnceSendsNothingMore)
{
    bytes = testing::ConfigFileBytes(1, 2000);
    sim::Pod pod(testing::PodModelOf(0x22));
    line.Connect(1, pod);
    polls.abort = &control.abort;
    Run(true, 90, {"COM1", "/dev/x", true, 1}, [&](const PortState& port) {
        if (port.permille > 100)
            control.stopTaking = control.abort = true;
    });
    ASSERT_TRUE(control.abort);
    EXPECT_EQ(polls.sentAfterAbort, 0u);
    EXPECT_FALSE(pod.blocks().empty());
    EXPECT_EQ(pod.programmed(), 0);
    ASSERT_EQ(Records().size(), 1u);
    EXPECT_EQ(Records()[0]["result"].toString(), "interrupted");
}

// What the record keeps of a pod: the commands sent again, a message's block
// number, the port as the user named it even inside the program command, an
// adapter pulled out mid-download named as gone, and a line that could not be
// written named on screen.
TEST_F(Runner, RecordKeepsTheFacts)
{
    const StationPort byId{"/dev/serial/by-id/usb-Acme_X-if00", "/dev/ttyUSB3", true, 0};
    const struct {
        const char* name;
        int refuseBlock, refuseTimes;
        bool reopenFails, recordToFull;
        int unplugAfter; // bytes into the download; 0: never
        const char* result;
        int retries;
        const char* message; // the first, or what the screen says
    } rows[] = {
        {"retried", 2, 2, false, false, 0, "programmed", 2, nullptr},
        {"block refused", 2, 4, false, false, 0, "failed", 3, "Error!  2: Reply to download failed"},
        {"program command cannot reopen", -1, 0, true, false, 0, "failed", 0,
         "Could not open /dev/serial/by-id/usb-Acme_X-if00"},
        {"adapter pulled out", -1, 0, false, false, 60, "failed", 0, "/dev/serial/by-id/usb-Acme_X-if00 is gone"},
        {"record lost", -1, 0, false, true, 0, nullptr, 0,
         "not recorded: Lumo Plus 1.0 programmed on /dev/serial/by-id/usb-Acme_X-if00"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        screen = std::tmpfile();
        recordPath = row.recordToFull ? QStringLiteral("/dev/full")
                                      : dir.filePath(QString::fromUtf8(row.name) + QStringLiteral(".jsonl"));
        sim::PodModel model = testing::PodModelOf(0x22);
        model.faults.refuseBlock = row.refuseBlock;
        model.faults.refuseBlockTimes = row.refuseTimes;
        sim::Pod pod(model);
        line.Connect(1, pod);
        if (row.reopenFails)
            line.FailOpening(2); // the runner's opening, then the program command's
        if (row.unplugAfter)
            line.UnplugAfterBytes(row.unplugAfter);
        Run(false, 0, byId);

        if (!row.result) {
            EXPECT_TRUE(Screen().contains(row.message)) << Screen().toStdString();
            EXPECT_EQ(ExitStatus(control, false), 1);
            continue;
        }
        const auto lines = Records();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0]["port"].toString(), byId.name);
        EXPECT_EQ(lines[0]["result"].toString(), row.result);
        EXPECT_EQ(lines[0]["retries"].toInt(-1), row.retries);
        const QJsonArray messages = lines[0]["messages"].toArray();
        const QString first = messages.first().toString(), last = messages.last().toString();
        EXPECT_TRUE(row.message ? first.startsWith(row.message) || last.startsWith(row.message) : first.isEmpty())
            << first.toStdString() << " ... " << last.toStdString();
    }
}

} // namespace
} // namespace vantelo::station
