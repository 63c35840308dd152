#include "Startup.h"

#include "App.h"
#include "Build.h"
#include "Engine.h"
#include "MenuBars.h"
#include "Registry.h"
#include "Runtime.h"
#include "SpellChecker.h"
#include "icon_images.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QTimer>
#include "RuntimeCore.h"
#include "Window1.h"

namespace startup {

namespace {
const Options* g_options = nullptr;
void Phase(const char* name) { Phases().push_back(name); }
}  // namespace

std::vector<std::string>& Phases() {
    static std::vector<std::string> phases;
    return phases;
}

void SetProgramIcon() {
    QIcon icon;
    const resources::IconImage* images = resources::IconImages();
    for (int i = 0; i < resources::kIconImageCount; ++i) {
        QPixmap image;
        if (image.loadFromData(images[i].data, static_cast<uint>(images[i].size), "PNG")) icon.addPixmap(image);
    }
    QApplication::setWindowIcon(icon);
}

void initialize() {
    fw::RegisterFrameworkClasses();
    RegisterAppClass();
    RegisterWindow1Classes();
    RegisterMenuBarClasses();
    RegisterMenuBar2Class();
    Phase("classes registered");
}

void NewAppInstance() {
    auto app = fw::RuntimeNewObjectAs<App>("App");
    app->Constructor();
    app->SetMenuBar(MenuBar1());
    fw::RuntimeRegisterAppObject(app);
}

void EarlyStartup() {
    fw::RuntimeInitExternalClasses();
    fw::InitPluginEntrypoints();
    FileTypes1::Initialize();
    NewAppInstance();
    // The application object registers no menu handlers of its own.
    Phase("early start-up done");
    if (g_options && g_options->afterEarlyStartup) g_options->afterEarlyStartup();
}

void MakeDefaultView() { (void)Window1Instance(); }

void LateStartup() {
    MakeDefaultView();
    QTimer::singleShot(250, [] { fw::SpellChecker::Shared().LoadInBackground(); });
    Phase("main window open");
    if (g_options && g_options->afterMainWindow) g_options->afterMainWindow();
}

namespace {
void MainSteps() {
    fw::RuntimeSetExceptionHelper(&fw::CallFunctionWithExceptionHandling);
    Phase("exception routine installed");
    // Whatever these steps raise ends them and goes to the report.
    const bool ok = fw::RunProgramCode([] {
        EarlyStartup();
        fw::RunFrameworkInitialization(&LateStartup);
        Phase("event loop running");
        fw::RuntimeRun();
        Phase("event loop returned");
    });
    (void)ok;
}
}  // namespace

void finalize() {
    fw::RuntimeReleaseModuleState();
    ReleaseMenuBar1();
    {
        fw::Ref<fw::FileType> old = FileTypes1::pUntitled();
        FileTypes1::pUntitled() = nullptr;
    }
    for (fw::String* s : {&Module1::Book, &Module1::WordUnit, &Module1::FullBook, &Module1::EndUnit,
                          &Module1::FirstLetter, &Module1::LastLetter, &Module1::MiddleLetters}) {
        fw::String old = std::move(*s);
        *s = fw::String();
    }
    ReleaseMenuBar2();
    Phase("module state released");
}

int Main(int& argc, char** argv, const Options& options) {
    g_options = &options;
    Phases().clear();
    fw::RuntimeInit(argc, argv);
    fw::RuntimeSetVersionInfo(fw::VersionInfo{build::kMajorVersion, build::kMinorVersion, build::kBugVersion,
                                              fw::String(build::kShortVersion), fw::String(build::kLongVersion)});
    SetProgramIcon();
    Phase("runtime started");
    // The spell-checking dictionary is read once the window is up, on a
    // worker thread, not during start-up.
    fw::SpellChecker::Shared().DeferLoading();
    initialize();
    MainSteps();
    finalize();
    const int status = fw::RuntimeExit();
    Phase("runtime stopped");
    g_options = nullptr;
    return status;
}

}  // namespace startup
