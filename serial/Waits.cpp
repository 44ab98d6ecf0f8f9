#include "serial/Waits.h"

#include "platform/ReplyTimer.h"
#include "platform/SerialPort.h"
#include "serial/PodLink.h"

namespace vantelo {

namespace {

// Restarts the reply timer; its tick stops it.
void StartTimer(PodLink& link, int milliseconds)
{
    link.timer.Enabled(false);
    link.timer.Interval(milliseconds);
    link.timer.Enabled(true);
}

} // namespace

void Pause(PodLink& link, int milliseconds)
{
    StartTimer(link, milliseconds);
    while (link.timer.Enabled())
        link.timer.ProcessEvents();
}

bool WaitForReply(PodLink& link, int milliseconds, std::int16_t bytesNeeded)
{
    StartTimer(link, milliseconds);
    while (link.timer.Enabled() && link.port.PortOpen() && link.port.InBufferCount() < bytesNeeded)
        link.timer.ProcessEvents();
    return link.port.InBufferCount() >= bytesNeeded;
}

} // namespace vantelo
