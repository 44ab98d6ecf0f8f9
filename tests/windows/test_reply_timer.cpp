#include "platform/serial/SystemReplyTimer.h"
#include "platform/serial/WinEventWait.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <chrono>
#include <functional>
#include <thread>

#include <windows.h>

namespace vantelo {
namespace {

using namespace std::chrono_literals;

// A 500 ms wait of the protocol on the real timer ends at its deadline, or
// 50 ms in at what wakes the thread (received bytes, the station's stop),
// sleeping in between.
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
    const std::pair<std::function<void()>, std::chrono::milliseconds> cases[] = {{[] {}, 500ms},
                                                                                 {[&] { SetEvent(event); }, 50ms},
                                                                                 {[&] {
                                                                                      QMetaObject::invokeMethod(
                                                                                          &app, [&] { woken = true; },
                                                                                          Qt::QueuedConnection);
                                                                                  },
                                                                                  50ms}};
    for (const auto& [wake, lasts] : cases) {
        woken = false;
        std::thread waker([&] {
            std::this_thread::sleep_for(50ms);
            wake();
        });
        const auto start = std::chrono::steady_clock::now();
        int waits = 0;
        for (timer->Enabled(true); timer->Enabled() && !woken; ++waits)
            timer->ProcessEvents();
        const auto took = std::chrono::steady_clock::now() - start;
        waker.join();
        EXPECT_GE(took, lasts);
        EXPECT_LT(took, lasts + 100ms);
        EXPECT_LE(waits, 3);
    }
    UnwatchEvent(event);
    CloseHandle(event);
}

} // namespace
} // namespace vantelo
