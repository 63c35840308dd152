#include "gui/BusyCursor.h"

#include "gui/WindowSystemTime.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

namespace fw {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kBusyAfter = std::chrono::milliseconds(300);
constexpr qint64 kRepaintEveryMs = 100;
// The end of a stretch of work waits for this many rounds of the event
// loop's posted events: a repaint may ask for another (a scroll bar's new
// range, a layout).
constexpr int kEndRounds = 2;

class InputGuard;

struct BusyState {
    int depth = 0;
    Clock::time_point start;
    bool shown = false;
    bool watching = false;  // the event loop's waits are watched
    bool paintedForExpected = false;
    QElapsedTimer lastRepaint;
    qint64 repaintMs = 0;  // how long the last repaint took

    QPointer<InputGuard> guard;
    // The outermost handler returned; what it left for the event loop (its
    // repaints) is not done yet.
    bool ending = false;
    // Input stamped at or before this time was made while the program
    // worked.
    std::optional<std::uint64_t> staleUntil;
    // Presses let through, whose releases then go through too.
    Qt::MouseButtons buttonsTaken;
    std::vector<int> keysTaken;
    Clock::time_point lastEnded;
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
    // Inside a handler nothing else sends the window system what is asked
    // of it until the event loop runs: the cursor goes out now.
    FlushWindowSystem();
}

void RepaintWindows() {
    BusyState& s = State();
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

// Input made until now belongs to the work done so far.
void MarkStale() {
    if (const auto now = WindowSystemTimeNow()) State().staleUntil = now;
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

class WorkDone : public QEvent {
public:
    static QEvent::Type Type() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    explicit WorkDone(int round) : QEvent(Type()), round(round) {}
    const int round;
};

// Sees every event of the application first: judges the input that comes
// from the window system, and ends a stretch of work once the event loop
// has done what the handler left it.
class InputGuard : public QObject {
public:
    explicit InputGuard(QObject* parent) : QObject(parent) {}

    void FinishSoon() {
        BusyState& s = State();
        if (s.ending) return;
        s.ending = true;
        Post(1);
    }

protected:
    void customEvent(QEvent* e) override {
        if (e->type() != WorkDone::Type()) return;
        BusyState& s = State();
        // A new handler started meanwhile: its own end will finish.
        if (s.depth > 0) {
            s.ending = false;
            return;
        }
        const int round = static_cast<WorkDone*>(e)->round;
        if (round < kEndRounds) {
            Post(round + 1);
            return;
        }
        MarkStale();
        s.ending = false;
        s.lastEnded = Clock::now();
        Hide();
    }

    bool eventFilter(QObject* receiver, QEvent* e) override {
        switch (e->type()) {
            case QEvent::WindowBlocked:
                // A modal dialog comes up inside a handler: what the user did
                // before belongs to the work, what he does now to the dialog.
                if (State().depth > 0) MarkStale();
                return false;
            case QEvent::ShortcutOverride:
                // Sent to the focus widget before the key itself; when the key
                // goes, its shortcut (a menu's, a button's) must not act either.
                if (!Judged(*static_cast<QInputEvent*>(e))) return false;
                e->accept();
                return true;
            case QEvent::MouseButtonPress:
            case QEvent::NonClientAreaMouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::NonClientAreaMouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::NonClientAreaMouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Wheel:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
                // Input from the window system reaches a window first; the
                // window passes it on to its widgets, which need no second
                // look.
                if (!e->spontaneous() || !receiver->isWindowType()) return false;
                return Drops(e);
            default:
                return false;
        }
    }

private:
    void Post(int round) {
        QCoreApplication::postEvent(this, new WorkDone(round), Qt::LowEventPriority);
    }

    // Whether the event was made while the program worked.
    static bool Stale(const QInputEvent& e) {
        const BusyState& s = State();
        return s.ending || (s.staleUntil && !TimestampAfter(e.timestamp(), *s.staleUntil));
    }

    static bool Judged(const QInputEvent& e) {
        if (!e.spontaneous()) return false;
        return Stale(e);
    }

    static bool Drops(QEvent* e) {
        BusyState& s = State();
        const auto& input = *static_cast<QInputEvent*>(e);
        const bool stale = Stale(input);
        if (!stale) NoteInputEvent(input);
        switch (e->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::NonClientAreaMouseButtonPress:
                if (!stale) s.buttonsTaken |= static_cast<QMouseEvent*>(e)->button();
                return stale;
            case QEvent::MouseButtonRelease:
            case QEvent::NonClientAreaMouseButtonRelease: {
                const Qt::MouseButton b = static_cast<QMouseEvent*>(e)->button();
                if (s.buttonsTaken & b) {
                    s.buttonsTaken &= ~b;
                    return false;
                }
                return stale;
            }
            case QEvent::KeyPress: {
                const int key = static_cast<QKeyEvent*>(e)->key();
                if (!stale && std::find(s.keysTaken.begin(), s.keysTaken.end(), key) == s.keysTaken.end())
                    s.keysTaken.push_back(key);
                return stale;
            }
            case QEvent::KeyRelease: {
                const int key = static_cast<QKeyEvent*>(e)->key();
                const auto taken = std::find(s.keysTaken.begin(), s.keysTaken.end(), key);
                if (taken != s.keysTaken.end()) {
                    s.keysTaken.erase(taken);
                    return false;
                }
                return stale;
            }
            default:
                return stale;
        }
    }
};

}  // namespace

void BusyWatchInput() {
    BusyState& s = State();
    if (s.guard || !HaveWidgets()) return;
    s.guard = new InputGuard(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(s.guard);
    s.ending = false;
    s.staleUntil.reset();
    s.buttonsTaken = {};
    s.keysTaken.clear();
}

BusyScope::BusyScope() {
    BusyState& s = State();
    if (s.depth++ > 0) return;
    s.start = Clock::now();
    s.paintedForExpected = false;
    WatchWaits();
    BusyWatchInput();
}

BusyScope::~BusyScope() {
    BusyState& s = State();
    if (--s.depth > 0) return;
    if (s.guard) {
        s.guard->FinishSoon();
        return;
    }
    s.lastEnded = Clock::now();
    Hide();
}

void BusyCheck() {
    const BusyState& s = State();
    if (s.depth == 0 || s.shown) return;
    if (Clock::now() - s.start >= kBusyAfter) Show();
}

void BusyExpected() {
    BusyState& s = State();
    if (s.depth == 0) return;
    Show();
    if (s.paintedForExpected) return;
    s.paintedForExpected = true;
    RepaintWindows();
}

bool BusyCursorShown() { return State().shown; }

bool BusyWorking() { return State().depth > 0 || State().ending; }

std::chrono::steady_clock::time_point BusyLastEnded() { return State().lastEnded; }

void BusyYield() {
    BusyCheck();
    BusyState& s = State();
    if (s.lastRepaint.isValid() && s.lastRepaint.elapsed() < std::max(kRepaintEveryMs, 10 * s.repaintMs)) return;
    RepaintWindows();
}

}  // namespace fw
