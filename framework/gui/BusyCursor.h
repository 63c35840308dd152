// Never silent while busy: the wait cursor for long handlers, and the
// windows repainted while long work yields.
//
// Every handler of the program runs inside a BusyScope. Once the outermost
// one has worked for 0.3 s, the wait cursor shows until it returns. The
// handler itself blocks the event loop, so the check runs where the work
// comes up for air: the background-task yield, and the controls before work
// they know to be long (setting or reading megabytes of text), which then
// show the cursor at once. Time the event loop spends waiting inside a
// handler (a modal dialog) is not busy time: the cursor goes while it waits.
#pragma once

namespace fw {

class BusyScope {
public:
    BusyScope();
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

// Shows the wait cursor when a handler has run for the threshold; costs a
// clock reading otherwise.
void BusyCheck();
// Work that cannot look up until it is done is about to start: shows the
// wait cursor now, if a handler runs.
void BusyExpected();
// Whether the wait cursor shows (for tests).
bool BusyCursorShown();

// The background-task yield's hook: the busy check, then, at most every
// 100 ms (and never more than a tenth of the time), the visible windows
// repainted in place. It takes no event from the queue, so no handler of
// the program runs meanwhile.
void BusyYield();

}  // namespace fw
