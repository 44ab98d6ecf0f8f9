#pragma once

#include "platform/SerialPort.h"

#include <QSerialPort>
#include <QString>

namespace vantelo {

// Device of port number n: $VANTELO_COMn when set (on Windows a name such as
// COM7, so an adapter above COM4 can serve one of the four slots), otherwise
// COMn on Windows and /dev/ttyS{n-1} elsewhere.
QString SerialDeviceName(int number);

// The device a name opens, so that two spellings of one port compare equal:
// symbolic links and relative parts resolved, and on Windows "com7",
// "COM7" and "\\.\COM7" all "COM7".
QString CanonicalDeviceName(const QString& device);

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
