#pragma once

#include "platform/ReplyTimer.h"

#include <QTimer>

namespace vantelo {

// The reply timer as a precise Qt timer whose tick stops it; waiting sleeps
// in the event loop until a tick, received bytes or user input (not on
// Windows: WinReplyTimer).
class LinuxReplyTimer final : public ReplyTimer {
public:
    LinuxReplyTimer();

    void Interval(int milliseconds) override;
    void Enabled(bool running) override;
    bool Enabled() const override;
    void ProcessEvents() override;

private:
    QTimer timer_;
};

} // namespace vantelo
