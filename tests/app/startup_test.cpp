// The program's life through startup::Main, run in this test process more
// than once: the phases in order, what early start-up leaves behind (the App
// object with the one MenuBar1, the file type registered once), the release
// of the module state at the end, and an exception in start-up that skips
// the rest, is reported and still ends in an orderly shutdown.
#include "app_test_util.h"

#include "core/Registry.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <link.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Phases = std::vector<std::string>;

int RunMain(const startup::Options& options) {
    app_test::TestApp();
    static int argc = 1;
    static char arg0[] = "scrandle";
    static char* argv[] = {arg0, nullptr};
    return startup::Main(argc, argv, options);
}

// Closes the main window from the event loop, as its close box would.
void CloseMainWindowFromTheLoop() {
    QTimer::singleShot(0, [] {
        if (auto w = fw::GetImplicitWindow("Window1.Window1")) w->FrameWidget()->close();
    });
}

std::size_t RegistryIndex(const std::string& name) {
    const auto classes = fw::TheRegistry().Classes();
    for (std::size_t i = 0; i < classes.size(); ++i)
        if (classes[i]->Name() == name) return i;
    ADD_FAILURE() << "the class " << name << " is not registered";
    return classes.size();
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        app_test::TestApp();
        fw::ClearRegisteredFileTypes();
    }
    fw::ScriptedDesktop desktop_;
    fw::ScopedDesktop scoped_{desktop_};
};

TEST_F(StartupTest, RunsItsPhasesInOrderSharesOneMenuBarAndReleasesEverythingAtTheEnd) {
    struct Seen {
        bool helperInstalled = false;
        bool appHadBarBeforeAnyWindow = false;
        std::size_t fileTypesAtEarly = 0;
        std::weak_ptr<fw::Object> app, bar, window, fileType;
    } seen;
    fw::Ref<Window1> keptWindow;  // to see that it was closed, not just dropped

    startup::Options options;
    options.afterEarlyStartup = [&] {
        seen.helperInstalled = fw::RuntimeExceptionHelper() == &fw::CallFunctionWithExceptionHandling;
        auto app = AppObject();
        seen.appHadBarBeforeAnyWindow =
            app && app->MenuBar().Get() == MenuBar1().Get() && fw::RuntimeOpenWindows().empty();
        seen.fileTypesAtEarly = fw::RegisteredFileTypes().size();
        seen.app = app.Shared();
        seen.bar = MenuBar1().Shared();
        seen.fileType = FileTypes1::pUntitled().Shared();
    };
    options.afterMainWindow = [&] {
        keptWindow = fw::Cast<Window1>(fw::GetImplicitWindow("Window1.Window1"));
        ASSERT_TRUE(keptWindow);
        seen.window = keptWindow.Shared();
        // The window's layout got the very bar the App holds, and asking for
        // it again builds nothing new.
        EXPECT_EQ(keptWindow->MenuBar().Get(), AppObject()->MenuBar().Get());
        EXPECT_EQ(MenuBar1().Get(), AppObject()->MenuBar().Get());
        EXPECT_EQ(AppObject().Get(), AppObject().Get());
        EXPECT_EQ(fw::RuntimeOpenWindows().size(), 1u);
        CloseMainWindowFromTheLoop();
    };

    EXPECT_EQ(RunMain(options), 0);

    EXPECT_EQ(startup::Phases(), (Phases{"runtime started", "classes registered", "exception routine installed",
                                         "early start-up done", "main window open", "event loop running",
                                         "event loop returned", "module state released", "runtime stopped"}));
    EXPECT_TRUE(seen.helperInstalled);
    EXPECT_TRUE(seen.appHadBarBeforeAnyWindow);

    // The one file type, registered once, with its four values.
    EXPECT_EQ(seen.fileTypesAtEarly, 1u);
    ASSERT_EQ(fw::RegisteredFileTypes().size(), 1u);
    const fw::RegisteredFileType& type = fw::RegisteredFileTypes()[0];
    EXPECT_EQ(type.name.ToUtf8(), "untitled");
    EXPECT_EQ(type.extensions.ToUtf8(), ".txt");
    EXPECT_EQ(type.macType.ToUtf8(), "TEXT");
    EXPECT_EQ(type.macCreator.ToUtf8(), "????");

    // The program's classes after the framework's, in the fixed order.
    const std::size_t app = RegistryIndex("App"), win = RegistryIndex("Window1.Window1"),
                      timer = RegistryIndex("Window1.Timer1"), bar1 = RegistryIndex("MenuBar1.MenuBar1"),
                      bar2 = RegistryIndex("MenuBar2.MenuBar2"), last = RegistryIndex("Timer");
    EXPECT_LT(last, app);
    EXPECT_LT(app, win);
    EXPECT_LT(win, timer);
    EXPECT_LT(timer, bar1);
    EXPECT_LT(bar1, bar2);

    // Closing the main window ran its Close handler; everything the program
    // held is gone, though nothing was ever scrambled.
    ASSERT_TRUE(keptWindow);
    EXPECT_TRUE(keptWindow->IsClosed());
    keptWindow = nullptr;
    app_test::ReleaseClosedWindows();
    EXPECT_TRUE(seen.window.expired());
    EXPECT_TRUE(seen.app.expired());
    EXPECT_TRUE(seen.bar.expired());
    EXPECT_TRUE(seen.fileType.expired());
    EXPECT_TRUE(FileTypes1::pUntitled().IsNil());
    EXPECT_TRUE(fw::GetAppObject().IsNil());
    EXPECT_TRUE(fw::GetImplicitWindow("Window1.Window1").IsNil());
    EXPECT_TRUE(Module1::FullBook.ToUtf8().empty());
    EXPECT_TRUE(Module1::Book.ToUtf8().empty());
    EXPECT_TRUE(desktop_.Calls().empty()) << "start-up and shutdown show nothing of their own";
}

TEST_F(StartupTest, AfterAScrambleTheEngineStringsAreReleasedToo) {
    startup::Options options;
    options.afterMainWindow = [] {
        auto w = Window1Instance();
        w->Scramble()->Push();
        EXPECT_FALSE(Module1::FullBook.ToUtf8().empty());
        EXPECT_FALSE(Module1::Book.ToUtf8().empty());
        CloseMainWindowFromTheLoop();
    };
    EXPECT_EQ(RunMain(options), 0);
    for (const fw::String* s : {&Module1::Book, &Module1::WordUnit, &Module1::FullBook, &Module1::EndUnit,
                                &Module1::FirstLetter, &Module1::LastLetter, &Module1::MiddleLetters})
        EXPECT_TRUE(s->ToUtf8().empty());
}

// Where start-up is made to fail, what must still have happened and what
// must not.
struct FailureCase {
    const char* where;
    bool early;          // in early start-up, else right after the window opened
    int32_t quitFirst;   // a Quit before raising (-1: none): its code is the status
    Phases phases;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.where; }

class StartupFailureTest : public StartupTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(StartupFailureTest, SkipsTheRestReportsAndStillShutsDownWithTheRuntimesStatus) {
    const FailureCase& c = GetParam();
    std::weak_ptr<fw::Object> app, bar, window;
    bool windowOpenDuringReport = true;
    Phases phasesAtReport;
    desktop_.onCall = [&](const fw::ScriptedDesktop::Call&) {
        windowOpenDuringReport = !fw::RuntimeOpenWindows().empty();
        phasesAtReport = startup::Phases();
    };

    auto raise = [&] {
        app = AppObject().Shared();
        bar = MenuBar1().Shared();
        if (auto w = fw::GetImplicitWindow("Window1.Window1")) window = w.Shared();
        if (c.quitFirst >= 0) fw::Quit(c.quitFirst);
        throw fw::IOException("The start-up disk is gone.", 5);
    };
    startup::Options options;
    if (c.early) options.afterEarlyStartup = raise;
    else options.afterMainWindow = raise;

    const int status = RunMain(options);

    EXPECT_EQ(status, c.quitFirst >= 0 ? c.quitFirst : 0);
    EXPECT_EQ(startup::Phases(), c.phases);
    ASSERT_EQ(desktop_.Count(fw::ScriptedDesktop::Kind::MsgBox), 1u);
    const std::string report = desktop_.CallsOf(fw::ScriptedDesktop::Kind::MsgBox)[0].text.ToUtf8();
    EXPECT_NE(report.find("IOException"), std::string::npos) << report;
    EXPECT_NE(report.find("The start-up disk is gone."), std::string::npos) << report;
    // Over the main window once it is open, titled with the program's name.
    const fw::DialogOwner owner = desktop_.CallsOf(fw::ScriptedDesktop::Kind::MsgBox)[0].owner;
    EXPECT_EQ(owner.title.ToUtf8(), "Scrandle");
    EXPECT_EQ(owner.window != nullptr, !c.early);
    // The report comes before shutdown; in early start-up no window exists.
    ASSERT_FALSE(phasesAtReport.empty());
    EXPECT_EQ(phasesAtReport.back(), c.early ? "early start-up done" : "main window open");
    EXPECT_EQ(windowOpenDuringReport, !c.early);
    app_test::ReleaseClosedWindows();
    EXPECT_TRUE(window.expired());
    EXPECT_TRUE(app.expired());
    EXPECT_TRUE(bar.expired());
    EXPECT_TRUE(FileTypes1::pUntitled().IsNil());
    EXPECT_TRUE(fw::GetImplicitWindow("Window1.Window1").IsNil());
}

const Phases kEarlyFailure{"runtime started",     "classes registered",     "exception routine installed",
                           "early start-up done", "module state released", "runtime stopped"};
const Phases kLateFailure{"runtime started",  "classes registered",    "exception routine installed",
                          "early start-up done", "main window open", "module state released",
                          "runtime stopped"};

INSTANTIATE_TEST_SUITE_P(
    Where, StartupFailureTest,
    ::testing::Values(FailureCase{"EarlyStartup", true, -1, kEarlyFailure},
                      FailureCase{"EarlyStartupAfterQuit3", true, 3, kEarlyFailure},
                      FailureCase{"AfterMainWindow", false, -1, kLateFailure}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.where); });

TEST_F(StartupTest, AnotherRunAfterAFailedOneStartsAfresh) {
    startup::Options failing;
    failing.afterEarlyStartup = [] { throw fw::RuntimeException("stop here"); };
    RunMain(failing);
    fw::ClearRegisteredFileTypes();
    desktop_.ClearCalls();

    startup::Options plain;
    bool opened = false;
    plain.afterMainWindow = [&] {
        opened = true;
        CloseMainWindowFromTheLoop();
    };
    EXPECT_EQ(RunMain(plain), 0);
    EXPECT_TRUE(opened);
    EXPECT_EQ(startup::Phases().back(), "runtime stopped");
    EXPECT_EQ(fw::RegisteredFileTypes().size(), 1u);
    EXPECT_TRUE(desktop_.Calls().empty());
}

}  // namespace

namespace {
// Whether a shared object whose file name holds the text is loaded.
bool Loaded(const char* name) {
    struct Search {
        const char* name;
        bool found = false;
    } search{name};
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            auto* s = static_cast<Search*>(data);
            s->found = s->found || (info->dlpi_name && std::strstr(info->dlpi_name, s->name));
            return 0;
        },
        &search);
    return search.found;
}
}  // namespace

TEST_F(StartupTest, TheWindowComesUpWithoutLoadingPrintingTheNetworkOrTheSpellChecker) {
    // Each loads when first used: the dictionary on a worker a moment after
    // the window is up, the printing module when something is printed, the
    // network module by the first request.
    // (This test program links Print Support itself, for its printers.)
    startup::Options options;
    bool checked = false;
    options.afterMainWindow = [&] {
        checked = true;
        EXPECT_FALSE(Loaded("libhunspell"));
        EXPECT_FALSE(Loaded("scrandle_printsupport"));
        EXPECT_FALSE(Loaded("libQt6Network"));
        fw::Quit(0);
    };
    EXPECT_EQ(RunMain(options), 0);
    EXPECT_TRUE(checked);
}
