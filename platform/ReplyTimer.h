#pragma once

namespace vantelo {

// The reply timer Timer1 together with the window's event processing: every
// timed wait of the serial routines is built on these four operations.
class ReplyTimer {
public:
    virtual ~ReplyTimer() = default;

    virtual void Interval(int milliseconds) = 0;
    virtual void Enabled(bool running) = 0;
    virtual bool Enabled() const = 0;
    // Handles pending window events, sleeping until there is one: a timer
    // tick, received bytes or user input. Never returns without blocking
    // or handling something, so a loop around it does not spin.
    virtual void ProcessEvents() = 0;
};

} // namespace vantelo
