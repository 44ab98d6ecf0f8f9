#include "Passes.h"

#include "OperationBounds.h"

#include <algorithm>

namespace vantelo::fuzz {

namespace {

bool NoneOverdone(const std::vector<ItemTries>& items)
{
    return std::ranges::all_of(items, [](const ItemTries& i) { return i.attempts <= MaxAttempts; });
}

} // namespace

Pass PassOf(std::span<const Attempt> attempts, std::uint8_t command, std::size_t items,
            const PayloadOf& payloadOf)
{
    std::vector<ItemTries> pass;
    for (const Attempt& attempt : attempts) {
        const bool retry = !pass.empty() && !pass.back().acknowledged;
        const std::size_t item = retry ? pass.size() - 1 : pass.size();
        if (attempt.command != command || item == items || attempt.payload != payloadOf(item))
            return std::nullopt;
        if (!retry)
            pass.emplace_back();
        ++pass.back().attempts;
        pass.back().acknowledged = attempt.Acknowledged();
    }
    return pass;
}

bool CompletePass(const Pass& pass, std::size_t items)
{
    return pass && pass->size() == items && NoneOverdone(*pass) &&
           (pass->empty() || pass->back().acknowledged);
}

bool FailedPass(const Pass& pass)
{
    return pass && !pass->empty() && NoneOverdone(*pass) &&
           pass->back().attempts == MaxAttempts && !pass->back().acknowledged;
}

std::vector<std::span<const Attempt>> SplitAt(std::span<const Attempt> attempts,
                                              std::uint8_t command)
{
    std::vector<std::span<const Attempt>> runs;
    for (;;) {
        const auto at = std::ranges::find(attempts, command, &Attempt::command);
        const auto before = static_cast<std::size_t>(at - attempts.begin());
        runs.push_back(attempts.first(before));
        if (at == attempts.end())
            return runs;
        attempts = attempts.subspan(before + 1);
    }
}

} // namespace vantelo::fuzz
