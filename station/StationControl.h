#pragma once

#include <atomic>

namespace vantelo::station {

// What the ports' threads and the main thread share while ports run.
struct StationControl {
    std::atomic<bool> stopTaking{false}; // Ctrl-C once, or the record failed
    std::atomic<bool> recordLost{false}; // a line could not be written: nobody asked to stop
    std::atomic<bool> abort{false};      // Ctrl-C twice: pods being written are given up

    // A pod failed or was interrupted, a port named by the user could not be
    // opened, or the record could not be written.
    std::atomic<bool> failed{false};
    std::atomic<bool> podOfTypeFound{false};
};

// 1 for any failure; 3 when one pass found no pod to program; else 0.
inline int ExitStatus(const StationControl& control, bool watch)
{
    if (control.failed)
        return 1;
    return !watch && !control.podOfTypeFound ? 3 : 0;
}

} // namespace vantelo::station
