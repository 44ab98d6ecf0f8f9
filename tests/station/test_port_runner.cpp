#include "support/Files.h"
#include "support/Sim.h"

#include "catalogue/RegisterPod.h"
#include "config/PodFile.h"
#include "sim/Clock.h"
#include "sim/Line.h"
#include "sim/Pod.h"
#include "station/PortRunner.h"
#include "station/RecordFile.h"
#include "station/StationControl.h"
#include "station/TerminalBoard.h"

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
    sim::Clock& clock;
    std::vector<Nanos> wakes;
    Nanos last = 0;
};

// COM1's runner on the simulated line, in virtual time, with a record and a
// piped board of its own.
class Runner : public ::testing::Test {
protected:
    // Watching, the runner is stopped once `seconds` have passed.
    void Run(bool watch, int seconds = 0, const StationPort& where = {"COM1", "/dev/x", true, 1})
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
        if (watch)
            clock.Schedule(clock.Now() + seconds * Second, [this] { control.stopTaking = true; });
        PortRunner(polls, clock, {podTypes, job, where, 0, board, record, control},
                   [this] { return std::chrono::nanoseconds(clock.Now()); })
            .Run();
        TerminalBoard(screen, false, false).Draw(board.Take(), {});
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

// A port is empty only after two silent polls, the later one at least 3 s
// after the pod was last heard: a poll it missed, or its boot after a
// restart, is no new pod.
TEST(PodPresence, EmptyAfterTwoSilentPollsThreeSecondsOn)
{
    using ms = std::chrono::milliseconds;
    const struct {
        std::vector<int> silentAt; // polls that found nobody, pod heard at 0
        int restartedAt;           // -1: none
        bool empty;
    } rows[] = {
        {{2000, 4000}, -1, true},
        {{2000, 2900}, -1, false},
        {{3500}, -1, false},
        {{2000, 4000}, 1500, false},
        {{2000, 4000, 6000}, 1500, true},
    };
    for (const auto& row : rows) {
        PodPresence presence;
        EXPECT_TRUE(presence.Answered(ms(0)));
        if (row.restartedAt >= 0)
            presence.Heard(ms(row.restartedAt));
        bool empty = false;
        for (const int at : row.silentAt)
            empty = presence.Silent(ms(at)) || empty;
        EXPECT_EQ(empty, row.empty) << row.silentAt.size() << " polls, the last at " << row.silentAt.back();
        EXPECT_EQ(presence.Answered(ms(9000)), row.empty) << "the next pod is new";
    }
}

// Pods as a production floor has them: booting for seconds after every
// restart, missing a probe, refusing restarts, swapped slowly or too fast.
// Each is taken once per time it was put on, and polls keep 2 s apart.
TEST_F(Runner, EachPodPutOnIsTakenOnce)
{
    const auto model = [](std::uint8_t reply, Nanos reboot = 0, int missProbe = 0, bool refusesCommands = false) {
        sim::PodModel pod = testing::PodModelOf(reply);
        pod.reboot = reboot;
        pod.faults.missProbe = missProbe;
        pod.faults.wrongAcknowledgement = refusesCommands;
        return pod;
    };
    const struct {
        const char* name;
        sim::PodModel pod;
        bool watch;
        Nanos swapAt, nextAt; // the pod taken off, the next put on; 0: never
        std::vector<const char*> results;
        int restarts;          // at least, accepted by the first pod: left on the port, it runs
        const char* shownOnce; // a message the board shows once
    } rows[] = {
        {"booting, one pass", model(0x22, 3 * Second), false, 0, 0, {"programmed"}, 1, nullptr},
        {"booting, watched", model(0x22, 3 * Second), true, 0, 0, {"programmed"}, 5, nullptr},
        {"missing a probe", model(0x33, 0, 3), true, 0, 0, {"skipped"}, 10, nullptr},
        {"refusing restarts", model(0x33, 0, 0, true), true, 0, 0, {"skipped"}, 0, "Reply fail to restart"},
        {"swapped", model(0x22, 3 * Second), true, 15 * Second, 21 * Second, {"programmed", "programmed"}, 2, nullptr},
        {"swapped too fast", model(0x22), true, 15 * Second, 16 * Second + 500 * Millisecond, {"programmed"}, 2, nullptr},
    };
    // Long enough to be written for seconds: the pod boots from its last restart.
    bytes = testing::ConfigFileBytes(1, 2000);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        screen = std::tmpfile();
        // A record of its own: Windows deletes no file that is open.
        recordPath = dir.filePath(QString::fromUtf8(row.name) + QStringLiteral(".jsonl"));
        polls.wakes.clear();
        control.stopTaking = false;
        sim::Pod first(row.pod), next(row.pod);
        line.Connect(1, first);
        if (row.swapAt) {
            clock.Schedule(clock.Now() + row.swapAt, [&] { line.Empty(1); });
            clock.Schedule(clock.Now() + row.nextAt, [&] { line.Connect(1, next); });
        }
        Run(row.watch, 40);

        std::vector<QString> results;
        for (const QJsonObject& line : Records())
            results.push_back(line["result"].toString());
        EXPECT_EQ(results, std::vector<QString>(row.results.begin(), row.results.end()));
        const auto programmed = std::count(row.results.begin(), row.results.end(), std::string_view("programmed"));
        EXPECT_EQ(first.programmed() + next.programmed(), programmed);
        EXPECT_GE(first.restarts(), row.restarts);
        for (std::size_t i = 1; i < polls.wakes.size(); ++i)
            EXPECT_GE(polls.wakes[i] - polls.wakes[i - 1], 2 * Second) << "poll " << i;
        if (row.watch) {
            EXPECT_GE(polls.wakes.size(), 12u) << "polls no slower than needed";
        }
        if (row.shownOnce) {
            EXPECT_EQ(Screen().count(row.shownOnce), 1) << Screen().toStdString();
            EXPECT_EQ(Records()[0]["messages"].toArray().first().toString(), row.shownOnce);
        }
    }
}

// What the record keeps of a pod: the commands sent again, a message's block
// number, the port as the user named it even inside the program command, and
// a line that could not be written named on screen.
TEST_F(Runner, RecordKeepsTheFacts)
{
    const StationPort byId{"/dev/serial/by-id/usb-Acme_X-if00", "/dev/ttyUSB3", true, 0};
    const struct {
        const char* name;
        int refuseBlock, refuseTimes;
        bool reopenFails, recordToFull;
        const char* result;
        int retries;
        const char* message; // the first, or what the screen says
    } rows[] = {
        {"retried", 2, 2, false, false, "programmed", 2, nullptr},
        {"block refused", 2, 4, false, false, "failed", 3, "Error!  2: Reply to download failed"},
        {"program command cannot reopen", -1, 0, true, false, "failed", 0,
         "Could not open /dev/serial/by-id/usb-Acme_X-if00"},
        {"record lost", -1, 0, false, true, nullptr, 0,
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
        const QString first = lines[0]["messages"].toArray().first().toString();
        EXPECT_TRUE(row.message ? first.startsWith(row.message) : first.isEmpty()) << first.toStdString();
    }
}

} // namespace
} // namespace vantelo::station
