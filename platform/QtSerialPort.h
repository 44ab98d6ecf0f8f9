#pragma once

#include "platform/SerialPort.h"

#include <QSerialPort>
#include <QString>

namespace vantelo {

// Device of port number n: $VANTELO_COMn when set (on Windows a name such as
// COM7, so an adapter above COM4 can serve one of the four slots), otherwise
// COMn on Windows and /dev/ttyS{n-1} elsewhere.
QString SerialDeviceName(int number);

class QtSerialPort final : public SerialPort {
public:
    // With a device, the port is that device whatever its number.
    explicit QtSerialPort(QString device = {});

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
    void Drain();

    QSerialPort port_;
    QString device_;
    int number_ = 1;
    bool rts_ = false;
    std::string openError_;
};

} // namespace vantelo
