#pragma once

#include "WirePort.h"

#include <deque>

namespace vantelo::podsim {

sim::Nanos MonotonicNow();

// Serves the ports on this thread until SIGTERM, SIGINT or SIGHUP. Sleeps in
// ppoll until the program writes, or an answer byte or a fresh pod is due.
void Serve(std::deque<WirePort>& ports);

} // namespace vantelo::podsim
