#include "platform/serial/SystemReplyTimer.h"

#include "platform/serial/WinEventWait.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include <windows.h>

#include <mmsystem.h>

namespace vantelo {

namespace {

using Clock = std::chrono::steady_clock;

// The reply timer as a deadline: a wait sleeps in one system wait for the
// time left, which the port's received bytes and window messages also end.
// (Qt's precise timers are multimedia timers, whose start, stop and tick
// each cost wine several trips to its server.)
class WinReplyTimer final : public ReplyTimer {
public:
    // System waits as precise as the multimedia timers were: 1 ms.
    WinReplyTimer() { timeBeginPeriod(1); }
    ~WinReplyTimer() override { timeEndPeriod(1); }

    void Interval(int milliseconds) override { interval_ = std::chrono::milliseconds(milliseconds); }

    void Enabled(bool running) override
    {
        deadline_.reset();
        if (running)
            deadline_ = Clock::now() + interval_;
    }

    // Past its deadline the timer has ticked, which stopped it.
    bool Enabled() const override { return deadline_ && Clock::now() < *deadline_; }

    // A deadline just passed is a tick to handle: the wait ends at once.
    void ProcessEvents() override
    {
        DWORD timeout = INFINITE;
        if (deadline_) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline_ - Clock::now());
            timeout = static_cast<DWORD>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
        }
        WaitForEvents(timeout);
    }

private:
    std::chrono::milliseconds interval_{0};
    std::optional<Clock::time_point> deadline_;
};

} // namespace

std::unique_ptr<ReplyTimer> MakeReplyTimer()
{
    return std::make_unique<WinReplyTimer>();
}

} // namespace vantelo
