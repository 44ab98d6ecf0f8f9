#include "platform/serial/LinuxReplyTimer.h"

#include "platform/serial/SystemReplyTimer.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace vantelo {

std::unique_ptr<ReplyTimer> MakeReplyTimer()
{
    return std::make_unique<LinuxReplyTimer>();
}

LinuxReplyTimer::LinuxReplyTimer()
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(true); // Timer1_Timer: the tick stops the timer
}

void LinuxReplyTimer::Interval(int milliseconds)
{
    timer_.setInterval(milliseconds);
}

void LinuxReplyTimer::Enabled(bool running)
{
    if (running)
        timer_.start();
    else
        timer_.stop();
}

bool LinuxReplyTimer::Enabled() const
{
    return timer_.isActive();
}

void LinuxReplyTimer::ProcessEvents()
{
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace vantelo
