#include "app/Startup.h"

#include "app/AboutBox.h"
#include "app/App.h"
#include "app/Help.h"
#include "Build.h"
#include "gui/Desktop.h"
#include "engine/Engine.h"
#include "app/MenuBars.h"
#include "core/Registry.h"
#include "gui/Runtime.h"
#include "gui/controls/SpellChecker.h"
#include "icon_images.h"

#include <QApplication>
#include <QIcon>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>
#include "core/RuntimeCore.h"
#include "app/Window1.h"
#include "update/selfTest.h"
#include "update/updateWindow.h"

namespace startup {

namespace {
const Options* g_options = nullptr;
void Phase(const char* name) { Phases().push_back(name); }
}  // namespace

std::vector<std::string>& Phases() {
    static std::vector<std::string> phases;
    return phases;
}

namespace {

// The program's icon over its embedded PNG images, each decoded the first
// time a size is asked of it: decoding all of them is a tenth of start-up,
// and a window system that shows no icon never asks.
class EmbeddedIconEngine : public QIconEngine {
public:
    EmbeddedIconEngine() {
        const resources::IconImage* images = resources::IconImages();
        for (int i = 0; i < resources::kIconImageCount; ++i) {
            const resources::IconImage& image = images[i];
            // A PNG's width and height stand big-endian in its header chunk.
            if (image.size < 24) continue;
            const auto word = [&image](std::size_t at) {
                return static_cast<int>(image.data[at] << 24 | image.data[at + 1] << 16 | image.data[at + 2] << 8 |
                                        image.data[at + 3]);
            };
            images_.push_back({&image, QSize(word(16), word(20)), QPixmap()});
        }
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const auto& image : images_) sizes.append(image.size);
        return sizes;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const Image* best = BestFor(size);
        return best ? best->size.scaled(size, Qt::KeepAspectRatio).boundedTo(best->size) : QSize();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        Image* best = BestFor(size);
        if (!best) return QPixmap();
        if (best->decoded.isNull())
            best->decoded.loadFromData(best->png->data, static_cast<uint>(best->png->size), "PNG");
        QPixmap shown = best->size == size || best->decoded.isNull()
                            ? best->decoded
                            : best->decoded.scaled(actualSize(size, mode, QIcon::Off), Qt::KeepAspectRatio,
                                                   Qt::SmoothTransformation);
        if (mode != QIcon::Normal) {
            QStyleOption option;
            shown = QApplication::style()->generatedIconPixmap(mode, shown, &option);
        }
        return shown;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QIconEngine* clone() const override { return new EmbeddedIconEngine(*this); }

private:
    struct Image {
        const resources::IconImage* png;
        QSize size;
        QPixmap decoded;
    };

    // The smallest image at least as large as asked, else the largest.
    Image* BestFor(const QSize& size) {
        for (auto& image : images_)
            if (image.size.width() >= size.width() && image.size.height() >= size.height()) return &image;
        return images_.empty() ? nullptr : &images_.back();
    }

    std::vector<Image> images_;
};

}  // namespace

void SetProgramIcon() { QApplication::setWindowIcon(QIcon(new EmbeddedIconEngine)); }

void initialize() {
    // The title of every message box.
    fw::SetProgramName(fw::String(build::kProgramName));
    fw::RegisterFrameworkClasses();
    RegisterAppClass();
    RegisterWindow1Classes();
    RegisterMenuBarClasses();
    RegisterAboutBoxClass();
    RegisterUpdateClasses();
    RegisterHelpClass();
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
    // The program takes no command line, and neither does Qt: it is handed
    // the program's name alone, so that no argument (-reverse, -style,
    // -qwindowtitle, ...) changes what the program shows or does. Qt keeps
    // the two for the life of the application.
    static char fallbackName[] = "scrandle";
    static char* qtArgv[] = {fallbackName, nullptr};
    static int qtArgc = 1;
    qtArgv[0] = argc > 0 && argv && argv[0] ? argv[0] : fallbackName;
    qtArgc = 1;
    fw::RuntimeInit(qtArgc, qtArgv);
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
