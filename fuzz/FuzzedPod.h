#pragma once

#include "sim/Pod.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>

namespace vantelo::fuzz {

// What a pod may answer with; make_seeds.py writes answers in the same terms.
inline constexpr std::array<std::int32_t, 8> AnswerRates = {110,   2400,  4800,  9600,
                                                            14400, 19200, 28800, 38400};
inline constexpr int MaxAnswerDelayMs = 600;
inline constexpr std::size_t MaxAnswerBytes = 16;

// A pod that answers whatever the fuzzer's input says: to each byte it
// receives, nothing or some bytes, late or not, at any rate. It falls silent
// when the input runs out.
class FuzzedPod final : public sim::Device {
public:
    explicit FuzzedPod(FuzzedDataProvider& script) : script_(script) {}

    std::vector<sim::Transmission> Receive(const sim::WireByte& byte) override;

private:
    FuzzedDataProvider& script_;
};

} // namespace vantelo::fuzz
