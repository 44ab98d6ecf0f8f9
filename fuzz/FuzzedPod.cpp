#include "FuzzedPod.h"

namespace vantelo::fuzz {

std::vector<sim::Transmission> FuzzedPod::Receive(const sim::WireByte&)
{
    if (!script_.ConsumeBool())
        return {};
    const int delayMs = script_.ConsumeIntegralInRange(0, MaxAnswerDelayMs);
    const std::int32_t baud = script_.PickValueInArray(AnswerRates);
    const std::size_t length = script_.ConsumeIntegralInRange<std::size_t>(0, MaxAnswerBytes);
    return {{delayMs * sim::Millisecond, baud, script_.ConsumeBytes<std::uint8_t>(length)}};
}

} // namespace vantelo::fuzz
