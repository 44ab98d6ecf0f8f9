#include "serial/CommandExchange.h"

#include "platform/SerialPort.h"
#include "serial/PodLink.h"
#include "serial/Waits.h"

#include <algorithm>

namespace vantelo {

void SendCommandFrame(PodLink& link, std::uint8_t command, std::span<const std::uint8_t> payload)
{
    link.port.Settings("9600,o,8,1");
    const std::uint8_t commandByte[1] = {command};
    link.port.Output(commandByte);
    Pause(link, 10);
    link.port.Settings("9600,e,8,1");
    link.port.Output(payload);
}

namespace {

// A pod answers its requests in turn, but an answer names no request: one
// that comes after its time-out would be read as the answer to whatever is
// sent next, charging a refusal to the wrong block, or acknowledging a block
// or a restart the pod never took. So after an exchange that timed out, wait
// until each of its attempts has been answered or the latest an answer can
// come has passed, and drop what came, before anything else is asked. Within
// one exchange an earlier attempt's answer still counts for a later one.
void SettleLateReplies(PodLink& link)
{
    RepliesOwed& owed = link.owed;
    if (owed.timedOut && link.port.PortOpen()) {
        const int missing = std::clamp(owed.expected - owed.received, 0, 0x7FFF);
        WaitForReply(link, LateReplyBoundMs, static_cast<std::int16_t>(missing));
        link.port.Input();
    }
    owed = {};
}

} // namespace

void DropWaiting(PodLink& link)
{
    link.owed.received += static_cast<int>(link.port.Input().size());
}

void ForgetOwedReplies(PodLink& link)
{
    link.owed = {};
}

ExchangeResult Exchange(PodLink& link, const CommandExchange& exchange)
{
    SettleLateReplies(link);
    RepliesOwed& owed = link.owed;
    for (std::int16_t retries = 3;; --retries) {
        if (retries < 3)
            link.view.Repeated();
        if (exchange.flushEachAttempt)
            DropWaiting(link);
        SendCommandFrame(link, exchange.command, exchange.payload);
        owed.expected += exchange.bytesNeeded;
        ExchangeResult result = ExchangeResult::NoReply;
        if (WaitForReply(link, exchange.timeoutMs, exchange.bytesNeeded)) {
            const auto reply = link.port.Input();
            owed.received += static_cast<int>(reply.size());
            if (!reply.empty() && reply.front() == Acknowledgement)
                return ExchangeResult::Acknowledged;
            result = ExchangeResult::WrongReply;
        } else {
            owed.timedOut = true;
        }
        // A port that vanished will not answer another attempt.
        if (retries == 0 || !link.port.PortOpen())
            return result;
    }
}

bool ExchangeOrReport(PodLink& link, const CommandExchange& exchange,
                      const ExchangeFailure& failure)
{
    const ExchangeResult result = Exchange(link, exchange);
    if (result == ExchangeResult::Acknowledged)
        return true;
    ShowError(link, result == ExchangeResult::NoReply ? failure.noReply : failure.wrongReply,
              failure.title);
    return false;
}

} // namespace vantelo
