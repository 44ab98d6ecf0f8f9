#include "sim/Line.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <utility>

namespace vantelo::sim {

namespace {

constexpr Nanos Second = 1'000'000'000;
// Pods answer 8N1: start bit, eight data bits, stop bit.
constexpr int ReplyCharacterBits = 10;

Nanos CharacterTime(int bits, std::int32_t baud)
{
    return bits * Second / baud;
}

bool OddOnes(std::uint8_t value)
{
    return std::popcount(value) % 2 != 0;
}

} // namespace

int CharacterBits(const LineSettings& settings)
{
    return 1 + settings.dataBits + (settings.parity == Parity::None ? 0 : 1) + settings.stopBits;
}

bool NinthBit(std::uint8_t value, const LineSettings& settings)
{
    switch (settings.parity) {
    case Parity::Odd:
        return !OddOnes(value);
    case Parity::Even:
        return OddOnes(value);
    case Parity::None:
        break;
    }
    return true; // the first stop bit
}

Line::Line(Clock& clock) : clock_(clock) {}

void Line::Missing(int port, std::string why)
{
    Place(port, Slot::Missing, nullptr);
    missingWhy_.at(port) = std::move(why);
}

void Line::Empty(int port)
{
    Place(port, Slot::Empty, nullptr);
}

void Line::Connect(int port, Device& device)
{
    Place(port, Slot::Device, &device);
}

void Line::Unplug(int port)
{
    Place(port, Slot::Unplugged, nullptr);
    if (openPort_ == port)
        PortOpen(false);
}

void Line::Place(int port, Slot slot, Device* device)
{
    slots_.at(port) = slot;
    devices_.at(port) = device;
}

void Line::CommPort(int number)
{
    number_ = number;
}

bool Line::PortOpen() const
{
    return openPort_ != 0;
}

bool Line::PortOpen(bool open)
{
    if (!open) {
        openPort_ = 0;
        Reset();
        return true;
    }
    if (openPort_ != 0)
        return true;
    if (failOpening_ && --*failOpening_ == 0)
        Unplug(number_);
    if (number_ < 1 || number_ >= static_cast<int>(slots_.size()) || slots_[number_] == Slot::Missing ||
        slots_[number_] == Slot::Unplugged) {
        openError_ = number_ >= 1 && number_ < static_cast<int>(slots_.size()) ? missingWhy_[number_] : std::string();
        return false;
    }
    openPort_ = number_;
    Reset();
    ++opens_;
    return true;
}

void Line::Reset()
{
    ++generation_;
    transmit_.clear();
    transmitting_ = false;
    input_.clear();
}

void Line::RTSEnable(bool raised)
{
    rts_ = raised;
}

bool Line::Settings(std::string_view settings)
{
    const auto parsed = ParseLineSettings(settings);
    if (!parsed || openPort_ == 0 || parsed->baud == refusedRate_)
        return false;
    // Each finished byte starts the next, moving byteEnd_ on.
    while (transmitting_)
        clock_.RunUntil(byteEnd_);
    settings_ = *parsed;
    settingsLog_.emplace_back(settings);
    return true;
}

void Line::Break(bool on)
{
    if (openPort_ == 0)
        return;
    while (transmitting_)
        clock_.RunUntil(byteEnd_);
    if (on) {
        breakStart_ = breakStart_.value_or(clock_.Now());
    } else if (breakStart_) {
        const Nanos start = *std::exchange(breakStart_, std::nullopt);
        HandOver({.time = clock_.Now(), .settings = settings_, .rts = rts_, .low = clock_.Now() - start});
    }
}

void Line::Output(std::span<const std::uint8_t> bytes)
{
    if (openPort_ == 0)
        return;
    transmit_.insert(transmit_.end(), bytes.begin(), bytes.end());
    if (!transmitting_)
        StartNextByte();
}

void Line::StartNextByte()
{
    const std::uint8_t value = transmit_.front();
    transmit_.pop_front();
    const LineSettings settings = settings_;
    transmitting_ = true;
    byteEnd_ = clock_.Now() + CharacterTime(CharacterBits(settings), settings.baud);
    clock_.Schedule(byteEnd_, [this, value, settings, generation = generation_] {
        if (generation != generation_)
            return;
        transmitting_ = false;
        HandOver({clock_.Now(), value, NinthBit(value, settings), settings, rts_});
        if (!transmit_.empty())
            StartNextByte();
    });
}

void Line::HandOver(const WireByte& byte)
{
    if (slots_[openPort_] != Slot::Device)
        return;
    for (const Transmission& reply : devices_[openPort_]->Receive(byte))
        Deliver(reply, byte.time, openPort_);
    if (unplugAfter_ && --*unplugAfter_ == 0)
        Unplug(openPort_);
}

void Line::Deliver(const Transmission& reply, Nanos after, int port)
{
    const Nanos characterTime = CharacterTime(ReplyCharacterBits, reply.baud);
    // The device has one transmitter: a reply waits for the one before it.
    Nanos arrival = std::max(after + reply.delay, replyFree_[port]);
    for (const std::uint8_t value : reply.bytes) {
        arrival += characterTime;
        clock_.Schedule(arrival, [this, value, port, baud = reply.baud, generation = generation_] {
            if (generation == generation_ && slots_[port] == Slot::Device && settings_.baud == baud)
                input_.push_back(value);
        });
    }
    replyFree_[port] = arrival;
}

std::int16_t Line::InBufferCount()
{
    return static_cast<std::int16_t>(std::min<std::size_t>(input_.size(), std::numeric_limits<std::int16_t>::max()));
}

std::vector<std::uint8_t> Line::Input()
{
    return std::exchange(input_, {});
}

} // namespace vantelo::sim
