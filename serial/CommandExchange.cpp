#include "serial/CommandExchange.h"

#include "platform/SerialPort.h"
#include "serial/PodLink.h"
#include "serial/Waits.h"

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

ExchangeResult Exchange(PodLink& link, const CommandExchange& exchange)
{
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
