// The print dialog and the graphics of a print job, over the printing
// module (PrintSupportModule.h), which alone touches Qt Print Support.
#include "gui/Printing.h"

#include "gui/Control.h"
#include "gui/Desktop.h"
#include "gui/PrintSupportModule.h"

#include <QPainter>
#include <QTextLayout>

namespace fw {

struct PrinterGraphics::Painter {
    QPainter painter;
};

PrinterGraphics::PrinterGraphics(std::unique_ptr<PrintJob> job)
    : job_(std::move(job)), painter_(std::make_unique<Painter>()) {
    if (!job_) throw NilObjectException("PrinterGraphics was given no print job.");
}

PrinterGraphics::~PrinterGraphics() { Finish(); }

QPrinter& PrinterGraphics::Printer() { return *job_->Printer(); }

bool PrinterGraphics::Begin() {
    if (!job_->Begin(painter_->painter)) {
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
    QString failure;
    if (!job_->End(painter_->painter, failure)) {
        Fail(String::FromQString(failure));
        return false;
    }
    return true;
}

// Names the printer, or the output file when printing to a file.
void PrinterGraphics::Fail(const String& reason) {
    const QString name = job_->Name();
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
    if (job_->NewPage()) ++pages_;
}

QPaintDevice* PrinterGraphics::LayoutDevice() { return job_->Device(); }

void PrinterGraphics::DrawTextLine(const QTextLayout& layout, int lineIndex, double x, double y) {
    if (finished_) return;
    ApplyState();
    layout.lineAt(lineIndex).draw(&painter_->painter, QPointF(x, y));
}

Ref<Graphics> OpenPrinterDialog(const String& jobName) {
    std::unique_ptr<PrintJob> job = PrintSupport().NewJob();
    job->SetTitle(jobName.ToQString());
    if (!TheDesktop().ChoosePrinter(job->Printer())) return nullptr;
    auto graphics = New<PrinterGraphics>(std::move(job));
    if (!graphics->Begin()) return nullptr;
    return graphics;
}

}  // namespace fw
