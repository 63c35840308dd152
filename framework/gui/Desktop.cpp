#include "gui/Desktop.h"

#include "gui/QtDesktop.h"
#include "gui/Window.h"

#include <QApplication>
#include <QWidget>

#include <vector>

namespace fw {

namespace {
Desktop* g_installed = nullptr;

String& Name() {
    static String name;
    return name;
}

// The windows whose handlers are running, innermost last. Only compared
// with the open windows, never dereferenced: a handler may close its own.
std::vector<const Window*>& HandlerWindows() {
    static std::vector<const Window*> windows;
    return windows;
}

bool Shows(const Ref<Window>& w) { return w->FrameWidget() && w->FrameWidget()->isVisible(); }
}  // namespace

const String& ProgramName() { return Name(); }
void SetProgramName(const String& name) { Name() = name; }

Window* DialogOwnerWindow() {
    const std::vector<Ref<Window>> open = RuntimeOpenWindows();
    const std::vector<const Window*>& running = HandlerWindows();
    for (auto it = running.rbegin(); it != running.rend(); ++it)
        for (const Ref<Window>& w : open)
            if (w.Get() == *it && Shows(w)) return w.Get();
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        if (const QWidget* active = QApplication::activeWindow())
            for (const Ref<Window>& w : open)
                if (w->FrameWidget() == active && Shows(w)) return w.Get();
    for (auto it = open.rbegin(); it != open.rend(); ++it)
        if (Shows(*it)) return it->Get();
    return nullptr;
}

DialogOwner DialogOwnerFor(const String& title) {
    return DialogOwner{DialogOwnerWindow(), title.IsEmpty() ? ProgramName() : title};
}

HandlerWindowScope::HandlerWindowScope(Window* window) : marked_(window != nullptr) {
    if (marked_) HandlerWindows().push_back(window);
}

HandlerWindowScope::~HandlerWindowScope() {
    if (marked_) HandlerWindows().pop_back();
}

Desktop& TheDesktop() {
    if (g_installed) return *g_installed;
    // Made on first use, so that nothing of the desktop exists before the
    // program asks for it.
    static QtDesktop real;
    return real;
}

Desktop* SetDesktop(Desktop* desktop) {
    Desktop* previous = g_installed;
    g_installed = desktop;
    return previous;
}

}  // namespace fw
