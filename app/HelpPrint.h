// Printing the help text: what the Print Help command of the main window
// and of the Help window does (PrintHelpCommand, app/Help.h, hands it the
// Help window's area and the closing of an open Help window).
#pragma once

#include "core/Date.h"
#include "core/Object.h"
#include "gui/Printing.h"
#include "gui/controls/TextArea.h"

#include <functional>

namespace helpprint {

// The page: 540 by 720 points, whatever the printer or the dialog chose;
// the text column 492 wide at (36, 36), blocks at most 672 high, and the
// footers on the line y = 720.
inline constexpr double kPageWidth = 540;
inline constexpr double kPageHeight = 720;
inline constexpr double kMargin = 36;
inline constexpr double kTextWidth = kPageWidth - 48;   // 492
inline constexpr double kBlockHeight = kPageHeight - 48;  // 672
inline constexpr double kPageNumberX = 40;
inline constexpr double kFooterTextX = 100;
inline constexpr double kFooterY = kPageHeight;

// The print job's name, as the queue lists it and the document's title.
inline constexpr const char* kJobName = "Scrandle Help";

// "time, date" of the moment, short forms in the user's conventions.
fw::String FooterText(const fw::Date& moment);

// Draws the pages on a confirmed printer graphics: sets the body font
// (Courier 10 bold, black), then reaches the area through helpArea (which
// may create the Help window), prints its text block by block and puts the
// footer ("page N" and footerText) at the foot of every page, yielding
// once per page. Returns the number of pages.
int PrintHelpPages(fw::Graphics& graphics, const std::function<fw::Ref<fw::TextArea>()>& helpArea,
                   const fw::String& footerText);

// The whole command: takes the time, shows the print dialog, prints the
// pages when it is confirmed, then closes the Help window (closeHelp must
// close an open one and create none) in either case, and only then ends
// the print job. Returns True.
bool PrintHelp(const std::function<fw::Ref<fw::TextArea>()>& helpArea, const std::function<void()>& closeHelp);

}  // namespace helpprint
