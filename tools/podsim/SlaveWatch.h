#pragma once

#include <string>

namespace vantelo::podsim {

// Sees the program open and close the slave end of a pty. The master cannot
// tell: podsim holds the slave open too, so a program that dies with the
// port open leaves no hang-up behind.
class SlaveWatch {
public:
    explicit SlaveWatch(const std::string& slavePath); // throws std::system_error
    ~SlaveWatch();
    SlaveWatch(const SlaveWatch&) = delete;
    SlaveWatch& operator=(const SlaveWatch&) = delete;

    // Readable when the program has opened or closed the slave.
    int fd() const { return fd_; }
    // Takes what happened; true when the program's last descriptor of the
    // slave has just been closed, whether by the program or by its death.
    bool AllClosed();

private:
    int fd_ = -1;
    int open_ = 0; // descriptors the program holds
};

} // namespace vantelo::podsim
