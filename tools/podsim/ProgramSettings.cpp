#include "ProgramSettings.h"

#include <cerrno>
#include <system_error>

// termios2, for the rate as a number; <termios.h> must stay out of this file.
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace vantelo::podsim {

LineSettings ProgramSettings(int masterFd)
{
    termios2 terminal{};
    if (ioctl(masterFd, TCGETS2, &terminal) != 0)
        throw std::system_error(errno, std::generic_category(), "TCGETS2");
    LineSettings settings;
    settings.baud = static_cast<std::int32_t>(terminal.c_ospeed);
    settings.dataBits = 8;
    if (terminal.c_cflag & CSTOPB) {
        settings.parity = Parity::None;
        settings.stopBits = 2;
    } else {
        settings.parity = terminal.c_cflag & PARODD ? Parity::Odd : Parity::Even;
        settings.stopBits = 1;
    }
    return settings;
}

} // namespace vantelo::podsim
