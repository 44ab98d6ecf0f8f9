#pragma once

#include "ExchangeLog.h"
#include "Pty.h"
#include "SlaveWatch.h"
#include "sim/Pod.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vantelo::podsim {

// One virtual port: a pty with a simulated pod, or nobody, on its far end.
// The wire is emulated in real time so that the pod is never faster than a
// real line: a byte read from the program reaches the pod one character time
// after it was read or after the byte before it has arrived, whichever is
// later; the pod's answer leaves the pod's turnaround after the byte that
// caused it and is written to the program byte by byte as each would arrive.
// With a swap time, each pod is taken away once programmed, and a fresh one
// of the same model is put on after that time, as at a production bench.
class WirePort {
public:
    // imagePath: where to keep the image the pod holds; empty for nowhere.
    WirePort(int number, std::optional<sim::PodModel> pod, sim::Nanos epoch, std::string imagePath,
             std::optional<sim::Nanos> swap);

    int number() const { return number_; }
    const Pty& pty() const { return pty_; }
    const SlaveWatch& watch() const { return watch_; }

    // Takes every byte the program has written, at `now`.
    void ReadAvailable(sim::Nanos now);
    // Writes the answer bytes that have arrived by `now`, and puts a fresh
    // pod on when its time has come.
    void RunDue(sim::Nanos now);
    // Once the program has closed the port, or died, the next one finds it
    // as podsim made it; what was still on its way to the program is lost.
    void ProgramOpenedOrClosed(sim::Nanos now);
    // When the next answer byte arrives or the next fresh pod is put on.
    std::optional<sim::Nanos> NextDue() const;
    // True once the port has vanished (the pod's unplug fault).
    bool Unplugged();

private:
    void Arrive(std::uint8_t value, const LineSettings& settings, sim::Nanos readAt);
    void Transmit(const sim::Transmission& answer, sim::Nanos after);
    void SaveImage();
    void FreshPodIfDue(sim::Nanos time);

    int number_;
    Pty pty_;
    SlaveWatch watch_; // made after the pty: podsim's own descriptor is not the program's
    std::optional<sim::Pod> pod_;
    ExchangeLog log_;
    std::string imagePath_;
    std::vector<std::uint8_t> savedImage_;
    std::optional<sim::Nanos> swap_;
    std::optional<sim::Nanos> freshPodAt_;                     // while the pod is away
    sim::Nanos receiveFree_ = 0;                               // when the last byte towards the pod has arrived
    sim::Nanos transmitFree_ = 0;                              // when the pod's transmitter is done
    std::deque<std::pair<sim::Nanos, std::uint8_t>> outgoing_; // arrival time, byte
};

} // namespace vantelo::podsim
