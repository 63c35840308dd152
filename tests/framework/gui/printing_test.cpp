// Printing: the text printer's layout and blocks on a recording graphics,
// and real print jobs to PDF files through the scripted print dialog.
#include "controls_support.h"

#include "gui/PrintSupportModule.h"
#include "gui/Printing.h"
#include "gui/PrintingRecorder.h"
#include "gui/ScriptedDesktop.h"
#include "gui/controls/TextArea.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using fw::RecordingGraphics;
using fw::String;
using Kind = fw::ScriptedDesktop::Kind;

namespace {

void CourierTenBold(fw::Graphics& g) {
    g.SetTextFont("Courier");
    g.SetTextSize(10);
    g.SetBold(true);
}

// The y of every Line call, in order.
std::vector<double> LineTops(const RecordingGraphics& g) {
    std::vector<double> ys;
    for (const std::string& c : g.Calls())
        if (c.rfind("Line ", 0) == 0) ys.push_back(std::stod(c.substr(c.find(' ', 5) + 1)));
    return ys;
}

std::string LongText(int words) {
    std::string t;
    for (int i = 0; i < words; ++i) t += (i ? " " : "") + std::string(i % 3 ? "scrambled" : "letters");
    return t;
}

TEST(StyledTextPrinter, CutsParagraphsAtEveryLineEndAndLinesAtTheWidth) {
    controls_test::EnsureApp();
    struct Case {
        const char* name;
        std::string text;
        std::size_t lines;
    };
    const std::vector<Case> cases = {
        {"empty", "", 0},
        {"one word", "word", 1},
        {"CR paragraphs with an empty line", "one\r\rtwo", 3},
        {"LF and CR LF", "one\ntwo\r\nthree", 3},
        {"a final line end", "one\r", 2},
        {"one line of 82 characters", std::string(82, 'x'), 1},
        {"a word longer than the width", std::string(83, 'x'), 2},
    };
    for (const Case& c : cases) {
        RecordingGraphics g;
        CourierTenBold(g);
        fw::StyledTextPrinter p(String(c.text), g, 492);
        EXPECT_EQ(p.LineCount(), c.lines) << c.name;
        EXPECT_EQ(p.Eof(), c.lines == 0) << c.name;
    }
}

TEST(StyledTextPrinter, BlocksHoldTheLinesThatFitAndKeepTheWidth) {
    controls_test::EnsureApp();
    RecordingGraphics g;
    CourierTenBold(g);
    g.ClearCalls();
    // Courier 10 advances 6 points a character: 82 to a 492-point line.
    fw::StyledTextPrinter p(String(LongText(2000)), g, 492);
    ASSERT_GT(p.LineCount(), 200u);

    int blocks = 0;
    std::size_t drawn = 0;
    while (!p.Eof()) {
        g.ClearCalls();
        p.DrawBlock(36, 36, 672);
        ++blocks;
        const std::vector<double> ys = LineTops(g);
        ASSERT_FALSE(ys.empty());
        EXPECT_EQ(ys.front(), 36);
        const double lineHeight = ys.size() > 1 ? ys[1] - ys[0] : 0;
        if (!p.Eof()) {
            // Full blocks: the next line would not have fitted.
            EXPECT_LE(ys.back() + lineHeight, 36 + 672 + 0.01);
            EXPECT_GT(ys.back() + 2 * lineHeight, 36 + 672);
        }
        drawn += ys.size();
    }
    EXPECT_EQ(drawn, p.LineCount());
    EXPECT_GE(blocks, 3);
    EXPECT_GT(g.WidestLineRight(), 36 + 400);
    EXPECT_LE(g.WidestLineRight(), 36 + 492);
}

TEST(StyledTextPrinter, TakesTheGraphicsFontAndAlwaysMovesOn) {
    controls_test::EnsureApp();
    RecordingGraphics g;
    CourierTenBold(g);
    const QFont f = g.Font();
    EXPECT_TRUE(f.bold());
    EXPECT_EQ(f.pointSizeF(), 10);
    EXPECT_EQ(QFontInfo(f).family(), QString("Liberation Mono"));

    // A block lower than a line still takes one line, so a page loop ends.
    fw::StyledTextPrinter p(String("a\rb"), g, 492);
    g.ClearCalls();
    p.DrawBlock(0, 0, 1);
    EXPECT_EQ(g.Calls(), std::vector<std::string>{"Line 0 0 a"});
    p.DrawBlock(0, 0, 1);
    EXPECT_TRUE(p.Eof());
}

TEST(StyledTextPrinter, OfATextAreaPrintsItsCurrentText) {
    controls_test::EnsureApp();
    auto area = fw::New<fw::TextArea>();
    area->SetText("first\rsecond");
    RecordingGraphics g;
    CourierTenBold(g);
    fw::Ref<fw::StyledTextPrinter> p = fw::styledTextPrinter(*area, g, 492);
    g.ClearCalls();
    p->DrawBlock(36, 36, 672);
    ASSERT_EQ(g.Count("Line"), 2u);
    EXPECT_EQ(g.Calls()[0], "Line 36 36 first");
    EXPECT_TRUE(g.Calls()[1].rfind("Line 36 ", 0) == 0 && g.Calls()[1].ends_with(" second"));
}

// --- real print jobs, to PDF files

// pdftotext -bbox of the file: one entry per word with its box.
struct Word {
    std::string text;
    double xMin, yMin, xMax, yMax;
};
std::vector<Word> WordsOf(const QString& pdf, QString* pageSize = nullptr) {
    const QString tool = QStandardPaths::findExecutable("pdftotext");
    if (tool.isEmpty()) return {};
    QProcess p;
    p.start(tool, {"-bbox", pdf, "-"});
    p.waitForFinished(20000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    if (pageSize) {
        const auto m = QRegularExpression(R"re(<page width="([\d.]+)" height="([\d.]+)")re").match(html);
        *pageSize = m.hasMatch() ? m.captured(1) + "x" + m.captured(2) : QString();
    }
    std::vector<Word> words;
    static const QRegularExpression re(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.push_back({m.captured(5).toStdString(), m.captured(1).toDouble(), m.captured(2).toDouble(),
                         m.captured(3).toDouble(), m.captured(4).toDouble()});
    }
    return words;
}

// Prints one line and one string through the dialog to the file.
void PrintSample(fw::ScriptedDesktop& desk, const QString& file, bool landscape) {
    desk.QueuePrinterAnswer(true, [file, landscape](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        if (landscape) printer.setPageOrientation(QPageLayout::Landscape);
    });
    fw::Ref<fw::Graphics> g = fw::OpenPrinterDialog();
    ASSERT_TRUE(g);
    CourierTenBold(*g);
    fw::StyledTextPrinter body(String("Body words"), *g, 492);
    body.DrawBlock(36, 36, 672);
    g->SetTextFont("Arial");
    g->SetBold(false);
    g->DrawString("page 1", 40, 720);
}

TEST(OpenPrinterDialog, DrawsInPointsFromThePapersCornerWhateverTheOrientationChosen) {
    controls_test::EnsureApp();
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext is missing";
    QTemporaryDir dir;
    fw::ScriptedDesktop desk;
    fw::ScopedDesktop scoped(desk);
    const QString portrait = dir.filePath("portrait.pdf"), landscape = dir.filePath("landscape.pdf");
    PrintSample(desk, portrait, false);
    PrintSample(desk, landscape, true);
    EXPECT_EQ(desk.Count(Kind::MsgBox), 0u);

    QString size;
    const std::vector<Word> words = WordsOf(portrait, &size);
    EXPECT_EQ(size, "612.000000x792.000000");
    ASSERT_EQ(words.size(), 4u);
    // The body's line top at 36; the footer's baseline at 720, so its box
    // ends a little below and begins about a text height above.
    EXPECT_EQ(words[0].text, "Body");
    EXPECT_NEAR(words[0].xMin, 36, 0.5);
    EXPECT_NEAR(words[0].yMin, 36, 1.5);
    EXPECT_EQ(words[2].text, "page");
    EXPECT_NEAR(words[2].xMin, 40, 0.5);
    EXPECT_GT(words[2].yMax, 720);
    EXPECT_LT(words[2].yMax, 724);

    // A landscape choice moves nothing: the page stays upright.
    QString landscapeSize;
    const std::vector<Word> turned = WordsOf(landscape, &landscapeSize);
    EXPECT_EQ(landscapeSize, size);
    ASSERT_EQ(turned.size(), words.size());
    for (std::size_t i = 0; i < words.size(); ++i) {
        EXPECT_EQ(turned[i].text, words[i].text);
        EXPECT_NEAR(turned[i].xMin, words[i].xMin, 0.01);
        EXPECT_NEAR(turned[i].yMin, words[i].yMin, 0.01);
    }
}

TEST(OpenPrinterDialog, ACancelGivesNilAndAJobThatCannotStartIsTold) {
    controls_test::EnsureApp();
    fw::ScriptedDesktop desk;
    fw::ScopedDesktop scoped(desk);
    desk.QueuePrinterAnswer(false);
    EXPECT_FALSE(fw::OpenPrinterDialog());
    EXPECT_EQ(desk.Count(Kind::MsgBox), 0u);

    QTemporaryDir dir;
    const QString file = dir.filePath("no/such/folder/help.pdf");
    desk.QueuePrinterAnswer(true, [file](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
    });
    EXPECT_FALSE(fw::OpenPrinterDialog());
    ASSERT_EQ(desk.Count(Kind::MsgBox), 1u);
    EXPECT_EQ(desk.CallsOf(Kind::MsgBox)[0].text.ToUtf8(),
              "Printing on \"" + file.toStdString() + "\" failed: the print job could not be started.");
    EXPECT_FALSE(QFile::exists(file));
}

TEST(PrinterGraphics, CountsPagesAndIgnoresDrawingOnceFinished) {
    controls_test::EnsureApp();
    QTemporaryDir dir;
    std::unique_ptr<fw::PrintJob> job = fw::PrintSupport().NewJob();
    job->Printer()->setOutputFormat(QPrinter::PdfFormat);
    job->Printer()->setOutputFileName(dir.filePath("pages.pdf"));
    fw::PrinterGraphics g(std::move(job));
    ASSERT_TRUE(g.Begin());
    EXPECT_EQ(g.Printer().resolution(), 72);
    g.DrawString("one", 40, 720);
    g.NextPage();
    g.NextPage();
    EXPECT_EQ(g.PageCount(), 3);
    EXPECT_TRUE(g.Finish());
    g.DrawString("late", 40, 720);
    g.NextPage();
    EXPECT_EQ(g.PageCount(), 3);
    EXPECT_TRUE(QFile::exists(dir.filePath("pages.pdf")));
}

// The real print dialog: whichever printer is chosen, it offers no range
// of pages, no copies, no collation and no reverse order, none of which a
// job would carry out. (tests/print runs it beside a print service too,
// whose queue must then be among the printers.)
TEST(PrintDialog, OffersNoChoiceOfPagesCopiesOrOrder) {
    controls_test::EnsureApp();
    std::unique_ptr<fw::PrintJob> job = fw::PrintSupport().NewJob();
    std::vector<std::string> offered;
    int printers = 0;
    bool allPages = false, queueListed = false;
    const char* queue = std::getenv("CUPS_TEST_QUEUE");
    QTimer::singleShot(0, [&] {
        QPrintDialog* dialog = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QPrintDialog*>(w); d && d->isVisible()) dialog = d;
        if (!dialog) return;
        auto* combo = dialog->findChild<QComboBox*>("printers");
        for (int i = 0; combo && i < combo->count(); ++i) {
            if (combo->itemText(i).isEmpty()) continue;  // the separator
            combo->setCurrentIndex(i);
            QCoreApplication::processEvents();
            ++printers;
            queueListed |= queue && combo->itemText(i) == QString::fromLocal8Bit(queue);
            for (const char* name : {"printRange", "from", "to", "pagesRadioButton", "pagesLineEdit", "copies",
                                     "collate", "reverse"}) {
                const QWidget* w = dialog->findChild<QWidget*>(name);
                if (!w || w->isEnabled())
                    offered.push_back(std::string(name) + (w ? "" : " (not found)") + " on " +
                                      combo->itemText(i).toStdString());
            }
        }
        if (auto* all = dialog->findChild<QAbstractButton*>("printAll")) allPages = all->isChecked();
        dialog->reject();
    });
    EXPECT_FALSE(fw::PrintSupport().ChoosePrinter(job->Printer()));
    EXPECT_GT(printers, 0) << "no print dialog, or no printer in it";
    EXPECT_EQ(offered, std::vector<std::string>{});
    EXPECT_TRUE(allPages);
    if (queue) EXPECT_TRUE(queueListed) << queue;
}

}  // namespace
