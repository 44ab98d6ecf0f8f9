#pragma once

#include <cstdio>
#include <cstdlib>

namespace vantelo::fuzz {

// A broken invariant ends the run; libFuzzer keeps the input that broke it.
inline void Require(bool holds, const char* invariant)
{
    if (holds)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", invariant);
    std::abort();
}

} // namespace vantelo::fuzz
