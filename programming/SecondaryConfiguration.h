#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace vantelo {

struct PodLink;

// Pod types 13 and 14 take a secondary table.
bool HasSecondaryConfiguration(std::uint8_t type_code);

// 0x00, address, value, frame checksum.
std::array<std::uint8_t, 4> SecondaryPacket(std::uint8_t address, std::uint8_t value);

// Writes one byte of the secondary table. False, after telling the user,
// when four attempts were not acknowledged.
bool SendSecondaryByte(PodLink& link, std::uint8_t address, std::uint8_t value);

// Writes the whole table, restarting and identifying the pod before each
// pass; gives up after five failures of identification or passes in all.
// For other pod types it is false at once.
bool ProgramSecondaryConfiguration(PodLink& link, std::uint8_t type_code,
                                   std::span<const std::uint8_t, 256> secondary_buffer);

} // namespace vantelo
