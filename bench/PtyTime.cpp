// The program's real adapters against podsim over pseudo-terminals: wall
// time over the protocol's floor, and the program's CPU time over wall time.
// Arguments: "probe", "download" or both (the default).

#include "PodsimProcess.h"
#include "Workload.h"
#include "catalogue/RegisterPod.h"
#include "platform/serial/LinuxReplyTimer.h"
#include "platform/serial/LinuxSerialPort.h"
#include "programming/DownloadBlock.h"
#include "programming/DownloadData.h"

#include <QCoreApplication>
#include <QStringList>

#include <chrono>
#include <cstdio>
#include <functional>

#include <sys/resource.h>

using namespace vantelo;
using namespace vantelo::bench;

namespace {

Seconds CpuTime()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs the work and prints its wall time against the floor, and its CPU share.
bool Measure(const char* what, Seconds floor, const std::function<bool()>& work)
{
    const Seconds cpuBefore = CpuTime();
    const auto wallBefore = std::chrono::steady_clock::now();
    const bool succeeded = work();
    const auto elapsed = std::chrono::steady_clock::now() - wallBefore;
    const Seconds wall = std::chrono::duration<Seconds>(elapsed).count();
    const Seconds cpu = CpuTime() - cpuBefore;
    ReportRatio(what, wall, floor);
    std::printf("%-44s %10.3f s   share of wall %.4f\n", "  program CPU (user + system)", cpu, cpu / wall);
    std::fflush(stdout);
    return succeeded;
}

QStringList PodsimArguments()
{
    QStringList arguments;
    for (const BenchPort& port : ProbePorts) {
        QString description = port.kind == PortKind::Missing ? QStringLiteral("missing")
                              : port.kind == PortKind::Empty ? QStringLiteral("empty")
                                                             : QStringLiteral("reply=%1,version=%2.%3,baud=%4")
                                                                   .arg(port.reply)
                                                                   .arg(PodMajor)
                                                                   .arg(PodMinor)
                                                                   .arg(port.podBaud);
        arguments << QStringLiteral("--port") << QStringLiteral("%1:%2").arg(port.number).arg(description);
    }
    return arguments;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QStringList runs = application.arguments().mid(1);
    if (runs.isEmpty())
        runs = {QStringLiteral("probe"), QStringLiteral("download")};

    const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
    const PodsimProcess podsim(QStringLiteral(PODSIM_PROGRAM), PodsimArguments());
    LinuxSerialPort port;
    LinuxReplyTimer timer;
    ConsoleMsgBox msgBox;
    NoProgress view;
    PodLink link{port, timer, msgBox, view, podTypes};

    bool succeeded = true;
    if (runs.contains(QStringLiteral("probe")))
        succeeded &= Measure("four-port probe, ptys", ProbeFloor(ProbePorts, 0), [&] { return ProbeAll(link); });
    if (runs.contains(QStringLiteral("download"))) {
        const auto image = DownloadImage();
        port.CommPort(1);
        succeeded &= port.PortOpen(true);
        succeeded &= Measure("download, 4095 blocks, ptys", DownloadFloor(BlockCount(MaxDownloadLength), 0),
                             [&] { return DownloadData(link, image, MaxDownloadLength); });
        port.PortOpen(false);
    }
    return succeeded ? 0 : 1;
}
