#pragma once

#include "station/PortRunner.h"
#include "station/StationControl.h"

#include <QObject>

#include <memory>
#include <vector>

namespace vantelo::station {

class PortThread;

// The ports' threads of one run of the station, as either front end starts
// and stops them. Lives in the thread that made it, whose events it needs.
class StationRun final : public QObject {
    Q_OBJECT
public:
    // Every port reports on `board` line `i` for `ports[i]`; all of it must
    // outlive the run.
    StationRun(const PodCatalogue& podTypes, const StationJob& job, const std::vector<StationPort>& ports,
               StatusBoard& board, RecordFile& record);
    // Stops at once, and waits for the ports' threads, which end promptly.
    ~StationRun() override;

    void Start();
    // The first stop takes no new pods and lets those being written finish,
    // and says true; any later one stops at once.
    bool Stop();
    void StopAtOnce();

    const StationControl& Control() const { return control_; }

signals:
    // Every port's thread has ended.
    void Finished();

private:
    StatusBoard& board_;
    StationControl control_;
    std::vector<std::unique_ptr<PortThread>> threads_;
    int running_ = 0;
};

} // namespace vantelo::station
