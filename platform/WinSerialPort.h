#pragma once

#include "platform/LineSettings.h"
#include "platform/SerialPort.h"

#include <QString>
#include <QTimer>

#include <optional>

namespace vantelo {

// The serial port on the Win32 communications functions. Reads never block
// (ReadIntervalTimeout MAXDWORD); a write ends when the driver has taken the
// bytes, within a write time-out. QSerialPort waits for the end of an
// overlapped WaitCommEvent that wine never hands on, so it does not receive
// there.
class WinSerialPort final : public SerialPort {
public:
    explicit WinSerialPort(QString device = {});
    ~WinSerialPort() override;

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
    std::optional<long> Queued(bool output);
    void Lost();

    void* handle_;
    QString device_;
    int number_ = 1;
    bool rts_ = false;
    std::string openError_;
    // What the line was last set to; unknown after an open.
    std::optional<LineSettings> applied_;
    // Nothing signals received bytes: while InBufferCount is being polled, a
    // short tick ends the thread's waits so that the poll comes again.
    QTimer poll_;
    bool polled_ = false;
};

} // namespace vantelo
