// The main window's own large-text work, headless on the given file, beside
// bigtext_handwritten's plain-Qt floor: the real window, started as the
// program starts it, with its file dialog scripted (ScriptedDesktop):
//
//   load                 "Load File" on the left, choosing the file
//   scramble             "Scramble >>"
//   unscramble-exact     "<< Unscramble" right after the scramble: the kept
//                        plain message comes back
//   unscramble-rebuild   "<< Unscramble" once the right area had the focus:
//                        the text rebuilt through the word list
//
// Usage: bigtext_app FILE; one line per step (see bigtext_common.h). Exit
// status 1 when a step did not do what it should.
#include "bigtext_common.h"

#include "engine/Module1.h"
#include "gui/ScriptedDesktop.h"
#include "app/Window1.h"
#include "program_steps.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "bigtext_app: %s\n", what.c_str());
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bigtext_app FILE\n");
        return 2;
    }
    const std::string path = argv[1];
    int qtArgc = 1;
    fw::ScriptedDesktop desktop;
    fw::ScopedDesktop scoped(desktop);
    bench::StartProgram(qtArgc, argv);
    fw::Ref<Window1> w = Window1Instance();
    bench::PaintPending();

    desktop.QueueFileToOpen(path);
    bench::TimeStep("load", [&] { w->LoadFile1()->Push(); });
    const std::size_t length = w->EditField1()->Text().Size();
    if (length == 0) Fail("the file was not loaded");

    bench::TimeStep("scramble", [&] { w->Scramble()->Push(); });
    if (w->EditField2()->Text().Size() == 0 || w->EditField1()->Text().Size() != 0)
        Fail("Scramble left no scrambled text on the right");

    bench::TimeStep("unscramble-exact", [&] { w->Unscramble()->Push(); });
    if (w->EditField1()->Text().Size() != length) Fail("Unscramble did not bring the plain message back");

    // The focus in the right area makes the next Unscramble rebuild.
    w->EditField2()->SetFocus();
    if (Module1::NewScrambledMessageFlag) Fail("the right area's focus did not choose the rebuild");
    bench::TimeStep("unscramble-rebuild", [&] { w->Unscramble()->Push(); });
    if (w->EditField1()->Text().Size() == 0) Fail("Unscramble rebuilt nothing");

    if (desktop.Count(fw::ScriptedDesktop::Kind::MsgBox) != 0)
        Fail("a message box was shown: " + desktop.CallsOf(fw::ScriptedDesktop::Kind::MsgBox)[0].text.ToUtf8());
    w = nullptr;
    bench::StopProgram();
    return 0;
}
