// The runtime: the exception-call routine, the unhandled-exception report
// and the event loop going on after it, Quit (twice, inside a modal loop,
// with windows still open), the late start-up callback, the application
// object and the yield hook.
#include "runtime_test_util.h"

#include "gui/Application.h"
#include "core/Dispatch.h"
#include "core/Registry.h"
#include "gui/Runtime.h"
#include "core/RuntimeCore.h"
#include "gui/Window.h"
#include "core/Yield.h"

#include <QPainter>
#include <QTimer>
#include <gtest/gtest.h>

#include <stdexcept>

using rt_test::TestButton;

namespace {

class RuntimeTest : public ::testing::Test, protected rt_test::RuntimeFixtureBase {
protected:
    void SetUp() override { StartRuntime(); }
    void TearDown() override { StopRuntime(); }
};

void Raises(void* what) {
    const int kind = *static_cast<int*>(what);
    if (kind == 1) throw fw::NilObjectException("nothing there");
    if (kind == 2) throw std::logic_error("not a runtime exception");
}

TEST(ExceptionHelper, CatchesRuntimeExceptionsOnlyAndReturnsThem) {
    int kind = 0;
    EXPECT_FALSE(fw::CallFunctionWithExceptionHandling(&Raises, &kind));
    kind = 1;
    std::exception_ptr caught = fw::CallFunctionWithExceptionHandling(&Raises, &kind);
    ASSERT_TRUE(caught);
    try {
        std::rethrow_exception(caught);
    } catch (const fw::RuntimeException& e) {
        EXPECT_STREQ(e.TypeName(), "NilObjectException");
        EXPECT_STREQ(e.what(), "nothing there");
    }
    kind = 2;
    EXPECT_THROW(fw::CallFunctionWithExceptionHandling(&Raises, &kind), std::logic_error);
}

int g_helperCalls = 0;
std::exception_ptr CountingHelper(void (*f)(void*), void* arg) {
    ++g_helperCalls;
    return fw::CallFunctionWithExceptionHandling(f, arg);
}

// Control events go the same one way as window hooks, menu commands and
// start-up: through the installed helper, to the report.
TEST_F(RuntimeTest, ProgramCodeRunsThroughTheInstalledHelperAndItsExceptionIsReported) {
    fw::RuntimeSetExceptionHelper(&CountingHelper);
    g_helperCalls = 0;
    EXPECT_TRUE(fw::RunProgramCode([] {}));
    EXPECT_FALSE(fw::RunProgramCode([] { throw fw::IOException("The file is locked.", 13); }));
    auto button = fw::New<TestButton>();
    button->AddEventHandler("Action", [] { throw fw::IOException("The disk is full.", 28); });
    button->RaiseEvent("Action");
    fw::RuntimeSetExceptionHelper(nullptr);
    EXPECT_EQ(g_helperCalls, 3);
    const auto boxes = desktop_.CallsOf(fw::ScriptedDesktop::Kind::MsgBox);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text.ToUtf8(), fw::DescribeException(fw::IOException("The file is locked.", 13)));
    EXPECT_EQ(boxes[1].text.ToUtf8(), fw::DescribeException(fw::IOException("The disk is full.", 28)));
}

TEST_F(RuntimeTest, ExceptionInAHandlerReachesTheReportAndTheLoopGoesOn) {
    auto button = fw::New<TestButton>();
    int runs = 0;
    button->AddEventHandler("Action", [&] {
        ++runs;
        throw fw::NilObjectException("The control was nil.");
    });
    bool laterEventRan = false;
    QTimer::singleShot(0, [&] { button->Button()->click(); });
    QTimer::singleShot(0, [&] {
        laterEventRan = true;
        fw::Quit(4);
    });
    fw::RuntimeRun();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(laterEventRan);
    const auto boxes = desktop_.CallsOf(fw::ScriptedDesktop::Kind::MsgBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.ToUtf8().find("The control was nil."), std::string::npos);
    EXPECT_EQ(fw::RuntimeExit(), 4);
}

TEST_F(RuntimeTest, NestedReportDoesNotStackMessageBoxes) {
    desktop_.onCall = [](const fw::ScriptedDesktop::Call&) {
        fw::UnhandledException(fw::RuntimeException("while the report is shown"));
    };
    fw::UnhandledException(fw::RuntimeException("first"));
    desktop_.onCall = nullptr;
    EXPECT_EQ(desktop_.Count(fw::ScriptedDesktop::Kind::MsgBox), 1u);
}

// A window whose Close handler asks to quit, like a main window.
int g_closeRuns = 0;
class QuittingWin : public fw::Window {
public:
    void Event_Close() {
        ++g_closeRuns;
        fw::Quit(0);
    }
};

void RegisterQuittingWin() {
    fw::RegisterClass(fw::ClassDef("RuntimeTest.QuittingWin", "Window")
                          .Creates<QuittingWin>()
                          .Hook<QuittingWin>("Close", "Event_Close", &QuittingWin::Event_Close));
}

TEST_F(RuntimeTest, QuitTwiceDoesNoHarmAndOpenWindowsCloseAtQuit) {
    RegisterQuittingWin();
    g_closeRuns = 0;
    auto w = fw::ImplicitWindow<QuittingWin>("RuntimeTest.QuittingWin");
    QTimer::singleShot(0, [] {
        fw::Quit(0);
        fw::Quit(7);  // the first code stays
    });
    fw::RuntimeRun();
    EXPECT_TRUE(fw::RuntimeIsQuitting());
    // The window closed at quit; its handler's own Quit did nothing more.
    EXPECT_EQ(g_closeRuns, 1);
    EXPECT_TRUE(w->IsClosed());
    EXPECT_TRUE(fw::GetImplicitWindow("RuntimeTest.QuittingWin").IsNil());
    fw::RuntimeRun();  // already quit: returns at once
    EXPECT_EQ(fw::RuntimeExit(), 0);
}

TEST_F(RuntimeTest, ClosingTheMainWindowQuitsWithCodeZero) {
    RegisterQuittingWin();
    g_closeRuns = 0;
    auto w = fw::ImplicitWindow<QuittingWin>("RuntimeTest.QuittingWin");
    // The user's close box: the frame's close request.
    QTimer::singleShot(0, [&] { w->FrameWidget()->close(); });
    fw::RuntimeRun();
    EXPECT_EQ(g_closeRuns, 1);
    EXPECT_EQ(fw::RuntimeExit(), 0);
}

TEST_F(RuntimeTest, QuitInsideAModalLoopEndsItAndTheMainLoop) {
    auto dialog = fw::New<fw::Window>();
    dialog->SetProperty("Frame", fw::PropertyValue::Int(1));
    bool modalReturned = false;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [] { fw::Quit(2); });
        dialog->ShowModal();
        modalReturned = true;
    });
    fw::RuntimeRun();
    EXPECT_TRUE(modalReturned);
    dialog->ShowModal();  // quitting: returns at once
    EXPECT_EQ(fw::RuntimeExit(), 2);
}

TEST_F(RuntimeTest, LateStartupCallbackRunsOnceAndItsExceptionPassesOn) {
    int calls = 0;
    fw::RunFrameworkInitialization([&] { ++calls; });
    fw::RunFrameworkInitialization([&] { ++calls; });
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(fw::RuntimeLateStartupDone());

    fw::RuntimeExit();
    fw::RuntimeInit();
    EXPECT_THROW(fw::RunFrameworkInitialization([] { throw fw::NilObjectException(); }), fw::NilObjectException);
}

TEST_F(RuntimeTest, ApplicationObjectCarriesItsMenuBarAndTheVersionInformation) {
    fw::RuntimeSetVersionInfo({2, 2, 0, "2.2.0", "2.2.0 Intel"});
    auto bar = fw::New<fw::MenuBar>();
    {
        auto made = fw::RuntimeNewObjectAs<fw::Application>("Application");
        made->Constructor();
        made->SetMenuBar(bar);
        fw::RuntimeRegisterAppObject(made);
    }
    auto app = fw::TheApplication();
    ASSERT_TRUE(app);
    EXPECT_EQ(fw::TheApplication().Get(), app.Get());
    EXPECT_EQ(app->Class()->Name(), "Application");
    EXPECT_EQ(app->MenuBar().Get(), bar.Get());
    EXPECT_EQ(app->MajorVersion(), 2);
    EXPECT_EQ(app->MinorVersion(), 2);
    EXPECT_EQ(app->BugVersion(), 0);
    EXPECT_EQ(app->ShortVersion().ToUtf8(), "2.2.0");
    EXPECT_EQ(app->LongVersion().ToUtf8(), "2.2.0 Intel");
    app = nullptr;
    // The framework holds it until the runtime stops.
    fw::RuntimeExit();
    EXPECT_TRUE(fw::GetAppObject().IsNil());
    fw::RuntimeInit();
}

TEST_F(RuntimeTest, YieldHookRepaintsVisibleWindowsAndProcessesNoEvents) {
    // The yield hook repaints visible windows and runs nothing from the queue.
    rt_test::PaintCounter visible, hidden;
    visible.resize(50, 50);
    visible.show();
    hidden.resize(50, 50);
    rt_test::TestApp().processEvents();
    const int before = visible.paints;
    bool queuedRan = false;
    QObject context;  // drops the queued call when the test ends
    QTimer::singleShot(0, &context, [&] { queuedRan = true; });
    QMetaObject::invokeMethod(&visible, [&] { queuedRan = true; }, Qt::QueuedConnection);

    fw::YieldHook hook = fw::SetYieldHook(nullptr);
    fw::SetYieldHook(hook);
    ASSERT_EQ(hook, &fw::RuntimeYieldRepaint);
    hook();
    EXPECT_GT(visible.paints, before);
    EXPECT_EQ(hidden.paints, 0);
    EXPECT_FALSE(queuedRan);
    // Right after a repaint the next yield paints nothing.
    const int after = visible.paints;
    hook();
    EXPECT_EQ(visible.paints, after);
}

}  // namespace
