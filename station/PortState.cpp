#include "station/PortState.h"

namespace vantelo::station {

Totals& Totals::operator+=(const Totals& other)
{
    for (std::size_t i = 0; i < counts.size(); ++i)
        counts[i] += other.counts[i];
    return *this;
}

std::optional<double> Totals::Yield() const
{
    const int programmed = (*this)[PodResult::Programmed];
    const int finished = programmed + (*this)[PodResult::Failed] + (*this)[PodResult::Interrupted];
    if (finished == 0)
        return std::nullopt;
    return double(programmed) / finished;
}

bool NeedsHand(PortPhase phase)
{
    return phase == PortPhase::TakeOff || phase == PortPhase::Changed || phase == PortPhase::Ready ||
           phase == PortPhase::Unopened || phase == PortPhase::Halted;
}

} // namespace vantelo::station
