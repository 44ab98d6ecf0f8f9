#pragma once

#include "platform/SerialPort.h"
#include "platform/serial/LineSettings.h"

#include <QString>

#include <memory>
#include <optional>

namespace vantelo {

// The serial port on the Win32 communications functions, on a handle opened
// for overlapped use: a read is always pending while the port is open, and
// its end wakes the thread's waits, which otherwise sleep. Writes, settings
// and queue counts never wait behind that read (on a handle without
// overlapped use Windows would make them). QSerialPort waits for the end of
// an overlapped WaitCommEvent that wine never hands on, so it does not
// receive there.
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
    struct Io;

    bool Open();
    void Close();
    bool Drain();
    std::optional<long> Queued(bool output);
    void Lost();
    bool Read();
    void Collect();

    void* handle_;
    QString device_;
    int number_ = 1;
    bool rts_ = false;
    std::string openError_;
    // What the line was last set to; unknown after an open.
    std::optional<LineSettings> applied_;
    std::unique_ptr<Io> io_;
    // What reads have brought and Input has not taken.
    std::vector<std::uint8_t> received_;
};

} // namespace vantelo
