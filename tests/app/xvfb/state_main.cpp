// The program with a window onto its state, for the tests that drive it
// under Xvfb as a user would. On SIGUSR1 it writes, from its event loop, the
// texts of its three areas (EditField1.txt .. EditField3.txt, UTF-8) and a
// file "state" of "name value" lines into the folder SCRANDLE_STATE_DIR;
// "state" is written last, in one rename, so whoever waits for it finds the
// rest complete. The answer comes once the program has finished the work of
// its handlers and the window answers again, so it also says that the work
// is over. Everything else is the program's, command line handling included.
#include "app/Startup.h"
#include "app/Window1.h"
#include "engine/Module1.h"
#include "gui/BusyCursor.h"
#include "gui/Window.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};

void OnSignal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &c, 1);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

long long Milliseconds(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
}

void WriteState() {
    const char* dir = std::getenv("SCRANDLE_STATE_DIR");
    if (!dir) return;
    const std::string folder = dir;
    std::string state;
    const auto line = [&state](const std::string& name, const std::string& value) {
        state += name + " " + value + "\n";
    };
    if (fw::Ref<fw::Window> found = fw::GetImplicitWindow("Window1.Window1")) {
        auto w = fw::Cast<Window1>(found);
        WriteFile(folder + "/EditField1.txt", w->EditField1()->Text().ToUtf8());
        WriteFile(folder + "/EditField2.txt", w->EditField2()->Text().ToUtf8());
        WriteFile(folder + "/EditField3.txt", w->EditField3()->Text().ToUtf8());
        line("ScrambleEnabled", w->Scramble()->Enabled() ? "1" : "0");
        line("UnscrambleEnabled", w->Unscramble()->Enabled() ? "1" : "0");
        line("UnscrambleCaption", w->Unscramble()->Caption().ToUtf8());
    }
    line("NewScrambledMessageFlag", Module1::NewScrambledMessageFlag ? "1" : "0");
    line("TryMeFlag", Module1::TryMeFlag ? "1" : "0");
    line("Working", fw::BusyWorking() ? "1" : "0");
    line("WaitCursor", fw::BusyCursorShown() ? "1" : "0");
    line("LastEndedMs", std::to_string(Milliseconds(fw::BusyLastEnded())));
    line("NowMs", std::to_string(Milliseconds(std::chrono::steady_clock::now())));
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && top->isWindow()) line("Window", top->windowTitle().toStdString());
    WriteFile(folder + "/state.tmp", state);
    std::rename((folder + "/state.tmp").c_str(), (folder + "/state").c_str());
}

// The event loop may come to the request while the window is still
// finishing a handler's work (its repaints): the answer waits for that.
void AnswerOnceDone() {
    if (fw::BusyWorking()) {
        QTimer::singleShot(5, qApp, &AnswerOnceDone);
        return;
    }
    WriteState();
}

}  // namespace

int main(int argc, char** argv) {
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return 2;
    std::signal(SIGUSR1, &OnSignal);
    startup::Options options;
    options.afterMainWindow = [] {
        auto* notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, qApp);
        QObject::connect(notifier, &QSocketNotifier::activated, [] {
            char buffer[64];
            while (::read(g_pipe[0], buffer, sizeof buffer) > 0) {
            }
            AnswerOnceDone();
        });
    };
    return startup::Main(argc, argv, options);
}
