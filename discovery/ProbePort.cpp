#include "discovery/ProbePort.h"

#include "catalogue/RegisterPod.h"
#include "platform/SerialPort.h"
#include "serial/Checksum.h"
#include "serial/CommandExchange.h"
#include "serial/PodLink.h"
#include "serial/RestartPod.h"
#include "serial/Waits.h"

#include <array>
#include <span>

namespace vantelo {

namespace {

constexpr std::array<const char*, 7> Rates = {
    "9600,n,8,2", "38400,n,8,2", "28800,n,8,2", "19200,n,8,2", "14400,n,8,2", "4800,n,8,2", "2400,n,8,2",
};
constexpr std::array<std::uint8_t, 7> ProbeSequence = {0xFF, 'S', 'E', 'T', 'P', 'O', 'D'};
constexpr std::int16_t ReplyLength = 5;

// The frame of a probe answer: the first four of its last five bytes.
std::optional<std::array<std::uint8_t, 4>> ProbeAtRate(PodLink& link, const char* rate)
{
    link.port.Input();
    if (!link.port.Settings(rate))
        return std::nullopt; // an adapter without this rate: nobody answers at it
    for (std::uint8_t byte : ProbeSequence) {
        link.port.Output(std::span(&byte, 1));
        Pause(link, 10);
    }
    if (!WaitForReply(link, 100, ReplyLength))
        return std::nullopt;
    const auto surplus = static_cast<std::size_t>(link.port.InBufferCount() - ReplyLength);
    const auto reply = link.port.Input();
    if (reply.size() < surplus + 4)
        return std::nullopt;
    std::array<std::uint8_t, 4> frame;
    std::copy_n(reply.begin() + static_cast<std::ptrdiff_t>(surplus), 4, frame.begin());
    if (!FrameChecks(frame) || !RegisterPod::FindPodType(link.PodTypes, frame[0]))
        return std::nullopt;
    return frame;
}

} // namespace

std::int32_t ProbePort(PodLink& link, bool restartAfter)
{
    // A long low pulse wakes the pod: a 0x00 at 110 baud, or where the adapter
    // cannot do 110 baud, a break as long as that character's low bits.
    if (link.port.Settings("110,n,8,2")) {
        static constexpr std::uint8_t low[1] = {0x00};
        link.port.Output(low);
        Pause(link, 100);
    } else {
        link.port.Break(true);
        Pause(link, 82);
        link.port.Break(false);
        Pause(link, 18);
    }

    for (const char* rate : Rates) {
        const auto frame = ProbeAtRate(link, rate);
        if (!frame)
            continue;
        // Its answers come in turn: whatever it owed came before this one.
        ForgetOwedReplies(link);
        if (restartAfter)
            RestartPod(link);
        return std::int32_t{(*frame)[0]} | std::int32_t{(*frame)[1]} << 8 | std::int32_t{(*frame)[2]} << 16;
    }
    return 0;
}

} // namespace vantelo
