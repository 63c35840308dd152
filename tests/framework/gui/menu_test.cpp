// Menus: the item model (Append, Child, Lookup), the Qt menu bar built from
// it (captions, mnemonics, shortcuts, separators), commands by item name per
// window, Quit and the Edit commands on the focused text control.
#include "runtime_test_util.h"

#include "gui/Application.h"
#include "gui/Menu.h"
#include "core/Registry.h"
#include "gui/Runtime.h"
#include "gui/Style.h"
#include "gui/controls/TextArea.h"
#include "gui/controls/TextField.h"
#include "gui/Window.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QStyle>
#include <gtest/gtest.h>

namespace {

struct ItemRow {
    const char* name;
    const char* menu;  // nullptr: appended to the bar
    const char* text;
    const char* shortcut;  // nullptr: none assigned (separators)
    bool quit = false;
};

// A bar like the program's, built the way its builders do: every item
// appended to the bar or to the bar's child looked up afresh.
fw::Ref<fw::MenuBar> BuildBar() {
    const ItemRow items[] = {
        {"FileMenu", nullptr, "&File", ""},
        {"FilePrintHelp", "FileMenu", "Print Help", "Cmd+P"},
        {"FileQuit", "FileMenu", "Quit", "Cmd+Q", true},
        {"EditMenu", nullptr, "&Edit", ""},
        {"EditUndo", "EditMenu", "&Undo", "Cmd+Z"},
        {"UntitledMenu1", "EditMenu", "-", nullptr},
        {"EditCut", "EditMenu", "Cu&t", "Cmd+X"},
        {"EditCopy", "EditMenu", "&Copy", "Cmd+C"},
        {"EditPaste", "EditMenu", "&Paste", "Cmd+V"},
        {"EditClear", "EditMenu", "&Delete", ""},
        {"UntitledMenu0", "EditMenu", "-", nullptr},
        {"EditSelectAll", "EditMenu", "Select &All", "Cmd+A"},
    };
    auto bar = fw::New<fw::MenuBar>();
    bar->Constructor();
    for (const auto& row : items) {
        fw::Ref<fw::MenuItem> item = row.quit ? fw::Ref<fw::MenuItem>(fw::New<fw::QuitMenuItem>()) : fw::New<fw::MenuItem>();
        item->Constructor();
        item->SetName(row.name);
        item->SetAutoEnable(true);
        item->SetText(row.text);
        if (row.shortcut) item->SetKeyboardShortcut(row.shortcut);
        if (row.menu) bar->Child(row.menu)->Append(item);
        else bar->Append(item);
    }
    return bar;
}

class MenuTest : public ::testing::Test, protected rt_test::RuntimeFixtureBase {
protected:
    void SetUp() override { StartRuntime(); }
    void TearDown() override { StopRuntime(); }

    static QAction* ActionOf(fw::Window& w, const QString& menuTitle, const QString& itemText) {
        for (QAction* top : w.QtMenuBar()->actions())
            if (top->text() == menuTitle && top->menu())
                for (QAction* a : top->menu()->actions())
                    if (a->text() == itemText) return a;
        return nullptr;
    }
};

TEST_F(MenuTest, ModelFindsChildrenDirectlyAndItemsAnywhereBelow) {
    auto bar = BuildBar();
    EXPECT_EQ(bar->Count(), 2);
    ASSERT_TRUE(bar->Child("EditMenu"));
    EXPECT_TRUE(bar->Child("EditCopy").IsNil());  // not a direct child
    auto copy = bar->Lookup("EditCopy");
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Text().ToUtf8(), "&Copy");
    EXPECT_EQ(copy->Parent().Get(), bar->Child("EditMenu").Get());
    EXPECT_TRUE(bar->Lookup("NoSuchItem").IsNil());
    EXPECT_TRUE(fw::Cast<fw::QuitMenuItem>(bar->Lookup("FileQuit")));
    EXPECT_TRUE(bar->Lookup("UntitledMenu0")->IsSeparator());
    EXPECT_EQ(bar->Child("EditMenu")->Item(0)->Name().ToUtf8(), "EditUndo");
    EXPECT_TRUE(bar->Child("EditMenu")->Item(99).IsNil());

    EXPECT_THROW(bar->Append(nullptr), fw::NilObjectException);
    EXPECT_THROW(bar->Child("FileMenu")->Append(bar), fw::RuntimeException);
    // Appending an item elsewhere takes it from its old menu.
    bar->Child("FileMenu")->Append(copy);
    EXPECT_EQ(copy->Parent().Get(), bar->Child("FileMenu").Get());
    EXPECT_TRUE(bar->Child("EditMenu")->Child("EditCopy").IsNil());
}

TEST(MenuShortcut, CommandFormBecomesCtrl) {
    struct Case {
        const char* text;
        const char* want;  // portable text; "" for none
    };
    const Case cases[] = {
        {"Cmd+X", "Ctrl+X"}, {"Cmd+Q", "Ctrl+Q"},       {"cmd+a", "Ctrl+A"},
        {"Ctrl+P", "Ctrl+P"}, {"Cmd+Shift+S", "Ctrl+Shift+S"}, {"", ""},
        {"Cmd+", ""},         {"Hyper+X", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fw::ShortcutFromText(c.text).toString(QKeySequence::PortableText).toStdString(), c.want) << c.text;
}

TEST_F(MenuTest, QtBarShowsCaptionsSeparatorsAndShortcuts) {
    auto w = fw::New<fw::Window>();
    w->SetMenuBar(BuildBar());
    ASSERT_NE(w->QtMenuBar(), nullptr);
    const auto tops = w->QtMenuBar()->actions();
    ASSERT_EQ(tops.size(), 2);
    EXPECT_EQ(tops[0]->text(), "&File");
    EXPECT_EQ(tops[1]->text(), "&Edit");
    struct Row {
        const char* text;  // nullptr: separator
        const char* shortcut;
    };
    const Row edit[] = {{"&Undo", "Ctrl+Z"}, {nullptr, ""},         {"Cu&t", "Ctrl+X"}, {"&Copy", "Ctrl+C"},
                        {"&Paste", "Ctrl+V"}, {"&Delete", ""},      {nullptr, ""},       {"Select &All", "Ctrl+A"}};
    const auto actions = tops[1]->menu()->actions();
    ASSERT_EQ(actions.size(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(actions[i]->isSeparator(), edit[i].text == nullptr) << i;
        if (edit[i].text) {
            EXPECT_EQ(actions[i]->text().toStdString(), edit[i].text);
        }
        EXPECT_EQ(actions[i]->shortcut().toString(QKeySequence::PortableText).toStdString(), edit[i].shortcut) << i;
        EXPECT_TRUE(actions[i]->isEnabled()) << i;
    }
}

TEST_F(MenuTest, SharedBarGivesEachWindowItsOwnQtBarAndItsOwnHandlers) {
    auto bar = BuildBar();
    auto a = fw::New<fw::Window>();
    auto b = fw::New<fw::Window>();
    a->SetMenuBar(bar);
    b->SetMenuBar(bar);
    EXPECT_EQ(a->MenuBar().Get(), b->MenuBar().Get());
    EXPECT_NE(a->QtMenuBar(), b->QtMenuBar());
    int printsInA = 0;
    a->AddMenuHandler("FilePrintHelp", [&] {
        ++printsInA;
        return true;
    });
    ActionOf(*b, "&File", "Print Help")->trigger();
    EXPECT_EQ(printsInA, 0);
    EXPECT_FALSE(b->DoMenuCommand("FilePrintHelp"));
    ActionOf(*a, "&File", "Print Help")->trigger();
    EXPECT_EQ(printsInA, 1);
    // Building the bar twice into windows never doubles its menus.
    EXPECT_EQ(a->QtMenuBar()->actions().size(), 2);
    EXPECT_EQ(bar->Count(), 2);
}

TEST_F(MenuTest, MenuCommandExceptionIsReported) {
    auto w = fw::New<fw::Window>();
    w->SetMenuBar(BuildBar());
    w->AddMenuHandler("FilePrintHelp", []() -> bool { throw fw::NilObjectException("no printer object"); });
    ActionOf(*w, "&File", "Print Help")->trigger();
    const auto boxes = desktop_.CallsOf(fw::ScriptedDesktop::Kind::MsgBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.ToUtf8().find("no printer object"), std::string::npos);
}

TEST_F(MenuTest, QuitItemQuitsWithoutAnyHandler) {
    auto w = fw::New<fw::Window>();
    w->SetMenuBar(BuildBar());
    QTimer::singleShot(0, [&] { ActionOf(*w, "&File", "Quit")->trigger(); });
    fw::RuntimeRun();
    EXPECT_TRUE(fw::RuntimeIsQuitting());
    EXPECT_EQ(fw::RuntimeExit(), 0);
}

TEST_F(MenuTest, WindowWithoutABarOfItsOwnAnswersTheApplicationBarsShortcuts) {
    auto app = fw::New<fw::Application>();
    app->SetMenuBar(BuildBar());
    fw::RuntimeRegisterAppObject(app);
    fw::RegisterClass(fw::ClassDef("MenuTest.Plain", "Window").Creates<fw::Window>());
    auto w = fw::ImplicitWindow<fw::Window>("MenuTest.Plain");
    EXPECT_EQ(w->QtMenuBar(), nullptr);
    QAction* quit = nullptr;
    for (QAction* a : w->FrameWidget()->actions())
        if (a->shortcut() == QKeySequence(QStringLiteral("Ctrl+Q"))) quit = a;
    ASSERT_NE(quit, nullptr);
    QTimer::singleShot(0, quit, [quit] { quit->trigger(); });
    fw::RuntimeRun();
    EXPECT_TRUE(fw::RuntimeIsQuitting());
}

TEST_F(MenuTest, EditCommandsWorkOnTheFocusedTextControl) {
    auto w = fw::New<fw::Window>();
    w->SetMenuBar(BuildBar());
    auto area = fw::New<fw::TextArea>();
    auto field = fw::New<fw::TextField>();
    w->AddControl("Area", area);
    w->AddControl("Field", field);
    area->SetBounds(0, 0, 200, 100);
    field->SetBounds(0, 110, 200, 22);
    w->Show();

    // Copy keeps the area's exact line ends.
    area->SetText("one\rtwo three");
    area->SetSelStart(0);
    area->SetSelLength(7);
    area->SetFocus();
    ActionOf(*w, "&Edit", "&Copy")->trigger();
    EXPECT_EQ(fw::String::FromQString(QGuiApplication::clipboard()->text()).ToUtf8(), "one\rtwo");

    field->SetText("x");
    field->SetFocus();
    ActionOf(*w, "&Edit", "Select &All")->trigger();
    EXPECT_EQ(field->SelText().ToUtf8(), "x");
    ActionOf(*w, "&Edit", "&Paste")->trigger();
    EXPECT_EQ(field->Text().ToUtf8(), "one\rtwo");

    area->SetFocus();
    area->SetSelStart(8);
    area->SetSelLength(5);
    EXPECT_TRUE(w->DoMenuCommand("EditClear"));
    EXPECT_EQ(area->Text().ToUtf8(), "one\rtwo ");
    EXPECT_TRUE(w->DoMenuCommand("EditUndo"));
    EXPECT_EQ(area->Text().ToUtf8(), "one\rtwo three");
    area->SetSelStart(0);
    area->SetSelLength(3);
    EXPECT_TRUE(w->DoMenuCommand("EditCut"));
    EXPECT_EQ(area->Text().ToUtf8(), "\rtwo three");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "one");
}

}  // namespace

namespace {
bool ImageFormatPluginLoaded() {
    QFile maps("/proc/self/maps");
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/imageformats/");
}
}  // namespace

// Qt's own image for a menu bar's overflow button is a file whose reading
// loads every image-format plug-in; the framework's style draws it instead.
TEST(FrameworkStyle, AMenuBarIsMadeWithoutReadingImageFiles) {
    rt_test::TestApp();
    ASSERT_FALSE(ImageFormatPluginLoaded()) << "this test needs a process of its own";
    QApplication::setStyle(fw::NewFrameworkStyle());  // as RuntimeInit does
    QStyle* style = QApplication::style();
    EXPECT_FALSE(style->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton).pixmap(16, 16).isNull());
    EXPECT_FALSE(style->standardIcon(QStyle::SP_ToolBarVerticalExtensionButton).isNull());

    QWidget window;
    QMenuBar bar(&window);
    bar.addMenu("&File");
    EXPECT_FALSE(ImageFormatPluginLoaded());
}
