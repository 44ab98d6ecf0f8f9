#include "platform/SystemReplyTimer.h"
#include "platform/WinEventWait.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMetaObject>

#include <chrono>
#include <thread>

#include <windows.h>

namespace vantelo {
namespace {

using namespace std::chrono_literals;

enum class Waker { Nothing, WatchedEvent, PostedCall };

// A 500 ms wait of the protocol on the real timer, which each waker ends
// after 50 ms, as received bytes or the station's stop would; the waits in
// between sleep.
TEST(ReplyTimer, AWaitEndsAtItsDeadlineOrAtWhatWakesTheThread)
{
    int argc = 1;
    char name[] = "reply_timer_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool woken = false;
    WatchEvent(event, [&] {
        ResetEvent(event);
        woken = true;
    });
    const auto timer = MakeReplyTimer();
    timer->Interval(500);

    const struct {
        Waker waker;
        std::chrono::milliseconds lasts;
    } cases[] = {{Waker::Nothing, 500ms}, {Waker::WatchedEvent, 50ms}, {Waker::PostedCall, 50ms}};
    for (const auto& [waker, lasts] : cases) {
        woken = false;
        std::thread wake([&] {
            std::this_thread::sleep_for(50ms);
            if (waker == Waker::WatchedEvent)
                SetEvent(event);
            else if (waker == Waker::PostedCall)
                QMetaObject::invokeMethod(&app, [&] { woken = true; }, Qt::QueuedConnection);
        });
        const auto start = std::chrono::steady_clock::now();
        timer->Enabled(true);
        int waits = 0;
        for (; timer->Enabled() && !woken; ++waits)
            timer->ProcessEvents();
        const auto took = std::chrono::steady_clock::now() - start;
        wake.join();
        SCOPED_TRACE(static_cast<int>(waker));
        EXPECT_GE(took, lasts);
        EXPECT_LT(took, lasts + 100ms);
        EXPECT_LE(waits, 3);
    }
    UnwatchEvent(event);
    CloseHandle(event);
}

} // namespace
} // namespace vantelo
