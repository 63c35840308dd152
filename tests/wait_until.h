// Shared by the GUI tests: runs the event loop until a condition holds.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

namespace test_support {

// Runs the event loop until the condition holds or the deadline passes;
// returns the condition.
inline bool WaitUntil(const std::function<bool()>& condition, int deadlineMs = 2000) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > deadlineMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

}  // namespace test_support
