// Printing the help: the exact drawing calls of the page loop on a
// recording graphics for 0, 1 and 3 pages, and the whole command (dialog,
// footer time, closing the Help window, end of the job) on the scripted
// desktop with real print jobs to PDF files.
#include "app_test_util.h"

#include "core/Date.h"
#include "app/HelpPrint.h"
#include "gui/PrintingRecorder.h"
#include "gui/controls/TextArea.h"
#include "core/Yield.h"
#include "../print/three_pages.h"

#include <cstdlib>

#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

using fw::RecordingGraphics;
using Kind = fw::ScriptedDesktop::Kind;

namespace {

const char* const kFooter = "14:05, 3/9/25";

fw::Ref<fw::TextArea> AreaWith(const std::string& text) {
    app_test::TestApp();
    auto area = fw::New<fw::TextArea>();
    area->SetText(fw::String(text));
    return area;
}

// The calls a run must give, Line calls left out, for a number of pages.
std::vector<std::string> ExpectedCalls(int pages) {
    std::vector<std::string> calls = {"TextFont Courier", "TextSize 10", "ForeColor 0 0 0", "Bold 1"};
    for (int page = 1; page <= pages; ++page) {
        for (const char* c : {"TextFont Arial", "Bold 0"}) calls.push_back(c);
        calls.push_back("String 40 720 page " + std::to_string(page));
        calls.push_back(std::string("String 100 720 ") + kFooter);
        if (page < pages)
            for (const char* c : {"TextFont Courier", "Bold 1", "NextPage"}) calls.push_back(c);
    }
    return calls;
}

TEST(HelpPrinting, DrawsTheBodyAndTheFootersOfEveryPage) {
    app_test::TestApp();
    struct Case {
        const char* name;
        std::string text;
        int pages;
    };
    const std::vector<Case> cases = {
        {"empty text: the footer alone", "", 1},
        {"one page", "Short help.\r\rA second paragraph, long enough to be wrapped onto a second line of the "
                     "column, which holds 82 characters of Courier 10.", 1},
        {"three pages", print_test::ThreePageText(), 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingGraphics g;
        fw::Ref<fw::TextArea> area = AreaWith(c.text);
        int asked = 0;
        const std::uint64_t yields = fw::YieldCount();
        const int pages = helpprint::PrintHelpPages(
            g,
            [&] {
                // The body font is set before the area is reached.
                EXPECT_EQ(g.Calls().size(), 4u);
                ++asked;
                return area;
            },
            kFooter);
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(pages, c.pages);
        EXPECT_EQ(fw::YieldCount() - yields, c.text.empty() ? 0u : static_cast<std::uint64_t>(c.pages));

        std::vector<std::string> others;
        std::string printed;
        for (const std::string& call : g.Calls()) {
            if (call.rfind("Line ", 0) != 0) {
                others.push_back(call);
                continue;
            }
            // "Line 36 <y> <text>": in the column, between 36 and 708.
            const std::size_t yAt = 8, textAt = call.find(' ', yAt) + 1;
            const double y = std::stod(call.substr(yAt));
            EXPECT_EQ(call.substr(0, yAt), "Line 36 ");
            EXPECT_GE(y, 36);
            EXPECT_LT(y + 11, 708.01) << call;
            printed += call.substr(textAt) + "|";
        }
        EXPECT_EQ(others, ExpectedCalls(c.pages));
        EXPECT_EQ(g.Count("NextPage"), static_cast<std::size_t>(c.pages - 1));
        EXPECT_LE(g.WidestLineRight(), 36 + 492);
        if (!c.text.empty()) {
            EXPECT_EQ(printed.substr(0, 10), c.text.substr(0, 10));
        }
    }
}

TEST(HelpPrinting, FooterIsTheShortTimeThenTheShortDate) {
    const fw::Date moment(QDateTime(QDate(2025, 3, 9), QTime(14, 5)));
    const std::string footer = helpprint::FooterText(moment).ToUtf8();
    EXPECT_EQ(footer, moment.ShortTime().ToUtf8() + ", " + moment.ShortDate().ToUtf8());
    EXPECT_LT(footer.find("14"), footer.find(", "));
    EXPECT_GT(footer.find("25"), footer.find(", "));
}

// The whole command on the scripted desktop.
struct Command {
    fw::ScriptedDesktop desk;
    fw::ScopedDesktop scoped{desk};
    fw::Ref<fw::TextArea> area = AreaWith("Help body");
    std::vector<std::string> events;
    std::function<void()> onDialog, onClose;
    bool Run() {
        desk.onCall = [this](const fw::ScriptedDesktop::Call& c) {
            if (c.kind != Kind::ChoosePrinter) return;
            events.push_back("dialog");
            if (onDialog) onDialog();
        };
        return helpprint::PrintHelp(
            [this] {
                events.push_back("area");
                return area;
            },
            [this] {
                events.push_back("close");
                if (onClose) onClose();
            });
    }
};

bool FinishedPdf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.readAll().trimmed().endsWith("%%EOF");
}

TEST(HelpPrinting, ACancelPrintsNothingReachesNoWindowAndStillCloses) {
    Command cmd;
    cmd.desk.QueuePrinterAnswer(false);
    EXPECT_TRUE(cmd.Run());
    EXPECT_EQ(cmd.events, (std::vector<std::string>{"dialog", "close"}));
    EXPECT_EQ(cmd.desk.Count(Kind::MsgBox), 0u);
}

TEST(HelpPrinting, PrintsWithTheTimeOfTheCommandAndEndsTheJobAfterClosing) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("help.pdf");
    Command cmd;
    cmd.desk.QueuePrinterAnswer(true, [pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    });
    // The clock moves on while the dialog is open; the footer keeps the
    // moment the command began.
    const QDateTime began(QDate(2025, 3, 9), QTime(14, 5)), later(QDate(2025, 3, 9), QTime(16, 40));
    fw::DateClock old = fw::SetDateClock([began] { return began; });
    cmd.onDialog = [later] { fw::SetDateClock([later] { return later; }); };
    bool finishedAtClose = true;
    cmd.onClose = [&] { finishedAtClose = FinishedPdf(pdf); };
    const bool result = cmd.Run();
    fw::SetDateClock(old);

    EXPECT_TRUE(result);
    EXPECT_EQ(cmd.events, (std::vector<std::string>{"dialog", "area", "close"}));
    EXPECT_FALSE(finishedAtClose) << "the job ends after the Help window closed";
    EXPECT_TRUE(FinishedPdf(pdf));
    EXPECT_EQ(cmd.desk.Count(Kind::MsgBox), 0u);

    const QString tool = QStandardPaths::findExecutable("pdftotext");
    if (tool.isEmpty()) GTEST_SKIP() << "pdftotext is missing";
    QProcess p;
    p.start(tool, {"-layout", pdf, "-"});
    p.waitForFinished(20000);
    const std::string text = p.readAllStandardOutput().toStdString();
    EXPECT_NE(text.find("Help body"), std::string::npos) << text;
    EXPECT_NE(text.find("page 1"), std::string::npos) << text;
    EXPECT_NE(text.find(helpprint::FooterText(fw::Date(began)).ToUtf8()), std::string::npos) << text;
    EXPECT_EQ(text.find(fw::Date(later).ShortTime().ToUtf8()), std::string::npos) << text;

    // The job's name is the document's title.
    QProcess info;
    info.start(QStandardPaths::findExecutable("pdfinfo"), {pdf});
    info.waitForFinished(20000);
    const QString fields = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(QRegularExpression("^Title: +Scrandle Help$", QRegularExpression::MultilineOption).match(fields).hasMatch())
        << fields.toStdString();
}

// What a real print service answers, with tests/print/run_with_cupsd.sh:
// a queue that refuses jobs (which Qt takes for success) is told to the
// user with the printer and the reason; a queue that takes the job is not.
TEST(HelpPrinting, ThePrintServicesAnswerIsToldWhenItRefusesTheJob) {
    const char* queueName = std::getenv("CUPS_TEST_QUEUE");
    if (!queueName) GTEST_SKIP() << "needs the print service of tests/print/run_with_cupsd.sh";
    const QString queue = QString::fromLocal8Bit(queueName);
    auto jobs = [&queue] {
        QProcess p;
        p.start("lpstat", {"-W", "all", "-o", queue});
        p.waitForFinished(20000);
        return p.readAllStandardOutput().trimmed().toStdString();
    };
    for (const bool refuses : {true, false}) {
        SCOPED_TRACE(refuses ? "refusing queue" : "accepting queue");
        ASSERT_EQ(QProcess::execute(refuses ? "cupsreject" : "cupsaccept", {queue}), 0);
        Command cmd;
        cmd.desk.QueuePrinterAnswer(true, [queue](QPrinter& printer) { printer.setPrinterName(queue); });
        EXPECT_TRUE(cmd.Run());
        EXPECT_EQ(cmd.events, (std::vector<std::string>{"dialog", "area", "close"}));
        const auto boxes = cmd.desk.CallsOf(Kind::MsgBox);
        if (refuses) {
            ASSERT_EQ(boxes.size(), 1u);
            const std::string text = boxes[0].text.ToUtf8();
            EXPECT_EQ(text.rfind("Printing on \"" + queue.toStdString() + "\" failed: ", 0), 0u) << text;
            EXPECT_NE(text.find("accepting jobs"), std::string::npos) << text;
            EXPECT_EQ(jobs(), "");
        } else {
            EXPECT_EQ(boxes.size(), 0u);
            EXPECT_NE(jobs(), "");
        }
    }
}

}  // namespace
