#pragma once

#include <cstdint>
#include <span>

#include <QString>

namespace vantelo {

struct PodLink;

inline constexpr std::uint8_t Acknowledgement = 0xF0;

// The latest a pod's answer may come after its request; a later one is
// taken as lost. Waited out only after an exchange whose first attempt
// failed, and at least as long as any exchange's own time-out.
inline constexpr int LateReplyBoundMs = 1000;

// Sends a command byte under odd parity (its parity bit marks it as a
// command), then the payload under even parity.
void SendCommandFrame(PodLink& link, std::uint8_t command, std::span<const std::uint8_t> payload);

struct CommandExchange {
    std::uint8_t command = 0;
    std::span<const std::uint8_t> payload;
    bool flushEachAttempt = false; // drop what is waiting before every attempt
    int timeoutMs = 500;
    std::int16_t bytesNeeded = 1;
};

enum class ExchangeResult { Acknowledged, NoReply, WrongReply };

// Up to four attempts; the result is the last attempt's. Leftover bytes of
// an attempt that timed out stay waiting and open the next attempt's reply,
// but never that of another exchange. A port that closed under an attempt
// ends the exchange there.
ExchangeResult Exchange(PodLink& link, const CommandExchange& exchange);

// The pod answered something that is not a command exchange (the probe):
// it owes nothing from before.
void ForgetOwedReplies(PodLink& link);

// What the user is told when the last attempt failed.
struct ExchangeFailure {
    QString noReply;
    QString wrongReply;
    QString title = QStringLiteral("Error!");
};

// Exchange, reporting a failure in an error box. True when acknowledged.
bool ExchangeOrReport(PodLink& link, const CommandExchange& exchange, const ExchangeFailure& failure);

} // namespace vantelo
