#include "gui/BusyCursor.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>

namespace fw {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kBusyAfter = std::chrono::milliseconds(300);
constexpr qint64 kRepaintEveryMs = 100;

struct BusyState {
    int depth = 0;
    Clock::time_point start;
    bool shown = false;
    bool watching = false;  // the event loop's waits are watched
    QElapsedTimer lastRepaint;
    qint64 repaintMs = 0;  // how long the last repaint took
};

BusyState& State() {
    static BusyState state;
    return state;
}

bool HaveWidgets() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

void Hide() {
    BusyState& s = State();
    if (!s.shown) return;
    s.shown = false;
    QApplication::restoreOverrideCursor();
}

void Show() {
    BusyState& s = State();
    if (s.shown || !HaveWidgets()) return;
    s.shown = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

// An event loop that waits inside a handler (a modal dialog) waits for the
// user: no wait cursor meanwhile, and the busy time starts again after.
void WatchWaits() {
    BusyState& s = State();
    if (s.watching) return;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher || !QCoreApplication::instance()) return;
    s.watching = true;
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, QCoreApplication::instance(), [] {
        if (State().depth > 0) Hide();
    });
    QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, QCoreApplication::instance(), [] {
        if (State().depth > 0) State().start = Clock::now();
    });
    QObject::connect(dispatcher, &QObject::destroyed, [] { State().watching = false; });
}

}  // namespace

BusyScope::BusyScope() {
    BusyState& s = State();
    if (s.depth++ > 0) return;
    s.start = Clock::now();
    WatchWaits();
}

BusyScope::~BusyScope() {
    if (--State().depth == 0) Hide();
}

void BusyCheck() {
    const BusyState& s = State();
    if (s.depth == 0 || s.shown) return;
    if (Clock::now() - s.start >= kBusyAfter) Show();
}

void BusyExpected() {
    if (State().depth > 0) Show();
}

bool BusyCursorShown() { return State().shown; }

void BusyYield() {
    BusyCheck();
    BusyState& s = State();
    if (s.lastRepaint.isValid() && s.lastRepaint.elapsed() < std::max(kRepaintEveryMs, 10 * s.repaintMs)) return;
    if (!HaveWidgets()) return;
    QElapsedTimer took;
    took.start();
    // repaint() paints at once through a direct paint event and flushes the
    // window; nothing is taken from the event queue.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) w->repaint();
    s.repaintMs = took.elapsed();
    s.lastRepaint.start();
}

}  // namespace fw
