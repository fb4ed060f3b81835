// Waiting for what the window system does in its own time (focus, showing,
// resizing). Qt's QTRY macros report to Qt's test logger, which GoogleTest
// never reads, so their failures would pass unnoticed; this reports through
// the caller's EXPECT or ASSERT instead.
#pragma once

#include <QTest>

namespace varnoke::test {

// True once the condition holds; false when it still does not after the
// time, the event loop running meanwhile.
template <typename TCondition> bool Eventually(TCondition condition, int milliseconds = 2000) {
    return QTest::qWaitFor(condition, milliseconds);
}

} // namespace varnoke::test
