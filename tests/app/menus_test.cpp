// The two menu bars: their items in order with captions, classes and
// shortcuts, the Qt menus the main window shows from MenuBar1, the one
// MenuBar1 instance, the window's item accessors, its three show-window
// commands, the commands left to the framework, and the ways the running program ends (Quit item, Ctrl+Q, the
// close box), each with status 0.
#include "app_test_util.h"

#include "app/AboutBox.h"
#include "app/Help.h"
#include "core/Registry.h"
#include "update/selfTest.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using app_test::ProgramFixture;

struct ItemRow {
    std::string menu;  // the top-level menu it is in; empty for a top-level menu
    std::string name;
    std::string cls;
    std::string text;
    std::string shortcut;
    bool operator==(const ItemRow&) const = default;
};

void PrintTo(const ItemRow& r, std::ostream* os) {
    *os << "{" << r.menu << ", " << r.name << ", " << r.cls << ", \"" << r.text << "\", \"" << r.shortcut << "\"}";
}

const std::vector<ItemRow> kMenuBar1 = {
    {"", "FileMenu", "MenuItem", "&File", ""},
    {"FileMenu", "FilePrintHelp", "MenuItem", "Print Help", "Cmd+P"},
    {"FileMenu", "FileQuit", "QuitMenuItem", "Quit", "Cmd+Q"},
    {"", "EditMenu", "MenuItem", "&Edit", ""},
    {"EditMenu", "EditUndo", "MenuItem", "&Undo", "Cmd+Z"},
    {"EditMenu", "UntitledMenu1", "MenuItem", "-", ""},
    {"EditMenu", "EditCut", "MenuItem", "Cu&t", "Cmd+X"},
    {"EditMenu", "EditCopy", "MenuItem", "&Copy", "Cmd+C"},
    {"EditMenu", "EditPaste", "MenuItem", "&Paste", "Cmd+V"},
    {"EditMenu", "EditClear", "MenuItem", "&Delete", ""},
    {"EditMenu", "UntitledMenu0", "MenuItem", "-", ""},
    {"EditMenu", "EditSelectAll", "MenuItem", "Select &All", "Cmd+A"},
    {"", "CheckForUpdateMenu", "MenuItem", "Check For Update", ""},
    {"CheckForUpdateMenu", "CheckForUpdateCheckNow", "MenuItem", "Check Now", ""},
    {"", "HelpMenu", "MenuItem", "Scrandle Help", ""},
    {"HelpMenu", "HelpShow", "MenuItem", "Show Help", ""},
    {"HelpMenu", "HelpAbout", "AppleMenuItem", "About...", ""},
};

// MenuBar2: File and Edit alike, but for the names of the separators.
std::vector<ItemRow> MenuBar2Rows() {
    std::vector<ItemRow> rows(kMenuBar1.begin(), kMenuBar1.begin() + 12);
    for (auto& r : rows) {
        if (r.name == "UntitledMenu1") r.name = "EditSeparator1";
        else if (r.name == "UntitledMenu0") r.name = "EditSeparator2";
    }
    return rows;
}

// The bar's model flattened in order; also checks what every item must be.
std::vector<ItemRow> Flatten(const fw::MenuBar& bar) {
    std::vector<ItemRow> rows;
    auto row = [](const std::string& menu, const fw::MenuItem& item) {
        EXPECT_TRUE(item.AutoEnable()) << item.Name().ToUtf8();
        EXPECT_TRUE(item.Enabled()) << item.Name().ToUtf8();
        EXPECT_TRUE(item.Visible()) << item.Name().ToUtf8();
        EXPECT_FALSE(item.Checked()) << item.Name().ToUtf8();
        return ItemRow{menu, item.Name().ToUtf8(), item.Class() ? item.Class()->Name() : "(no class)",
                       item.Text().ToUtf8(), item.KeyboardShortcut().ToUtf8()};
    };
    for (int32_t i = 0; i < bar.Count(); ++i) {
        fw::Ref<fw::MenuItem> top = bar.Item(i);
        rows.push_back(row("", *top));
        for (int32_t j = 0; j < top->Count(); ++j) {
            fw::Ref<fw::MenuItem> item = top->Item(j);
            EXPECT_EQ(item->Count(), 0) << "no submenus: " << item->Name().ToUtf8();
            rows.push_back(row(top->Name().ToUtf8(), *item));
        }
    }
    return rows;
}

class MenusTest : public ProgramFixture {};

TEST_F(MenusTest, MenuBar1HoldsItsItemsInOrderAndIsTheOneBarOfAppAndWindow) {
    fw::Ref<class MenuBar1> bar = MenuBar1();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->Class()->Name(), "MenuBar1.MenuBar1");
    EXPECT_EQ(Flatten(*bar), kMenuBar1);
    EXPECT_EQ(MenuBar1().Get(), bar.Get());
    EXPECT_EQ(AppObject()->MenuBar().Get(), bar.Get());
    EXPECT_EQ(W().MenuBar().Get(), bar.Get());
    EXPECT_EQ(bar->Count(), 4) << "asking again builds no menu twice";
}

TEST_F(MenusTest, MenuBar2HasOnlyFileAndEditWithItsOwnSeparatorNames) {
    fw::Ref<class MenuBar2> bar = MenuBar2();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->Class()->Name(), "MenuBar2.MenuBar2");
    EXPECT_EQ(Flatten(*bar), MenuBar2Rows());
    EXPECT_EQ(MenuBar2().Get(), bar.Get());
    EXPECT_NE(bar.Get(), static_cast<fw::MenuBar*>(MenuBar1().Get()));
}

// What the main window's Qt menu bar shows, row by row as in the model:
// caption, or "-" for a separator, and the shortcut as Qt reads it.
TEST_F(MenusTest, TheWindowShowsTheBarWithCtrlShortcutsAndSeparators) {
    QMenuBar* qbar = W().QtMenuBar();
    ASSERT_NE(qbar, nullptr);
    std::vector<ItemRow> shown;
    for (QAction* top : qbar->actions()) {
        ASSERT_NE(top->menu(), nullptr) << top->text().toStdString();
        shown.push_back({"", "", "", top->text().toStdString(), ""});
        for (QAction* a : top->menu()->actions()) {
            EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
            shown.push_back({top->text().toStdString(), "", "", a->isSeparator() ? "-" : a->text().toStdString(),
                             a->shortcut().toString(QKeySequence::PortableText).toStdString()});
        }
    }
    std::vector<ItemRow> wanted;
    std::string menuText;
    for (const ItemRow& r : kMenuBar1) {
        if (r.menu.empty()) menuText = r.text;
        std::string shortcut = r.shortcut;
        if (shortcut.rfind("Cmd+", 0) == 0) shortcut = "Ctrl+" + shortcut.substr(4);
        wanted.push_back({r.menu.empty() ? "" : menuText, "", "", r.text, r.menu.empty() ? "" : shortcut});
    }
    EXPECT_EQ(shown, wanted);
}

#define ACC(n) {#n, [](Window1& w) { return fw::Ref<fw::MenuItem>(w.n()); }}
TEST_F(MenusTest, ItemAccessorsFindTheItemOfTheirNameInTheWindowsBar) {
    const std::vector<std::pair<std::string, std::function<fw::Ref<fw::MenuItem>(Window1&)>>> accessors = {
        ACC(HelpMenu),      ACC(HelpAbout), ACC(HelpShow),  ACC(CheckForUpdateMenu), ACC(CheckForUpdateCheckNow),
        ACC(EditMenu),      ACC(EditSelectAll), ACC(UntitledMenu0), ACC(EditClear), ACC(EditPaste),
        ACC(EditCopy),      ACC(EditCut),   ACC(UntitledMenu1), ACC(EditUndo),  ACC(FileMenu),
        ACC(FileQuit),      ACC(FilePrintHelp),
    };
    ASSERT_EQ(accessors.size(), kMenuBar1.size());
    for (const auto& [name, accessor] : accessors) {
        fw::Ref<fw::MenuItem> item = accessor(W());
        ASSERT_TRUE(item) << name;
        EXPECT_EQ(item->Name().ToUtf8(), name);
        EXPECT_EQ(item.Get(), MenuBar1()->Lookup(fw::String(name)).Get()) << name;
    }
    EXPECT_NE(dynamic_cast<fw::QuitMenuItem*>(W().FileQuit().Get()), nullptr);
    EXPECT_NE(dynamic_cast<fw::AppleMenuItem*>(W().HelpAbout().Get()), nullptr);
}
#undef ACC

TEST_F(MenusTest, OnlyTheFourCommandsHaveHandlersAndEditGoesToTheFocusedArea) {
    const std::set<std::string> commands = {"CheckForUpdateCheckNow", "HelpShow", "HelpAbout", "FilePrintHelp"};
    for (const ItemRow& r : kMenuBar1)
        EXPECT_EQ(W().HasMenuHandler(fw::String(r.name)), commands.count(r.name) == 1) << r.name;

    // Select All from the Edit menu works on the area with the focus.
    W().EditField1()->SetFocus();
    QAction* selectAll = nullptr;
    for (QAction* top : W().QtMenuBar()->actions())
        for (QAction* a : top->menu()->actions())
            if (a->text() == "Select &All") selectAll = a;
    ASSERT_NE(selectAll, nullptr);
    selectAll->trigger();
    EXPECT_EQ(W().EditField1()->SelLength(), fw::Len(W().EditField1()->Text()));
}

// Check Now, Show Help and About... each show the window of their own
// class, the same one when chosen again, and return False.
TEST_F(MenusTest, EachShowWindowCommandShowsItsOwnWindowOnce) {
    struct Case {
        const char* item;
        bool (Window1::*command)();
        std::string_view windowClass;
    };
    const Case cases[] = {
        {"CheckForUpdateCheckNow", &Window1::CheckForUpdateCheckNow_Action, selfTest::Definition().registeredName},
        {"HelpShow", &Window1::HelpShow_Action, Help::Definition().registeredName},
        {"HelpAbout", &Window1::HelpAbout_Action, AboutBox::Definition().registeredName},
    };
    std::size_t open = fw::RuntimeOpenWindows().size();
    for (const Case& c : cases) {
        EXPECT_FALSE((W().*c.command)()) << c.item;
        const fw::Ref<fw::Window> shown = fw::GetImplicitWindow(c.windowClass);
        ASSERT_TRUE(shown) << c.item;
        EXPECT_EQ(fw::RuntimeOpenWindows().size(), ++open) << c.item << " opened another window too";
        EXPECT_FALSE((W().*c.command)()) << c.item;
        EXPECT_EQ(fw::GetImplicitWindow(c.windowClass).Get(), shown.Get()) << c.item;
        EXPECT_EQ(fw::RuntimeOpenWindows().size(), open) << c.item << " chosen again opened a second window";
    }
}

// The running program, ended in each way the user has; each time the event
// loop returns, the main window's Close handler has run (asking to quit
// again where the quit came first) and the status is 0. Running these one
// after another in one process also shows that a quit leaves nothing behind
// that would end the next loop early.
struct EndCase {
    const char* how;
    std::function<void(Window1&)> end;
};

void PrintTo(const EndCase& c, std::ostream* os) { *os << c.how; }

class EndingTest : public ::testing::TestWithParam<EndCase> {
protected:
    fw::ScriptedDesktop desktop_;
    fw::ScopedDesktop scoped_{desktop_};
};

QAction* QuitAction(Window1& w) {
    for (QAction* top : w.QtMenuBar()->actions())
        for (QAction* a : top->menu()->actions())
            if (a->text() == "Quit") return a;
    return nullptr;
}

TEST_P(EndingTest, EndsTheEventLoopWithStatusZero) {
    app_test::TestApp();
    // Should the program not end, the test fails instead of hanging.
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { fw::Quit(99); });
    giveUp.start(10000);

    fw::Ref<Window1> kept;
    startup::Options options;
    options.afterMainWindow = [&] {
        kept = Window1Instance();
        QTimer::singleShot(0, [&] { GetParam().end(*kept); });
    };
    static int argc = 1;
    static char arg0[] = "scrandle";
    static char* argv[] = {arg0, nullptr};
    EXPECT_EQ(startup::Main(argc, argv, options), 0);

    const auto& phases = startup::Phases();
    EXPECT_NE(std::find(phases.begin(), phases.end(), "event loop returned"), phases.end());
    ASSERT_TRUE(kept);
    EXPECT_TRUE(kept->IsClosed());
    EXPECT_TRUE(desktop_.Calls().empty());
    kept = nullptr;
    app_test::ReleaseClosedWindows();
}

INSTANTIATE_TEST_SUITE_P(
    How, EndingTest,
    ::testing::Values(
        EndCase{"QuitItem",
                [](Window1& w) {
                    QAction* quit = QuitAction(w);
                    ASSERT_NE(quit, nullptr);
                    quit->trigger();
                }},
        EndCase{"CtrlQ",
                [](Window1& w) {
                    QWidget* frame = w.FrameWidget();
                    frame->activateWindow();
                    ASSERT_TRUE(QTest::qWaitForWindowActive(frame->windowHandle(), 2000))
                        << "the window never became active";
                    w.EditField1()->SetFocus();
                    QTest::keyClick(w.EditField1()->Widget(), Qt::Key_Q, Qt::ControlModifier);
                }},
        EndCase{"CloseBox", [](Window1& w) { w.FrameWidget()->close(); }},
        EndCase{"QuitThenClose",
                [](Window1& w) {
                    fw::Quit(0);
                    w.Close();  // its handler asks to quit a second time
                    fw::Quit(4);
                }}),
    [](const ::testing::TestParamInfo<EndCase>& info) { return std::string(info.param.how); });

}  // namespace
