#pragma once

#include <QDeadlineTimer>
#include <QTest>

#include <chrono>
#include <functional>

namespace vantelo::testing {

// Runs the event loop until `done` holds, for `time` at most; says whether it held.
inline bool Within(const std::function<bool()>& done, std::chrono::milliseconds time)
{
    const QDeadlineTimer deadline(time);
    while (!done() && !deadline.hasExpired())
        QTest::qWait(20);
    return done();
}

} // namespace vantelo::testing
