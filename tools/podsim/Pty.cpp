#include "Pty.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <iterator>
#include <system_error>

#include <fcntl.h>
#include <sys/ioctl.h>
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
        Check(tcgetattr(slave_, &raw_) == 0, "tcgetattr"); // as the pty keeps them
    } catch (...) {
        Close();
        throw;
    }
}

bool Pty::RestoreSettings()
{
    termios now{};
    if (slave_ < 0 || tcgetattr(slave_, &now) != 0)
        return false;
    tcflush(slave_, TCIOFLUSH);
    ioctl(slave_, TIOCNXCL); // Qt's exclusive use ends at its close, which never came
    const bool same = now.c_iflag == raw_.c_iflag && now.c_oflag == raw_.c_oflag && now.c_cflag == raw_.c_cflag &&
                      now.c_lflag == raw_.c_lflag &&
                      std::equal(std::begin(now.c_cc), std::end(now.c_cc), std::begin(raw_.c_cc));
    if (same)
        return false;
    Check(tcsetattr(slave_, TCSANOW, &raw_) == 0, "tcsetattr");
    return true;
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
