#include "Floor.h"

#include <algorithm>
#include <array>

namespace vantelo::bench {

namespace {

constexpr Seconds Millisecond = 1e-3;
constexpr std::int32_t CommandBaud = 9600;
constexpr Seconds CommandPause = 10 * Millisecond;
constexpr int FramedBits = 11; // start, 8 data, parity or second stop bit, stop
constexpr int AnswerBits = 10; // the pod answers 8N1

constexpr std::int32_t WakeBaud = 110;
constexpr Seconds WakePause = 100 * Millisecond;
constexpr std::array<std::int32_t, 7> ProbeRates{9600, 38400, 28800, 19200, 14400, 4800, 2400};
constexpr int ProbeBytes = 7;
constexpr Seconds ProbeBytePause = 10 * Millisecond;
constexpr Seconds ProbeTimeout = 100 * Millisecond;
constexpr int ProbeAnswerBytes = 5;

Seconds Characters(int count, int bits, std::int32_t baud)
{
    return count * bits / static_cast<Seconds>(baud);
}

// A command exchange. The command byte leaves within the 10 ms pause that
// follows it; then come the payload, the pod's turnaround, and the answer up
// to the last byte the program waits for.
Seconds ExchangeFloor(int payloadBytes, int answerBytes, Seconds turnaround)
{
    return CommandPause + Characters(payloadBytes, FramedBits, CommandBaud) + turnaround +
           Characters(answerBytes, AnswerBits, CommandBaud);
}

// One port. The wake-up 0x00 at 110,n,8,2 takes 100 ms on the wire, as long
// as the pause that starts with it; the settings that follow wait for it to
// leave, so the longer of the two counts. At each rate every probe byte (at
// most 11 bits at 2400 baud, 4.6 ms) leaves within the 10 ms pause after it.
// Where nobody answers, the 100 ms time-out follows the seventh pause. At the
// pod's rate the answer starts `turnaround` after the seventh byte has
// arrived and takes five characters; the program waits for it once the
// seventh pause is over, so that rate ends with whichever ends later.
// A pod found is then restarted: a one-byte exchange with a 2-byte answer.
Seconds PortFloor(const BenchPort& port, Seconds turnaround)
{
    if (port.kind == PortKind::Missing)
        return 0; // opening fails at once
    Seconds floor = std::max(WakePause, Characters(1, FramedBits, WakeBaud));
    for (const std::int32_t rate : ProbeRates) {
        const Seconds pauses = (ProbeBytes - 1) * ProbeBytePause;
        if (port.kind != PortKind::Pod || rate != port.podBaud) {
            floor += pauses + ProbeBytePause + ProbeTimeout;
            continue;
        }
        const Seconds answered =
            Characters(1, FramedBits, rate) + turnaround + Characters(ProbeAnswerBytes, AnswerBits, rate);
        return floor + pauses + std::max(ProbeBytePause, answered) + ExchangeFloor(1, 2, turnaround);
    }
    return floor;
}

} // namespace

Seconds DownloadFloor(int blocks, Seconds turnaround)
{
    return blocks * ExchangeFloor(11, 2, turnaround);
}

Seconds ProbeFloor(std::span<const BenchPort> ports, Seconds turnaround)
{
    Seconds floor = 0;
    for (const BenchPort& port : ports)
        floor += PortFloor(port, turnaround);
    return floor;
}

} // namespace vantelo::bench
