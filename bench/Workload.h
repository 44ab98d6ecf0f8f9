#pragma once

#include "Floor.h"
#include "config/PodConfiguration.h"
#include "platform/UserDialogs.h"
#include "serial/PodLink.h"

#include <array>
#include <cstdint>

namespace vantelo::bench {

// Error boxes go to standard error; progress is not shown.
struct ConsoleMsgBox final : MsgBox {
    MsgAnswer Show(const QString& text, const QString& title, MsgButtons buttons, MsgIcon icon) override;
};

struct NoProgress final : ProgressView {
    void Percentage(const QString&) override {}
    void Progress(int) override {}
    void Status(ProgramStep) override {}
    void PleaseWait(bool) override {}
};

// The longest image (4,095 blocks), with a pattern that varies every block.
std::array<std::uint8_t, ImageSize> DownloadImage();

// Opens each port of ProbePorts in turn, probes it with restart and closes
// it. False, after saying what differed, unless every port opened (or
// failed to) and answered as its layout says.
bool ProbeAll(PodLink& link);

// One line of figures: "what: measured s, floor s, measured/floor".
void ReportRatio(const char* what, Seconds measured, Seconds floor);

} // namespace vantelo::bench
