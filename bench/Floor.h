#pragma once

#include "ProbeLayout.h"

#include <span>

namespace vantelo::bench {

using Seconds = double;

// The least time the protocol allows: its pauses and time-outs, the wire
// time of every byte and the pod's turnaround, each stretch counted once.
Seconds DownloadFloor(int blocks, Seconds turnaround);
// Opening, probing with restart, and closing each port in turn.
Seconds ProbeFloor(std::span<const BenchPort> ports, Seconds turnaround);

} // namespace vantelo::bench
