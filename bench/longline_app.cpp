// The main window's work on one text, headless, for bench/longline_compare,
// which runs it on a line of letters without blanks and on a text of words
// of the same size:
//
//   load        "Load File" on the left, choosing the file
//   keystroke   a letter typed in the middle of the loaded text
//   scramble    "Scramble >>"
//
// each timed up to its result painted. Usage: longline_app FILE; one line
// per step (see bigtext_common.h). Each step runs in a function of its own
// (Step...), so that callgrind can count its instructions. Exit status 1
// when a step did not do what it should.
#include "bigtext_common.h"

#include "gui/ScriptedDesktop.h"
#include "app/Window1.h"
#include "program_steps.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "longline_app: %s\n", what.c_str());
    std::exit(1);
}

__attribute__((noinline)) void StepLoad(Window1& w) {
    w.LoadFile1()->Push();
    bench::PaintPending();
}

__attribute__((noinline)) void StepKeystroke(Window1& w) {
    QPlainTextEdit* editor = w.EditField1()->Editor();
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent key(type, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QCoreApplication::sendEvent(editor, &key);
    }
    bench::PaintPending();
}

__attribute__((noinline)) void StepScramble(Window1& w) {
    w.Scramble()->Push();
    bench::PaintPending();
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc != 2) {
        std::fprintf(stderr, "usage: longline_app FILE\n");
        return 2;
    }
    int qtArgc = 1;
    fw::ScriptedDesktop desktop;
    fw::ScopedDesktop scoped(desktop);
    bench::StartProgram(qtArgc, argv);
    fw::Ref<Window1> w = Window1Instance();
    bench::PaintPending();

    desktop.QueueFileToOpen(argv[1]);
    bench::TimeStep("load", [&] { StepLoad(*w); });
    const std::size_t length = w->EditField1()->Text().Size();
    if (length == 0) Fail("the file was not loaded");

    w->EditField1()->SetFocus();
    w->EditField1()->SetSelStart(static_cast<int32_t>(length / 2));
    bench::PaintPending();
    bench::TimeStep("keystroke", [&] { StepKeystroke(*w); });
    const fw::String typed = w->EditField1()->Text();
    if (typed.Size() != length + 1 || typed.At(length / 2) != U'x') Fail("the keystroke did not type its letter");

    bench::TimeStep("scramble", [&] { StepScramble(*w); });
    if (w->EditField2()->Text().Size() == 0 || w->EditField1()->Text().Size() != 0)
        Fail("Scramble left no scrambled text on the right");

    if (desktop.Count(fw::ScriptedDesktop::Kind::MsgBox) != 0)
        Fail("a message box was shown: " + desktop.CallsOf(fw::ScriptedDesktop::Kind::MsgBox)[0].text.ToUtf8());
    w = nullptr;
    bench::StopProgram();
    return 0;
}
