#include "platform/console/Console.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cstdio>

namespace vantelo {

#ifdef _WIN32

namespace {
InterruptNotifier* notifier = nullptr;
// Set once the program's records are written. Never closed: a handler may
// still wait on it while the process ends.
HANDLE finished = nullptr;
// Windows ends the process 5 s after a close event reaches the handler.
constexpr DWORD CloseGrace = 4500;

BOOL WINAPI OnControl(DWORD event)
{
    // The console calls this on a thread of its own.
    switch (event) {
    case CTRL_C_EVENT:
        QMetaObject::invokeMethod(notifier, &InterruptNotifier::Interrupted, Qt::QueuedConnection);
        return TRUE;
    case CTRL_BREAK_EVENT:
        QMetaObject::invokeMethod(notifier, &InterruptNotifier::Terminated, Qt::QueuedConnection);
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // The process ends when this returns: not before the records are written.
        QMetaObject::invokeMethod(notifier, &InterruptNotifier::Terminated, Qt::QueuedConnection);
        WaitForSingleObject(finished, CloseGrace);
        return TRUE;
    default:
        return FALSE;
    }
}
} // namespace

bool StandardOutputIsTerminal()
{
    if (!_isatty(_fileno(stdout)))
        return false;
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    return GetConsoleMode(out, &mode) && SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

void WriteText(std::FILE* file, const QString& text)
{
    std::fflush(file);
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        const std::wstring wide = text.toStdWString();
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), file);
    std::fflush(file);
}

InterruptNotifier::InterruptNotifier()
{
    notifier = this;
    if (!finished)
        finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnControl, TRUE);
}

InterruptNotifier::~InterruptNotifier()
{
    Finished();
    SetConsoleCtrlHandler(OnControl, FALSE);
    notifier = nullptr;
}

void InterruptNotifier::Finished()
{
    if (finished)
        SetEvent(finished);
}

#else

namespace {
// The handler may only write to a pipe; the notifier reads it in its thread.
int pipeEnds[2] = {-1, -1};
constexpr char Interrupt = 1;
constexpr char Terminate = 2;
constexpr int Stops[] = {SIGINT, SIGTERM, SIGHUP};

void OnSignal(int number)
{
    const int saved = errno; // the interrupted code may be about to read it
    const char stop = number == SIGINT ? Interrupt : Terminate;
    [[maybe_unused]] const ssize_t written = write(pipeEnds[1], &stop, 1);
    errno = saved;
}
} // namespace

bool StandardOutputIsTerminal()
{
    return isatty(fileno(stdout)) == 1;
}

void WriteText(std::FILE* file, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), file);
    std::fflush(file);
}

InterruptNotifier::InterruptNotifier()
{
    std::signal(SIGPIPE, SIG_IGN);
    if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the signals then end the program as they do by default
    auto* reader = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(reader, &QSocketNotifier::activated, this, [this] {
        char stops[16];
        const ssize_t n = read(pipeEnds[0], stops, sizeof stops);
        for (ssize_t i = 0; i < n; ++i) {
            if (stops[i] == Interrupt)
                emit Interrupted();
            else
                emit Terminated();
        }
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int stop : Stops)
        sigaction(stop, &action, nullptr);
}

InterruptNotifier::~InterruptNotifier()
{
    for (const int stop : Stops)
        std::signal(stop, SIG_DFL);
    if (pipeEnds[0] >= 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        pipeEnds[0] = pipeEnds[1] = -1;
    }
}

void InterruptNotifier::Finished() {}

#endif

} // namespace vantelo
