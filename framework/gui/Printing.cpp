// The parts of printing that need no printer: the drawing state and the
// text printer. PrinterGraphics and the print dialog are in
// PrintingPrinter.cpp.
#include "gui/Printing.h"

#include "gui/controls/TextArea.h"

#include <QApplication>
#include <QImage>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>

namespace fw {

Colour RGB(int red, int green, int blue) {
    auto part = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    return Colour{part(red), part(green), part(blue)};
}

QFont Graphics::Font() const {
    QFont f = QApplication::font();
    const QString family = textFont_.ToQString();
    if (!family.isEmpty() && family.compare(QLatin1String("System"), Qt::CaseInsensitive) != 0)
        f.setFamilies({family});
    if (textSize_ > 0) f.setPointSizeF(textSize_);
    f.setBold(bold_);
    f.setItalic(false);
    f.setUnderline(false);
    return f;
}

QPaintDevice* Graphics::LayoutDevice() {
    // A 72-dpi device: a point of the font is one unit of the layout.
    static QImage* device = [] {
        auto* image = new QImage(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = static_cast<int>(72 / 0.0254 + 0.5);
        image->setDotsPerMeterX(dotsPerMeter);
        image->setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

StyledTextPrinter::StyledTextPrinter(const String& text, Graphics& graphics, double width)
    : graphics_(graphics) {
    if (text.IsEmpty()) return;
    const QString all = text.ToQString();
    const QFont font = graphics.Font();
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setUseDesignMetrics(true);

    // One layout per paragraph; every kind of line end ends one.
    qsizetype start = 0;
    for (;;) {
        qsizetype end = start;
        while (end < all.size() && all[end] != u'\r' && all[end] != u'\n') ++end;
        auto layout = std::make_unique<QTextLayout>(all.mid(start, end - start), font, graphics.LayoutDevice());
        layout->setTextOption(option);
        layout->beginLayout();
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLineWidth(width);
            line.setLeadingIncluded(true);
            // Each line is drawn on its own, at the place DrawBlock gives it.
            line.setPosition(QPointF(0, 0));
            lines_.push_back({layout.get(), line.lineNumber(), line.height()});
        }
        layout->endLayout();
        layouts_.push_back(std::move(layout));
        if (end >= all.size()) break;
        start = end + ((all[end] == u'\r' && end + 1 < all.size() && all[end + 1] == u'\n') ? 2 : 1);
    }
}

StyledTextPrinter::~StyledTextPrinter() = default;

void StyledTextPrinter::DrawBlock(double x, double y, double height) {
    double used = 0;
    bool first = true;
    while (next_ < lines_.size()) {
        const Line& line = lines_[next_];
        if (!first && used + line.height > height) break;
        graphics_.DrawTextLine(*line.layout, line.index, x, y + used);
        used += line.height;
        first = false;
        ++next_;
    }
}

Ref<StyledTextPrinter> styledTextPrinter(const TextArea& area, Graphics& graphics, double width) {
    return New<StyledTextPrinter>(area.Text(), graphics, width);
}

}  // namespace fw
