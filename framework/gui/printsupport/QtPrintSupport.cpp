// The printing module (PrintSupportModule.h): everything of the framework
// that needs Qt Print Support, loaded on first use. It uses nothing of the
// framework but these interfaces.
#include "gui/PrintSupportModule.h"

#include <QGroupBox>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>

#include <cups/cups.h>

namespace fw {
namespace {

class QtPrintJob final : public PrintJob {
public:
    QPrinter* Printer() override { return &printer_; }
    void SetTitle(const QString& title) override { printer_.setDocName(title); }

    bool Begin(QPainter& painter) override {
        // The page is laid out in points from the paper's corner, upright: a
        // landscape choice would put the lower part of a page off the paper.
        printer_.setFullPage(true);
        printer_.setPageOrientation(QPageLayout::Portrait);
        printer_.setResolution(72);
        return painter.begin(&printer_);
    }

    bool End(QPainter& painter, QString& failure) override {
        const bool ended = painter.end();
        if (!ended || printer_.printerState() == QPrinter::Error) {
            failure = QStringLiteral("the print job could not be finished");
            return false;
        }
        // Qt's CUPS engine hands the job to the print service inside end()
        // and drops the service's answer, so a queue that refuses jobs, or a
        // service out of reach, would pass for success. That answer is still
        // this thread's last one from libcups.
        if (ToPrintService() && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE) {
            failure = QString::fromUtf8(cupsLastErrorString()).trimmed();
            while (failure.endsWith(u'.')) failure.chop(1);
            if (failure.isEmpty()) failure = QStringLiteral("the print service refused the job");
            return false;
        }
        return true;
    }

    bool NewPage() override { return printer_.newPage(); }
    QPaintDevice* Device() override { return &printer_; }

    QString Name() const override {
        const QString name = printer_.printerName();
        return name.isEmpty() ? printer_.outputFileName() : name;
    }

private:
    // Whether end() submitted the job to CUPS, rather than writing a file.
    bool ToPrintService() const {
        return printer_.outputFormat() == QPrinter::NativeFormat && printer_.outputFileName().isEmpty() &&
               !printer_.printerName().isEmpty();
    }

    QPrinter printer_{QPrinter::HighResolution};
};

class QtPrintSupport final : public PrintSupportModule {
public:
    bool ChoosePrinter(QPrinter* printer) override {
        QPrintDialog dialog(printer);
        // Qt leaves a range of pages "from - to" and reverse order to the
        // program on every printer, and copies and collation too when the
        // output is a file. Jobs print the whole document once, in order,
        // so the dialog must not offer these. The groups are disabled, not
        // their buttons: the dialog enables those again as the printer
        // changes.
        if (auto* range = dialog.findChild<QGroupBox*>(QStringLiteral("gbPrintRange"))) range->setEnabled(false);
        if (auto* copies = dialog.findChild<QSpinBox*>(QStringLiteral("copies")))
            if (QWidget* group = copies->parentWidget()) group->setEnabled(false);
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
