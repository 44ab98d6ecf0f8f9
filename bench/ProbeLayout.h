#pragma once

#include <array>
#include <cstdint>

namespace vantelo::bench {

enum class PortKind { Missing, Empty, Pod };

struct BenchPort {
    int number = 0;
    PortKind kind = PortKind::Empty;
    std::uint8_t reply = 0;   // identification byte of the pod
    std::int32_t podBaud = 0; // rate at which the pod answers the probe
};

inline constexpr std::uint8_t PodMajor = 1;
inline constexpr std::uint8_t PodMinor = 12;

// The probe benchmark's four ports: a type 1 pod found at the second rate
// tried, a missing port, a port where nobody answers any rate, and a type 13
// pod at the last rate.
inline constexpr std::array<BenchPort, 4> ProbePorts{{
    {1, PortKind::Pod, 0x22, 38400},
    {2, PortKind::Missing},
    {3, PortKind::Empty},
    {4, PortKind::Pod, 0xDD, 2400},
}};

} // namespace vantelo::bench
