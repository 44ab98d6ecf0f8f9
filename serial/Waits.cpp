#include "serial/Waits.h"

#include "platform/ReplyTimer.h"
#include "platform/SerialPort.h"
#include "serial/PodLink.h"

namespace vantelo {

void Pause(PodLink& link, int milliseconds)
{
    link.timer.Enabled(false);
    link.timer.Interval(milliseconds);
    link.timer.Enabled(true);
    while (link.timer.Enabled())
        link.timer.ProcessEvents();
}

bool WaitForReply(PodLink& link, int milliseconds, std::int16_t bytesNeeded)
{
    link.timer.Enabled(false);
    link.timer.Interval(milliseconds);
    link.timer.Enabled(true);
    while (link.timer.Enabled() && link.port.PortOpen() &&
           link.port.InBufferCount() < bytesNeeded)
        link.timer.ProcessEvents();
    return link.port.InBufferCount() >= bytesNeeded;
}

} // namespace vantelo
