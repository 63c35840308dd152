#include "Desktop.h"

#include "QtDesktop.h"

namespace fw {

namespace {
Desktop* g_installed = nullptr;
}  // namespace

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
