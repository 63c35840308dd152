// Shared by the program's tests: the test process's QApplication, a wait
// that runs the event loop with a deadline, the shipped texts, and a fixture
// that starts the program the way start-up does (runtime, classes, early
// start-up with the App object, late start-up opening Window1) on a
// scripted desktop, without entering the event loop, and shuts it down the
// way the end of start-up does.
#pragma once

#include "../wait_until.h"

#include "app/App.h"
#include "core/FileType.h"
#include "app/MenuBars.h"
#include "engine/Module1.h"
#include "gui/Runtime.h"
#include "core/RuntimeCore.h"
#include "gui/ScriptedDesktop.h"
#include "app/Startup.h"
#include "gui/Window.h"
#include "app/Window1.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace app_test {

// One QApplication for the whole test process. The runtime finds it and so
// never destroys it, which lets a test run the program's start-up more than
// once. It is never destroyed: at exit Qt's own statics may already be gone.
inline QApplication& TestApp() {
    if (auto* a = qobject_cast<QApplication*>(QCoreApplication::instance())) return *a;
    static int argc = 1;
    static char arg0[] = "app_tests";
    static char* argv[] = {arg0, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

using test_support::WaitUntil;

// Lets windows closed meanwhile be released, as the event loop would.
inline void ReleaseClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// A file of the shipped resources, byte for byte ("texts/initial.txt").
inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) ADD_FAILURE() << "cannot read " << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string ResourceFile(const std::string& relative) {
    return ReadWholeFile(std::string(SCRANDLE_RESOURCES_DIR) + "/" + relative);
}

// The word list the build derived.
inline std::string WordListFile() { return ReadWholeFile(SCRANDLE_WORDLIST_FILE); }

// The program started as start-up starts it, up to the open main window.
// Tests then drive Window1 directly; the event loop runs only where a test
// runs it (WaitUntil).
class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override { StartProgram(); }
    void TearDown() override { StopProgram(); }

    void StartProgram() {
        TestApp();
        previousDesktop_ = fw::SetDesktop(&desktop_);
        fw::ClearRegisteredFileTypes();
        fw::RuntimeInit();
        startup::initialize();
        fw::RuntimeSetExceptionHelper(&fw::CallFunctionWithExceptionHandling);
        startup::EarlyStartup();
        fw::RunFrameworkInitialization(&startup::LateStartup);
        window_ = fw::Cast<Window1>(fw::GetImplicitWindow("Window1.Window1"));
        ASSERT_TRUE(window_) << "start-up opened no main window";
    }

    // As at the end of the event loop: the open windows close (the main
    // window's Close handler asks to quit), then the module state goes and
    // the runtime stops.
    void StopProgram() {
        window_ = nullptr;
        fw::RuntimeCloseAllWindows();
        startup::finalize();
        fw::RuntimeExit();
        ReleaseClosedWindows();
        fw::SetDesktop(previousDesktop_);
    }

    Window1& W() { return *window_; }

    fw::ScriptedDesktop desktop_;
    fw::Desktop* previousDesktop_ = nullptr;
    fw::Ref<Window1> window_;
};

// Any file's bytes; nothing when it cannot be read.
inline std::optional<std::string> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) ADD_FAILURE() << "cannot write the test file " << path;
}

// The texts of the message boxes the scripted desktop was shown.
inline std::vector<std::string> MessageBoxTexts(const fw::ScriptedDesktop& desktop) {
    std::vector<std::string> texts;
    for (const auto& call : desktop.CallsOf(fw::ScriptedDesktop::Kind::MsgBox)) texts.push_back(call.text.ToUtf8());
    return texts;
}

}  // namespace app_test
