#include "programming/ProgramPod.h"

#include "discovery/PodSlots.h"
#include "discovery/ProbePort.h"
#include "platform/SerialPort.h"
#include "platform/UserDialogs.h"
#include "serial/PodLink.h"
#include "serial/RestartPod.h"
#include "serial/Waits.h"

#include <algorithm>

namespace vantelo {

namespace {

constexpr std::uint8_t MainMicro = 0x88;
constexpr std::uint8_t IrMicro = 0x99;

std::uint8_t Identify(PodLink& link, bool restartAfter)
{
    return static_cast<std::uint8_t>(ProbePort(link, restartAfter));
}

// Opens the port, or tells the user why it cannot be opened.
bool OpenPort(PodLink& link, const SelectedPort& port)
{
    link.port.CommPort(port.number);
    if (link.port.PortOpen(true))
        return true;
    const std::string why = link.port.OpenError();
    ShowError(link, QStringLiteral("Could not open %1").arg(port.name) +
                        (why.empty() ? QString() : QStringLiteral(": ") + QString::fromStdString(why)));
    return false;
}

// RTS low connects the two-micro pod's main micro, RTS high its IR micro.
bool ReopenWithRts(PodLink& link, const SelectedPort& port, bool rts)
{
    link.port.PortOpen(false);
    link.port.RTSEnable(rts);
    return OpenPort(link, port);
}

// Indexes 0 to length inclusive, as far as the image reaches.
void CopyImage(TransferBuffers& buffers, const std::array<std::uint8_t, ImageSize>& image, std::int32_t length)
{
    const auto count = std::clamp<std::int64_t>(std::int64_t{length} + 1, 0, ImageSize);
    std::copy_n(image.begin(), count, buffers.download_buffer.begin());
    buffers.download_length = length;
}

// Restarts the pod whether or not it answers; false only when the port
// vanished, which the failed restart has reported: nothing more is sent then.
bool Restart(PodLink& link)
{
    RestartPod(link);
    return link.port.PortOpen();
}

void ShowPlainError(PodLink& link, const QString& text)
{
    link.msgBox.Show(text, QStringLiteral("Error!"), MsgButtons::Ok, MsgIcon::None);
}

bool SelectMainMicro(PodLink& link, const SelectedPort& port)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (!ReopenWithRts(link, port, false))
            return false;
        Pause(link, 500);
        const std::uint8_t id = Identify(link, false);
        if (id == MainMicro)
            return Restart(link);
        if (id != IrMicro && !Restart(link))
            return false;
    }
    link.port.PortOpen(false);
    ShowPlainError(link, QStringLiteral("Could not connect to Oxa pod main micro!"));
    return false;
}

bool SelectIrMicro(PodLink& link, const SelectedPort& port)
{
    if (!ReopenWithRts(link, port, true))
        return false;
    Pause(link, 500);
    std::uint8_t id = Identify(link, false);
    for (int pass = 0; pass < 4; ++pass) {
        if (!ReopenWithRts(link, port, true))
            return false;
        if (id == IrMicro)
            return true;
        if (!Restart(link))
            return false;
        id = Identify(link, false);
    }
    ShowPlainError(link, QStringLiteral("Could not connect to Oxa pod IR micro!"));
    // Leave the port closed with RTS low.
    link.port.PortOpen(false);
    link.port.RTSEnable(false);
    link.port.PortOpen(true);
    link.port.PortOpen(false);
    return false;
}

// After both images the main micro must answer again.
bool MainMicroAnswers(PodLink& link, const SelectedPort& port)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (!ReopenWithRts(link, port, false))
            return false;
        if (Identify(link, true) == MainMicro)
            return true;
        if (!Restart(link))
            return false;
    }
    ShowError(link, QStringLiteral("Unit failed to restart"));
    return false;
}

// The second stage of the two-micro pod: the IR image, then the restart check.
std::int16_t ProgramIrMicro(PodLink& link, const SelectedPort& port, const PodConfiguration& configuration,
                            TransferBuffers& buffers)
{
    link.view.Percentage(QStringLiteral("0.0%"));
    link.view.Progress(0);
    CopyImage(buffers, configuration.ir_image, configuration.ir_length);
    link.view.Status(ProgramStep::IrMicro);
    Pause(link, 1000);
    if (!SelectIrMicro(link, port))
        return PortNotOpen;
    if (!Restart(link))
        return PortNotOpen;
    Pause(link, 500);
    std::int16_t result = Configure_Pod(link, true, configuration.type_code, buffers);
    if (!link.port.PortOpen() || !Restart(link))
        return PortNotOpen;
    if (!MainMicroAnswers(link, port)) {
        // A port that could not be reopened, or vanished, ends the command at once.
        if (!link.port.PortOpen())
            return PortNotOpen;
        result = PortNotOpen;
    }
    Pause(link, 3000);
    return result;
}

} // namespace

SelectedPort ChosenPort(const PodSlots& podList)
{
    SelectedPort port;
    for (int i = 0; i < 4; ++i) {
        if (podList.OptionSelected(i))
            port = {i + 1, podList.PortName(i)};
    }
    return port;
}

void ProgramPod(PodLink& link, const SelectedPort& port, const PodConfiguration& configuration,
                TransferBuffers& buffers)
{
    const bool twoMicro = configuration.type_code == TwoMicroTypeCode;
    std::int16_t result = ConfigureDone;
    do {
        link.view.Percentage(QStringLiteral("0.0%"));
        link.view.Progress(0);
        if (link.port.PortOpen())
            link.port.PortOpen(false);
        if (port.number != 0) {
            if (!OpenPort(link, port))
                break;
            Pause(link, 100);
        }
        link.view.Status(twoMicro ? ProgramStep::MainMicro : ProgramStep::Pod);
        link.view.PleaseWait(true);
        CopyImage(buffers, configuration.main_image, configuration.main_length);
        buffers.secondary_buffer = configuration.secondary_table;
        if (twoMicro) {
            // Its micros are selected by reopening the port: there must be one.
            if (port.number == 0) {
                ShowError(link, QStringLiteral("Port not open"));
                break;
            }
            if (!SelectMainMicro(link, port))
                break;
        }
        result = Configure_Pod(link, twoMicro, configuration.type_code, buffers);
        // A port that vanished has had its one message: nothing more is sent.
        if (result < 0 || !link.port.PortOpen())
            break;
        if (twoMicro)
            result = ProgramIrMicro(link, port, configuration, buffers);
    } while (result > 0);

    if (link.port.PortOpen())
        link.port.PortOpen(false);
    link.view.PleaseWait(false);
}

} // namespace vantelo
