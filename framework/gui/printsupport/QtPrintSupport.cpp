// The printing module (PrintSupportModule.h): everything of the framework
// that needs Qt Print Support, loaded on first use. It uses nothing of the
// framework but these interfaces.
#include "gui/PrintSupportModule.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace fw {
namespace {

class QtPrintJob final : public PrintJob {
public:
    QPrinter* Printer() override { return &printer_; }

    bool Begin(QPainter& painter) override {
        // The page is laid out in points from the paper's corner, upright: a
        // landscape choice would put the lower part of a page off the paper.
        printer_.setFullPage(true);
        printer_.setPageOrientation(QPageLayout::Portrait);
        printer_.setResolution(72);
        return painter.begin(&printer_);
    }

    bool End(QPainter& painter) override {
        const bool ended = painter.end();
        return ended && printer_.printerState() != QPrinter::Error;
    }

    bool NewPage() override { return printer_.newPage(); }
    QPaintDevice* Device() override { return &printer_; }

    QString Name() const override {
        const QString name = printer_.printerName();
        return name.isEmpty() ? printer_.outputFileName() : name;
    }

private:
    QPrinter printer_{QPrinter::HighResolution};
};

class QtPrintSupport final : public PrintSupportModule {
public:
    bool ChoosePrinter(QPrinter* printer) override {
        QPrintDialog dialog(printer);
        return dialog.exec() == QDialog::Accepted;
    }

    std::unique_ptr<PrintJob> NewJob() override { return std::make_unique<QtPrintJob>(); }
};

}  // namespace
}  // namespace fw

extern "C" __attribute__((visibility("default"))) fw::PrintSupportModule* scrandle_print_support() {
    static fw::QtPrintSupport module;
    return &module;
}
