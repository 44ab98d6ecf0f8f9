#pragma once

#include "platform/ReplyTimer.h"

#include <cstdint>
#include <functional>
#include <map>

namespace vantelo::sim {

using Nanos = std::int64_t;
inline constexpr Nanos Millisecond = 1'000'000;

// Virtual time. As the reply timer, each ProcessEvents pass jumps straight
// to the next thing that happens: the timer's tick or a scheduled event
// (a byte leaving the transmitter, a reply byte arriving).
class Clock final : public ReplyTimer {
public:
    Nanos Now() const { return now_; }

    // Runs `event` when virtual time reaches `at` (events at the same time
    // run in the order they were scheduled).
    void Schedule(Nanos at, std::function<void()> event);
    // Runs every event due up to `until`, then stands at `until`.
    void RunUntil(Nanos until);
    // Runs events until none is left.
    void RunAll();

    void Interval(int milliseconds) override;
    void Enabled(bool running) override;
    bool Enabled() const override { return running_; }
    // With neither the timer running nor an event scheduled nothing could
    // ever happen: a program error, reported by aborting.
    void ProcessEvents() override;

    int passes() const { return passes_; }

private:
    bool RunNextEvent(Nanos until);

    Nanos now_ = 0;
    int interval_ = 0;
    bool running_ = false;
    Nanos deadline_ = 0;
    int passes_ = 0;
    std::multimap<Nanos, std::function<void()>> events_;
};

} // namespace vantelo::sim
