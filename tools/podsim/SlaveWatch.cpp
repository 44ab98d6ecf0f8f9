#include "SlaveWatch.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>

#include <sys/inotify.h>
#include <unistd.h>

namespace vantelo::podsim {

SlaveWatch::SlaveWatch(const std::string& slavePath)
{
    // Opened after podsim's own descriptor of the slave, which is not counted.
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0)
        throw std::system_error(errno, std::generic_category(), "inotify_init1");
    if (inotify_add_watch(fd_, slavePath.c_str(), IN_OPEN | IN_CLOSE) < 0) {
        const int error = errno;
        close(fd_);
        throw std::system_error(error, std::generic_category(), "inotify_add_watch " + slavePath);
    }
}

SlaveWatch::~SlaveWatch()
{
    close(fd_);
}

bool SlaveWatch::AllClosed()
{
    alignas(inotify_event) std::array<char, 4096> buffer;
    bool closed = false;
    for (;;) {
        const ssize_t count = read(fd_, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return closed && open_ == 0;
        for (ssize_t at = 0; at < count;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
            if (event->mask & IN_OPEN)
                ++open_;
            if (event->mask & IN_CLOSE) {
                open_ = std::max(open_ - 1, 0);
                closed = true;
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

} // namespace vantelo::podsim
