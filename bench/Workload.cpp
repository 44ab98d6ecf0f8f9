#include "Workload.h"

#include "discovery/ProbePort.h"
#include "platform/SerialPort.h"
#include "programming/DownloadBlock.h"

#include <cstdio>

namespace vantelo::bench {

MsgAnswer ConsoleMsgBox::Show(const QString& text, const QString& title, MsgButtons buttons, MsgIcon)
{
    std::fprintf(stderr, "[%s] %s\n", qPrintable(title), qPrintable(text));
    return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
}

std::array<std::uint8_t, ImageSize> DownloadImage()
{
    std::array<std::uint8_t, ImageSize> image{};
    for (std::size_t i = 0; i < static_cast<std::size_t>(MaxDownloadLength); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + i / 8);
    return image;
}

bool ProbeAll(PodLink& link)
{
    bool asLaidOut = true;
    for (const BenchPort& port : ProbePorts) {
        link.port.CommPort(port.number);
        const bool opened = link.port.PortOpen(true);
        if (opened != (port.kind != PortKind::Missing)) {
            std::fprintf(stderr, "COM%d: %s\n", port.number, opened ? "opened" : "did not open");
            asLaidOut = false;
        }
        if (!opened)
            continue;
        const std::int32_t found = ProbePort(link, true);
        const std::int32_t expected = port.kind == PortKind::Pod ? port.reply | PodMajor << 8 | PodMinor << 16 : 0;
        if (found != expected) {
            std::fprintf(stderr, "COM%d: probe found 0x%06X, not 0x%06X\n", port.number, static_cast<unsigned>(found),
                         static_cast<unsigned>(expected));
            asLaidOut = false;
        }
        link.port.PortOpen(false);
    }
    return asLaidOut;
}

void ReportRatio(const char* what, Seconds measured, Seconds floor)
{
    std::printf("%-44s %10.3f s   floor %10.3f s   ratio %.4f\n", what, measured, floor, measured / floor);
    std::fflush(stdout);
}

} // namespace vantelo::bench
