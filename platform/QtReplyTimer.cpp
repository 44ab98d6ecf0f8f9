#include "platform/QtReplyTimer.h"

#include "platform/SystemReplyTimer.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace vantelo {

std::unique_ptr<ReplyTimer> MakeReplyTimer()
{
    return std::make_unique<QtReplyTimer>();
}

QtReplyTimer::QtReplyTimer()
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(true); // Timer1_Timer: the tick stops the timer
}

void QtReplyTimer::Interval(int milliseconds)
{
    timer_.setInterval(milliseconds);
}

void QtReplyTimer::Enabled(bool running)
{
    if (running)
        timer_.start();
    else
        timer_.stop();
}

bool QtReplyTimer::Enabled() const
{
    return timer_.isActive();
}

void QtReplyTimer::ProcessEvents()
{
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace vantelo
