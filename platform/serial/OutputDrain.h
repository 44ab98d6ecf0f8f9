#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace vantelo {

// How long a port may take to send what it holds before its settings change;
// an adapter that cannot is taken for lost.
inline constexpr std::chrono::milliseconds DrainLimit{1000};

// Output bytes the system still holds for the line; nothing when it cannot
// tell (the device is gone).
using QueuedOutput = std::function<std::optional<long>()>;

// Polls the queue until it is empty, sleeping between polls (tcdrain and
// FlushFileBuffers cannot be given a time-out). False when the query fails or
// the queue is not empty by the deadline.
bool DrainOutput(const QueuedOutput& queued, std::chrono::steady_clock::time_point deadline);

} // namespace vantelo
