// Waiting for something the event loop brings about (a D-Bus answer, a file
// watcher). QTest's QTRY_ macros report a timeout to QTest's own log, which
// GoogleTest never reads: the test would go on as if it had passed. These
// waits return whether the condition came true, for ASSERT_TRUE.
#pragma once

#include <QDeadlineTimer>
#include <QTest>

namespace moonbite::testing {

/// Runs the event loop until condition() holds or timeoutMs have passed;
/// true when it holds.
template <typename Condition>
[[nodiscard]] bool waitUntil(Condition condition, int timeoutMs = 5000) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QTest::qWait(10);
    }
    return true;
}

}  // namespace moonbite::testing
