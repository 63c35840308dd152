// The engine on arbitrary text (the bytes read as the framework reads UTF-8).
//
// Scramble: checked against a cut into units written here from the rules, not
// with the scanner: every separator and one-character unit stays in place,
// apostrophes and hyphens vanish, a unit of up to three characters stays as it
// is, a longer one keeps its first and last character and exactly its
// characters. Rebuild and possible words: the index gives exactly the answers
// of the reference walk, over a small list made of fixed words and the text's
// own units (so that look-ups find something).

#include "engine/Engine.h"
#include "core/Random.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void Fault(const char* what) {
    std::fprintf(stderr, "engine fuzzer: %s\n", what);
    std::abort();
}

enum class Kind { Dropped, Separator, OneChar, UnitChar };

Kind KindOf(char32_t c) {
    switch (c) {
        case U'\'': case U'-': return Kind::Dropped;
        case U' ': case U'\r': case U'\n': case U'"': case U'.': case U'?': case U',': case U':': case U';':
            return Kind::Separator;
        case U'!': case U'(': case U')': case U'#': case U'&': return Kind::OneChar;
        default: return Kind::UnitChar;
    }
}

// The units of the text: maximal runs of unit characters, and each
// one-character unit on its own.
std::vector<std::u32string_view> Units(std::u32string_view text) {
    std::vector<std::u32string_view> units;
    for (std::size_t i = 0; i < text.size();) {
        const Kind k = KindOf(text[i]);
        if (k != Kind::UnitChar) {
            if (k == Kind::OneChar) units.push_back(text.substr(i, 1));
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < text.size() && KindOf(text[j]) == Kind::UnitChar) ++j;
        units.push_back(text.substr(i, j - i));
        i = j;
    }
    return units;
}

void CheckScramble(std::u32string_view in, std::u32string_view out) {
    std::size_t o = 0;
    for (std::size_t i = 0; i < in.size();) {
        const Kind k = KindOf(in[i]);
        if (k == Kind::Dropped) {
            ++i;
            continue;
        }
        if (k != Kind::UnitChar) {
            if (o >= out.size() || out[o] != in[i]) Fault("scramble moved or changed a separator");
            ++i, ++o;
            continue;
        }
        std::size_t j = i;
        while (j < in.size() && KindOf(in[j]) == Kind::UnitChar) ++j;
        const std::size_t n = j - i;
        if (out.size() - o < n) Fault("scramble lost characters");
        const std::u32string_view unit = in.substr(i, n), got = out.substr(o, n);
        if (n <= 3) {
            if (got != unit) Fault("scramble changed a short unit");
        } else {
            if (got.front() != unit.front() || got.back() != unit.back()) Fault("scramble moved a unit's first or last character");
            std::u32string a(unit.substr(1, n - 2)), b(got.substr(1, n - 2));
            std::sort(a.begin(), a.end());
            std::sort(b.begin(), b.end());
            if (a != b) Fault("scramble changed a unit's letters");
        }
        i = j, o += n;
    }
    if (o != out.size()) Fault("scramble added characters");
}

const char* const kFixedRows[] = {"aboard", "abroad", "bared", "beard", "bread", "there", "three",
                                  "today", "today'll", "world", "zygote"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const fw::String text(bytes);
    // The same input always takes the same shuffles, so a finding reproduces.
    fw::TheRandom().Seed(size);

    const fw::String scrambled = engine::ScrambleText(text);
    const std::u32string in = text.ToUcs4(), out = scrambled.ToUcs4();
    CheckScramble(in, out);

    // The list: fixed words first, then the scrambled text's units, so that
    // the text's own units find rows with their letters in another order.
    // Few and short enough that the walk, whose row test is quadratic in a
    // unit's length, stays quick.
    fw::StringRows rows;
    for (const char* w : kFixedRows) rows.AddRow(fw::String(w));
    for (const auto u : Units(out)) {
        if (rows.ListCount() == 32) break;
        if (u.size() <= 32) rows.AddRow(fw::String(u));
    }
    engine::WordLookup indexed(rows), walked(rows, engine::WordLookup::Mode::Walk);

    // The text itself, apostrophes and hyphens included: a user may edit the
    // scrambled area before rebuilding.
    const fw::String byIndex = engine::RebuildText(text, indexed);
    const fw::String byWalk = engine::RebuildText(text, walked);
    if (!byIndex.Identical(byWalk)) Fault("the rebuild through the index differs from the walk's");
    if (byWalk.Size() != scrambled.Size()) Fault("the rebuild changed the text's length");

    // Possible words for a few units and for words between blanks that a
    // unit never is but a selection may be (apostrophes and all).
    std::vector<fw::String> words;
    for (const auto u : Units(in)) {
        if (words.size() == 8) break;
        words.emplace_back(u);
    }
    for (std::size_t i = 0, start = 0; i <= bytes.size() && words.size() < 12; ++i) {
        if (i == bytes.size() || bytes[i] == ' ') {
            const std::string_view w = bytes.substr(start, i - start);
            if (w.find_first_of("'-") != std::string_view::npos) words.emplace_back(w);
            start = i + 1;
        }
    }
    for (const auto& w : words)
        if (indexed.AllMatches(w) != walked.AllMatches(w)) Fault("the index's possible words differ from the walk's");
    return 0;
}
