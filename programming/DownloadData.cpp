#include "programming/DownloadData.h"

#include "platform/SerialPort.h"
#include "programming/DownloadBlock.h"
#include "serial/CommandExchange.h"
#include "serial/PodLink.h"

#include <cmath>

namespace vantelo {

namespace {

void ShowProgress(PodLink& link, int permille)
{
    link.view.Percentage(FormatPercent(permille));
    link.view.Progress(permille);
}

} // namespace

bool DownloadData(PodLink& link, std::span<const std::uint8_t, ImageSize> download_buffer, std::int32_t length)
{
    if (length > MaxDownloadLength) {
        ShowError(link, QStringLiteral("The image is %1 bytes long; at most %2 bytes can be sent")
                            .arg(length)
                            .arg(MaxDownloadLength));
        return false;
    }
    const std::int16_t blocks = BlockCount(length);
    link.port.Input(); // nothing left over may count as a reply

    for (std::int16_t n = 0; n < blocks; ++n) {
        const auto block =
            BuildDownloadBlock(n, download_buffer.subspan(static_cast<std::size_t>(n) * BlockData).first<BlockData>());
        if (!ExchangeOrReport(
                link,
                {.command = 0x11, .payload = block, .flushEachAttempt = false, .timeoutMs = 500, .bytesNeeded = 2},
                {QStringLiteral("No reply to download"), QStringLiteral("Reply to download failed"),
                 QStringLiteral("Error!  %1").arg(n)}))
            return false;
        link.view.BlockAcknowledged();
        ShowProgress(link, static_cast<int>(std::floor(double(n) / double(blocks) * 1000.0)));
    }
    link.view.Percentage(QStringLiteral("100%"));
    link.view.Progress(1000);
    return true;
}

} // namespace vantelo
