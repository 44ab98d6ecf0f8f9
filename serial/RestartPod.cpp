#include "serial/RestartPod.h"

#include "serial/CommandExchange.h"

namespace vantelo {

bool RestartPod(PodLink& link)
{
    static constexpr std::uint8_t payload[] = {0xFF};
    return ExchangeOrReport(
        link, {.command = 0x33, .payload = payload, .flushEachAttempt = false, .timeoutMs = 100, .bytesNeeded = 2},
        {QStringLiteral("No reply to restart"), QStringLiteral("Reply fail to restart")});
}

} // namespace vantelo
