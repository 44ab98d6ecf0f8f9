#include "platform/serial/WinEventWait.h"

#include <QCoreApplication>

#include <algorithm>
#include <vector>

#include <windows.h>

namespace vantelo {

namespace {

struct Watched {
    std::vector<HANDLE> events;
    std::vector<std::function<void()>> handlers;
};

// A port is opened, used and closed on one thread: its own list.
thread_local Watched watched;

} // namespace

void WatchEvent(void* event, std::function<void()> handler)
{
    watched.events.push_back(event);
    watched.handlers.push_back(std::move(handler));
}

void UnwatchEvent(void* event)
{
    const auto at = std::find(watched.events.begin(), watched.events.end(), event);
    if (at == watched.events.end())
        return;
    watched.handlers.erase(watched.handlers.begin() + (at - watched.events.begin()));
    watched.events.erase(at);
}

void WaitForEvents(unsigned long milliseconds)
{
    const auto count = static_cast<DWORD>(watched.events.size());
    // As Qt's own wait: every kind of message, queued completion routines too.
    const DWORD woke = MsgWaitForMultipleObjectsEx(count, watched.events.data(), milliseconds, QS_ALLINPUT,
                                                   MWMO_ALERTABLE | MWMO_INPUTAVAILABLE);
    if (woke < WAIT_OBJECT_0 + count) {
        // A copy: the handler may unwatch its event (a lost port closes).
        const auto handler = watched.handlers[woke - WAIT_OBJECT_0];
        handler();
    } else if (woke == WAIT_OBJECT_0 + count) {
        QCoreApplication::processEvents();
    }
}

} // namespace vantelo
