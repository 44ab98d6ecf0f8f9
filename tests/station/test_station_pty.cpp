#include "PodsimProcess.h"
#include "support/Files.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <pty.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vantelo {
namespace {

// The station program over podsim's ptys, each run appending to one record.
class Station : public ::testing::Test {
protected:
    void StartPodsim(const QStringList& ports)
    {
        podsim.emplace(QStringLiteral(PODSIM_PROGRAM), ports + QStringList{"--images", dir.path()},
                       dir.filePath("podsim.log"));
    }
    void TearDown() override
    {
        QFile log(dir.filePath("podsim.log"));
        if (HasFailure() && log.open(QIODevice::ReadOnly))
            std::fprintf(stderr, "podsim's log:\n%s", log.readAll().constData());
    }

    // A configuration file of the type, its image `length` bytes.
    QString Configuration(const QString& name, std::uint8_t type, std::int32_t length)
    {
        const QByteArray bytes = testing::ConfigFileBytes(type, length);
        EXPECT_TRUE(testing::WriteFile(dir.filePath(name), bytes.toStdString()));
        return dir.filePath(name);
    }
    QByteArray FileBytes(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QByteArray Image(int port) const { return FileBytes(dir.filePath(QStringLiteral("COM%1.image").arg(port))); }

    void Start(QProcess& station, const QStringList& arguments)
    {
        station.setProcessChannelMode(QProcess::MergedChannels);
        station.setStandardOutputFile(screen);
        station.setWorkingDirectory(workingDirectory);
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("VANTELO_REGISTRY", dir.filePath("registry.reg"));
        station.setProcessEnvironment(environment);
        const QStringList recording = arguments.contains("--record") ? QStringList() : QStringList{"--record", record};
        station.start(QStringLiteral(STATION_PROGRAM), recording + arguments);
        ASSERT_TRUE(station.waitForStarted());
    }
    int Run(const QStringList& arguments)
    {
        QProcess station;
        Start(station, arguments);
        EXPECT_TRUE(station.waitForFinished(120'000));
        output = FileBytes(screen);
        return station.exitStatus() == QProcess::NormalExit ? station.exitCode() : -1;
    }

    // Every line of the record, each of which must be whole.
    std::vector<QJsonObject> Records() const
    {
        const QByteArray text = FileBytes(record);
        EXPECT_TRUE(text.isEmpty() || text.endsWith('\n'));
        std::vector<QJsonObject> lines;
        for (const QByteArray& line : text.split('\n')) {
            if (line.isEmpty())
                continue;
            QJsonParseError error;
            lines.push_back(QJsonDocument::fromJson(line, &error).object());
            EXPECT_EQ(error.error, QJsonParseError::NoError) << line.constData();
        }
        return lines;
    }
    static bool WaitFor(const std::function<bool()>& condition, int seconds = 60)
    {
        const QDeadlineTimer deadline(seconds * 1000);
        while (!condition() && !deadline.hasExpired())
            QThread::msleep(50);
        return condition();
    }

    QTemporaryDir dir;
    QString record = dir.filePath("record.jsonl");
    QString screen = dir.filePath("station.out");
    QString workingDirectory = dir.path();
    std::optional<PodsimProcess> podsim;
    QByteArray output;
};

// One pass over four ports, once with a configuration for each pod that can
// take one: each pod ends as it must, once, and the record says so.
TEST_F(Station, EveryPortOnceAndARecordOfEachPod)
{
    StartPodsim({"--port", "1:type=1,version=1.12,baud=38400,reboot=3000", "--port", "2:type=13,version=2.0", "--port",
                 "3:type=2", "--port", "4:empty"});
    // On Linux a backslash is part of a file's name.
    const QString lumo = Configuration("Bench\\Lumo.TXF", 1, 96), velim = Configuration("Velim.TXF", 13, 64);
    ASSERT_EQ(Run({"--station", "B1", "--operator", "ann", "--lot", "L7", lumo}), 0);
    EXPECT_EQ(Image(1), FileBytes(lumo).mid(265, 96));
    EXPECT_TRUE(output.contains("COM1: 1 programmed, 0 failed, 0 skipped")) << output.constData();
    QThread::msleep(3000); // COM1's pod boots after its restart
    ASSERT_EQ(Run({velim}), 0);
    EXPECT_EQ(Image(2), FileBytes(velim).mid(265, 64));

    struct Expected {
        const char* port;
        int podType;
        const char* name;
        const char* version;
        const QString& file;
        const char* result;
        int blocks, of;
    };
    const Expected expected[] = {
        {"COM1", 1, "Lumo Plus", "1.12", lumo, "programmed", 12, 12},
        {"COM2", 13, "Velim Pod", "2.0", lumo, "skipped", 0, 12},
        {"COM3", 2, "Lumo Dual", "1.0", lumo, "skipped", 0, 12},
        {"COM1", 1, "Lumo Plus", "1.12", velim, "skipped", 0, 8},
        {"COM2", 13, "Velim Pod", "2.0", velim, "programmed", 8, 8},
        {"COM3", 2, "Lumo Dual", "1.0", velim, "skipped", 0, 8},
    };
    auto lines = Records();
    ASSERT_EQ(lines.size(), std::size(expected));
    // Ports finish in any order; each run's lines are sorted by port.
    for (auto run = lines.begin(); run != lines.end(); run += 3)
        std::sort(run, run + 3,
                  [](const auto& a, const auto& b) { return a["port"].toString() < b["port"].toString(); });
    const QRegularExpression utcTime(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z$)");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QJsonObject& line = lines[i];
        const Expected& row = expected[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(line["port"].toString(), row.port);
        EXPECT_EQ(line["device"].toString(),
                  qEnvironmentVariable(QStringLiteral("VANTELO_%1").arg(row.port).toLatin1()));
        EXPECT_EQ(line["pod_type"].toInt(), row.podType);
        EXPECT_EQ(line["pod_name"].toString(), row.name);
        EXPECT_EQ(line["version"].toString(), row.version);
        EXPECT_EQ(line["file"].toString(), QFileInfo(row.file).fileName());
        EXPECT_EQ(line["sha256"].toString(),
                  QCryptographicHash::hash(FileBytes(row.file), QCryptographicHash::Sha256).toHex());
        EXPECT_EQ(line["result"].toString(), row.result);
        EXPECT_EQ(line["messages"].toArray().size(), 0);
        EXPECT_EQ(line["retries"].toInt(-1), 0);
        EXPECT_TRUE(utcTime.match(line["time"].toString()).hasMatch()) << line["time"].toString().toStdString();
        EXPECT_GT(line["seconds"].toDouble(), 0.0);
        // Version 2: which bench, who, which lot, how far.
        const bool first = i < 3; // given --station, --operator and --lot
        EXPECT_EQ(line["schema"].toInt(), 2);
        EXPECT_EQ(line["station"].toString(), first ? QStringLiteral("B1") : QSysInfo::machineHostName());
        EXPECT_EQ(line["operator"].toString(), first ? "ann" : "");
        EXPECT_EQ(line.contains("lot"), first);
        EXPECT_TRUE(line["program"].toString().startsWith("vantelo-station "));
        EXPECT_LE(line["started"].toString(), line["time"].toString());
        EXPECT_EQ(line["blocks"].toInt(-1), row.blocks);
        EXPECT_EQ(line["of"].toInt(-1), row.of);
        EXPECT_EQ(
            std::count_if(lines.begin(), lines.end(), [&](const auto& other) { return other["id"] == line["id"]; }), 1);
    }

    const QString linked = dir.filePath("Linked.TXF");
    ASSERT_EQ(::link(lumo.toLocal8Bit().constData(), linked.toLocal8Bit().constData()), 0);
    // The first status that applies.
    const struct {
        QStringList arguments;
        int status;
    } statuses[] = {
        {{"--port", "4", lumo}, 3}, // nobody there
        {{"--port", "3", lumo}, 3}, // only a pod of another type
        {{"--port", "4", "--port", "/nonexistent/tty", lumo}, 1},
        {{"--port", "4", dir.filePath("missing.TXF")}, 2},
        {{"--port", "4", Configuration("Long.TXF", 1, 32761)}, 2},
        {{"--port", "4", "--frobnicate", lumo}, 2},
        {{"--port", "4"}, 2}, // a file, except for the window
        {{"--port", "0", lumo}, 2},
        {{"--port", "-1", lumo}, 2},
        {{"--port", "65", lumo}, 2},
        {{"--port", "", lumo}, 2},
        {{"--port", "4", "--record", lumo, lumo}, 2},
        {{"--port", "4", "--record", linked, lumo}, 2}, // a hard link is the same file
        {{"--port", "4", "--record", dir.filePath("no/such/folder.jsonl"), lumo}, 1},
        {{"--port", "4", "--boot-time", "0", lumo}, 2},
        {{"--port", "4", "--record", record, "--record", dir.filePath("other.jsonl"), lumo}, 2},
    };
    for (const auto& row : statuses) {
        EXPECT_EQ(Run(row.arguments), row.status) << row.arguments.join(' ').toStdString();
        if (row.arguments.contains("/nonexistent/tty")) {
            EXPECT_TRUE(output.contains("Exit status 1: /nonexistent/tty could not be opened.")) << output.constData();
        }
        if (row.status == 2) {
            EXPECT_TRUE(output.startsWith("vantelo-station: ") || output.startsWith("Failed to open file"))
                << output.constData();
        }
    }
    EXPECT_EQ(FileBytes(lumo).size(), testing::ConfigFileBytes(1, 96).size()) << "the record went elsewhere";
    EXPECT_EQ(Records().size(), std::size(expected) + 1) << "the skipped pod's line";
}

// Watching pods deaf for 6 s after every restart: each pod that podsim takes
// away as soon as it is programmed and replaces soon after the port is seen
// empty is programmed once, and the pod that stays on COM2 only once.
TEST_F(Station, WatchProgramsEachNewPod)
{
    StartPodsim({"--port", "1:type=1,reboot=6000,swap=14000", "--port", "2:type=1,reboot=6000"});
    QProcess station;
    Start(station, {"--watch", "--boot-time", "8", "--port", "1", "--port", "2", Configuration("Lumo.TXF", 1, 32)});
    const auto lines = [&](const char* port) {
        const auto all = Records();
        return std::count_if(all.begin(), all.end(), [&](const QJsonObject& line) { return line["port"] == port; });
    };
    EXPECT_TRUE(WaitFor([&] { return lines("COM1") >= 3; }, 90));
    ::kill(static_cast<pid_t>(station.processId()), SIGINT);
    ASSERT_TRUE(station.waitForFinished(60'000));
    EXPECT_EQ(station.exitCode(), 0);
    EXPECT_EQ(lines("COM2"), 1);
    for (const QJsonObject& line : Records())
        EXPECT_EQ(line["result"].toString(), "programmed");
    // Piped: a line per result, and each time COM1 is seen empty.
    output = FileBytes(screen);
    EXPECT_EQ(output.count(": programmed, "), qsizetype(Records().size())) << output.constData();
    EXPECT_GE(output.count("COM1: ready: put the next pod on"), 2) << output.constData();
}

// A slow flash write answers block 3 after its time-out, and block 6 is
// refused once: "programmed" only over the whole image.
TEST_F(Station, LateAnswerThenARefusalStillLeavesTheWholeImage)
{
    StartPodsim({"--port", "1:type=1,late=3:560,refuse=6:1"});
    const QString lumo = Configuration("Lumo.TXF", 1, 80);
    ASSERT_EQ(Run({"--port", "1", lumo}), 0);
    EXPECT_EQ(Image(1), FileBytes(lumo).mid(265, 80));
    const auto lines = Records();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["result"].toString(), "programmed");
}

// Stopping mid-download: Ctrl-C lets the pod finish; twice, SIGTERM or
// SIGHUP give it up and record it; a closed output changes nothing; a kill
// leaves every line of the record whole.
TEST_F(Station, StoppedMidDownload)
{
    StartPodsim({"--port", "1:type=1", "--port", "2:type=2"});
    const QString lumo = Configuration("Lumo.TXF", 1, 4096);
    const auto downloading = [&] { return FileBytes(screen).contains("COM1: Lumo Plus 1.0: programming"); };
    const struct {
        std::vector<int> sent;
        int status;         // -1: killed
        const char* result; // COM1's, none when killed
    } rows[] = {{{SIGINT}, 0, "programmed"},  {{SIGINT, SIGINT}, 1, "interrupted"}, {{SIGTERM}, 1, "interrupted"},
                {{SIGHUP}, 1, "interrupted"}, {{SIGPIPE}, 0, "programmed"},         {{SIGKILL}, -1, nullptr}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.sent.back());
        QFile::remove(record);
        QProcess station;
        Start(station, {"--port", "1", "--port", "2", lumo});
        ASSERT_TRUE(WaitFor(downloading));
        QThread::msleep(1000);
        for (const int signal : row.sent) {
            ::kill(static_cast<pid_t>(station.processId()), signal);
            QThread::msleep(300); // two signals sent at once arrive as one
        }
        ASSERT_TRUE(station.waitForFinished(60'000));
        EXPECT_EQ(station.exitStatus() == QProcess::NormalExit ? station.exitCode() : -1, row.status);
        const auto lines = Records();
        ASSERT_EQ(lines.size(), row.result ? 2u : 1u);
        if (row.result) {
            EXPECT_EQ(lines[1]["port"].toString(), "COM1");
            EXPECT_EQ(lines[1]["result"].toString(), row.result);
            EXPECT_EQ(lines[1]["messages"].toArray().size(), 0);
            const int blocks = lines[1]["blocks"].toInt(-1), of = lines[1]["of"].toInt();
            EXPECT_TRUE(of == 512 && (row.status == 0 ? blocks == of : blocks > 0 && blocks < of))
                << blocks << " of " << of;
        }
    }
}

// Ports named as the user named them: a device path, a relative one, and
// the same device through a link, which is refused.
TEST_F(Station, PortsAsTheUserNamedThem)
{
    StartPodsim({"--port", "1:type=1"});
    const QString lumo = Configuration("Lumo.TXF", 1, 32);
    const QString device = qEnvironmentVariable("VANTELO_COM1");
    const QFileInfo info(device);
    ASSERT_TRUE(QFile::link(device, dir.filePath("pod1")));
    const struct {
        QStringList ports;
        QString workingDirectory;
        int status;
        QString port; // recorded
    } rows[] = {
        {{"--port", device}, dir.path(), 0, device},
        {{"--port", "./" + info.fileName()}, info.path(), 0, "./" + info.fileName()},
        {{"--port", "./pod1", "--port", device}, dir.path(), 2, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ports.join(' ').toStdString());
        QFile::remove(record);
        workingDirectory = row.workingDirectory;
        EXPECT_EQ(Run(row.ports + QStringList{lumo}), row.status) << output.constData();
        const auto lines = Records();
        ASSERT_EQ(lines.size(), row.port.isEmpty() ? 0u : 1u);
        if (!row.port.isEmpty()) {
            EXPECT_EQ(lines[0]["port"].toString(), row.port);
            EXPECT_EQ(lines[0]["device"].toString(), device);
            EXPECT_EQ(lines[0]["result"].toString(), "programmed");
        }
    }

    // A port another program holds, locked as the station locks it, is in
    // use, whoever runs the station.
    const int held = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(Run({"--port", device, lumo}), 1);
    EXPECT_TRUE(output.contains(device.toLocal8Bit() + ": cannot be opened: another program is using it"))
        << output.constData();
    ::close(held);
}

// Only the released configuration is programmed, whether the command line
// or the machine's settings name it; the machine's settings also give the
// file and the ports when the command line does not.
TEST_F(Station, OnlyTheReleasedConfigurationIsProgrammed)
{
    StartPodsim({"--port", "1:type=1"});
    const QString lumo = Configuration("Lumo.TXF", 1, 32);
    const QString sha = QCryptographicHash::hash(FileBytes(lumo), QCryptographicHash::Sha256).toHex();
    const QString other(64, u'e');
    const QString machineKey = "Windows Registry Editor Version 5.00\n\n"
                               "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Station]\n";
    const QString locked = "\"Locked\"=dword:00000001\n\"Configuration\"=\"" + lumo + "\"\n";
    const struct {
        QStringList arguments;
        QString machine; // the values under the machine's station key
        int status;
        const char* says;
    } rows[] = {
        {{"--expect-sha256", other, "--port", "1", lumo}, {}, 2, "Lumo.TXF is not the released configuration"},
        {{"--expect-sha256", "12ab", lumo}, {}, 2, "--expect-sha256 needs 64 hexadecimal digits"},
        {{"--expect-sha256", sha.toUpper(), "--port", "1", lumo}, {}, 0, "1 programmed"},
        {{"--expect-sha256", sha, "--port", "1", lumo}, "\"Released\"=\"" + other + "\"\n", 2, "is not the released"},
        {{"--port", "1"}, locked + "\"Released\"=\"" + other + "\"\n", 2, "is not the released configuration"},
        {{}, locked + "\"Released\"=\"" + sha + "\"\n\"Ports\"=\"1\"\n", 0, "1 programmed"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString() + " " + row.machine.toStdString());
        QFile::remove(record);
        ASSERT_TRUE(testing::WriteFile(dir.filePath("registry.reg"), (machineKey + row.machine).toStdString()));
        EXPECT_EQ(Run(row.arguments), row.status) << output.constData();
        EXPECT_TRUE(output.contains(row.says)) << output.constData();
        EXPECT_EQ(Records().size(), row.status == 0 ? 1u : 0u);
        EXPECT_FALSE(output.contains("COM2")) << "the ports named, and only they";
    }
}

// On an 80 × 24 terminal the board is redrawn in place: with four ports a
// line each, with 32 the busy ones and a count of the rest.
TEST_F(Station, BoardFitsAnEightyColumnTerminal)
{
    QStringList ports;
    for (int n = 1; n <= 32; ++n)
        ports << "--port" << (n == 1 ? QStringLiteral("1:type=1") : QStringLiteral("%1:empty").arg(n));
    StartPodsim(ports);
    const QString lumo = Configuration("Lumo.TXF", 1, 512);
    for (const int count : {4, 32}) {
        SCOPED_TRACE(count);
        int master = -1, slave = -1;
        winsize size{24, 80, 0, 0};
        ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, &size), 0);
        fcntl(master, F_SETFL, O_NONBLOCK);
        QProcess station;
        station.setChildProcessModifier([slave] { dup2(slave, STDOUT_FILENO); });
        QStringList arguments;
        for (int n = 1; n <= count; ++n)
            arguments << "--port" << QString::number(n);
        Start(station, arguments << lumo);
        ::close(slave);
        QByteArray written;
        char buffer[4096];
        for (bool running = true; running;) {
            running = !station.waitForFinished(50);
            for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
                written.append(buffer, n);
        }
        ::close(master);
        EXPECT_EQ(station.exitCode(), 0);
        // No line the terminal would wrap, and never back up past its top:
        // either leaves stale copies of the board on the screen.
        const QRegularExpression up("\x1b\\[(\\d+)F"), codes("\x1b\\[[0-9;]*[A-Za-z]");
        for (const auto& match : up.globalMatch(QString::fromUtf8(written)))
            EXPECT_LE(match.captured(1).toInt(), 23);
        for (const QString& line : QString::fromUtf8(written).split(u'\n'))
            EXPECT_LE(QString(line).remove(codes).remove(u'\r').size(), 79) << line.toStdString();
        EXPECT_EQ(written.count(" more ports: "), count == 32 ? written.count("Totals: ") - 1 : 0);
    }
}

} // namespace
} // namespace vantelo
