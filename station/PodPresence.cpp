#include "station/PodPresence.h"

namespace vantelo::station {

bool PodPresence::Answered(Time when)
{
    silentPolls_ = 0;
    heard_ = when;
    const bool isNew = !taken_;
    taken_ = true;
    return isNew;
}

bool PodPresence::Silent(Time began)
{
    if (!taken_)
        return false;
    if (++silentPolls_ < 2 || began - heard_ < EmptyAfter)
        return false;
    taken_ = false;
    silentPolls_ = 0;
    return true;
}

} // namespace vantelo::station
