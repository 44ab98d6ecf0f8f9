#include "EventLoop.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <system_error>
#include <vector>

#include <poll.h>
#include <sys/prctl.h>

namespace vantelo::podsim {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int)
{
    stopRequested = 1;
}

// Blocks the stop signals, which then arrive only while ppoll sleeps with the
// returned mask: a signal cannot slip in between the check and the sleep.
sigset_t CatchStopSignals()
{
    sigset_t stops;
    sigemptyset(&stops);
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaddset(&stops, signal);
        sigaction(signal, &action, nullptr);
    }
    sigset_t sleeping;
    sigprocmask(SIG_BLOCK, &stops, &sleeping);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigdelset(&sleeping, signal);
    return sleeping;
}

timespec Duration(sim::Nanos nanos)
{
    constexpr sim::Nanos Second = 1'000'000'000;
    return {static_cast<time_t>(nanos / Second), static_cast<long>(nanos % Second)};
}

} // namespace

sim::Nanos MonotonicNow()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return sim::Nanos{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

void Serve(std::deque<WirePort>& ports)
{
    // Answer bytes are due to the microsecond; the default 50 us slack of
    // timed sleeps would make every one of them late.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    const sigset_t sleeping = CatchStopSignals();

    // Each port's master, then the watch on its slave.
    std::vector<pollfd> polled;
    for (const WirePort& port : ports) {
        polled.push_back({port.pty().master(), POLLIN, 0});
        polled.push_back({port.watch().fd(), POLLIN, 0});
    }

    while (!stopRequested) {
        sim::Nanos now = MonotonicNow();
        std::optional<sim::Nanos> next;
        for (WirePort& port : ports) {
            port.RunDue(now);
            if (const auto due = port.NextDue())
                next = next ? std::min(*next, *due) : *due;
        }
        const timespec wait = Duration(next ? std::max<sim::Nanos>(*next - now, 0) : 0);
        if (ppoll(polled.data(), polled.size(), next ? &wait : nullptr, &sleeping) < 0) {
            if (errno == EINTR)
                continue;
            throw std::system_error(errno, std::generic_category(), "ppoll");
        }
        now = MonotonicNow();
        for (std::size_t i = 0; i < ports.size(); ++i) {
            pollfd& master = polled[2 * i];
            pollfd& watch = polled[2 * i + 1];
            if (master.revents & (POLLERR | POLLHUP | POLLNVAL))
                throw std::system_error(EIO, std::generic_category(), "pty of COM" + std::to_string(ports[i].number()));
            if (master.revents & POLLIN)
                ports[i].ReadAvailable(now);
            if (watch.revents & POLLIN)
                ports[i].ProgramOpenedOrClosed(now);
            if (ports[i].Unplugged())
                master.fd = watch.fd = -1; // poll passes over them from now on
        }
    }
}

} // namespace vantelo::podsim
