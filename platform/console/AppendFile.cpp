#include "platform/console/AppendFile.h"

#include <QFile>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vantelo {

#ifdef _WIN32

namespace {

std::string LastError()
{
    wchar_t text[256] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(), 0, text, 256,
                   nullptr);
    return QString::fromWCharArray(text).trimmed().toStdString();
}

} // namespace

AppendFile::~AppendFile()
{
    if (handle_)
        CloseHandle(handle_);
}

bool AppendFile::Open(const QString& path, std::string& error)
{
    // FILE_APPEND_DATA alone: every write goes to the end, whoever else appends.
    const HANDLE handle =
        CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), FILE_APPEND_DATA,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = LastError();
        return false;
    }
    handle_ = handle;
    return true;
}

bool AppendFile::Append(std::string_view text, std::string& error)
{
    DWORD written = 0;
    if (!WriteFile(handle_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size() || !FlushFileBuffers(handle_)) {
        error = LastError();
        return false;
    }
    return true;
}

#else

AppendFile::~AppendFile()
{
    if (fd_ >= 0)
        close(fd_);
}

bool AppendFile::Open(const QString& path, std::string& error)
{
    fd_ = open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        error = std::strerror(errno);
    return fd_ >= 0;
}

bool AppendFile::Append(std::string_view text, std::string& error)
{
    const off_t end = lseek(fd_, 0, SEEK_END);
    ssize_t written;
    do
        written = write(fd_, text.data(), text.size());
    while (written < 0 && errno == EINTR);
    if (written < 0) {
        error = std::strerror(errno);
        return false;
    }
    if (static_cast<std::size_t>(written) != text.size()) {
        // A full disk took part of it: take that part back.
        const bool takenBack = end >= 0 && ftruncate(fd_, end) == 0;
        error = takenBack ? "the disk is full" : "the disk is full; part of a line is left at the end";
        return false;
    }
    if (fsync(fd_) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

#endif

} // namespace vantelo
