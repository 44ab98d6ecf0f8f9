#pragma once

#include "station/PortRunner.h"

#include <QThread>

#include <mutex>

namespace vantelo::station {

// A port's runner on a thread of its own, with its own serial port and reply
// timer, whose waits handle that thread's events only.
class PortThread final : public QThread {
public:
    explicit PortThread(const PortContext& context) : context_(context) {}

    // After the control's abort is set: ends the thread's current wait.
    void WakeUp();

protected:
    void run() override;

private:
    PortContext context_;
    // The thread's event dispatcher lives only while run() does.
    std::mutex mutex_;
    bool running_ = false;
};

} // namespace vantelo::station
