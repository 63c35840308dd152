// Shared by the controls tests: one QApplication for the test program and a
// wait with a deadline that runs the event loop meanwhile.
#pragma once

#include "../../wait_until.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <functional>

namespace controls_test {

inline void EnsureApp() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    static int argc = 1;
    static char name[] = "framework_gui_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own statics (the input devices that
    // key events create) may already be gone, and destroying the
    // application after them crashes.
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

using test_support::WaitUntil;

// A plain window to place controls into, as a window's content area.
struct Host {
    Host() { widget.resize(700, 500); }
    // Shows the host and waits until it is the active window; false when
    // the platform never activates it.
    bool ShowActive() {
        widget.show();
        widget.activateWindow();
        return WaitUntil([this] { return QApplication::activeWindow() == &widget; });
    }
    // The application must exist before the widget.
    bool appReady = (EnsureApp(), true);
    QWidget widget;
};

}  // namespace controls_test
