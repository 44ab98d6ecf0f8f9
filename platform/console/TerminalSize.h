#pragma once

namespace vantelo {

struct TerminalSize {
    int columns = 80;
    int rows = 24;
};

// The size of the terminal standard output shows on, read afresh each call
// so that a resized window is followed; 80 × 24 when it cannot be read.
TerminalSize StandardOutputTerminalSize();

} // namespace vantelo
