#pragma once

#include "platform/SerialPort.h"
#include "platform/serial/LineSettings.h"
#include "sim/Clock.h"
#include "sim/Pod.h"

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace vantelo::sim {

// Bits on the wire for one character: start, data, parity, stop.
int CharacterBits(const LineSettings& settings);
// The ninth bit a character carries under the settings.
bool NinthBit(std::uint8_t value, const LineSettings& settings);

// The serial port with the wire behind it, in virtual time. Each of ports 1
// to 4 is missing (cannot be opened), empty (opens, nobody answers) or has a
// device on it. Bytes leave one after another at the baud rate in force when
// each starts; changing the settings first waits until the transmitter is
// empty, as the real adapter does.
class Line final : public SerialPort {
public:
    explicit Line(Clock& clock);

    // `why` is what the adapter tells about the failed open.
    void Missing(int port, std::string why = {});
    void Empty(int port);
    void Connect(int port, Device& device);
    // The port vanishes (a USB adapter pulled out): an open port closes, as
    // the real adapter closes it on the error, and opening fails until the
    // port is placed again.
    void Unplug(int port);
    // The open port vanishes once its device has been handed `bytes` more bytes.
    void UnplugAfterBytes(int bytes) { unplugAfter_ = bytes; }
    // The `n`th opening from now fails, as if the adapter were gone meanwhile.
    void FailOpening(int n) { failOpening_ = n; }
    // An adapter that cannot do this rate: setting it fails.
    void RefuseRate(std::int32_t baud) { refusedRate_ = baud; }

    void CommPort(int number) override;
    bool PortOpen() const override;
    bool PortOpen(bool open) override;
    void RTSEnable(bool raised) override;
    bool Settings(std::string_view settings) override;
    void Break(bool on) override;
    void Output(std::span<const std::uint8_t> bytes) override;
    std::string OpenError() const override { return openError_; }
    std::int16_t InBufferCount() override;
    std::vector<std::uint8_t> Input() override;

    // Settings strings in the order they were written.
    const std::vector<std::string>& settingsLog() const { return settingsLog_; }
    int opens() const { return opens_; }
    bool rts() const { return rts_; }

private:
    enum class Slot { Missing, Empty, Device, Unplugged };
    // Forgets queued output and pending input; bytes still on their way
    // belong to the old opening and are lost.
    void Reset();
    void Place(int port, Slot slot, Device* device);
    void StartNextByte();
    void HandOver(const WireByte& byte);
    void Deliver(const Transmission& reply, Nanos after, int port);

    Clock& clock_;
    std::array<Slot, 5> slots_{};
    std::array<Device*, 5> devices_{};
    // When each device's transmitter has sent everything it was given.
    std::array<Nanos, 5> replyFree_{};
    int number_ = 1;
    int openPort_ = 0;        // 0: closed
    unsigned generation_ = 0; // changes on every open and close
    bool rts_ = false;
    LineSettings settings_;
    std::deque<std::uint8_t> transmit_;
    bool transmitting_ = false;
    Nanos byteEnd_ = 0; // of the byte being sent
    std::optional<Nanos> breakStart_;
    std::vector<std::uint8_t> input_;
    std::vector<std::string> settingsLog_;
    int opens_ = 0;
    std::optional<int> unplugAfter_;
    std::optional<int> failOpening_;
    std::int32_t refusedRate_ = 0;
    std::array<std::string, 5> missingWhy_{};
    std::string openError_;
};

} // namespace vantelo::sim
