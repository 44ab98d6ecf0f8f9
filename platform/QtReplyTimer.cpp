#include "platform/QtReplyTimer.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>

namespace vantelo {

QtReplyTimer::QtReplyTimer()
{
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(true); // Timer1_Timer: the tick stops the timer
    // Qt's Windows dispatcher hands a precise timer's tick over as a posted
    // event, delivered before it blocks and not counted as an event: without
    // the interrupt, a wait would go on sleeping after the tick, for good on a
    // thread that nothing else wakes.
    QObject::connect(&timer_, &QTimer::timeout, [] {
        if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
            dispatcher->interrupt();
    });
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
