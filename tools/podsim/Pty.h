#pragma once

#include <string>

#include <termios.h>

namespace vantelo::podsim {

// A pseudo-terminal pair: the program opens the slave by its path, podsim
// reads and writes the non-blocking master. podsim keeps a slave descriptor
// of its own open, so the master never sees a hang-up while the program has
// the port closed.
class Pty {
public:
    Pty(); // throws std::system_error
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    int master() const { return master_; }
    // Closes both ends podsim holds: the program's side of the port fails.
    void Close();
    const std::string& slavePath() const { return slavePath_; }
    // Puts back the raw settings the pty was made with, ends exclusive use
    // and drops what is waiting in it: for the program after one that died
    // without tidying up. Returns whether the settings had been changed.
    bool RestoreSettings();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    termios raw_{};
};

} // namespace vantelo::podsim
