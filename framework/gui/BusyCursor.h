// Never silent while busy, and never acting on what the user did meanwhile:
// the wait cursor for long handlers, the windows repainted while long work
// yields, and input made during the work dropped.
//
// Every handler of the program runs inside a BusyScope. Once the outermost
// one has worked for 0.3 s, the wait cursor shows; it stays until the
// window answers again, that is until what the event loop had waiting when
// the handler returned (the repaint and the layout of what it changed) is
// done. The handler itself blocks the event loop, so the check runs where
// the work comes up for air: the background-task yield, and the controls
// and files before work they know to be long (setting or reading megabytes
// of text, reading or writing a large file), which then show the cursor at
// once and paint what the handler has changed so far. Time the event loop
// spends waiting inside a handler (a modal dialog) is not busy time: the
// cursor goes while it waits.
//
// Mouse clicks, wheel turns and keys that reach the program's windows while
// it works are dropped, not kept for later: when the work is over, the
// windows are as that one command left them. The window system hands such
// input over only once the event loop runs again, so each event is judged
// by its timestamp: made before the work ended (or before a modal dialog
// that a handler opens came up), it goes. A dialog a handler opens gets the
// input made while it shows; repaints, timers and every other event go on
// as ever. A button or key let go after the work whose press was taken
// before it still gets its release.
#pragma once

#include <chrono>

namespace fw {

class BusyScope {
public:
    BusyScope();
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

// Starts judging the input the window system hands over (the runtime does
// at its start; the first handler would, too).
void BusyWatchInput();

// Shows the wait cursor when a handler has run for the threshold; costs a
// clock reading otherwise.
void BusyCheck();
// Work that cannot look up until it is done is about to start: shows the
// wait cursor now and, the first time in a stretch of work, paints the
// windows, so that what the handler changed before it (a caption, a
// disabled button) is on screen while the work runs.
void BusyExpected();
// Whether the wait cursor shows (for tests).
bool BusyCursorShown();
// Whether the program is working or finishing a handler's work: input
// reaching its windows now is dropped (for tests).
bool BusyWorking();
// When the last stretch of work ended, the window answering again (for
// tests; the epoch when none has).
std::chrono::steady_clock::time_point BusyLastEnded();

// The background-task yield's hook: the busy check, then, at most every
// 100 ms (and never more than a tenth of the time), the visible windows
// repainted in place. It takes no event from the queue, so no handler of
// the program runs meanwhile.
void BusyYield();

}  // namespace fw
