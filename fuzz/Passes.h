#pragma once

#include "WatchedPort.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace vantelo::fuzz {

// How one item of a pass fared: its attempts, and whether the last was acknowledged.
struct ItemTries {
    int attempts = 0;
    bool acknowledged = false;
};
using Pass = std::optional<std::vector<ItemTries>>;

// The payload of item n of a pass: a block, a secondary byte, a restart.
using PayloadOf = std::function<std::vector<std::uint8_t>(std::size_t n)>;

// The items 0, 1, ... that the attempts carried, each repeated exactly while
// it went unacknowledged; nothing when the attempts break that order.
Pass PassOf(std::span<const Attempt> attempts, std::uint8_t command, std::size_t items,
            const PayloadOf& payloadOf);

// Every item acknowledged, none after more than four attempts.
bool CompletePass(const Pass& pass, std::size_t items);
// Items acknowledged in order until one went unacknowledged four times.
bool FailedPass(const Pass& pass);

// The runs of attempts around those of the given command: one run more than
// there are attempts at it.
std::vector<std::span<const Attempt>> SplitAt(std::span<const Attempt> attempts,
                                              std::uint8_t command);

} // namespace vantelo::fuzz
