#include "station/PortThread.h"

#include "platform/serial/SystemReplyTimer.h"
#include "platform/serial/SystemSerialPort.h"
#include "station/AbortablePort.h"
#include "station/StationControl.h"

#include <QAbstractEventDispatcher>

namespace vantelo::station {

void PortThread::WakeUp()
{
    const std::lock_guard lock(mutex_);
    if (!running_)
        return;
    if (QAbstractEventDispatcher* dispatcher = eventDispatcher())
        dispatcher->wakeUp();
}

void PortThread::run()
{
    {
        const std::lock_guard lock(mutex_);
        running_ = true;
    }
    {
        const auto serial = MakeSerialPort(context_.where.device);
        const auto replyTimer = MakeReplyTimer();
        AbortablePort port(*serial, context_.control.abort);
        AbortableTimer timer(*replyTimer, context_.control.abort);
        PortRunner(port, timer, context_, [] { return std::chrono::steady_clock::now().time_since_epoch(); }).Run();
    }
    const std::lock_guard lock(mutex_);
    running_ = false;
}

} // namespace vantelo::station
