#include "sim/Clock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace vantelo::sim {

void Clock::Schedule(Nanos at, std::function<void()> event)
{
    // Equal keys go behind the ones already there, keeping scheduling order.
    events_.emplace(std::max(at, now_), std::move(event));
}

bool Clock::RunNextEvent(Nanos until)
{
    if (events_.empty() || events_.begin()->first > until)
        return false;
    // Taken out first: the event may schedule others.
    auto next = events_.extract(events_.begin());
    now_ = next.key();
    next.mapped()();
    return true;
}

void Clock::RunUntil(Nanos until)
{
    while (RunNextEvent(until)) {
    }
    now_ = std::max(now_, until);
}

void Clock::RunAll()
{
    while (RunNextEvent(std::numeric_limits<Nanos>::max())) {
    }
}

// As a running Qt timer does, a new interval restarts it.
void Clock::Interval(int milliseconds)
{
    interval_ = milliseconds;
    if (running_)
        deadline_ = now_ + interval_ * Millisecond;
}

void Clock::Enabled(bool running)
{
    running_ = running;
    if (running)
        deadline_ = now_ + interval_ * Millisecond;
}

void Clock::ProcessEvents()
{
    ++passes_;
    // A byte arriving exactly at the deadline is seen before the tick.
    if (!events_.empty() && (!running_ || events_.begin()->first <= deadline_)) {
        RunNextEvent(events_.begin()->first);
        return;
    }
    if (running_) {
        // The deadline may have passed while the line was draining.
        now_ = std::max(now_, deadline_);
        running_ = false;
        return;
    }
    std::fprintf(stderr,
                 "sim::Clock::ProcessEvents: the timer is stopped and no event is scheduled, "
                 "so this wait could never end (at %lld ns, pass %d)\n",
                 static_cast<long long>(now_), passes_);
    std::abort();
}

} // namespace vantelo::sim
