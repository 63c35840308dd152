#include "gui/Runtime.h"

#include "gui/Application.h"
#include "gui/BusyCursor.h"
#include "gui/Desktop.h"
#include "core/Dispatch.h"
#include "gui/Menu.h"
#include "core/Registry.h"
#include "gui/Style.h"
#include "core/LongWork.h"
#include "core/Yield.h"
#include "gui/controls/HTTPSocket.h"
#include "gui/controls/Label.h"
#include "gui/controls/Listbox.h"
#include "gui/controls/PopupMenu.h"
#include "gui/controls/ProgressBar.h"
#include "gui/controls/PushButton.h"
#include "gui/controls/TextArea.h"
#include "gui/controls/TextField.h"
#include "gui/controls/Timer.h"

#include "core/PluginEntries.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace fw {

namespace {

struct RuntimeState {
    QApplication* ownedApp = nullptr;
    bool quitting = false;
    int32_t exitCode = 0;
    bool lateStartupDone = false;
    bool inMainLoop = false;
    // Quit ended no main loop, so Qt's "quit now" mark is still set and
    // would end the next event loop at once.
    bool loopNeedsReset = false;
    bool reporting = false;
};

RuntimeState& RS() {
    static RuntimeState state;
    return state;
}

int g_argc = 1;
char g_arg0[] = "scrandle";
char* g_argv[] = {g_arg0, nullptr};

void ShowUnhandledExceptionReport(const RuntimeException& e) {
    const std::string text = DescribeException(e);
    // An exception while the report is on screen (a timer's handler in the
    // message box's loop, say) must not stack message boxes without end.
    if (RS().reporting) {
        std::fprintf(stderr, "%s\n", text.c_str());
        return;
    }
    RS().reporting = true;
    try {
        MsgBox(String(text));
    } catch (const std::exception& shown) {
        std::fprintf(stderr, "%s\n(The report could not be shown: %s)\n", text.c_str(), shown.what());
    }
    RS().reporting = false;
}

// Qt ends the process with an abort when it finds no window system to
// show windows on. While the application is made, its messages are held
// back; a fatal one (no display could be reached) becomes one line saying
// so and the exit status 1.
struct StartingQt {
    std::string program = "scrandle";
    std::vector<std::string> held;
};
StartingQt* g_startingQt = nullptr;

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string NoDisplayLine(const std::string& program) {
    const std::string display = Env("DISPLAY"), wayland = Env("WAYLAND_DISPLAY"), platform = Env("QT_QPA_PLATFORM");
    std::string why;
    if (!platform.empty() && platform.find("xcb") == std::string::npos && platform.find("wayland") == std::string::npos)
        why = "the window system \"" + platform + "\" (QT_QPA_PLATFORM) cannot be started";
    else if (display.empty() && wayland.empty())
        why = "neither DISPLAY nor WAYLAND_DISPLAY is set";
    else if (wayland.empty())
        why = "the display \"" + display + "\" (DISPLAY) cannot be reached";
    else if (display.empty())
        why = "the Wayland display \"" + wayland + "\" (WAYLAND_DISPLAY) cannot be reached";
    else
        why = "neither the display \"" + display + "\" (DISPLAY) nor the Wayland display \"" + wayland +
              "\" (WAYLAND_DISPLAY) can be reached";
    return program + " needs a display to show its window, but " + why + ".";
}

void HoldStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", NoDisplayLine(g_startingQt->program).c_str());
        std::fflush(stderr);
        std::_Exit(1);
    }
    std::string line;
    if (context.category && std::strcmp(context.category, "default") != 0) line = std::string(context.category) + ": ";
    g_startingQt->held.push_back(line + message.toStdString());
}

QApplication* NewQApplication(int& argc, char** argv) {
    StartingQt starting;
    if (argc > 0 && argv && argv[0] && *argv[0]) {
        const std::string path = argv[0];
        starting.program = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    }
    // Without an X display Qt would try X all the same; with a Wayland one
    // named, that is where the window goes.
    if (Env("QT_QPA_PLATFORM").empty() && Env("DISPLAY").empty() && !Env("WAYLAND_DISPLAY").empty())
        ::setenv("QT_QPA_PLATFORM", "wayland", 1);
    g_startingQt = &starting;
    const QtMessageHandler previous = qInstallMessageHandler(&HoldStartMessage);
    auto* app = new QApplication(argc, argv);
    qInstallMessageHandler(previous);
    g_startingQt = nullptr;
    for (const std::string& line : starting.held) std::fprintf(stderr, "%s\n", line.c_str());
    return app;
}

void ResetQtQuitMark() {
    // Running a loop that ends at once clears Qt's mark.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

}  // namespace

void RuntimeInit(int& argc, char** argv) {
    QCoreApplication* existing = QCoreApplication::instance();
    if (!existing) {
        RS().ownedApp = NewQApplication(argc, argv);
        QApplication::setStyle(NewFrameworkStyle());
    } else if (!qobject_cast<QApplication*>(existing))
        throw RuntimeException("RuntimeInit: the process already runs a QCoreApplication without widgets.");
    // Only Quit ends the application: closing a window is the program's
    // business (the main window's Close handler quits).
    QApplication::setQuitOnLastWindowClosed(false);
    if (RS().loopNeedsReset) ResetQtQuitMark();
    RS().quitting = false;
    RS().exitCode = 0;
    RS().lateStartupDone = false;
    RS().loopNeedsReset = false;
    RS().reporting = false;
    SetUnhandledExceptionReport(&ShowUnhandledExceptionReport);
    SetYieldHook(&RuntimeYieldRepaint);
    SetLongWorkHook(&BusyExpected);
    BusyWatchInput();
}

void RuntimeInit() { RuntimeInit(g_argc, g_argv); }

void RegisterFrameworkClasses() {
    const Attributes pub{Scope("Public")};
    RegisterClass(ClassDef("Object").Creates<Object>());
    RegisterClass(ClassDef("Application", "Object")
                      .Creates<Application>()
                      .Method("AddTrayItem", "( TrayItem )", pub)
                      .Method("DoEvents", "( Integer )", pub)
                      .Method("NewDocument", "", pub)
                      .Method("OpenDocument", "( FolderItem )", pub)
                      .Method("RemoveTrayItem", "( TrayItem )", pub)
                      .Method("SleepCurrentThread", "( Integer )", pub)
                      .Method("YieldToNextThread", "", pub)
                      .Method("_AddMenuHandler", "( String, Delegate )", pub)
                      .Method("_AddPollableObject", "( Object )", pub)
                      .Method("_CallOpen", "", pub)
                      .Method("_DoSingleEvent", "", pub)
                      .Method("_EnableMenuItems", "", pub)
                      .Method("_HandleMenuCommand", "( String ) as Boolean", pub)
                      .Method("_LoadBundleSound", "( String ) as Sound", pub)
                      .Method("_LoadPictureFromBundle", "( String ) as Picture", pub)
                      .Method("_RemovePollableObject", "( Object )", pub)
                      .Method("__DependencyList", "() as String", pub)
                      .Property("MenuBar", "MenuBar", pub)
                      .Property("MajorVersion", "Int32", pub)
                      .Property("MinorVersion", "Int32", pub)
                      .Property("BugVersion", "Int32", pub)
                      .Property("ShortVersion", "String", pub)
                      .Property("LongVersion", "String", pub));
    RegisterClass(ClassDef("Window", "Object")
                      .Creates<Window>()
                      .Method("Close", "", pub)
                      .Method("Constructor", "", pub)
                      .Method("Show", "", pub)
                      .Method("ShowModal", "", pub)
                      .Method("_AddControl", "( String, Control )", pub)
                      .Method("_AddMenuHandler", "( String, Delegate )", pub)
                      .Method("_ControlByName", "( String ) as Object", pub)
                      .Method("__New", "( Class ) as Object", pub)
                      .Property("MenuBar", "MenuBar", pub)
                      .Property("Title", "String", pub)
                      .Property("Width", "Int32", pub)
                      .Property("Height", "Int32", pub)
                      .Property("Visible", "Boolean", pub));
    RegisterClass(ClassDef("MenuItem", "Object")
                      .Creates<MenuItem>()
                      .Method("Append", "( MenuItem )", pub)
                      .Method("Child", "( String ) as MenuItem", pub)
                      .Method("Constructor", "", pub)
                      .Method("Count", "() as Integer", pub)
                      .Method("Item", "( Integer ) as MenuItem", pub)
                      .Method("_Lookup", "( String ) as MenuItem", pub)
                      .Property("Name", "String", pub)
                      .Property("Text", "String", pub)
                      .Property("KeyboardShortcut", "String", pub)
                      .Property("AutoEnable", "Boolean", pub));
    RegisterClass(ClassDef("MenuBar", "MenuItem").Creates<MenuBar>());
    RegisterClass(ClassDef("QuitMenuItem", "MenuItem").Creates<QuitMenuItem>());
    RegisterClass(ClassDef("AppleMenuItem", "MenuItem").Creates<AppleMenuItem>());
    RegisterClass(ClassDef("Control", "Object"));
    RegisterClass(ClassDef("RectControl", "Control").Method("Constructor", "", pub));
    RegisterClass(ClassDef("TextArea", "RectControl").Creates<TextArea>());
    RegisterClass(ClassDef("TextField", "RectControl").Creates<TextField>());
    RegisterClass(ClassDef("Listbox", "RectControl").Creates<Listbox>());
    RegisterClass(ClassDef("PopupMenu", "RectControl").Creates<PopupMenu>());
    RegisterClass(ClassDef("PushButton", "RectControl").Creates<PushButton>());
    RegisterClass(ClassDef("Label", "RectControl").Creates<Label>());
    RegisterClass(ClassDef("ProgressBar", "RectControl").Creates<ProgressBar>());
    RegisterClass(ClassDef("Timer", "Control")
                      .Creates<Timer>()
                      .Method("addActionNotificationReceiver", "( actionNotificationReceiver )", pub)
                      .Method("removeActionNotificationReceiver", "( actionNotificationReceiver )", pub)
                      .Method("Reset", "", pub)
                      .Method("_CallAction", "", pub)
                      .Property("Mode", "Int32", pub)
                      .Property("Period", "Int32", pub));
    RegisterClass(ClassDef("HTTPSocket", "Control")
                      .Creates<HTTPSocket>()
                      .Method("Close", "", pub)
                      .Method("Constructor", "", pub)
                      .Method("Get", "( String )", pub)
                      .Property("Address", "String", pub)
                      .Property("Port", "Int32", pub)
                      .Property("yield", "Boolean", pub));
}

void RuntimeInitExternalClasses() { RegisterFrameworkClasses(); }

void RunFrameworkInitialization(const std::function<void()>& lateStartup) {
    if (RS().lateStartupDone) return;
    RS().lateStartupDone = true;
    if (lateStartup) lateStartup();
}

bool RuntimeLateStartupDone() { return RS().lateStartupDone; }

void RuntimeRun() {
    if (!RS().quitting) {
        RS().inMainLoop = true;
        const int rc = QCoreApplication::exec();
        RS().inMainLoop = false;
        RS().loopNeedsReset = false;
        // Something other than Quit ended the loop (QCoreApplication::quit):
        // that is a quit too.
        if (!RS().quitting) {
            RS().quitting = true;
            RS().exitCode = rc;
        }
    }
    // The windows still open close now; their Close handlers may ask to
    // quit again, which does nothing.
    RuntimeCloseAllWindows();
}

void Quit(int32_t exitCode) {
    if (RS().quitting) return;
    RS().quitting = true;
    RS().exitCode = exitCode;
    if (!RS().inMainLoop) RS().loopNeedsReset = true;
    // Ends every running loop, modal ones included.
    QCoreApplication::exit(exitCode);
}

bool RuntimeIsQuitting() { return RS().quitting; }

void UnhandledException(const RuntimeException& e) { ReportUnhandledException(e); }

void RuntimeReleaseModuleState() { RuntimeReleaseWindows(); }

int32_t RuntimeExit() {
    RuntimeReleaseModuleState();
    RuntimeReleaseAppObject();
    if (QCoreApplication::instance()) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SetYieldHook(nullptr);
    SetLongWorkHook(nullptr);
    SetUnhandledExceptionReport(nullptr);
    const int32_t code = RS().exitCode;
    if (RS().ownedApp) {
        delete RS().ownedApp;
        RS().ownedApp = nullptr;
        RS().loopNeedsReset = false;
    }
    RS().quitting = false;
    RS().exitCode = 0;
    RS().lateStartupDone = false;
    return code;
}

void RuntimeYieldRepaint() { BusyYield(); }

bool Delegate::Invoke(Control* sender, const EventArgs* args) const {
    const BusyScope busy;
    std::shared_ptr<Object> target = target_.lock();
    if (!target)
        throw NilObjectException("The window of an event handler " + (signature_.empty() ? std::string() : signature_ + " ") +
                                 "no longer exists.");
    auto* window = dynamic_cast<Window*>(target.get());
    if (window && window->IsClosed()) return false;
    const HandlerWindowScope running(window);
    return call_(*target, sender, args);
}

void RuntimeAddEventHandler(const Ref<Control>& control, const std::string& eventName, const Ref<Delegate>& delegate) {
    if (!control) throw NilObjectException("RuntimeAddEventHandler was given a nil control for the event '" + eventName + "'.");
    if (!delegate)
        throw NilObjectException("RuntimeAddEventHandler was given a nil handler for the event '" + eventName +
                                 "' of the control '" + control->Name().ToUtf8() + "'.");
    // The closure lives in the control, so it may hold the control plainly;
    // the delegate holds its window only weakly, so nothing forms a cycle.
    Control* sender = control.Get();
    Ref<Delegate> d = delegate;
    control->AddEventHandler(eventName, EventHandler([sender, d](const EventArgs* args) { d->Invoke(sender, args); }));
}

void RuntimeAddMenuHandler(Window& window, const String& itemName, const Ref<Delegate>& delegate) {
    if (!delegate)
        throw NilObjectException("A nil menu handler was given for the item '" + itemName.ToUtf8() + "'.");
    Ref<Delegate> d = delegate;
    window.AddMenuHandler(itemName, [d] { return d->Invoke(nullptr); });
}

}  // namespace fw
