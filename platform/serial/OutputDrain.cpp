#include "platform/serial/OutputDrain.h"

#include <thread>

namespace vantelo {

bool DrainOutput(const QueuedOutput& queued, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        const std::optional<long> waiting = queued();
        if (!waiting)
            return false;
        if (*waiting == 0)
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        // About a character's time at 9600 baud.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace vantelo
