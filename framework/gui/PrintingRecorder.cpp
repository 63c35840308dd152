#include "gui/PrintingRecorder.h"

#include <QTextLayout>

#include <cstdio>

namespace fw {

std::string RecordingGraphics::Number(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    std::string s = buf;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}

void RecordingGraphics::SetTextFont(const String& name) {
    Graphics::SetTextFont(name);
    calls_.push_back("TextFont " + name.ToUtf8());
}

void RecordingGraphics::SetTextSize(double points) {
    Graphics::SetTextSize(points);
    calls_.push_back("TextSize " + Number(points));
}

void RecordingGraphics::SetForeColor(const Colour& c) {
    Graphics::SetForeColor(c);
    calls_.push_back("ForeColor " + std::to_string(c.red) + " " + std::to_string(c.green) + " " +
                     std::to_string(c.blue));
}

void RecordingGraphics::SetBold(bool bold) {
    Graphics::SetBold(bold);
    calls_.push_back(std::string("Bold ") + (bold ? "1" : "0"));
}

void RecordingGraphics::DrawString(const String& text, double x, double y) {
    calls_.push_back("String " + Number(x) + " " + Number(y) + " " + text.ToUtf8());
}

void RecordingGraphics::NextPage() { calls_.push_back("NextPage"); }

void RecordingGraphics::DrawTextLine(const QTextLayout& layout, int lineIndex, double x, double y) {
    const QTextLine line = layout.lineAt(lineIndex);
    const QString text = layout.text().mid(line.textStart(), line.textLength());
    widestRight_ = std::max(widestRight_, x + line.naturalTextWidth());
    calls_.push_back("Line " + Number(x) + " " + Number(y) + " " + text.toStdString());
}

std::size_t RecordingGraphics::Count(const std::string& word) const {
    std::size_t n = 0;
    for (const std::string& c : calls_)
        n += c.compare(0, word.size(), word) == 0 && (c.size() == word.size() || c[word.size()] == ' ');
    return n;
}

}  // namespace fw
