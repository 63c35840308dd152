// Windows built through the registry: hook order, controls by name, the
// implicit instance, Close, event binding, the window's own set and the
// tab order.
#include "runtime_test_util.h"

#include "../../wait_until.h"

#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/Menu.h"
#include "core/PropertySet.h"
#include "gui/QtDesktop.h"
#include "core/Registry.h"
#include "gui/Runtime.h"
#include "gui/controls/TextArea.h"
#include "gui/Window.h"

#include <QMenuBar>
#include <QMessageBox>
#include <QWindow>
#include <QTimer>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using rt_test::TestButton;
using rt_test::TestEdit;
using rt_test::TestLine;

namespace {

constexpr const char* kClass = "WindowTest.TestWin";

struct Record {
    std::vector<std::string> log;
    bool openSawDesignText = false;
    int actions = 0;
    const fw::Control* lastSender = nullptr;
    const fw::Window* lastWindow = nullptr;
    bool throwInAction = false;
    bool closeInAction = false;
    bool msgBoxInAction = false;
};
Record& Rec() {
    static Record r;
    return r;
}

std::string OwnSet(bool resizeable = false) {
    using fw::PropertyValue;
    return fw::WritePropertySet({
        {"Placement", PropertyValue::Int(0)},
        {"Width", PropertyValue::Int(320)},
        {"Height", PropertyValue::Int(200)},
        {"MinWidth", PropertyValue::Int(64)},
        {"MinHeight", PropertyValue::Int(64)},
        {"MaxWidth", PropertyValue::Int(32000)},
        {"MaxHeight", PropertyValue::Int(32000)},
        {"Frame", PropertyValue::Int(0)},
        {"Composite", PropertyValue::Bool(false)},
        {"HasBackColor", PropertyValue::Bool(false)},
        {"BackColor", PropertyValue::Rgb({255, 255, 255})},
        {"Title", PropertyValue::Text("Test [*] Window")},
        {"Visible", PropertyValue::Bool(true)},
        {"FullScreen", PropertyValue::Bool(false)},
        {"MenuBarVisible", PropertyValue::Bool(true)},
        {"CloseButton", PropertyValue::Bool(true)},
        {"Resizeable", PropertyValue::Bool(resizeable)},
        {"LiveResize", PropertyValue::Bool(false)},
        {"MaximizeButton", PropertyValue::Bool(false)},
        {"MinimizeButton", PropertyValue::Bool(true)},
        {"MacProcID", PropertyValue::Int(0)},
    });
}

fw::Ref<fw::MenuBar> TestBar() {
    static fw::Ref<fw::MenuBar> bar = [] {
        auto b = fw::New<fw::MenuBar>();
        auto file = fw::New<fw::MenuItem>();
        file->SetName("FileMenu");
        file->SetText("&File");
        b->Append(file);
        auto run = fw::New<fw::MenuItem>();
        run->SetName("FileRun");
        run->SetText("Run");
        b->Child("FileMenu")->Append(run);
        return b;
    }();
    return bar;
}

class TestWin : public fw::Window {
public:
    void Layout() {
        Rec().log.push_back("Layout");
        SetMenuBar(TestBar());
        fw::SetProperties(*this, OwnSet());
    }
    void CreateControls() {
        Rec().log.push_back("CreateControls");
        AddOne<TestEdit>("WindowTest.Edit", "Edit1", 2);
        ControlAs<TestEdit>("Edit1")->Edit()->setPlainText("design");
        AddOne<TestButton>("WindowTest.Button", "Button1", 0);
        fw::RuntimeAddEventHandler(ControlAs<TestButton>("Button1"), "Action",
                                   fw::RuntimeCreateDelegate(*this, &TestWin::Button1_Action, "( PushButton )"));
        AddOne<TestLine>("WindowTest.Line", "Line1", 1);
    }
    void AddMenuHandlers(const fw::Ref<fw::Window>& w) {
        Rec().log.push_back("AddMenuHandlers");
        auto self = fw::Cast<TestWin>(w);
        fw::RuntimeAddMenuHandler(*self, "FileRun", fw::RuntimeCreateDelegate(*self, &TestWin::FileRun_Action, "(  ) as Boolean"));
    }
    void Event_Open() {
        Rec().log.push_back("Open");
        auto edit = ControlAs<TestEdit>("Edit1");
        Rec().openSawDesignText = edit && edit->Edit()->toPlainText() == "design" && ControlAs<TestButton>("Button1");
    }
    void Event_Close() { Rec().log.push_back("Close"); }

    void Button1_Action(TestButton& sender) {
        ++Rec().actions;
        Rec().lastSender = &sender;
        Rec().lastWindow = this;
        if (Rec().msgBoxInAction) fw::MsgBox("from the handler");
        if (Rec().throwInAction) throw fw::IOException("The disk is gone.", 5);
        if (Rec().closeInAction) {
            Close();
            // The window and its controls stay usable until the handler ends.
            ControlAs<TestEdit>("Edit1")->Edit()->setPlainText("after close");
            Rec().log.push_back("handler ended");
        }
    }
    bool FileRun_Action() {
        Rec().log.push_back("FileRun");
        return true;
    }

private:
    template <class T>
    void AddOne(const char* className, const char* name, int32_t tabIndex) {
        auto c = NewControl<T>(className);
        c->Constructor();
        AddControl(name, c);
        auto placed = ControlAs<T>(name);
        placed->SetBounds(10, 10 + 30 * tabIndex, 100, 24);
        placed->SetTabIndex(tabIndex);
        placed->SetTabStop(true);
    }
};

void RegisterTestClasses() {
    fw::RegisterClass(fw::ClassDef("WindowTest.Edit", "RectControl").Creates<TestEdit>());
    fw::RegisterClass(fw::ClassDef("WindowTest.Line", "RectControl").Creates<TestLine>());
    fw::RegisterClass(fw::ClassDef("WindowTest.Button", "RectControl").Creates<TestButton>());
    fw::RegisterClass(fw::ClassDef(kClass, "Window")
                          .Creates<TestWin>()
                          .Attr(fw::Scope("Public"))
                          .Hook<TestWin>("Layout", "Layout", &TestWin::Layout)
                          .Hook<TestWin>("CreateControls", "CreateControls", &TestWin::CreateControls)
                          .Hook<TestWin, fw::Window>("AddMenuHandlers", "AddMenuHandlers", &TestWin::AddMenuHandlers)
                          .Hook<TestWin>("Open", "Event_Open", &TestWin::Event_Open)
                          .Hook<TestWin>("Close", "Event_Close", &TestWin::Event_Close));
}

class WindowTest : public ::testing::Test, protected rt_test::RuntimeFixtureBase {
protected:
    void SetUp() override {
        StartRuntime();
        RegisterTestClasses();
        Rec() = Record{};
    }
    void TearDown() override { StopRuntime(); }

    fw::Ref<TestWin> Accessor() { return fw::ImplicitWindow<TestWin>(kClass); }
};

TEST_F(WindowTest, BuildsThroughTheRegistryWithHooksInOrderAndControlsBeforeOpen) {
    auto w = Accessor();
    EXPECT_EQ(Rec().log, (std::vector<std::string>{"Layout", "CreateControls", "AddMenuHandlers", "Open"}));
    EXPECT_TRUE(Rec().openSawDesignText);
    ASSERT_NE(w->Class(), nullptr);
    EXPECT_EQ(w->Class()->Name(), kClass);
    EXPECT_TRUE(w->FrameWidget()->isVisible());
    // The title keeps a literal "[*]"; Qt would otherwise take it as a marker.
    ASSERT_NE(w->FrameWidget()->windowHandle(), nullptr);
    EXPECT_EQ(w->FrameWidget()->windowHandle()->title(), "Test [*] Window");
    EXPECT_EQ(w->Title().ToUtf8(), "Test [*] Window");
}

TEST_F(WindowTest, ControlAccessorsFindTheSameControlEachTimeAndNilForUnknownNames) {
    auto w = Accessor();
    auto a = w->ControlAs<TestEdit>("Edit1");
    auto b = w->ControlAs<TestEdit>("Edit1");
    ASSERT_TRUE(a);
    EXPECT_EQ(a.Get(), b.Get());
    EXPECT_EQ(w->ControlAs<TestEdit>("edit1").Get(), a.Get());  // letter case ignored
    EXPECT_TRUE(w->ControlByName("NoSuchControl").IsNil());
    EXPECT_TRUE(w->ControlAs<TestEdit>("NoSuchControl").IsNil());
    EXPECT_THROW(w->ControlAs<TestButton>("Edit1"), fw::IllegalCastException);
    EXPECT_EQ(a->OwnerWindow(), w.Get());
    EXPECT_EQ(a->Widget()->parentWidget(), w->ContentWidget());
}

TEST_F(WindowTest, ImplicitInstanceIsSharedUntilClosedThenBuiltFreshWithDesignContents) {
    std::weak_ptr<fw::Object> firstAlive;
    {
        auto first = Accessor();
        EXPECT_EQ(Accessor().Get(), first.Get());
        EXPECT_EQ(fw::GetImplicitWindow(kClass).Get(), first.Get());
        first->ControlAs<TestEdit>("Edit1")->Edit()->setPlainText("typed by the user");
        firstAlive = first.Shared();
        first->Close();
        first->Close();  // a second Close does nothing
        EXPECT_TRUE(first->IsClosed());
        EXPECT_FALSE(first->FrameWidget()->isVisible());
        EXPECT_TRUE(fw::GetImplicitWindow(kClass).IsNil());
    }
    EXPECT_EQ(std::count(Rec().log.begin(), Rec().log.end(), "Close"), 1);
    rt_test::ReleaseClosedWindows();
    EXPECT_TRUE(firstAlive.expired());

    auto second = Accessor();
    EXPECT_EQ(second->ControlAs<TestEdit>("Edit1")->Edit()->toPlainText(), "design");
    EXPECT_EQ(std::count(Rec().log.begin(), Rec().log.end(), "Open"), 2);
}

TEST_F(WindowTest, NewMakesFrameworkControlsByClassName) {
    auto w = Accessor();
    auto area = w->NewControl<fw::TextArea>("TextArea");
    ASSERT_TRUE(area);
    EXPECT_EQ(area->Class()->Name(), "TextArea");
    EXPECT_THROW(w->NewControl<fw::TextArea>("PushButton"), fw::IllegalCastException);
    EXPECT_THROW(w->New("NoSuchClass"), fw::RuntimeException);
}

TEST_F(WindowTest, WindowOperationsOutsideTheUserInterfaceThreadRaise) {
    auto w = Accessor();
    std::string message;
    std::thread other([&] {
        try {
            w->Close();
        } catch (const fw::RuntimeException& e) {
            message = e.what();
        }
    });
    other.join();
    EXPECT_NE(message.find("Window.Close"), std::string::npos) << message;
    EXPECT_FALSE(w->IsClosed());
}

TEST_F(WindowTest, CloseLeavesARegistryEntryOfAnotherWindowAlone) {
    auto first = Accessor();
    auto other = fw::New<TestWin>();
    fw::RuntimeRegisterImplicitWindow(kClass, other);
    first->Close();
    EXPECT_EQ(fw::GetImplicitWindow(kClass).Get(), other.Get());
}

TEST_F(WindowTest, ControlEventReachesTheWindowsHandlerWithWindowAndControl) {
    auto w = Accessor();
    auto button = w->ControlAs<TestButton>("Button1");
    button->Button()->click();
    EXPECT_EQ(Rec().actions, 1);
    EXPECT_EQ(Rec().lastSender, button.Get());
    EXPECT_EQ(Rec().lastWindow, w.Get());
}

TEST_F(WindowTest, ExceptionInAHandlerIsReportedAndTheProgramGoesOn) {
    auto w = Accessor();
    Rec().throwInAction = true;
    auto button = w->ControlAs<TestButton>("Button1");
    button->Button()->click();
    button->Button()->click();
    EXPECT_EQ(Rec().actions, 2);
    const auto boxes = desktop_.CallsOf(fw::ScriptedDesktop::Kind::MsgBox);
    ASSERT_EQ(boxes.size(), 2u);
    const std::string text = boxes[0].text.ToUtf8();
    EXPECT_NE(text.find("IOException"), std::string::npos) << text;
    EXPECT_NE(text.find("The disk is gone."), std::string::npos) << text;
    EXPECT_NE(text.find("5"), std::string::npos) << text;
}

// A message box belongs to the window whose handler runs, else to the
// newest window that shows; its title is the program's name unless it has
// its own.
TEST_F(WindowTest, MessageBoxesOpenOverTheirWindowTitledWithTheProgramsName) {
    const fw::String previousName = fw::ProgramName();
    fw::SetProgramName("Scrandle");
    auto first = Accessor();
    auto second = fw::RuntimeNewObjectAs<TestWin>(kClass);
    second->Constructor();
    using Kind = fw::ScriptedDesktop::Kind;

    fw::MsgBox("no handler runs");
    Rec().msgBoxInAction = true;
    first->ControlAs<TestButton>("Button1")->Button()->click();
    // The report comes once the handler has ended.
    Rec().msgBoxInAction = false;
    Rec().throwInAction = true;
    first->ControlAs<TestButton>("Button1")->Button()->click();
    Rec().throwInAction = false;
    auto dialog = fw::New<fw::MessageDialog>();
    dialog->ShowModal();
    dialog->SetTitle("New version available!");
    dialog->ShowModal();
    second->Hide();
    fw::MsgBox("the newest is hidden");
    first->Close();
    second->Close();
    fw::MsgBox("nothing shows");

    const auto& calls = desktop_.Calls();
    const struct {
        Kind kind;
        const fw::Window* window;
        const char* title;
    } expected[] = {
        {Kind::MsgBox, second.Get(), "Scrandle"},        {Kind::MsgBox, first.Get(), "Scrandle"},
        {Kind::MsgBox, second.Get(), "Scrandle"},        {Kind::MessageDialog, second.Get(), "Scrandle"},
        {Kind::MessageDialog, second.Get(), "New version available!"},
        {Kind::MsgBox, first.Get(), "Scrandle"},         {Kind::MsgBox, nullptr, "Scrandle"},
    };
    ASSERT_EQ(calls.size(), std::size(expected));
    for (std::size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(calls[i].kind, expected[i].kind);
        EXPECT_EQ(calls[i].owner.window, expected[i].window);
        EXPECT_EQ(calls[i].owner.title.ToUtf8(), expected[i].title);
    }
    EXPECT_EQ(calls[1].text.ToUtf8(), "from the handler");
    fw::SetProgramName(previousName);
}

TEST_F(WindowTest, WithNoHandlerRunningAMessageBoxBelongsToTheActiveWindow) {
    auto first = Accessor();
    auto second = fw::RuntimeNewObjectAs<TestWin>(kClass);
    second->Constructor();
    first->FrameWidget()->activateWindow();
    if (!test_support::WaitUntil([&] { return QApplication::activeWindow() == first->FrameWidget(); }))
        GTEST_SKIP() << "the platform activates no window";
    EXPECT_EQ(fw::DialogOwnerWindow(), first.Get());
    second->FrameWidget()->activateWindow();
    ASSERT_TRUE(test_support::WaitUntil([&] { return QApplication::activeWindow() == second->FrameWidget(); }));
    EXPECT_EQ(fw::DialogOwnerWindow(), second.Get());
}

TEST_F(WindowTest, TheRealMessageBoxIsAChildOfItsWindowWithItsTitle) {
    auto w = Accessor();
    auto box = fw::QtDesktop::BuildMsgBox("Saved.", {w.Get(), "Scrandle"});
    EXPECT_EQ(box->parentWidget(), w->FrameWidget());
    EXPECT_TRUE(box->isWindow());
    EXPECT_EQ(box->windowTitle(), "Scrandle");
    fw::MessageDialogSpec spec;
    spec.message = "Version 3 is out.";
    auto dialog = fw::QtDesktop::BuildMessageBox(spec, {w.Get(), "New version available!"});
    EXPECT_EQ(dialog->parentWidget(), w->FrameWidget());
    EXPECT_EQ(dialog->windowTitle(), "New version available!");
    EXPECT_EQ(fw::QtDesktop::BuildMsgBox("No window.", {nullptr, "Scrandle"})->parentWidget(), nullptr);
}

TEST_F(WindowTest, HandlerThatClosesItsWindowRunsToItsEndAndTheWindowIsThenReleased) {
    std::weak_ptr<fw::Object> alive;
    {
        auto w = Accessor();
        alive = w.Shared();
        Rec().closeInAction = true;
        w->ControlAs<TestButton>("Button1")->Button()->click();
    }
    EXPECT_EQ(Rec().log.back(), "handler ended");
    EXPECT_TRUE(fw::GetImplicitWindow(kClass).IsNil());
    rt_test::ReleaseClosedWindows();
    EXPECT_TRUE(alive.expired());
}

TEST_F(WindowTest, BindingToAGoneWindowRaisesNilObjectWithoutCallingAndAClosedOneRunsNothing) {
    auto button = fw::New<TestButton>();
    {
        auto gone = fw::New<TestWin>();
        fw::RuntimeAddEventHandler(button, "Action", fw::RuntimeCreateDelegate(*gone, &TestWin::Button1_Action, "( PushButton )"));
    }
    button->RaiseEvent("Action");
    EXPECT_EQ(Rec().actions, 0);
    const auto boxes = desktop_.CallsOf(fw::ScriptedDesktop::Kind::MsgBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.ToUtf8().find("NilObjectException"), std::string::npos);

    auto w = Accessor();
    auto own = w->ControlAs<TestButton>("Button1");
    w->Close();
    own->RaiseEvent("Action");
    EXPECT_EQ(Rec().actions, 0);
    EXPECT_EQ(desktop_.Count(fw::ScriptedDesktop::Kind::MsgBox), 1u);
}

TEST_F(WindowTest, ContentAreaIsExactlyWidthByHeightBelowTheMenuBarAndFixed) {
    auto w = Accessor();
    QWidget* frame = w->FrameWidget();
    ASSERT_NE(w->QtMenuBar(), nullptr);
    EXPECT_EQ(w->ContentWidget()->size(), QSize(320, 200));
    EXPECT_EQ(w->ContentWidget()->geometry().top(), w->QtMenuBar()->geometry().bottom() + 1);
    EXPECT_EQ(frame->minimumSize(), frame->maximumSize());
    EXPECT_FALSE(frame->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(frame->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
    // Menu bar titles come from the shared model, mnemonic marks kept.
    ASSERT_EQ(w->QtMenuBar()->actions().size(), 1);
    EXPECT_EQ(w->QtMenuBar()->actions()[0]->text(), "&File");
}

TEST_F(WindowTest, OwnSetKeysSetTheFrameButtonsAndSize) {
    struct Case {
        const char* key;
        fw::PropertyValue value;
        Qt::WindowType flag;
        bool flagWanted;
    };
    const Case cases[] = {
        {"CloseButton", fw::PropertyValue::Bool(false), Qt::WindowCloseButtonHint, false},
        {"MinimizeButton", fw::PropertyValue::Bool(false), Qt::WindowMinimizeButtonHint, false},
        {"Frame", fw::PropertyValue::Int(1), Qt::Dialog, true},
        {"Frame", fw::PropertyValue::Int(0), Qt::Dialog, false},
    };
    for (const auto& c : cases) {
        auto w = fw::New<fw::Window>();
        ASSERT_TRUE(w->SetProperty(c.key, c.value)) << c.key;
        const bool has = (w->FrameWidget()->windowFlags() & c.flag) == c.flag;
        EXPECT_EQ(has, c.flagWanted) << c.key;
    }
    // A modal frame is application-modal; a resizeable window with its
    // maximize button gets one and no fixed size.
    auto dialog = fw::New<fw::Window>();
    dialog->SetProperty("Frame", fw::PropertyValue::Int(1));
    EXPECT_EQ(dialog->FrameWidget()->windowModality(), Qt::ApplicationModal);
    auto free = fw::New<fw::Window>();
    fw::SetProperties(*free, OwnSet(/*resizeable=*/true));
    free->SetProperty("MaximizeButton", fw::PropertyValue::Bool(true));
    EXPECT_TRUE(free->FrameWidget()->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_NE(free->FrameWidget()->minimumSize(), free->FrameWidget()->maximumSize());
    // Every key of the Window class-key table is taken; others are refused.
    auto w = fw::New<fw::Window>();
    for (const auto& key : fw::KeysOfClass("Window")) {
        const auto form = fw::FormOfKey(key);
        ASSERT_TRUE(form.has_value()) << key;
        fw::PropertyValue v;
        v.form = *form;
        if (key == "Width" || key == "Height" || key == "MaxWidth" || key == "MaxHeight") v.integer = 100;
        EXPECT_TRUE(w->SetProperty(key, v)) << key;
    }
    EXPECT_FALSE(w->SetProperty("Caption", fw::PropertyValue::Text("x")));
    EXPECT_FALSE(w->SetProperty("Width", fw::PropertyValue::Text("wide")));
}

TEST_F(WindowTest, BackColorPaintsTheContentOnlyWithHasBackColor) {
    // Without HasBackColor the content keeps the style's palette, whatever
    // BackColor says, in either order of the two keys.
    auto w = fw::New<fw::Window>();
    QWidget* content = w->ContentWidget();
    const QColor styleWindow = content->palette().color(QPalette::Window);
    w->SetProperty("HasBackColor", fw::PropertyValue::Bool(false));
    w->SetProperty("BackColor", fw::PropertyValue::Rgb({10, 20, 30}));
    EXPECT_FALSE(content->testAttribute(Qt::WA_SetPalette));
    EXPECT_FALSE(content->autoFillBackground());
    EXPECT_EQ(content->palette().color(QPalette::Window), styleWindow);
    w->SetProperty("HasBackColor", fw::PropertyValue::Bool(true));
    EXPECT_TRUE(content->autoFillBackground());
    EXPECT_EQ(content->palette().color(QPalette::Window), QColor(10, 20, 30));
    w->SetProperty("BackColor", fw::PropertyValue::Rgb({40, 50, 60}));
    EXPECT_EQ(content->palette().color(QPalette::Window), QColor(40, 50, 60));
    w->SetProperty("HasBackColor", fw::PropertyValue::Bool(false));
    EXPECT_FALSE(content->testAttribute(Qt::WA_SetPalette));
    EXPECT_EQ(content->palette().color(QPalette::Window), styleWindow);
}

TEST_F(WindowTest, TabOrderFollowsTabIndexAmongTabStops) {
    auto w = Accessor();
    // Button1 has tab index 0, Line1 1, Edit1 2 (created Edit1, Button1, Line1).
    std::vector<QWidget*> wanted = {w->ControlAs<TestButton>("Button1")->Widget(),
                                    w->ControlAs<TestLine>("Line1")->Widget(),
                                    w->ControlAs<TestEdit>("Edit1")->Widget()};
    std::vector<QWidget*> seen;
    QWidget* x = wanted[0];
    for (int guard = 0; guard < 50 && seen.size() < 3; ++guard, x = x->nextInFocusChain())
        if (std::find(wanted.begin(), wanted.end(), x) != wanted.end() &&
            std::find(seen.begin(), seen.end(), x) == seen.end())
            seen.push_back(x);
    EXPECT_EQ(seen, wanted);
}

TEST_F(WindowTest, ShowModalDeliversEventsAndReturnsWhenTheWindowCloses) {
    auto w = Accessor();
    bool ticked = false;
    QTimer::singleShot(0, [&] {
        ticked = true;
        w->ControlAs<TestButton>("Button1")->Button()->click();  // a handler runs inside the modal loop
        w->Close();
    });
    w->ShowModal();
    EXPECT_TRUE(ticked);
    EXPECT_EQ(Rec().actions, 1);
    EXPECT_TRUE(w->IsClosed());
    EXPECT_FALSE(w->IsModalRunning());
    w->ShowModal();  // closed: returns at once
}

TEST_F(WindowTest, MenuCommandGoesToTheWindowsHandlerByItemName) {
    auto w = Accessor();
    QMenuBar* bar = w->QtMenuBar();
    ASSERT_NE(bar, nullptr);
    QMenu* file = bar->actions()[0]->menu();
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(file->actions().size(), 1);
    file->actions()[0]->trigger();
    EXPECT_EQ(Rec().log.back(), "FileRun");
    EXPECT_TRUE(w->DoMenuCommand("filerun"));
    EXPECT_FALSE(w->DoMenuCommand("NoSuchItem"));
    EXPECT_EQ(w->MenuItemAs<fw::MenuItem>("FileRun")->Text().ToUtf8(), "Run");
    EXPECT_THROW(w->MenuItemAs<fw::QuitMenuItem>("FileRun"), fw::IllegalCastException);
    auto bare = fw::New<fw::Window>();
    EXPECT_THROW(bare->MenuItemAs<fw::MenuItem>("FileRun"), fw::NilObjectException);
}

}  // namespace
