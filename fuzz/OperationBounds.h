#pragma once

#include "sim/Clock.h"

#include <cstdint>

namespace vantelo::fuzz {

// Ceilings on the virtual time an operation may take whatever the pod does:
// every wait runs its full time, with a margin for the bytes still leaving
// the port when a settings change has to wait for them.

inline constexpr sim::Nanos Margin = 50 * sim::Millisecond;
inline constexpr int MaxAttempts = 4;

constexpr sim::Nanos Wait(int milliseconds)
{
    return milliseconds * sim::Millisecond + Margin;
}

// Each attempt: the pause after the command byte, then the wait for the reply.
constexpr sim::Nanos ExchangeBound(int timeoutMs)
{
    return MaxAttempts * (Wait(10) + Wait(timeoutMs));
}

inline constexpr sim::Nanos RestartBound = ExchangeBound(100);

// The wake-up pulse, then at each of seven rates seven paced bytes and the wait.
constexpr sim::Nanos ProbeBound(bool restartAfter)
{
    return Wait(100) + 7 * (7 * Wait(10) + Wait(100)) + (restartAfter ? RestartBound : 0);
}

constexpr sim::Nanos DownloadBound(std::int32_t length)
{
    return (length + 7) / 8 * ExchangeBound(500);
}

// Five failures end it, each pass but the last failed: at most six restarts
// with identifications and five passes over the 256 bytes.
inline constexpr sim::Nanos SecondaryBound =
    6 * (RestartBound + ProbeBound(false)) + 5 * 256 * ExchangeBound(500);

} // namespace vantelo::fuzz
