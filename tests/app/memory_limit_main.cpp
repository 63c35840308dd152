// The program with its file dialogs scripted, for a test that runs it
// under a memory limit: the two areas get a text each, then each area
// loads the file given. It prints what the user was told and what the
// areas hold, goes on running its event loop a moment, and quits as the
// user would, by the main window's close box.
#include "app/Startup.h"
#include "app/Window1.h"
#include "gui/ScriptedDesktop.h"

#include <QTimer>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    const std::string path = argv[1];
    fw::ScriptedDesktop desktop;
    fw::ScopedDesktop scoped(desktop);
    startup::Options options;
    options.afterMainWindow = [&] {
        fw::Ref<Window1> w = Window1Instance();
        w->EditField1()->SetText("the left text");
        w->EditField2()->SetText("the right text");
        for (const char* button : {"LoadFile1", "LoadFile2"}) {
            desktop.QueueFileToOpen(path);
            w->ControlAs<fw::PushButton>(button)->Push();
        }
        for (const auto& call : desktop.CallsOf(fw::ScriptedDesktop::Kind::MsgBox))
            std::printf("told: %s\n", call.text.ToUtf8().c_str());
        std::printf("left: %s\nright: %s\n", w->EditField1()->Text().ToUtf8().c_str(),
                    w->EditField2()->Text().ToUtf8().c_str());
        std::fflush(stdout);
        QTimer::singleShot(300, [] {
            std::printf("the user quits\n");
            std::fflush(stdout);
            if (auto main = fw::GetImplicitWindow("Window1.Window1")) main->FrameWidget()->close();
        });
    };
    // The program reads no command line; Qt does not see the file either.
    int programArgc = 1;
    return startup::Main(programArgc, argv, options);
}
