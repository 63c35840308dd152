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
//   "memory STEP BEFORE_KIB PEAK_KIB AFTER_KIB NEED_KIB"
// (resident memory before the step, its peak during the step, and after;
// and the need the window works out for the step, core/Memory.h, without
// its margin; 0 where the framework has none).
// bench/bigtext_memory_compare turns them into bytes per byte of text.
//
// Usage: bigtext_memory FILE SAVE_PATH. Exit status 1 when a step did not
// do what it should.
#include "bigtext_common.h"

#include "engine/Module1.h"
#include "core/Files.h"
#if __has_include("core/Memory.h")
#include "core/Memory.h"
#endif
#include "gui/ScriptedDesktop.h"
#include "app/Window1.h"
#include "program_steps.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "bigtext_memory: %s\n", what.c_str());
    std::exit(1);
}

#if __has_include("core/Memory.h")
constexpr bool kNeeds = true;

// What the window's three areas and the engine's buffers hold, as the
// window works it out.
fw::EngineHeld Held(Window1& w) {
    const auto room = [](const fw::String& s) { return std::uint64_t{s.Capacity()} * (s.IsWide() ? 4 : 1); };
    fw::EngineHeld held;
    held.plain = fw::DocumentBytes(w.EditField1()->Measure(false));
    held.scrambled = fw::DocumentBytes(w.EditField2()->Measure(false));
    held.kept = fw::DocumentBytes(w.EditField3()->Measure(false));
    held.inputRoom = room(Module1::FullBook);
    held.outputRoom = room(Module1::Book);
    return held;
}
#else
constexpr bool kNeeds = false;
#endif

// need() is asked before the step, or after it where it says so.
template <class Need, class Step>
void MeasureStep(const char* name, Need need, Step step, bool needAfter = false) {
    bench::PaintPending();
    long peak = 0, before = 0, after = 0;
    std::uint64_t needBytes = kNeeds && !needAfter ? need() : 0;
    // Writing 5 resets the peak (VmHWM) to the present resident size.
    { std::ofstream("/proc/self/clear_refs") << "5"; }
    bench::Memory(peak, before);
    step();
    bench::PaintPending();
    bench::Memory(peak, after);
    if (kNeeds && needAfter) needBytes = need();
    std::printf("memory %s %ld %ld %ld %llu\n", name, before, peak, after,
                static_cast<unsigned long long>(needBytes / 1024));
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

#if __has_include("core/Memory.h")
    const std::uint64_t leftHeld = fw::DocumentBytes(w->EditField1()->Measure(false));
    const auto fileBytes = fw::New<fw::FolderItem>(path)->Length();
    const auto loadNeed = [&] { return fw::LoadNeed(fileBytes, w->EditField1()->Measure(), leftHeld); };
    const auto saveNeed = [&] {
        const fw::TextMeasure m = w->EditField1()->Measure();
        return fw::SaveNeed(m, fw::EncodedBytes(m, w->EditField1()->Encoding()),
                            fw::TextOutputStream::BytesKeptBy(*fw::New<fw::FolderItem>(savePath)));
    };
    const auto scrambleNeed = [&] { return fw::ScrambleNeed(w->EditField1()->Measure(), true, Held(*w)); };
    const auto restoreNeed = [&] { return fw::RestoreNeed(w->EditField3()->Measure(), Held(*w)); };
    const auto rebuildNeed = [&] { return fw::RebuildNeed(w->EditField2()->Measure(), Held(*w)); };
#else
    const auto none = [] { return std::uint64_t{0}; };
    const auto loadNeed = none, saveNeed = none, scrambleNeed = none, restoreNeed = none, rebuildNeed = none;
#endif

    desktop.QueueFileToOpen(path);
    // Worked out by the window from the text read; here from the area that
    // holds it.
    MeasureStep("load", loadNeed, [&] { w->LoadFile1()->Push(); }, true);
    if (w->EditField1()->IsEmpty()) Fail("the file was not loaded");

    desktop.QueueSavePath(savePath);
    MeasureStep("save", saveNeed, [&] { w->SaveFile1()->Push(); });

    MeasureStep("scramble", scrambleNeed, [&] { w->Scramble()->Push(); });
    if (w->EditField2()->IsEmpty() || !w->EditField1()->IsEmpty()) Fail("Scramble left no scrambled text on the right");

    MeasureStep("unscramble-exact", restoreNeed, [&] { w->Unscramble()->Push(); });
    if (w->EditField1()->IsEmpty()) Fail("Unscramble did not bring the plain message back");

    w->EditField2()->SetFocus();
    if (Module1::NewScrambledMessageFlag) Fail("the right area's focus did not choose the rebuild");
    MeasureStep("unscramble-rebuild", rebuildNeed, [&] { w->Unscramble()->Push(); });
    if (w->EditField1()->IsEmpty()) Fail("Unscramble rebuilt nothing");

    desktop.QueueSavePath(savePath);
    MeasureStep("save-rebuilt", saveNeed, [&] { w->SaveFile1()->Push(); });

    if (desktop.Count(fw::ScriptedDesktop::Kind::MsgBox) != 0)
        Fail("a message box was shown: " + desktop.CallsOf(fw::ScriptedDesktop::Kind::MsgBox)[0].text.ToUtf8());
    w = nullptr;
    bench::StopProgram();
    return 0;
}
