#include "Pty.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <system_error>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace vantelo::podsim {

namespace {

void Check(bool ok, const char* what)
{
    if (!ok)
        throw std::system_error(errno, std::generic_category(), what);
}

} // namespace

Pty::Pty()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    Check(master_ >= 0, "posix_openpt");
    try {
        Check(grantpt(master_) == 0, "grantpt");
        Check(unlockpt(master_) == 0, "unlockpt");
        std::array<char, 128> name{};
        Check(ptsname_r(master_, name.data(), name.size()) == 0, "ptsname");
        slavePath_ = name.data();
        slave_ = open(name.data(), O_RDWR | O_NOCTTY);
        Check(slave_ >= 0, "open pty slave");
        // Raw from the start: nothing the pod sends may be echoed or translated
        // before the program has set the port up. (The master's own settings
        // are raw already; termios calls on it would reach the slave's too.)
        termios settings{};
        Check(tcgetattr(slave_, &settings) == 0, "tcgetattr");
        cfmakeraw(&settings);
        Check(tcsetattr(slave_, TCSANOW, &settings) == 0, "tcsetattr");
    } catch (...) {
        Close();
        throw;
    }
}

Pty::~Pty()
{
    Close();
}

void Pty::Close()
{
    if (slave_ >= 0)
        close(slave_);
    if (master_ >= 0)
        close(master_);
    slave_ = master_ = -1;
}

} // namespace vantelo::podsim
