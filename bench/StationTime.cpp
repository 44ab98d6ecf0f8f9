// vantelo-station against podsim over pseudo-terminals: N pods on N ports
// against one pod alone, N empty ports against one, the station's CPU time
// per port over wall time, how soon a port is ready after a swap, and how
// soon after "ready" the next pod may be put on.

#include "PodsimProcess.h"
#include "config/PodFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>
#include <optional>

#include <csignal>
#include <cstdio>

#include <sys/resource.h>

using namespace vantelo;

namespace {

constexpr std::int32_t ImageLength = 4096;

double ChildrenCpu()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Run {
    double wall = 0;
    double cpu = 0;
    bool succeeded = false;
};

// Ports 1 to `ports` with a type 1 pod each, or empty; the station programs them once.
Run Station(const QString& file, int ports, bool pods)
{
    QStringList arguments, names;
    for (int n = 1; n <= ports; ++n) {
        arguments << "--port" << QStringLiteral("%1:%2").arg(n).arg(pods ? "type=1" : "empty");
        names << "--port" << QString::number(n);
    }
    const PodsimProcess podsim(QStringLiteral(PODSIM_PROGRAM), arguments);
    QProcess station;
    station.setStandardOutputFile(QProcess::nullDevice());
    const double cpuBefore = ChildrenCpu();
    QElapsedTimer clock;
    clock.start();
    station.start(QStringLiteral(STATION_PROGRAM), names << file);
    Run run;
    run.succeeded = station.waitForFinished(600'000) && station.exitCode() == (pods ? 0 : 3);
    run.wall = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
    run.cpu = ChildrenCpu() - cpuBefore;
    return run;
}

// Hands the station's lines to `line` until it says it has seen enough, or
// `seconds` pass without one; then stops the station.
void ReadLines(QProcess& station, int seconds, const std::function<bool(const QByteArray&)>& line)
{
    QByteArray pending;
    bool enough = false;
    while (!enough && station.waitForReadyRead(seconds * 1000)) {
        pending += station.readAllStandardOutput();
        for (qsizetype end; !enough && (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
            enough = line(pending.left(end));
    }
    ::kill(static_cast<pid_t>(station.processId()), SIGTERM);
    station.waitForFinished(30'000);
}

// The station watching COM1, where podsim takes each pod away as its
// programming ends and puts a fresh one on `swapMs` later.
void Watch(QProcess& station, const QString& file, double bootLimit)
{
    station.start(QStringLiteral(STATION_PROGRAM),
                  {"--watch", "--boot-time", QString::number(bootLimit), "--port", "1", file});
}

// Seconds from a pod taken off to its port's "ready". podsim takes each pod
// away as its programming ends, while it boots; with a boot limit of
// `bootLimit` s the station may count its silence from then on.
std::optional<double> SwapToReady(const QString& file, double bootLimit)
{
    const PodsimProcess podsim(QStringLiteral(PODSIM_PROGRAM), {"--port", "1:type=1,swap=60000"});
    QProcess station;
    Watch(station, file, bootLimit);
    QElapsedTimer clock;
    std::optional<double> seconds;
    ReadLines(station, 120, [&](const QByteArray& line) {
        if (line.contains(": programmed, "))
            clock.start();
        else if (clock.isValid() && line.contains(": ready: "))
            seconds = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
        return seconds.has_value();
    });
    return seconds;
}

// Whether each of three pods, put on `swapMs` after the one before was taken
// off, is programmed; one put on before "ready" waits to be taken off.
bool EveryPodProgrammed(const QString& file, double bootLimit, int swapMs)
{
    const PodsimProcess podsim(QStringLiteral(PODSIM_PROGRAM),
                               {"--port", QStringLiteral("1:type=1,swap=%1").arg(swapMs)});
    QProcess station;
    Watch(station, file, bootLimit);
    int programmed = 0;
    ReadLines(station, swapMs / 1000 + 30, [&](const QByteArray& line) {
        programmed += line.contains(": programmed, ") ? 1 : 0;
        return programmed == 3;
    });
    return programmed == 3;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir dir;
    qputenv("VANTELO_REGISTRY", dir.filePath("registry.reg").toLocal8Bit());
    QByteArray bytes(static_cast<qsizetype>(PodFile::Size), '\x5A');
    bytes[0] = 1;
    for (std::size_t i = 0; i < 4; ++i)
        bytes[static_cast<qsizetype>(PodFile::MainLengthOffset + i)] = static_cast<char>(ImageLength >> (8 * i));
    QFile file(dir.filePath("Bench.TXF"));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return 1;
    file.close();

    bool succeeded = true;
    const auto report = [&](const char* what, int ports, bool pods, const Run& alone) {
        const Run run = Station(file.fileName(), ports, pods);
        succeeded &= run.succeeded;
        std::printf("%-30s %8.3f s   over one port alone %.3f   CPU per port %.4f of a core\n", what, run.wall,
                    run.wall / alone.wall, run.cpu / run.wall / ports);
        std::fflush(stdout);
    };
    const Run one = Station(file.fileName(), 1, true);
    succeeded &= one.succeeded;
    std::printf("%-30s %8.3f s   (%d-byte image)   CPU %.4f of a core\n", "one pod, one port", one.wall, ImageLength,
                one.cpu / one.wall);
    report("four pods, four ports", 4, true, one);
    report("eight pods, eight ports", 8, true, one);
    const Run empty = Station(file.fileName(), 1, false);
    succeeded &= empty.succeeded;
    std::printf("%-30s %8.3f s\n", "one empty port", empty.wall);
    report("four empty ports", 4, false, empty);
    constexpr double BootLimit = 1;
    const auto swap = SwapToReady(file.fileName(), BootLimit);
    succeeded &= swap.has_value();
    if (swap) {
        std::printf("%-30s %8.3f s   less the %.0f s boot limit, over the 3 s goal %.3f\n", "pod off to ready", *swap,
                    BootLimit, (*swap - BootLimit) / 3);
        // The next pod put on this long after "ready": the shortest gap at which every pod is programmed.
        for (const double gap : {-1.0, -0.5, 0.0, 0.5, 1.0, 2.0}) {
            const int swapMs = static_cast<int>((*swap + gap) * 1000);
            const bool all = EveryPodProgrammed(file.fileName(), BootLimit, swapMs);
            std::printf("%-30s %8.3f s   %s\n", "next pod, gap after ready", gap,
                        all ? "every pod programmed" : "a pod waits to be taken off");
            std::fflush(stdout);
            if (all)
                break;
        }
    }
    return succeeded ? 0 : 1;
}
