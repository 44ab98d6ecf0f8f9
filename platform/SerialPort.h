#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantelo {

// A serial port with the operations of a serial communications control: the
// window's one port, or one port of the station. Reception is polled through
// InBufferCount.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // The port's number (COMn); written only while the port is closed. An
    // adapter built on a fixed device keeps that device.
    virtual void CommPort(int number) = 0;
    virtual bool PortOpen() const = 0;
    // Opening a missing or busy port leaves it closed and returns false.
    virtual bool PortOpen(bool open) = 0;
    // Why the last open failed (OpenFailureText), not naming the port, which
    // the message around it does; empty when unknown.
    virtual std::string OpenError() const = 0;
    // Kept while closed; the line takes this state when the port opens.
    virtual void RTSEnable(bool raised) = 0;
    // "baud,parity,data,stop", e.g. "9600,o,8,1". Applies to bytes output
    // after the call: bytes already queued leave under the old settings.
    // False when the port refuses the setting.
    virtual bool Settings(std::string_view settings) = 0;
    // Holds the line low (a break) from the end of the queued output while on.
    virtual void Break(bool on) = 0;
    // Queues the bytes and returns at once.
    virtual void Output(std::span<const std::uint8_t> bytes) = 0;
    virtual std::int16_t InBufferCount() = 0;
    // Removes and returns every received byte waiting.
    virtual std::vector<std::uint8_t> Input() = 0;
};

} // namespace vantelo
