#pragma once

#include "station/PortRunner.h"

#include <QThread>

namespace vantelo::station {

// A port's runner on a thread of its own, with its own serial port and reply
// timer, whose waits handle that thread's events only.
class PortThread final : public QThread {
public:
    PortThread(const PodCatalogue& podTypes, const StationJob& job, const StationPort& where, int index,
               StatusBoard& board, RecordFile& record, StationControl& control);

    // After the control's abort is set: ends the thread's current wait.
    void WakeUp();

protected:
    void run() override;

private:
    const PodCatalogue& podTypes_;
    const StationJob& job_;
    StationPort where_;
    int index_;
    StatusBoard& board_;
    RecordFile& record_;
    StationControl& control_;
};

} // namespace vantelo::station
