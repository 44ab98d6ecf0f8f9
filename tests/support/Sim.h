#pragma once

#include "platform/serial/LineSettings.h"
#include "sim/Line.h"
#include "sim/Pod.h"

namespace vantelo::testing {

// A fault-free pod answering with `reply`, its version major.minor, the probe at `baud`.
inline sim::PodModel PodModelOf(std::uint8_t reply, std::int32_t baud = 9600, std::uint8_t major = 1,
                                std::uint8_t minor = 0)
{
    sim::PodModel model;
    model.reply = reply;
    model.major = major;
    model.minor = minor;
    model.baud = baud;
    return model;
}

// The simulated line as the operations use it; the hooks let a test note what
// they do with it. Settings are noted as asked for, before the line takes them.
struct WatchedLine : SerialPort {
    explicit WatchedLine(sim::Line& line) : line(line) {}
    virtual void Used() {}
    virtual void Setting(const LineSettings&) {}
    virtual void Sent(std::span<const std::uint8_t>) {}
    virtual void Read(const std::vector<std::uint8_t>&) {}

    void CommPort(int n) override { Used(), number = n, line.CommPort(n); }
    bool PortOpen() const override { return line.PortOpen(); }
    bool PortOpen(bool open) override { return Used(), line.PortOpen(open); }
    std::string OpenError() const override { return line.OpenError(); }
    void RTSEnable(bool raised) override { line.RTSEnable(raised); }
    void Break(bool on) override { line.Break(on); }
    bool Settings(std::string_view text) override
    {
        Used(), settings = *ParseLineSettings(text), Setting(settings);
        return line.Settings(text);
    }
    void Output(std::span<const std::uint8_t> bytes) override { Used(), line.Output(bytes), Sent(bytes); }
    std::int16_t InBufferCount() override { return Used(), line.InBufferCount(); }
    std::vector<std::uint8_t> Input() override
    {
        Used();
        auto bytes = line.Input();
        Read(bytes);
        return bytes;
    }

    sim::Line& line;
    int number = 1;
    LineSettings settings;
};

} // namespace vantelo::testing
