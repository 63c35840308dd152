// The print dialog and the graphics of a print job: the only printing code
// that needs Qt Print Support.
#include "Printing.h"

#include "Control.h"
#include "Desktop.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>

namespace fw {

struct PrinterGraphics::Painter {
    QPainter painter;
};

PrinterGraphics::PrinterGraphics(std::unique_ptr<QPrinter> printer)
    : printer_(std::move(printer)), painter_(std::make_unique<Painter>()) {
    if (!printer_) throw NilObjectException("PrinterGraphics was given no printer.");
}

PrinterGraphics::~PrinterGraphics() { Finish(); }

bool PrinterGraphics::Begin() {
    // The page is laid out in points from the paper's corner, upright: a
    // landscape choice would put the lower part of a page off the paper.
    printer_->setFullPage(true);
    printer_->setPageOrientation(QPageLayout::Portrait);
    printer_->setResolution(72);
    if (!painter_->painter.begin(printer_.get())) {
        finished_ = true;
        Fail("the print job could not be started");
        return false;
    }
    pages_ = 1;
    return true;
}

bool PrinterGraphics::Finish() {
    if (finished_) return true;
    finished_ = true;
    const bool ended = painter_->painter.end();
    if (!ended || printer_->printerState() == QPrinter::Error) {
        Fail("the print job could not be finished");
        return false;
    }
    return true;
}

// Names the printer, or the output file when printing to a file.
void PrinterGraphics::Fail(const String& reason) {
    QString name = printer_->printerName();
    if (name.isEmpty()) name = printer_->outputFileName();
    const String who = name.isEmpty() ? String("the printer") : "\"" + String::FromQString(name) + "\"";
    MsgBox("Printing on " + who + " failed: " + reason + ".");
}

void PrinterGraphics::ApplyState() {
    QPainter& p = painter_->painter;
    p.setFont(Font());
    p.setPen(controls::ToQColor(ForeColor()));
}

void PrinterGraphics::DrawString(const String& text, double x, double y) {
    if (finished_) return;
    ApplyState();
    painter_->painter.drawText(QPointF(x, y), text.ToQString());
}

void PrinterGraphics::NextPage() {
    if (finished_) return;
    if (printer_->newPage()) ++pages_;
}

QPaintDevice* PrinterGraphics::LayoutDevice() { return printer_.get(); }

void PrinterGraphics::DrawTextLine(const QTextLayout& layout, int lineIndex, double x, double y) {
    if (finished_) return;
    ApplyState();
    layout.lineAt(lineIndex).draw(&painter_->painter, QPointF(x, y));
}

Ref<Graphics> OpenPrinterDialog() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!TheDesktop().ChoosePrinter(printer.get())) return nullptr;
    auto graphics = New<PrinterGraphics>(std::move(printer));
    if (!graphics->Begin()) return nullptr;
    return graphics;
}

}  // namespace fw
