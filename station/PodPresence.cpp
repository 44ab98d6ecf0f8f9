#include "station/PodPresence.h"

namespace vantelo::station {

bool PodPresence::Answered(int type, const QString& version, Time began)
{
    silentPolls_ = 0;
    if (!pod_) {
        pod_ = Held{type, version};
        changed_ = false;
        answeredSinceRestart_ = true;
        return true;
    }
    // Only a poll that began after the restart heard the pod since.
    if (began >= restarted_)
        answeredSinceRestart_ = true;
    if (pod_->type < 0)
        *pod_ = Held{type, version};
    else if (type != pod_->type || version != pod_->version)
        changed_ = true;
    return false;
}

void PodPresence::Restarted(Time when)
{
    restarted_ = when;
    answeredSinceRestart_ = false;
    silentPolls_ = 0;
}

void PodPresence::Silent(Time began)
{
    if (!pod_) {
        seenEmpty_ = true;
        return;
    }
    if (!Settled(began))
        return;
    if (++silentPolls_ < 2)
        return;
    pod_.reset();
    seenEmpty_ = true;
    silentPolls_ = 0;
}

void PodPresence::Forget()
{
    pod_.reset();
    silentPolls_ = 0;
}

bool PodPresence::Settled(Time when) const
{
    return answeredSinceRestart_ || when - restarted_ >= bootLimit_;
}

std::optional<PodPresence::Time> PodPresence::LimitAt() const
{
    if (!pod_ || answeredSinceRestart_)
        return std::nullopt;
    return restarted_ + bootLimit_;
}

PortPhase PodPresence::Phase(Time now) const
{
    if (!pod_)
        return seenEmpty_ ? PortPhase::Ready : PortPhase::Searching;
    if (changed_)
        return PortPhase::Changed;
    return Settled(now) ? PortPhase::TakeOff : PortPhase::Restarting;
}

} // namespace vantelo::station
