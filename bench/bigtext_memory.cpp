// What each of the main window's large-text steps takes in memory: the real
// window, headless, with its file dialogs scripted, on the given file:
//
//   load                 "Load File" on the left, choosing the file
//   save                 "Save File" on the left, right after the load
//   scramble             "Scramble >>"
//   unscramble-exact     "<< Unscramble" right after the scramble
//   unscramble-rebuild   "<< Unscramble" once the right area had the focus
//   save-rebuilt         "Save File" on the left, of the rebuilt text
//
// Before each step the process's peak resident memory is reset, so that
// each line gives the step's own peak. One line per step:
//   "memory STEP BEFORE_KIB PEAK_KIB AFTER_KIB"
// (resident memory before the step, its peak during the step, and after).
// bench/bigtext_memory_compare turns them into bytes per byte of text.
//
// Usage: bigtext_memory FILE SAVE_PATH. Exit status 1 when a step did not
// do what it should.
#include "bigtext_common.h"

#include "engine/Module1.h"
#include "gui/ScriptedDesktop.h"
#include "app/Window1.h"
#include "program_steps.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "bigtext_memory: %s\n", what.c_str());
    std::exit(1);
}

template <class Step>
void MeasureStep(const char* name, Step step) {
    bench::PaintPending();
    long peak = 0, before = 0, after = 0;
    // Writing 5 resets the peak (VmHWM) to the present resident size.
    { std::ofstream("/proc/self/clear_refs") << "5"; }
    bench::Memory(peak, before);
    step();
    bench::PaintPending();
    bench::Memory(peak, after);
    std::printf("memory %s %ld %ld %ld\n", name, before, peak, after);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc != 3) {
        std::fprintf(stderr, "usage: bigtext_memory FILE SAVE_PATH\n");
        return 2;
    }
    const std::string path = argv[1], savePath = argv[2];
    int qtArgc = 1;
    fw::ScriptedDesktop desktop;
    fw::ScopedDesktop scoped(desktop);
    bench::StartProgram(qtArgc, argv);
    fw::Ref<Window1> w = Window1Instance();

    desktop.QueueFileToOpen(path);
    MeasureStep("load", [&] { w->LoadFile1()->Push(); });
    if (w->EditField1()->IsEmpty()) Fail("the file was not loaded");

    desktop.QueueSavePath(savePath);
    MeasureStep("save", [&] { w->SaveFile1()->Push(); });

    MeasureStep("scramble", [&] { w->Scramble()->Push(); });
    if (w->EditField2()->IsEmpty() || !w->EditField1()->IsEmpty()) Fail("Scramble left no scrambled text on the right");

    MeasureStep("unscramble-exact", [&] { w->Unscramble()->Push(); });
    if (w->EditField1()->IsEmpty()) Fail("Unscramble did not bring the plain message back");

    w->EditField2()->SetFocus();
    if (Module1::NewScrambledMessageFlag) Fail("the right area's focus did not choose the rebuild");
    MeasureStep("unscramble-rebuild", [&] { w->Unscramble()->Push(); });
    if (w->EditField1()->IsEmpty()) Fail("Unscramble rebuilt nothing");

    desktop.QueueSavePath(savePath);
    MeasureStep("save-rebuilt", [&] { w->SaveFile1()->Push(); });

    if (desktop.Count(fw::ScriptedDesktop::Kind::MsgBox) != 0)
        Fail("a message box was shown: " + desktop.CallsOf(fw::ScriptedDesktop::Kind::MsgBox)[0].text.ToUtf8());
    w = nullptr;
    bench::StopProgram();
    return 0;
}
