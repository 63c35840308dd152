// A text that the help printing lays out on two full pages and part of a
// third, in whichever Courier stand-in fontconfig gives for the body font.
#pragma once

#include "gui/PrintingRecorder.h"

#include <string>

namespace print_test {

// Needs the QApplication.
inline std::string ThreePageText() {
    fw::RecordingGraphics probe;
    probe.SetTextFont("Courier");
    probe.SetTextSize(10);
    probe.SetBold(true);
    fw::StyledTextPrinter two(fw::String("a\rb"), probe, 492);
    probe.ClearCalls();
    two.DrawBlock(0, 0, 672);
    const double lineHeight = std::stod(probe.Calls().at(1).substr(std::string("Line 0 ").size()));
    const int perPage = static_cast<int>(672 / lineHeight);
    std::string t;
    for (int i = 0; i < 2 * perPage + 5; ++i)
        t += (i ? "\r" : "") + std::string("Line ") + std::to_string(i + 1) + " of a text of three pages.";
    return t;
}

}  // namespace print_test
