#include "platform/QtReplyTimer.h"

#include "platform/EventWait.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace vantelo {

QtReplyTimer::QtReplyTimer()
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(true); // Timer1_Timer: the tick stops the timer
    // The wait the tick happens in ends with it.
    QObject::connect(&timer_, &QTimer::timeout, &EndEventWait);
#ifdef _WIN32
    // Qt's precise timers are multimedia timers there. Wine ends the thread
    // behind them whenever none is left and starts another for the next: a
    // thread for every wait of the protocol. One long precise timer keeps it.
    keepAlive_.setTimerType(Qt::PreciseTimer);
    keepAlive_.start(60000);
#endif
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
