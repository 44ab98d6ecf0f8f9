#include "serial/RestartPod.h"

#include "serial/CommandExchange.h"
#include "serial/PodLink.h"

namespace vantelo {

bool RestartPod(PodLink& link)
{
    static constexpr std::uint8_t payload[] = {0xFF};
    switch (Exchange(link, {.command = 0x33, .payload = payload, .flushEachAttempt = false,
                            .timeoutMs = 100, .bytesNeeded = 2})) {
    case ExchangeResult::Acknowledged:
        return true;
    case ExchangeResult::NoReply:
        ShowError(link, QStringLiteral("No reply to restart"));
        return false;
    case ExchangeResult::WrongReply:
        ShowError(link, QStringLiteral("Reply fail to restart"));
        return false;
    }
    return false;
}

} // namespace vantelo
