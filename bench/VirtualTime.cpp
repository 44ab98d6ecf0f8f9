// The protocol's own pace, in virtual time: the simulated line and pod add
// nothing, so any excess over the floor lies in the program's waits.

#include "Workload.h"
#include "catalogue/RegisterPod.h"
#include "programming/DownloadBlock.h"
#include "programming/DownloadData.h"
#include "sim/Clock.h"
#include "sim/Line.h"
#include "sim/Pod.h"

#include <cstdio>
#include <deque>
#include <vector>

using namespace vantelo;
using namespace vantelo::bench;

namespace {

const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();

Seconds Since(const sim::Clock& clock, sim::Nanos start)
{
    return static_cast<Seconds>(clock.Now() - start) * 1e-9;
}

bool BenchDownload()
{
    sim::Clock clock;
    sim::Line line{clock};
    sim::Pod pod{sim::PodModel{}};
    line.Connect(1, pod);
    line.CommPort(1);
    line.PortOpen(true);
    ConsoleMsgBox msgBox;
    NoProgress view;
    PodLink link{line, clock, msgBox, view, podTypes};

    const auto image = DownloadImage();
    const sim::Nanos start = clock.Now();
    const bool acknowledged = DownloadData(link, image, MaxDownloadLength);
    ReportRatio("download, 4095 blocks, virtual time", Since(clock, start),
                DownloadFloor(BlockCount(MaxDownloadLength), 0));
    const bool arrived = pod.Image() == std::vector<std::uint8_t>(image.begin(), image.begin() + MaxDownloadLength);
    if (!acknowledged || !arrived)
        std::fprintf(stderr, "the download did not arrive whole\n");
    return acknowledged && arrived;
}

bool BenchProbe()
{
    sim::Clock clock;
    sim::Line line{clock};
    std::deque<sim::Pod> pods;
    for (const BenchPort& port : ProbePorts) {
        if (port.kind == PortKind::Missing) {
            line.Missing(port.number);
        } else if (port.kind == PortKind::Empty) {
            line.Empty(port.number);
        } else {
            sim::PodModel model;
            model.reply = port.reply;
            model.major = PodMajor;
            model.minor = PodMinor;
            model.baud = port.podBaud;
            line.Connect(port.number, pods.emplace_back(model));
        }
    }
    ConsoleMsgBox msgBox;
    NoProgress view;
    PodLink link{line, clock, msgBox, view, podTypes};

    const sim::Nanos start = clock.Now();
    const bool found = ProbeAll(link);
    ReportRatio("four-port probe, virtual time", Since(clock, start), ProbeFloor(ProbePorts, 0));
    return found;
}

} // namespace

int main()
{
    const bool downloaded = BenchDownload();
    const bool probed = BenchProbe();
    return downloaded && probed ? 0 : 1;
}
