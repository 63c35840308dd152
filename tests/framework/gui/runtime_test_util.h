// Shared pieces of the runtime, window and menu tests: the QApplication of
// the test process, small controls of our own over plain Qt widgets, and a
// helper that lets closed windows go.
#pragma once

#include "gui/Control.h"
#include "gui/Runtime.h"
#include "gui/ScriptedDesktop.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

namespace rt_test {

// One QApplication for the whole test process; the runtime finds it and so
// never destroys it.
inline QApplication& TestApp() {
    if (auto* a = qobject_cast<QApplication*>(QCoreApplication::instance())) return *a;
    static int argc = 1;
    static char arg0[] = "framework_gui_tests";
    static char* argv[] = {arg0, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Lets windows closed meanwhile be released, as the event loop would.
inline void ReleaseClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// A text control over QPlainTextEdit.
class TestEdit : public fw::RectControl {
public:
    TestEdit() { SetWidget(new QPlainTextEdit); }
    std::string PropertyClassName() const override { return "TextArea"; }
    QPlainTextEdit* Edit() const { return static_cast<QPlainTextEdit*>(Widget()); }
};

// A one-line text control over QLineEdit.
class TestLine : public fw::RectControl {
public:
    TestLine() { SetWidget(new QLineEdit); }
    std::string PropertyClassName() const override { return "TextField"; }
    QLineEdit* Line() const { return static_cast<QLineEdit*>(Widget()); }
};

// A button: a click raises Action.
class TestButton : public fw::RectControl {
public:
    TestButton() {
        auto* b = new QPushButton;
        SetWidget(b);
        QObject::connect(b, &QPushButton::clicked, Context(), [this] { RaiseEvent("Action"); });
    }
    std::string PropertyClassName() const override { return "PushButton"; }
    QPushButton* Button() const { return static_cast<QPushButton*>(Widget()); }
};

// A window that counts its paints.
class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

// Starts the runtime on the test process's QApplication with a scripted
// desktop, and stops it again (closing what the test left open).
class RuntimeFixtureBase {
protected:
    void StartRuntime() {
        TestApp();
        fw::RuntimeInit();
        fw::RegisterFrameworkClasses();
        previousDesktop_ = fw::SetDesktop(&desktop_);
    }
    void StopRuntime() {
        fw::RuntimeCloseAllWindows();
        fw::RuntimeExit();
        ReleaseClosedWindows();
        fw::SetDesktop(previousDesktop_);
    }

    fw::ScriptedDesktop desktop_;
    fw::Desktop* previousDesktop_ = nullptr;
};

}  // namespace rt_test
