#include "sim/Pod.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <span>
#include <utility>

namespace vantelo::sim {

namespace {

constexpr std::array<std::uint8_t, 7> ProbeSequence{0xFF, 'S', 'E', 'T', 'P', 'O', 'D'};
constexpr std::int32_t LowPulseBaud = 110;
// A low this long wakes the pod: a 0x00 at 110 baud holds the line low for
// 82 ms (its start bit and eight zeros), a break as long as it lasts.
constexpr Nanos WakeLow = 80 * Millisecond;
constexpr std::int32_t CommandBaud = 9600;
constexpr std::uint8_t Accepted = 0xF0;
constexpr std::uint8_t Refused = 0x0F;

enum Command : std::uint8_t { Restart = 0x33, Block = 0x11, SecondaryByte = 0x44 };

// Velim pods take a secondary table between the download and the restart.
bool TakesSecondaryTable(std::uint8_t reply)
{
    return reply == 0xDD || reply == 0xEE;
}

std::size_t PayloadLength(std::uint8_t command)
{
    switch (command) {
    case Restart:
        return 1;
    case Block:
        return 11;
    case SecondaryByte:
        return 4;
    }
    return 0; // not a command this pod knows
}

std::uint8_t Sum(std::span<const std::uint8_t> bytes)
{
    return static_cast<std::uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

// The parity bit the pod's even-parity receiver expects.
bool EvenParityBit(std::uint8_t value)
{
    return std::popcount(value) % 2 != 0;
}

// How long the line stayed low: a break, or a character's start bit and the
// zero bits that follow it.
Nanos LowTime(const WireByte& byte)
{
    if (byte.low > 0)
        return byte.low;
    int bits = 1 + std::countr_zero(byte.value);
    if (byte.value == 0 && !byte.ninthBit)
        ++bits;
    return Nanos{bits} * 1000 * Millisecond / byte.settings.baud;
}

} // namespace

Pod::Pod(PodModel model) : model_(std::move(model)) {}

std::vector<Transmission> Pod::Receive(const WireByte& byte)
{
    const auto& gone = model_.faults.unplugAfterBytes;
    if (gone && std::cmp_greater_equal(received_.size(), *gone))
        return {};
    received_.push_back(byte);
    if (model_.faults.silent || byte.time < deafUntil_)
        return {};

    const std::int32_t baud = byte.settings.baud;
    if (LowTime(byte) >= WakeLow) {
        awake_ = true;
        probeMatched_ = 0;
        lastAccepted_ = 0;
        return {};
    }
    if (byte.low > 0 || baud == LowPulseBaud)
        return {};
    std::vector<Transmission> replies;
    if (awake_ && baud == model_.baud && MatchesProbe(byte.value) && ++probesHeard_ != model_.faults.missProbe)
        replies.push_back(ProbeReply());
    if (baud == CommandBaud) {
        if (auto answer = Decode(byte); !answer.bytes.empty())
            replies.push_back(std::move(answer));
    }
    return replies;
}

bool Pod::MatchesProbe(std::uint8_t value)
{
    if (value == ProbeSequence[probeMatched_])
        ++probeMatched_;
    else
        probeMatched_ = value == ProbeSequence[0] ? 1 : 0;
    if (probeMatched_ < ProbeSequence.size())
        return false;
    probeMatched_ = 0;
    return true;
}

Transmission Pod::ProbeReply()
{
    ++probesAnswered_;
    const PodFaults& faults = model_.faults;
    if (faults.probeReply)
        return {model_.turnaround, model_.baud, *faults.probeReply};
    const std::uint8_t identity[] = {model_.reply, model_.major, model_.minor};
    const int offBy = faults.badProbeChecksum ? 1 : 0;
    const auto checksum = static_cast<std::uint8_t>(0xFF - Sum(identity) + offBy);
    return {model_.turnaround, model_.baud, {model_.reply, model_.major, model_.minor, checksum, 0x00}};
}

Transmission Pod::Decode(const WireByte& byte)
{
    if (byte.ninthBit != EvenParityBit(byte.value)) {
        // A command byte ends whatever frame was unfinished.
        payload_.clear();
        command_.reset();
        if (PayloadLength(byte.value) != 0)
            command_ = byte.value;
        return {};
    }
    if (!command_)
        return {};
    payload_.push_back(byte.value);
    if (payload_.size() < PayloadLength(*command_))
        return {};
    const std::uint8_t command = *std::exchange(command_, std::nullopt);
    const int number = command == Restart ? restartFrames_++
                       : command == Block ? payload_[0] << 8 | payload_[1]
                                          : payload_[1];
    auto answer = Execute(command, byte.time);
    payload_.clear();
    if (answer.empty())
        return {};
    lastAccepted_ = answer.front() == Accepted ? command : 0; // unanswered is as if never come
    return {model_.turnaround + Lateness(command, number), CommandBaud, std::move(answer)};
}

Nanos Pod::Lateness(std::uint8_t command, int number)
{
    for (LateAnswer& late : model_.faults.late)
        if (late.command == command && (late.number == -1 || late.number == number) && late.times > 0) {
            --late.times;
            return late.by;
        }
    return 0;
}

std::vector<std::uint8_t> Pod::Execute(std::uint8_t command, Nanos time)
{
    const PodFaults& faults = model_.faults;
    if (faults.wrongAcknowledgement || Sum(payload_) != 0xFF)
        return {Refused, 0x00};
    std::vector<std::uint8_t> accepted{Accepted};
    if (!faults.singleByteReplies)
        accepted.push_back(0x00);

    if (command == Restart) {
        if (model_.faults.ignoreRestarts > 0) {
            --model_.faults.ignoreRestarts;
            return {};
        }
        ++restarts_;
        awake_ = false;
        deafUntil_ = time + model_.reboot;
        if (lastAccepted_ == (TakesSecondaryTable(model_.reply) ? SecondaryByte : Block))
            ++programmed_;
        return accepted;
    }
    if (command == Block) {
        const int number = payload_[0] << 8 | payload_[1];
        if (number == faults.refuseBlock && blockRefusals_ < faults.refuseBlockTimes) {
            ++blockRefusals_;
            return {Refused, 0x00};
        }
        std::copy_n(payload_.begin() + 2, 8, blocks_[number].begin());
        return accepted;
    }
    // A secondary byte: 0x00, address, value, checksum; answered with one byte.
    const int address = payload_[1];
    if (address == faults.refuseSecondaryAddress && secondaryRefusals_ < faults.refuseSecondaryTimes) {
        ++secondaryRefusals_;
        return {Refused};
    }
    secondary_[address] = payload_[2];
    return {Accepted};
}

std::vector<std::uint8_t> Pod::Image() const
{
    std::vector<std::uint8_t> image;
    for (int number = 0;; ++number) {
        const auto block = blocks_.find(number);
        if (block == blocks_.end())
            return image;
        image.insert(image.end(), block->second.begin(), block->second.end());
    }
}

void Pod::Clear()
{
    *this = Pod(model_);
}

TwoMicroPod::TwoMicroPod(PodModel mainMicro, PodModel irMicro) : main_(std::move(mainMicro)), ir_(std::move(irMicro)) {}

std::vector<Transmission> TwoMicroPod::Receive(const WireByte& byte)
{
    return (byte.rts ? ir_ : main_).Receive(byte);
}

} // namespace vantelo::sim
