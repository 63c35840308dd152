// The printing module (PrintSupportModule.h): everything of the framework
// that needs Qt Print Support, loaded on first use.
#include "PrintSupportModule.h"

#include <QPrintDialog>
#include <QPrinter>

namespace fw {
namespace {

class QtPrintSupport final : public PrintSupportModule {
public:
    bool ChoosePrinter(QPrinter* printer) override {
        QPrintDialog dialog(printer);
        return dialog.exec() == QDialog::Accepted;
    }
};

}  // namespace
}  // namespace fw

extern "C" __attribute__((visibility("default"))) fw::PrintSupportModule* scrandle_print_support() {
    static fw::QtPrintSupport module;
    return &module;
}
