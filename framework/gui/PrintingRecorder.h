// A Graphics for tests: it draws nothing and records every call, each as
// one line of text, so that a test compares what a routine printed with
// the calls it expects:
//   TextFont Courier | TextSize 10 | ForeColor 0 0 0 | Bold 1
//   String 40 720 page 1      (DrawString: x, y, then the text)
//   Line 36 47.3 Some words   (a StyledTextPrinter's line: x, y, its text)
//   NextPage
// Numbers are written with up to two decimals, without trailing zeros.
#pragma once

#include "gui/Printing.h"

#include <string>
#include <vector>

namespace fw {

class RecordingGraphics : public Graphics {
public:
    void SetTextFont(const String& name) override;
    void SetTextSize(double points) override;
    void SetForeColor(const Colour& colour) override;
    void SetBold(bool bold) override;
    void DrawString(const String& text, double x, double y) override;
    void NextPage() override;
    void DrawTextLine(const QTextLayout& layout, int lineIndex, double x, double y) override;

    const std::vector<std::string>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    // How many calls begin with the word (e.g. "NextPage", "Line").
    std::size_t Count(const std::string& word) const;
    // The right edge of the widest line drawn, in points.
    double WidestLineRight() const { return widestRight_; }

    static std::string Number(double v);

private:
    std::vector<std::string> calls_;
    double widestRight_ = 0;
};

}  // namespace fw
