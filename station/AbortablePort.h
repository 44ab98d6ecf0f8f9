#pragma once

#include "platform/ReplyTimer.h"
#include "platform/SerialPort.h"

#include <atomic>

namespace vantelo::station {

// Once the station gives up, the port is closed to the protocol and its
// timer stopped: nothing more is sent, and every wait ends.
class AbortablePort final : public SerialPort {
public:
    AbortablePort(SerialPort& port, const std::atomic<bool>& abort) : port_(port), abort_(abort) {}

    void CommPort(int number) override { port_.CommPort(number); }
    bool PortOpen() const override { return !abort_ && port_.PortOpen(); }
    bool PortOpen(bool open) override { return (open && abort_) ? false : port_.PortOpen(open); }
    std::string OpenError() const override { return port_.OpenError(); }
    void RTSEnable(bool raised) override { port_.RTSEnable(raised); }
    bool Settings(std::string_view settings) override { return !abort_ && port_.Settings(settings); }
    void Break(bool on) override { port_.Break(on && !abort_); }
    void Output(std::span<const std::uint8_t> bytes) override
    {
        if (!abort_)
            port_.Output(bytes);
    }
    std::int16_t InBufferCount() override { return port_.InBufferCount(); }
    std::vector<std::uint8_t> Input() override { return port_.Input(); }

private:
    SerialPort& port_;
    const std::atomic<bool>& abort_;
};

class AbortableTimer final : public ReplyTimer {
public:
    AbortableTimer(ReplyTimer& timer, const std::atomic<bool>& abort) : timer_(timer), abort_(abort) {}

    void Interval(int milliseconds) override { timer_.Interval(milliseconds); }
    void Enabled(bool running) override { timer_.Enabled(running); }
    bool Enabled() const override { return !abort_ && timer_.Enabled(); }
    void ProcessEvents() override { timer_.ProcessEvents(); }

private:
    ReplyTimer& timer_;
    const std::atomic<bool>& abort_;
};

} // namespace vantelo::station
