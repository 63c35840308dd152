// Throughput of the text engine: scramble and rebuild drivers (UTF-8 in and
// out), the reference walk, possible-words queries and the index build.
//
// Usage: engine_bench [TEXT_FILE] [--benchmark_... flags]
// Without a file it builds a 10 MB English-like text from the word list.
#include "engine/Engine.h"
#include "core/Random.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

std::string g_text;          // the plain text, UTF-8
std::string g_scrambled;     // the same text scrambled, UTF-8
fw::StringRows g_rows;       // the shipped word list

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "engine_bench: cannot read " << path << "\n";
        std::exit(2);
    }
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void LoadRows() {
    std::string list = ReadFile(SCRANDLE_WORDLIST_FILE);
    while (!list.empty() && list.back() == '\n') list.pop_back();
    g_rows.SetFromJoined(fw::String(list), U'\n');
}

// Deterministic prose from the word list: sentences of 4 to 18 words, a
// capital at each start, commas, full stops, apostrophes, short words and
// line ends.
std::string MakeText(std::size_t bytes) {
    fw::Random& r = fw::TheRandom();
    r.Seed(12345);
    const char* shortWords[] = {"a", "I", "the", "of", "to", "and", "in", "is", "it", "was", "for", "on"};
    std::string out;
    out.reserve(bytes + 64);
    while (out.size() < bytes) {
        const int words = 4 + static_cast<int>(r.Below(15));
        for (int w = 0; w < words; ++w) {
            std::string word = (r.Below(3) == 0) ? shortWords[r.Below(std::size(shortWords))]
                                                 : g_rows.Cell(static_cast<int32_t>(r.Below(static_cast<uint32_t>(g_rows.ListCount())))).ToUtf8();
            if (w == 0 && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 32);
            if (r.Below(20) == 0) word += "'s";
            out += word;
            if (w + 1 < words) out += (r.Below(8) == 0) ? ", " : " ";
        }
        out += ".";
        out += (r.Below(6) == 0) ? "\n" : "  ";
    }
    return out;
}

// UTF-8 in: decoded into the text buffer the engine keeps between runs.
void LoadFullBook(const std::string& text) {
    Module1::FullBook.Clear();
    fw::DecodeUtf8Into(text, Module1::FullBook);
}

// UTF-8 out: encoded into a buffer kept between runs, as the input is.
const std::string& BookUtf8() {
    static std::string out;
    out.clear();
    fw::EncodeUtf8Into(Module1::Book, out);
    return out;
}

std::string ScrambleUtf8(const std::string& text) {
    LoadFullBook(text);
    engine::ScrambleDriver();
    return BookUtf8();
}

void BM_Scramble(benchmark::State& state) {
    for (auto _ : state) {
        LoadFullBook(g_text);
        engine::ScrambleDriver();
        benchmark::DoNotOptimize(BookUtf8().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(g_text.size()));
}

void BM_Rebuild(benchmark::State& state) {
    engine::WordLookup lookup(g_rows);
    lookup.Refresh();
    for (auto _ : state) {
        LoadFullBook(g_scrambled);
        engine::RebuildDriver(lookup);
        benchmark::DoNotOptimize(BookUtf8().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(g_scrambled.size()));
}

// The plain walk over every row, on a small sample: it is far too slow for
// the whole text.
void BM_RebuildWalk(benchmark::State& state) {
    std::size_t cut = std::min<std::size_t>(g_scrambled.size(), 4096);
    while (cut < g_scrambled.size() && (static_cast<unsigned char>(g_scrambled[cut]) & 0xC0) == 0x80) ++cut;
    const std::string sample = g_scrambled.substr(0, cut);
    engine::WordLookup lookup(g_rows, engine::WordLookup::Mode::Walk);
    for (auto _ : state) {
        Module1::FullBook = fw::String(sample);
        engine::RebuildDriver(lookup);
        benchmark::DoNotOptimize(Module1::Book.Size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(sample.size()));
}

void BM_PossibleWords(benchmark::State& state) {
    engine::WordLookup lookup(g_rows);
    lookup.Refresh();
    // Queries: scrambled list words, some of which match nothing.
    std::vector<fw::String> queries;
    fw::TheRandom().Seed(99);
    for (int i = 0; i < 1024; ++i) {
        std::u32string w(g_rows.Cell(static_cast<int32_t>(fw::TheRandom().Below(static_cast<uint32_t>(g_rows.ListCount())))).ToUcs4());
        fw::Shuffle(w.data() + 1, w.size() - 2);
        if (i % 4 == 0) w[1] = U'q';
        queries.emplace_back(w);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        auto entries = engine::PossibleWords(queries[i++ & 1023], lookup);
        benchmark::DoNotOptimize(entries.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void BM_IndexBuild(benchmark::State& state) {
    for (auto _ : state) {
        engine::WordIndex index;
        index.Build(g_rows);
        benchmark::DoNotOptimize(index.IndexedRows());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * g_rows.ListCount());
}

}  // namespace

BENCHMARK(BM_Scramble)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Rebuild)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RebuildWalk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PossibleWords)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IndexBuild)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    LoadRows();
    // A first argument that is not a flag names the text to use.
    if (argc > 1 && argv[1][0] != '-') {
        g_text = ReadFile(argv[1]);
        for (int i = 1; i + 1 < argc; ++i) argv[i] = argv[i + 1];
        --argc;
    } else {
        g_text = MakeText(10u << 20);
    }
    // --write_text=FILE writes the text used and stops, to compare with
    // other tools on exactly the same bytes.
    if (argc > 1 && std::string(argv[1]).rfind("--write_text=", 0) == 0) {
        std::ofstream(std::string(argv[1]).substr(13), std::ios::binary) << g_text;
        return 0;
    }
    g_scrambled = ScrambleUtf8(g_text);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
