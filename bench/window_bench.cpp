// The main window's two costly buttons, driven headless on the real window:
//
//   BM_UnscrambleWindow       "<< Unscramble" on the dictionary road over a
//                             1 MB scrambled text in the right area, until
//                             the handler returns (result in EditField1,
//                             button enabled again).
//   BM_UnscrambleWindowShown  the same plus the event-loop pass that paints
//                             the result.
//   BM_FindPossibleWords/N    "Find Possible Words" on a scrambled word of
//                             five to eight letters selected in EditField1,
//                             which holds N bytes of text; "Use Selected
//                             Word" resets the window outside the timing.
//
// Usage: window_bench [--benchmark_... flags]
#include "app/App.h"
#include "engine/Engine.h"
#include "core/Random.h"
#include "gui/Runtime.h"
#include "gui/ScriptedDesktop.h"
#include "app/Startup.h"
#include "app/Window1.h"
#include "program_steps.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kTextBytes = 1u << 20;

fw::String g_scrambled;  // ~1 MB, scrambled by the engine
std::string g_scrambledUtf8;

// Deterministic English-like prose from the window's own word list:
// sentences of 4 to 18 words with a capital at each start, commas, full
// stops, apostrophes, short words and line ends.
std::string MakeText(const fw::StringRows& rows, std::size_t bytes) {
    std::mt19937 r(20240611);
    auto below = [&r](std::size_t n) { return static_cast<std::size_t>(r() % n); };
    const char* shortWords[] = {"a", "I", "the", "of", "to", "and", "in", "is", "it", "was", "for", "on"};
    std::string out;
    out.reserve(bytes + 64);
    while (out.size() < bytes) {
        const std::size_t words = 4 + below(15);
        for (std::size_t w = 0; w < words; ++w) {
            std::string word = below(3) == 0
                                   ? std::string(shortWords[below(std::size(shortWords))])
                                   : rows.Cell(static_cast<int32_t>(below(static_cast<std::size_t>(rows.ListCount())))).ToUtf8();
            if (w == 0 && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 32);
            if (below(20) == 0) word += "'s";
            out += word;
            if (w + 1 < words) out += below(8) == 0 ? ", " : " ";
        }
        out += ".";
        out += below(6) == 0 ? "\n" : "  ";
    }
    return out;
}

bool IsLetter(char32_t c) { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z'); }

// Where the words of five to eight letters are in text that the word list
// has at least one possible word for: (start, length) in characters, spread
// evenly over the text. (A word that had "'s" lost the apostrophe in the
// scramble and matches nothing.)
std::vector<std::pair<int32_t, int32_t>> WordsToSelect(const fw::String& text, engine::WordLookup& lookup,
                                                       std::size_t want) {
    std::vector<std::pair<int32_t, int32_t>> all;
    const std::size_t n = text.Size();
    for (std::size_t i = 0; i < n;) {
        if (!IsLetter(text.At(i))) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < n && IsLetter(text.At(j))) ++j;
        if (j - i >= 5 && j - i <= 8) all.emplace_back(static_cast<int32_t>(i), static_cast<int32_t>(j - i));
        i = j;
    }
    std::vector<std::pair<int32_t, int32_t>> picked;
    const std::size_t stride = all.size() / (2 * want) + 1;
    for (std::size_t k = 0; k < all.size() && picked.size() < want; k += stride) {
        const fw::String word = text.Sub(static_cast<std::size_t>(all[k].first), static_cast<std::size_t>(all[k].second));
        if (!lookup.AllMatches(word).empty()) picked.push_back(all[k]);
    }
    return picked;
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "window_bench: %s\n", what.c_str());
    std::exit(1);
}

void PaintPending() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void UnscrambleWindow(benchmark::State& state, bool paint) {
    fw::Ref<Window1> w = Window1Instance();
    const std::string expected = [&] {
        fw::String copy = g_scrambled;
        return engine::RebuildText(copy, w->Lookup()).ToUtf8();
    }();
    for (auto _ : state) {
        state.PauseTiming();
        w->EditField1()->SetText(fw::String());
        w->EditField2()->SetText(g_scrambled);
        w->EditField2()->SetFocus();  // the dictionary road
        PaintPending();
        state.ResumeTiming();
        w->Unscramble()->Push();
        if (paint) PaintPending();
    }
    if (!w->Unscramble()->Enabled() || w->Unscramble()->Caption() != fw::String("<< Unscramble"))
        Fail("the Unscramble button was not enabled again with its caption after the run");
    if (w->EditField1()->Text().ToUtf8() != expected)
        Fail("EditField1 does not hold the rebuilt text after Unscramble");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(g_scrambledUtf8.size()));
}

void BM_UnscrambleWindow(benchmark::State& state) { UnscrambleWindow(state, false); }
void BM_UnscrambleWindowShown(benchmark::State& state) { UnscrambleWindow(state, true); }

void BM_FindPossibleWords(benchmark::State& state) {
    fw::Ref<Window1> w = Window1Instance();
    // EditField1 holds the first N bytes of the scrambled text, cut at a
    // blank so that no word is split.
    std::string text = g_scrambledUtf8.substr(0, static_cast<std::size_t>(state.range(0)));
    const auto blank = text.find_last_of(' ');
    if (blank != std::string::npos) text.resize(blank);
    const fw::String content(text);
    w->EditField1()->SetText(content);
    const auto words = WordsToSelect(content, w->Lookup(), 64);
    if (words.empty()) Fail("the text holds no word of five to eight letters");
    std::size_t next = 0;
    int64_t entries = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const auto [start, length] = words[next++ % words.size()];
        w->EditField1()->SetFocus();
        w->EditField1()->SetSelStart(start);
        w->EditField1()->SetSelLength(length);
        state.ResumeTiming();
        w->FindWords()->Push();
        state.PauseTiming();
        const int32_t rows = w->AlternateWords()->ListCount();
        if (rows < 3) Fail("no possible word listed for '" + w->ThisWord()->Text().ToUtf8() + "'");
        entries += rows - 2;
        w->AlternateWords()->SetListIndex(0);  // the heading row: nothing is pasted
        w->UseWord()->Push();
        if (!w->FindWords()->Enabled()) Fail("Use Selected Word did not enable Find Possible Words again");
        state.ResumeTiming();
    }
    if (w->EditField1()->Text() != content) Fail("EditField1 changed although no word was used");
    state.counters["entries"] = benchmark::Counter(static_cast<double>(entries), benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK(BM_UnscrambleWindow)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_UnscrambleWindowShown)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FindPossibleWords)->Arg(1024)->Arg(kTextBytes)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    // Headless unless told otherwise.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    // The program's own start-up steps, up to the main window, with a
    // desktop that answers every message box at once.
    fw::ScriptedDesktop desktop;
    fw::ScopedDesktop scoped(desktop);
    bench::StartProgram(argc, argv);
    PaintPending();

    fw::TheRandom().Seed(4711);
    g_scrambled = engine::ScrambleText(fw::String(MakeText(Window1Instance()->Wordwell()->Rows(), kTextBytes)));
    g_scrambledUtf8 = g_scrambled.ToUtf8();

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    if (desktop.Count(fw::ScriptedDesktop::Kind::MsgBox) != 0)
        Fail("a message box was shown: " + desktop.CallsOf(fw::ScriptedDesktop::Kind::MsgBox)[0].text.ToUtf8());
    bench::StopProgram();
    return 0;
}
