#include "app/HelpPrint.h"

#include "core/Yield.h"

namespace helpprint {

fw::String FooterText(const fw::Date& moment) { return moment.ShortTime() + ", " + moment.ShortDate(); }

namespace {
void Footer(fw::Graphics& g, int page, const fw::String& footerText) {
    g.SetTextFont("Arial");
    g.SetBold(false);
    g.DrawString("page " + fw::Str(page), kPageNumberX, kFooterY);
    g.DrawString(footerText, kFooterTextX, kFooterY);
}
}  // namespace

int PrintHelpPages(fw::Graphics& g, const std::function<fw::Ref<fw::TextArea>()>& helpArea,
                   const fw::String& footerText) {
    g.SetTextFont("Courier");
    g.SetTextSize(10);
    g.SetForeColor(fw::RGB(0, 0, 0));
    g.SetBold(true);
    fw::Ref<fw::TextArea> area = helpArea();
    fw::Ref<fw::StyledTextPrinter> body = fw::styledTextPrinter(*area, g, kTextWidth);
    int page = 1;
    while (!body->Eof()) {
        body->DrawBlock(kMargin, kMargin, kBlockHeight);
        if (!body->Eof()) {
            Footer(g, page, footerText);
            g.SetTextFont("Courier");
            g.SetBold(true);
            ++page;
            g.NextPage();
        }
        fw::BackgroundYield();
    }
    Footer(g, page, footerText);
    return page;
}

bool PrintHelp(const std::function<fw::Ref<fw::TextArea>()>& helpArea, const std::function<void()>& closeHelp) {
    // The footer's moment is the command's, taken before the dialog.
    const fw::String footerText = FooterText(fw::Date());
    fw::Ref<fw::Graphics> printer = fw::OpenPrinterDialog(kJobName);
    if (printer) PrintHelpPages(*printer, helpArea, footerText);
    closeHelp();
    // Releasing the graphics ends the job, after the window has closed.
    printer = nullptr;
    return true;
}

}  // namespace helpprint
