#pragma once

#include <chrono>

namespace vantelo::station {

// Whether the port still holds the pod last taken. Real pods boot for
// seconds after a restart and may miss a probe while busy, so a port counts
// as emptied only once at least two polls in a row found nobody and the
// later one began at least EmptyAfter after the pod was last heard.
class PodPresence {
public:
    using Time = std::chrono::nanoseconds;
    static constexpr Time EmptyAfter = std::chrono::seconds(3);

    // A poll found a pod: true when it is a new one, to be taken.
    bool Answered(Time when);
    // The pod was told something at `when`, a restart: it may be deaf after it.
    void Heard(Time when) { heard_ = when; }
    // A poll that began at `began` found nobody: true once, when the pod
    // taken before is now known to be gone.
    bool Silent(Time began);
    // The port was lost: whatever answers next is new.
    void Forget() { taken_ = false; }

private:
    bool taken_ = false;
    int silentPolls_ = 0;
    Time heard_{};
};

} // namespace vantelo::station
