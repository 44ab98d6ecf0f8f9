#include "WatchedPort.h"

#include <utility>

namespace vantelo::fuzz {

bool Attempt::Acknowledged() const
{
    return reply && reply->front() == 0xF0;
}

bool WatchedPort::Settings(std::string_view settings)
{
    if (!port_.Settings(settings))
        return false;
    settings_ = *ParseLineSettings(settings);
    if (settings_.parity == Parity::None)
        inAttempt_ = false;
    return true;
}

void WatchedPort::Output(std::span<const std::uint8_t> bytes)
{
    port_.Output(bytes);
    if (settings_.baud == 110)
        wakeUps_ += static_cast<int>(bytes.size());
    for (const std::uint8_t byte : bytes) {
        if (settings_.parity == Parity::Odd) {
            attempts_.push_back({byte, {}, std::nullopt});
            inAttempt_ = true;
        } else if (settings_.parity == Parity::Even && inAttempt_) {
            attempts_.back().payload.push_back(byte);
        }
    }
}

std::vector<std::uint8_t> WatchedPort::Input()
{
    auto bytes = port_.Input();
    if (inAttempt_ && !attempts_.back().reply && !bytes.empty())
        attempts_.back().reply = bytes;
    return bytes;
}

std::vector<Attempt> WatchedPort::TakeAttempts()
{
    inAttempt_ = false;
    return std::exchange(attempts_, {});
}

} // namespace vantelo::fuzz
