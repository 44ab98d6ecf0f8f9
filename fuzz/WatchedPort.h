#pragma once

#include "platform/LineSettings.h"
#include "platform/SerialPort.h"

#include <optional>
#include <string>
#include <vector>

namespace vantelo::fuzz {

// One attempt at a command: what went out, and the reply read for it.
struct Attempt {
    std::uint8_t command = 0;
    std::vector<std::uint8_t> payload;
    std::optional<std::vector<std::uint8_t>> reply;

    bool Acknowledged() const;
};

// The port between the operations and the line, noting each command they
// send (a byte under odd parity, then its payload under even parity) and the
// reply they read for it: the first bytes read before the next command or
// the next change to settings without parity. A read that finds nothing is
// no reply: an attempt whose wait failed is followed by no read, or by a
// flush that finds nothing, as no time passes in between.
class WatchedPort final : public SerialPort {
public:
    explicit WatchedPort(SerialPort& port) : port_(port) {}

    void CommPort(int number) override { port_.CommPort(number); }
    bool PortOpen() const override { return port_.PortOpen(); }
    bool PortOpen(bool open) override { return port_.PortOpen(open); }
    std::string OpenError() const override { return port_.OpenError(); }
    void RTSEnable(bool raised) override { port_.RTSEnable(raised); }
    bool Settings(std::string_view settings) override;
    void Break(bool on) override { port_.Break(on); }
    void Output(std::span<const std::uint8_t> bytes) override;
    std::int16_t InBufferCount() override { return port_.InBufferCount(); }
    std::vector<std::uint8_t> Input() override;

    // The attempts since the last call.
    std::vector<Attempt> TakeAttempts();
    // Bytes sent at 110 baud: the pulses that wake a pod to be identified.
    int wakeUps() const { return wakeUps_; }

private:
    SerialPort& port_;
    LineSettings settings_;
    int wakeUps_ = 0;
    bool inAttempt_ = false;
    std::vector<Attempt> attempts_;
};

} // namespace vantelo::fuzz
