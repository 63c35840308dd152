// A small program for the real-window tests: it starts the runtime, opens
// a main window built through the registry, with a menu bar whose File menu
// has a Quit item on Cmd+Q, and runs the event loop. Closing the window
// quits, as the program's main window does. It prints the window's title
// once the window is up, and gives up by itself after a while so that a
// broken test never leaves it running.
#include "gui/Application.h"
#include "gui/Menu.h"
#include "core/PropertySet.h"
#include "core/Registry.h"
#include "gui/Runtime.h"
#include "gui/Window.h"

#include <QTimer>

#include <cstdio>

namespace {

constexpr const char* kTitle = "Scrandle Xvfb Test";

fw::Ref<fw::MenuBar> TheBar() {
    static fw::Ref<fw::MenuBar> bar = [] {
        auto b = fw::RuntimeNewObjectAs<fw::MenuBar>("MenuBar");
        auto file = fw::RuntimeNewObjectAs<fw::MenuItem>("MenuItem");
        file->SetName("FileMenu");
        file->SetText("&File");
        b->Append(file);
        auto quit = fw::RuntimeNewObjectAs<fw::MenuItem>("QuitMenuItem");
        quit->SetName("FileQuit");
        quit->SetText("Quit");
        quit->SetKeyboardShortcut("Cmd+Q");
        b->Child("FileMenu")->Append(quit);
        return b;
    }();
    return bar;
}

class MainWin : public fw::Window {
public:
    void Layout() {
        SetMenuBar(TheBar());
        using fw::PropertyValue;
        fw::SetProperties(*this, fw::WritePropertySet({
                                     {"Width", PropertyValue::Int(300)},
                                     {"Height", PropertyValue::Int(200)},
                                     {"Frame", PropertyValue::Int(0)},
                                     {"Title", PropertyValue::Text(kTitle)},
                                     {"Visible", PropertyValue::Bool(true)},
                                     {"CloseButton", PropertyValue::Bool(true)},
                                     {"Resizeable", PropertyValue::Bool(false)},
                                     {"MaximizeButton", PropertyValue::Bool(false)},
                                 }));
    }
    void Event_Open() {
        std::printf("open: %s\n", kTitle);
        std::fflush(stdout);
    }
    void Event_Close() { fw::Quit(0); }
};

}  // namespace

int main(int argc, char** argv) {
    fw::RuntimeInit(argc, argv);
    fw::RegisterFrameworkClasses();
    fw::RegisterClass(fw::ClassDef("MainWin.MainWin", "Window")
                          .Creates<MainWin>()
                          .Attr(fw::Scope("Public"))
                          .Hook<MainWin>("Layout", "Layout", &MainWin::Layout)
                          .Hook<MainWin>("Open", "Event_Open", &MainWin::Event_Open)
                          .Hook<MainWin>("Close", "Event_Close", &MainWin::Event_Close));
    try {
        auto app = fw::RuntimeNewObjectAs<fw::Application>("Application");
        app->SetMenuBar(TheBar());
        fw::RuntimeRegisterAppObject(app);
        fw::RunFrameworkInitialization([] { fw::ImplicitWindow<MainWin>("MainWin.MainWin"); });
        QTimer::singleShot(30000, [] {
            std::fprintf(stderr, "window_app: nobody closed the window; giving up\n");
            fw::Quit(3);
        });
        fw::RuntimeRun();
    } catch (const fw::RuntimeException& e) {
        fw::UnhandledException(e);
    }
    return fw::RuntimeExit();
}
