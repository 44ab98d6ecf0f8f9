#include "station/StationRun.h"

#include "station/PortThread.h"
#include "station/StatusBoard.h"

namespace vantelo::station {

StationRun::StationRun(const PodCatalogue& podTypes, const StationJob& job, const std::vector<StationPort>& ports,
                       StatusBoard& board, RecordFile& record)
    : board_(board)
{
    for (std::size_t i = 0; i < ports.size(); ++i) {
        auto& thread = threads_.emplace_back(std::make_unique<PortThread>(
            PortContext{podTypes, job, ports[i], static_cast<int>(i), board, record, control_}));
        connect(thread.get(), &QThread::finished, this, [this] {
            if (--running_ == 0)
                emit Finished();
        });
    }
}

StationRun::~StationRun()
{
    StopAtOnce();
    for (const auto& thread : threads_)
        thread->wait();
}

void StationRun::Start()
{
    for (const auto& thread : threads_) {
        ++running_;
        thread->start();
    }
}

bool StationRun::Stop()
{
    if (!control_.stopTaking.exchange(true))
        return true;
    StopAtOnce();
    return false;
}

void StationRun::StopAtOnce()
{
    control_.stopTaking = true;
    if (control_.abort.exchange(true) || running_ == 0)
        return;
    board_.Note(QStringLiteral("Stopping at once."));
    for (const auto& thread : threads_)
        thread->WakeUp();
}

} // namespace vantelo::station
