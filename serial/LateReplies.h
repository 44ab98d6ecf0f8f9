#pragma once

namespace vantelo {

// The latest a pod's answer may come after its request; a later one is
// taken as lost. Waited out only after an exchange has timed out, and at
// least as long as any exchange's own time-out.
inline constexpr int LateReplyBoundMs = 1000;

// The answers to the last command exchange: what its attempts will bring,
// and what came of it so far.
struct RepliesOwed {
    int expected = 0; // reply bytes
    int received = 0; // reply bytes read or dropped since its first attempt
    bool timedOut = false;
};

} // namespace vantelo
