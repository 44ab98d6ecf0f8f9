#pragma once

#include "platform/SerialPort.h"

#include <QSerialPort>
#include <QString>

#include <functional>
#include <optional>

namespace vantelo {

// Output bytes a tty still holds: its kernel queue, and the UART's
// transmitter where the driver tells (a pty and most USB adapters do not).
std::optional<long> TtyQueuedOutput(qintptr handle);

// The serial port on QSerialPort (Linux).
class LinuxSerialPort final : public SerialPort {
public:
    using OutputQuery = std::function<std::optional<long>(qintptr handle)>;

    // With a device, the port is that device whatever its number.
    explicit LinuxSerialPort(QString device = {}, OutputQuery queuedOutput = TtyQueuedOutput);

    void CommPort(int number) override;
    bool PortOpen() const override;
    bool PortOpen(bool open) override;
    void RTSEnable(bool raised) override;
    bool Settings(std::string_view settings) override;
    void Break(bool on) override;
    void Output(std::span<const std::uint8_t> bytes) override;
    std::int16_t InBufferCount() override;
    std::vector<std::uint8_t> Input() override;
    std::string OpenError() const override { return openError_; }

private:
    bool Drain();

    QSerialPort port_;
    QString device_;
    OutputQuery queuedOutput_;
    int number_ = 1;
    bool rts_ = false;
    std::string openError_;
};

} // namespace vantelo
