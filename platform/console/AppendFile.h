#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace vantelo {

// A file that only grows: each Append is one write at its end, on disk before
// Append returns, so a reader (or a crash) never sees half of it.
class AppendFile {
public:
    AppendFile() = default;
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Opens or creates the file; false with `error` set when it cannot.
    bool Open(const QString& path, std::string& error);
    bool Append(std::string_view text, std::string& error);

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

} // namespace vantelo
