// The version window: names the running version and offers "Check for
// Updates", which runs the check in the update window. Its definition
// (resources/selfTest.window) gives it its controls, their accessors and
// the bindings of its two handlers; it has no methods beyond those.
#pragma once

#include "selfTest.window.h"

class selfTest : public fw::Window {
    FW_WINDOW_MEMBERS(selfTest)
};

// The implicit-instance accessor: the open version window or a new one.
fw::Ref<selfTest> selfTestInstance();
