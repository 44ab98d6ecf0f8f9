#pragma once

#include "platform/serial/LineSettings.h"

namespace vantelo::podsim {

// The line settings the program last gave its end of the pty, read through
// the master. The pty driver clears PARENB but keeps PARODD and CSTOPB, which
// is enough to tell apart the three framings the program uses: odd parity
// (command bytes), even parity (payload), and no parity with two stop bits.
LineSettings ProgramSettings(int masterFd);

} // namespace vantelo::podsim
