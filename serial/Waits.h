#pragma once

#include <cstdint>

namespace vantelo {

struct PodLink;

// Waits on the reply timer while window events run.
void Pause(PodLink& link, int milliseconds);

// True when at least `bytesNeeded` bytes are waiting, or arrive before the
// time-out. An early return leaves the timer running until its tick; a port
// that closes meanwhile ends the wait at once.
bool WaitForReply(PodLink& link, int milliseconds, std::int16_t bytesNeeded);

} // namespace vantelo
