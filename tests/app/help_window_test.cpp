// The Help window and the About box as the running program has them: their
// class registrations against the design's method tables, the windows and
// controls the menu commands open, one window of each at a time, Print Help
// from either window (confirmed, cancelled, landscape) with real print jobs
// to PDF files, and the About box's version label and addresses.
#include "app_test_util.h"

#include "Build.h"
#include "app/AboutBox.h"
#include "app/Help.h"
#include "core/Date.h"
#include "core/Registry.h"
#include "help_text.h"
#include "update/Addresses.h"

#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using app_test::ProgramFixture;
using Kind = fw::ScriptedDesktop::Kind;

// A class's own methods as its design table lists them: groups of members
// sharing a signature, in order; a member may name its class after a colon,
// which the signature takes for "%".
struct MethodGroup {
    const char* members;
    const char* signature;
};

struct ClassTable {
    const char* registeredName;
    std::vector<MethodGroup> methods;
    std::vector<std::pair<std::string, std::string>> hooks;  // event, method
};

const ClassTable kHelpClass = {
    "Help.Help",
    {{"Layout CreateControls _CreateControls0", ""},
     {"TextArea1:TextArea", "(  ) as %"},
     {"EditMenu:MenuItem EditSelectAll:MenuItem EditSeparator2:MenuItem EditClear:MenuItem EditPaste:MenuItem "
      "EditCopy:MenuItem EditCut:MenuItem EditSeparator1:MenuItem EditUndo:MenuItem FileMenu:MenuItem "
      "FileQuit:QuitMenuItem FilePrintHelp:MenuItem",
      "(  ) as %"},
     {"AddMenuHandlers", "( Window )"},
     {"_FilePrintHelp_Action", "(  ) as Boolean"}},
    {{"Layout", "Layout"}, {"CreateControls", "CreateControls"}, {"AddMenuHandlers", "AddMenuHandlers"}},
};

const ClassTable kAboutBoxClass = {
    "AboutBox.AboutBox",
    {{"Layout CreateControls _CreateControls0", ""},
     {"PushButton1:PushButton PushButton2:PushButton StaticText2:Label StaticText1:Label StaticText3:Label "
      "StaticText4:Label",
      "(  ) as %"},
     {"PushButton1_Action:PushButton PushButton2_Action:PushButton StaticText4_Open:Label", "( % )"}},
    {{"Layout", "Layout"}, {"CreateControls", "CreateControls"}},
};

std::vector<std::pair<std::string, std::string>> Spelled(const std::vector<MethodGroup>& groups) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& g : groups) {
        std::istringstream words(g.members);
        for (std::string w; words >> w;) {
            std::string sig = g.signature;
            if (const auto colon = w.find(':'); colon != std::string::npos) {
                sig.replace(sig.find('%'), 1, w.substr(colon + 1));
                w.erase(colon);
            }
            out.emplace_back(w, sig);
        }
    }
    return out;
}

class HelpAboutTest : public ProgramFixture {};

TEST_F(HelpAboutTest, BothClassesRegisterTheirMethodsInTheDesignsOrderAfterWindows) {
    for (const ClassTable* table : {&kHelpClass, &kAboutBoxClass}) {
        SCOPED_TRACE(table->registeredName);
        const fw::ClassInfo& cls = fw::TheRegistry().Get(table->registeredName);
        ASSERT_NE(cls.Parent(), nullptr);
        EXPECT_EQ(cls.Parent()->Name(), "Window");
        EXPECT_EQ(cls.ClassAttributes(), fw::Attributes{fw::Scope("Public")});
        EXPECT_TRUE(cls.OwnProperties().empty());
        const auto want = Spelled(table->methods);
        std::vector<std::pair<std::string, std::string>> got;
        for (const auto& m : cls.OwnMethods()) {
            got.emplace_back(m.name, m.signature);
            fw::Attributes attributes{fw::Scope("Public")};
            if (m.name == "_CreateControls0") attributes.push_back(fw::Flag("Hidden"));
            EXPECT_EQ(m.attributes, attributes) << m.name;
        }
        EXPECT_EQ(got, want);
        // Nothing of Window overridden: its methods first, then these.
        EXPECT_EQ(cls.Methods().size(), cls.Parent()->OwnMethods().size() + want.size());
        std::vector<std::pair<std::string, std::string>> hooks;
        for (const auto& h : cls.OwnHooks()) hooks.emplace_back(h.event, h.method);
        EXPECT_EQ(hooks, table->hooks);
    }
    EXPECT_EQ(Spelled(kHelpClass.methods).size(), 18u);
    EXPECT_EQ(Spelled(kAboutBoxClass.methods).size(), 12u);

    // Start-up's order: ... MenuBar1, AboutBox, (update windows), Help, MenuBar2.
    const auto classes = fw::TheRegistry().Classes();
    auto at = [&](const std::string& name) {
        for (std::size_t i = 0; i < classes.size(); ++i)
            if (classes[i]->Name() == name) return i;
        ADD_FAILURE() << name << " is not registered";
        return classes.size();
    };
    EXPECT_LT(at("MenuBar1.MenuBar1"), at("AboutBox.AboutBox"));
    EXPECT_LT(at("AboutBox.AboutBox"), at("Help.Help"));
    EXPECT_LT(at("Help.Help"), at("MenuBar2.MenuBar2"));
}

// The checks every fixed-size window of these two shares.
void ExpectFixedWindow(fw::Window& w, const char* title, QSize content) {
    QWidget* frame = w.FrameWidget();
    ASSERT_TRUE(frame->isVisible()) << title;
    EXPECT_EQ(frame->windowTitle().toStdString(), title);
    EXPECT_EQ(w.ContentWidget()->size(), content);
    EXPECT_EQ(frame->minimumSize(), frame->maximumSize()) << title << " can be resized";
    const Qt::WindowFlags flags = frame->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint) << title;
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint) << title;
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint) << title;
}

TEST_F(HelpAboutTest, ShowHelpOpensOneHelpWindowWithItsBarAndTheDesignedText) {
    EXPECT_FALSE(W().HelpShow_Action());
    fw::Ref<Help> help = fw::Cast<Help>(fw::GetImplicitWindow("Help.Help"));
    ASSERT_TRUE(help);
    ExpectFixedWindow(*help, "Help", QSize(500, 300));

    // MenuBar2, the one instance, shown as File and Edit only.
    EXPECT_EQ(help->MenuBar().Get(), static_cast<fw::MenuBar*>(MenuBar2().Get()));
    std::vector<std::string> menus;
    for (QAction* a : help->QtMenuBar()->actions()) menus.push_back(a->text().toStdString());
    EXPECT_EQ(menus, (std::vector<std::string>{"&File", "&Edit"}));
    EXPECT_TRUE(help->HasMenuHandler("FilePrintHelp"));
    for (const char* other : {"HelpShow", "HelpAbout", "CheckForUpdateCheckNow", "FileQuit", "EditCopy"})
        EXPECT_FALSE(help->HasMenuHandler(other)) << other;
    EXPECT_EQ(help->FileQuit().Get(), MenuBar2()->Lookup("FileQuit").Get());
    EXPECT_NE(dynamic_cast<fw::QuitMenuItem*>(help->FileQuit().Get()), nullptr);
    EXPECT_EQ(help->EditSeparator1()->Text().ToUtf8(), "-");

    // The one control: the editable help text with a margin of 20 all round.
    ASSERT_EQ(help->Controls().size(), 1u);
    fw::Ref<fw::TextArea> area = help->TextArea1();
    ASSERT_TRUE(area);
    EXPECT_EQ(area->Text().ToUtf8(), std::string(resources::HelpText()));
    EXPECT_EQ(area->Widget()->geometry(), QRect(20, 20, 460, 260));
    EXPECT_FALSE(area->ReadOnly());
    EXPECT_TRUE(area->Multiline());
    EXPECT_EQ(area->TabIndex(), 0);
    EXPECT_EQ(area->Widget()->font().pointSizeF(), QApplication::font().pointSizeF()) << "the default size";

    // Show Help again: the same window, no second one.
    EXPECT_FALSE(W().HelpShow_Action());
    EXPECT_EQ(fw::GetImplicitWindow("Help.Help").Get(), help.Get());
    EXPECT_EQ(fw::RuntimeOpenWindows().size(), 2u);

    // Edits last as long as the window: closed and shown again, it holds
    // the designed text.
    area->SetText("edited");
    help->Close();
    EXPECT_TRUE(W().DoMenuCommand("HelpShow"));
    fw::Ref<Help> again = fw::Cast<Help>(fw::GetImplicitWindow("Help.Help"));
    ASSERT_TRUE(again);
    EXPECT_NE(again.Get(), help.Get());
    EXPECT_EQ(again->TextArea1()->Text().ToUtf8(), std::string(resources::HelpText()));
    EXPECT_EQ(again->MenuBar().Get(), static_cast<fw::MenuBar*>(MenuBar2().Get())) << "the bar is not built again";
    EXPECT_TRUE(desktop_.Calls().empty());
}

// Counts the Help windows that come on screen, to show that a cancelled
// Print Help makes none.
struct HelpWindowsShown : QObject {
    int shown = 0;
    HelpWindowsShown() { qApp->installEventFilter(this); }
    ~HelpWindowsShown() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show) {
            auto* w = qobject_cast<QWidget*>(o);
            if (w && w->isWindow() && w->windowTitle() == "Help") ++shown;
        }
        return false;
    }
};

// What pdftotext reads from a PDF; empty when the tool is missing.
std::string PdfText(const QStringList& args) {
    const QString tool = QStandardPaths::findExecutable("pdftotext");
    if (tool.isEmpty()) return {};
    QProcess p;
    p.start(tool, args);
    p.waitForFinished(20000);
    return p.readAllStandardOutput().toStdString();
}

void AnswerWithPdf(fw::ScriptedDesktop& desk, const QString& pdf, bool landscape = false) {
    desk.QueuePrinterAnswer(true, [pdf, landscape](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        if (landscape) printer.setPageOrientation(QPageLayout::Landscape);
    });
}

struct PrintCase {
    const char* name;
    bool fromHelp;      // chosen in the Help window (else in the main window)
    bool helpOpen;      // a Help window is open beforehand
    bool confirm;       // the dialog is confirmed (else cancelled)
    const char* typed;  // typed into the open Help window first; nullptr: none
};

void PrintTo(const PrintCase& c, std::ostream* os) { *os << c.name; }

class PrintHelpTest : public ProgramFixture, public ::testing::WithParamInterface<PrintCase> {};

TEST_P(PrintHelpTest, PrintsWhatTheHelpWindowHoldsAndEndsWithNoHelpWindow) {
    const PrintCase& c = GetParam();
    if (c.confirm && QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext is missing";
    QTemporaryDir dir;
    const QString pdf = dir.filePath("help.pdf");
    fw::Ref<Help> help;
    if (c.helpOpen) {
        W().HelpShow_Action();
        help = HelpInstance();
        if (c.typed) {
            help->TextArea1()->SetFocus();
            help->TextArea1()->SelectAll();
            QTest::keyClicks(help->TextArea1()->Widget(), QString::fromUtf8(c.typed));
            ASSERT_EQ(help->TextArea1()->Text().ToUtf8(), c.typed);
        }
    }
    if (c.confirm) AnswerWithPdf(desktop_, pdf);
    else desktop_.QueuePrinterAnswer(false);

    HelpWindowsShown shown;
    if (c.fromHelp) {
        EXPECT_TRUE(help->FilePrintHelp_Action());
    } else {
        EXPECT_TRUE(W().FilePrintHelp_Action());
    }
    EXPECT_EQ(desktop_.Count(Kind::ChoosePrinter), 1u);
    EXPECT_FALSE(fw::GetImplicitWindow("Help.Help")) << "Print Help leaves no Help window open";
    if (help) {
        EXPECT_TRUE(help->IsClosed());
    }
    EXPECT_EQ(shown.shown, c.helpOpen || !c.confirm ? 0 : 1) << "a Help window is made only to print";
    EXPECT_FALSE(W().IsClosed());
    EXPECT_EQ(desktop_.Count(Kind::MsgBox), 0u);
    if (!c.confirm) {
        EXPECT_FALSE(QFile::exists(pdf));
        return;
    }
    const std::string text = PdfText({"-layout", pdf, "-"});
    const std::string want = c.typed ? c.typed : std::string(resources::HelpText()).substr(0, 50);
    EXPECT_NE(text.find(want), std::string::npos) << text;
    EXPECT_NE(text.find("page 1"), std::string::npos) << text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintHelpTest,
    ::testing::Values(PrintCase{"FromTheMainWindowWithNoneOpen", false, false, true, nullptr},
                      PrintCase{"FromTheMainWindowWithHelpOpen", false, true, true, nullptr},
                      PrintCase{"FromTheHelpWindowAsTyped", true, true, true, "Typed into the Help window."},
                      PrintCase{"CancelledWithNoneOpen", false, false, false, nullptr},
                      PrintCase{"CancelledInTheHelpWindow", true, true, false, nullptr}),
    [](const ::testing::TestParamInfo<PrintCase>& info) { return std::string(info.param.name); });

// The word boxes of a PDF's first page: "word x y" each.
std::vector<std::string> WordBoxes(const QString& pdf) {
    const QString html = QString::fromStdString(PdfText({"-bbox", "-f", "1", "-l", "1", pdf, "-"}));
    static const QRegularExpression re(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
    std::vector<std::string> words;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.push_back(m.captured(3).toStdString() + " " + QString::number(m.captured(1).toDouble(), 'f', 1).toStdString() +
                        " " + QString::number(m.captured(2).toDouble(), 'f', 1).toStdString());
    }
    return words;
}

TEST_F(HelpAboutTest, ALandscapeChoiceInTheDialogMovesNothing) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext is missing";
    QTemporaryDir dir;
    const QString upright = dir.filePath("upright.pdf"), turned = dir.filePath("turned.pdf");
    // The same minute on both, so the footers match.
    const QDateTime moment(QDate(2025, 3, 9), QTime(14, 5));
    fw::DateClock old = fw::SetDateClock([moment] { return moment; });
    AnswerWithPdf(desktop_, upright);
    EXPECT_TRUE(W().FilePrintHelp_Action());
    AnswerWithPdf(desktop_, turned, true);
    EXPECT_TRUE(W().FilePrintHelp_Action());
    fw::SetDateClock(old);

    const std::vector<std::string> a = WordBoxes(upright), b = WordBoxes(turned);
    ASSERT_GT(a.size(), 100u);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.front().substr(0, 5), "This ");
}

TEST_F(HelpAboutTest, AboutOpensOneBoxWithTheRunningVersionAndTheConfiguredCredits) {
    // The application's version information, as start-up hands it over.
    fw::RuntimeSetVersionInfo(fw::VersionInfo{7, 8, 9, "7.8.9", "7.8.9 test build"});
    EXPECT_FALSE(W().HelpAbout_Action());
    fw::Ref<AboutBox> box = fw::Cast<AboutBox>(fw::GetImplicitWindow("AboutBox.AboutBox"));
    ASSERT_TRUE(box);
    ExpectFixedWindow(*box, "About...", QSize(334, 258));
    EXPECT_FALSE(box->MenuBar()) << "no menu bar of its own";
    EXPECT_FALSE(box->IsModalRunning());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // The six controls in creation order.
    const std::vector<std::pair<std::string, fw::Ref<fw::Control>>> controls = {
        {"PushButton1", box->PushButton1()}, {"PushButton2", box->PushButton2()}, {"StaticText2", box->StaticText2()},
        {"StaticText1", box->StaticText1()}, {"StaticText3", box->StaticText3()}, {"StaticText4", box->StaticText4()}};
    ASSERT_EQ(box->Controls().size(), controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        ASSERT_TRUE(controls[i].second) << controls[i].first;
        EXPECT_EQ(box->Controls()[i].Get(), controls[i].second.Get()) << controls[i].first;
    }
    EXPECT_EQ(box->PushButton1()->Caption().ToUtf8(), "Email Author");
    EXPECT_EQ(box->PushButton2()->Caption().ToUtf8(), "Visit Web Site");
    EXPECT_EQ(box->StaticText1()->Text().ToUtf8(), "Scrandle?");
    EXPECT_EQ(box->StaticText3()->Text().ToUtf8(), "Version:");
    EXPECT_EQ(box->StaticText2()->Text().ToUtf8(), std::string("Developed by\r") + build::kDeveloperName +
                                                         "\r\rSr. Beta Tester\r" + build::kTesterName);
    // The version label took the long version as it opened.
    EXPECT_EQ(box->StaticText4()->Text().ToUtf8(), "7.8.9 test build");

    // About again: the same box, brought in front of the main window.
    W().FrameWidget()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(W().FrameWidget()->windowHandle(), 2000));
    EXPECT_FALSE(W().HelpAbout_Action());
    EXPECT_EQ(fw::GetImplicitWindow("AboutBox.AboutBox").Get(), box.Get());
    EXPECT_EQ(fw::RuntimeOpenWindows().size(), 2u);
    EXPECT_TRUE(QTest::qWaitForWindowActive(box->FrameWidget()->windowHandle(), 2000)) << "not brought to the front";

    // Closed, the next About builds it anew and reads the version again.
    box->Close();
    fw::RuntimeSetVersionInfo(fw::VersionInfo{7, 8, 10, "7.8.10", "7.8.10 test build"});
    EXPECT_TRUE(W().DoMenuCommand("HelpAbout"));
    fw::Ref<AboutBox> again = AboutBoxInstance();
    EXPECT_NE(again.Get(), box.Get());
    EXPECT_EQ(again->StaticText4()->Text().ToUtf8(), "7.8.10 test build");
    fw::RuntimeSetVersionInfo(fw::VersionInfo{});
    EXPECT_TRUE(desktop_.Calls().empty());
}

TEST_F(HelpAboutTest, TheButtonsHandTheMailAndWebAddressesOnAndLeaveTheBoxOpen) {
    W().HelpAbout_Action();
    fw::Ref<AboutBox> box = AboutBoxInstance();
    box->PushButton1()->Push();
    box->PushButton2()->Push();
    // The web site is the one the web host option names, as for the update
    // check.
    update::SetWebHost("127.0.0.1:8080");
    box->PushButton2()->Push();
    update::SetWebHost(fw::String());
    box->PushButton1()->Push();
    std::vector<std::string> urls;
    for (const auto& call : desktop_.CallsOf(Kind::ShowURL)) urls.push_back(call.text.ToUtf8());
    const std::string mail = std::string("mailto:") + SCRANDLE_AUTHOR_MAIL, web = std::string("http://") + SCRANDLE_WEB_HOST;
    EXPECT_EQ(urls, (std::vector<std::string>{mail, web, "http://127.0.0.1:8080", mail}));
    EXPECT_EQ(web.find('/', 7), std::string::npos) << "the site's root, no path";
    EXPECT_FALSE(box->IsClosed());
    EXPECT_EQ(desktop_.Calls().size(), 4u);
}

}  // namespace
