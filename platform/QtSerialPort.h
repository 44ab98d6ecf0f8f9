#pragma once

#include "platform/SerialPort.h"

#include <QSerialPort>
#include <QString>

namespace vantelo {

// Device of port number n: COMn on Windows; elsewhere $VANTELO_COMn, or
// /dev/ttyS{n-1} when that is not set.
QString SerialDeviceName(int number);

class QtSerialPort final : public SerialPort {
public:
    QtSerialPort();

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
    int number_ = 1;
    bool rts_ = false;
    std::string openError_;
};

} // namespace vantelo
