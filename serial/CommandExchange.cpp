#include "serial/CommandExchange.h"

#include "platform/SerialPort.h"
#include "serial/PodLink.h"
#include "serial/Waits.h"

#include <limits>
#include <utility>

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
// that comes after its time-out, or after its attempt was judged on a stray
// byte, would be read as the answer to whatever is sent next, charging a
// refusal to the wrong block, or acknowledging a block or a restart the pod
// never took. So after an exchange that needed more than one attempt, wait
// until the latest its answers can come has passed, and drop what came,
// before anything else is asked. (Counting the bytes owed would end sooner,
// but a pod may answer with more bytes than the exchange reads.) Within one
// exchange an earlier attempt's answer still counts for a later one.
void SettleLateReplies(PodLink& link)
{
    if (std::exchange(link.answersOwed, false) && link.port.PortOpen()) {
        // A pause that a vanished port ends at once: no count of bytes ends it.
        WaitForReply(link, LateReplyBoundMs, std::numeric_limits<std::int16_t>::max());
        link.port.Input(); // whatever came is dropped
    }
}

} // namespace

void ForgetOwedReplies(PodLink& link)
{
    link.answersOwed = false;
}

ExchangeResult Exchange(PodLink& link, const CommandExchange& exchange)
{
    SettleLateReplies(link);
    for (std::int16_t retries = 3;; --retries) {
        if (retries < 3)
            link.view.Repeated();
        if (exchange.flushEachAttempt)
            link.port.Input();
        SendCommandFrame(link, exchange.command, exchange.payload);
        ExchangeResult result = ExchangeResult::NoReply;
        if (WaitForReply(link, exchange.timeoutMs, exchange.bytesNeeded)) {
            const auto reply = link.port.Input();
            if (!reply.empty() && reply.front() == Acknowledgement)
                return ExchangeResult::Acknowledged;
            result = ExchangeResult::WrongReply;
        }
        link.answersOwed = true;
        // A port that vanished will not answer another attempt.
        if (retries == 0 || !link.port.PortOpen())
            return result;
    }
}

bool ExchangeOrReport(PodLink& link, const CommandExchange& exchange, const ExchangeFailure& failure)
{
    const ExchangeResult result = Exchange(link, exchange);
    if (result == ExchangeResult::Acknowledged)
        return true;
    ShowError(link, result == ExchangeResult::NoReply ? failure.noReply : failure.wrongReply, failure.title);
    return false;
}

} // namespace vantelo
