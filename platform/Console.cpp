#include "platform/Console.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cstdio>

namespace vantelo {

#ifdef _WIN32

namespace {
InterruptNotifier* notifier = nullptr;

BOOL WINAPI OnControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    // The console calls this on a thread of its own.
    QMetaObject::invokeMethod(notifier, &InterruptNotifier::Interrupted, Qt::QueuedConnection);
    return TRUE;
}
} // namespace

bool StandardOutputIsTerminal()
{
    if (!_isatty(_fileno(stdout)))
        return false;
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    return GetConsoleMode(out, &mode) &&
           SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

InterruptNotifier::InterruptNotifier()
{
    notifier = this;
    SetConsoleCtrlHandler(OnControl, TRUE);
}

InterruptNotifier::~InterruptNotifier()
{
    SetConsoleCtrlHandler(OnControl, FALSE);
    notifier = nullptr;
}

#else

namespace {
// The handler may only write to a pipe; the notifier reads it in its thread.
int pipeEnds[2] = {-1, -1};

void OnInterrupt(int)
{
    const char press = 1;
    [[maybe_unused]] const ssize_t written = write(pipeEnds[1], &press, 1);
}
} // namespace

bool StandardOutputIsTerminal()
{
    return isatty(fileno(stdout)) == 1;
}

InterruptNotifier::InterruptNotifier()
{
    if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // Ctrl-C then ends the program as it does by default
    auto* reader = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(reader, &QSocketNotifier::activated, this, [this] {
        char presses[16];
        for (ssize_t n = read(pipeEnds[0], presses, sizeof presses); n > 0; --n)
            emit Interrupted();
    });
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

InterruptNotifier::~InterruptNotifier()
{
    std::signal(SIGINT, SIG_DFL);
    if (pipeEnds[0] >= 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        pipeEnds[0] = pipeEnds[1] = -1;
    }
}

#endif

} // namespace vantelo
