// The builder tests' window: its class holds only what its definition gives
// it and the handlers, which record what they were called with.
#pragma once

#include "BuiltWindow.window.h"

#include <string>
#include <vector>

class BuiltWindow : public fw::Window {
    FW_WINDOW_MEMBERS(BuiltWindow)

public:
    std::vector<std::string> calls;
};
