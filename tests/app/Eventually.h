// Waiting for what the window system does in its own time (focus, showing,
// resizing, the browser engine's loads). Qt's QTRY macros report to Qt's
// test logger, which GoogleTest never reads, so their failures would pass
// unnoticed; this reports through the caller's EXPECT or ASSERT instead.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace varnoke::test {

// True once the condition holds; false when it still does not after the
// time. The event loop runs meanwhile, blocked on its events rather than
// sleeping between rounds: the browser engine runs its tasks through this
// loop, one round each, and a sleep per round makes a page load take
// seconds.
template <typename TCondition> bool Eventually(TCondition condition, int milliseconds = 2000) {
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return condition();
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

// Lets the event loop run for a while: QTest::qWait, without the sleeps.
inline void RunEventsFor(int milliseconds) {
    Eventually([] { return false; }, milliseconds);
}

} // namespace varnoke::test
