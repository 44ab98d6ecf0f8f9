#include "programming/ConfigurePod.h"

#include "discovery/IdentifyPod.h"
#include "platform/SerialPort.h"
#include "platform/UserDialogs.h"
#include "programming/DownloadData.h"
#include "programming/SecondaryConfiguration.h"
#include "serial/PodLink.h"
#include "serial/RestartPod.h"

namespace vantelo {

std::int16_t Configure_Pod(PodLink& link, bool two_part, std::uint8_t type_code, const TransferBuffers& buffers)
{
    link.view.Percentage(QStringLiteral("0%"));
    link.view.Progress(0);
    link.view.PleaseWait(true);

    if (!link.port.PortOpen()) {
        ShowError(link, QStringLiteral("Port not open"));
        return PortNotOpen;
    }
    const auto pod = IdentifyPod(link, false);
    if (!pod || !pod->Answered()) {
        ShowError(link, QStringLiteral("Pod not responding"));
        return PodNotResponding;
    }
    // "Program another pod" lets the next pod onto the same port: it must be
    // of the configuration's type before anything is sent to it.
    if (!two_part && pod->type != type_code) {
        ShowError(link, QStringLiteral("Pod type does not match configuration"));
        return PodTypeMismatch;
    }
    if (!DownloadData(link, buffers.download_buffer, buffers.download_length))
        return ConfigureDone;
    if (two_part)
        return ConfigureDone;

    // A pod whose secondary table failed is half configured: restarted, but
    // not reported as sent.
    const bool secondaryFailed = HasSecondaryConfiguration(type_code) &&
                                 !ProgramSecondaryConfiguration(link, type_code, buffers.secondary_buffer);
    if (!link.port.PortOpen())
        return PortNotOpen; // it vanished, and the failed step has said so
    const bool restarted = RestartPod(link);
    if (!link.port.PortOpen())
        return PortNotOpen;
    if (!restarted || secondaryFailed) {
        ShowError(link, QStringLiteral("Program failed, Trellin will fail to operate correctly "
                                       "until reprogrammmed, Try powering the pod off/wait/on "
                                       "and reprogram again"));
        return RestartFailed;
    }
    const MsgAnswer answer = link.msgBox.Show(QStringLiteral("Program another pod"), QStringLiteral("All sent ok"),
                                              MsgButtons::YesNo, MsgIcon::Question);
    return answer == MsgAnswer::No ? ConfigureDone : ProgramAnother;
}

} // namespace vantelo
