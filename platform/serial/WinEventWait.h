#pragma once

#include <functional>

namespace vantelo {

// Windows: one wait of the thread for whatever may end a protocol wait. It
// ends at window messages, at the time-out and at the events watched on this
// thread (a serial port's read ending), so that neither a timer nor a
// notifier has to wake it: under wine each of those costs trips to its
// server.

// The handler runs on this thread when a wait ends at the event; it must
// reset the event (or unwatch it), or the next wait ends at once.
void WatchEvent(void* event, std::function<void()> handler);
void UnwatchEvent(void* event);

// Sleeps until a watched event is set, a message comes or the time-out
// passes (INFINITE: none), then runs the event's handler or handles the
// pending messages and posted events.
void WaitForEvents(unsigned long milliseconds);

} // namespace vantelo
