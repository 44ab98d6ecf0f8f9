#pragma once

#include "platform/serial/LineSettings.h"
#include "sim/Clock.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace vantelo::sim {

// One character as it crossed the wire towards a pod.
struct WireByte {
    Nanos time = 0; // when its last bit arrived
    std::uint8_t value = 0;
    bool ninthBit = false; // parity bit, or the first stop bit without parity
    LineSettings settings; // under which it left the port
    bool rts = false;      // the RTS line while it arrived
    Nanos low = 0;         // not a character but a break of this length
};

// Bytes a device sends back: they start `delay` after the byte that caused
// them has arrived, one after another at `baud`.
struct Transmission {
    Nanos delay = 0;
    std::int32_t baud = 9600;
    std::vector<std::uint8_t> bytes;
};

// Anything that can sit on the far end of a port.
class Device {
public:
    virtual ~Device() = default;
    virtual std::vector<Transmission> Receive(const WireByte& byte) = 0;
};

// Answers to one request come `by` after the turnaround, the first `times`
// times: a slow flash write. The request is a block number, a secondary
// address, or for restarts the how-manieth restart frame (from 0); -1 is
// every one of that command.
struct LateAnswer {
    std::uint8_t command = 0;
    int number = -1;
    int times = 1;
    Nanos by = 0;
};

struct PodFaults {
    bool silent = false;               // answers nothing at all
    bool wrongAcknowledgement = false; // every command answered 0x0F 0x00
    bool singleByteReplies = false;    // commands answered with 0xF0 alone
    int refuseBlock = -1;              // this block number is answered 0x0F 0x00 ...
    int refuseBlockTimes = 0;          // ... this many times
    int refuseSecondaryAddress = -1;   // likewise for one secondary address
    int refuseSecondaryTimes = 0;
    int ignoreRestarts = 0;        // the first n restarts go unanswered
    bool badProbeChecksum = false; // probe reply checksum off by one
    int missProbe = 0;             // the nth probe it recognises goes unanswered
    // The whole probe reply, in place of the one the pod would make.
    std::optional<std::vector<std::uint8_t>> probeReply;
    std::vector<LateAnswer> late;
    // After this many received bytes the pod is gone: it answers nothing more.
    std::optional<int> unplugAfterBytes;
};

struct PodModel {
    std::uint8_t reply = 0x22; // identification byte
    std::uint8_t major = 1;
    std::uint8_t minor = 0;
    std::int32_t baud = 9600; // listening rate of the probe
    Nanos turnaround = 0;     // between a request's last byte and the answer
    Nanos reboot = 0;         // deaf this long after each restart it accepts
    PodFaults faults;
};

// A pod as the wire sees it. It wakes on the 110-baud low pulse, answers the
// probe at its listening rate, and takes commands at 9600 baud, telling a
// command byte from payload by the parity error it raises against its
// even-parity receiver.
class Pod final : public Device {
public:
    explicit Pod(PodModel model);

    std::vector<Transmission> Receive(const WireByte& byte) override;

    PodModel& model() { return model_; }
    const std::vector<WireByte>& received() const { return received_; }
    // Block number to the 8 data bytes last accepted for it.
    const std::map<int, std::array<std::uint8_t, 8>>& blocks() const { return blocks_; }
    // Data bytes of blocks 0, 1, ... up to the first missing block.
    std::vector<std::uint8_t> Image() const;
    // Secondary address to the value last accepted for it.
    const std::map<int, std::uint8_t>& secondary() const { return secondary_; }
    int restarts() const { return restarts_; }
    // Programmings it has seen end: a restart straight after the download or,
    // on a pod that takes a secondary table, straight after the table.
    int programmed() const { return programmed_; }
    int probesAnswered() const { return probesAnswered_; }
    // Forgets what it received and stored (between programming cycles).
    void Clear();

private:
    bool MatchesProbe(std::uint8_t value);
    Transmission ProbeReply();
    // The answer to a byte at the command rate, empty when none is due.
    Transmission Decode(const WireByte& byte);
    std::vector<std::uint8_t> Execute(std::uint8_t command, Nanos time);
    // How much later than its turnaround the frame just received is answered.
    Nanos Lateness(std::uint8_t command, int number);

    PodModel model_;
    std::vector<WireByte> received_;
    std::map<int, std::array<std::uint8_t, 8>> blocks_;
    std::map<int, std::uint8_t> secondary_;
    int restarts_ = 0;
    int restartFrames_ = 0;
    int programmed_ = 0;
    int probesAnswered_ = 0;
    int probesHeard_ = 0;
    Nanos deafUntil_ = 0; // booting after a restart
    bool awake_ = false;
    std::size_t probeMatched_ = 0;
    std::optional<std::uint8_t> command_; // of the frame being received
    std::vector<std::uint8_t> payload_;
    std::uint8_t lastAccepted_ = 0; // the last frame answered if accepted, and no wake since; else 0
    int blockRefusals_ = 0;
    int secondaryRefusals_ = 0;
};

// The two-micro pod: RTS low connects its main micro, RTS high its IR micro.
class TwoMicroPod final : public Device {
public:
    TwoMicroPod(PodModel mainMicro, PodModel irMicro);
    std::vector<Transmission> Receive(const WireByte& byte) override;
    Pod& main() { return main_; }
    Pod& ir() { return ir_; }

private:
    Pod main_;
    Pod ir_;
};

} // namespace vantelo::sim
