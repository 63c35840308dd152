#include "EngineTestUtil.h"
#include "Random.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The units of a text as the scanner cuts them, with apostrophes and hyphens
// removed from the text itself: the output must be this with each unit's
// middle permuted.
std::u32string WithoutDropped(const std::string& text) {
    std::u32string s(fw::String(text).CodePoints());
    std::erase_if(s, [](char32_t c) { return c == U'\'' || c == U'-'; });
    return s;
}

void ExpectScrambleKeepsEverything(const std::string& text) {
    const auto steps = testutil::Scan(text);
    const std::u32string out(engine::ScrambleText(fw::String(text)).CodePoints());
    const std::u32string plain = WithoutDropped(text);
    ASSERT_EQ(out.size(), plain.size()) << text;
    // Walk the units again over the output, comparing unit by unit.
    std::size_t at = 0;
    for (const auto& st : steps) {
        const std::u32string sep(fw::String(st.separators).CodePoints());
        ASSERT_EQ(out.compare(at, sep.size(), sep), 0) << text;
        at += sep.size();
        const std::u32string unit(fw::String(st.unit).CodePoints());
        const std::u32string got = out.substr(at, unit.size());
        if (unit.size() > 3) {
            EXPECT_EQ(got.front(), unit.front()) << text;
            EXPECT_EQ(got.back(), unit.back()) << text;
        } else {
            EXPECT_EQ(got, unit) << text;
        }
        std::u32string a = got, b = unit;
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        EXPECT_EQ(a, b) << "same characters in " << st.unit;
        at += unit.size();
        const std::u32string end(fw::String(st.endUnit).CodePoints());
        ASSERT_EQ(out.compare(at, end.size(), end), 0) << text;
        at += end.size();
    }
    EXPECT_EQ(at, out.size());
}

}  // namespace

TEST(Scramble, EveryCharacterStaysInItsPlace) {
    fw::TheRandom().Seed(1);
    const char* texts[] = {
        "Hello, world.",
        "I could not believe that I could actually understand what I was reading.",
        "don't try well-known (words) AT&T Wow! \"quoted\" text;  two  blanks\r\nCR LF\rCR\nLF ",
        "one\ttwo \xE2\x80\x9Cquoted\xE2\x80\x9D na\xC3\xAFve \xF0\x9F\x98\x80smile\xF0\x9F\x98\x80 2008 12345",
        "", " ", "...", "a", "abcd", "It's a cat-o'-nine-tails!",
    };
    for (const char* t : texts) ExpectScrambleKeepsEverything(t);
}

TEST(Scramble, RandomTextsKeepTheirShape) {
    fw::TheRandom().Seed(2);
    const std::string alphabet[] = {"a", "b", "E", "o", " ", " ", ",", ".", "'", "-", "!", "(", "\r", "\n", "\t",
                                    "\xC3\xA9", "\xF0\x9F\x98\x80", "#", "x", "y", "Z"};
    for (int t = 0; t < 300; ++t) {
        std::string text;
        const int len = static_cast<int>(fw::TheRandom().Below(60));
        for (int i = 0; i < len; ++i) text += alphabet[fw::TheRandom().Below(std::size(alphabet))];
        ExpectScrambleKeepsEverything(text);
    }
}

TEST(ScrambleWord, AtMostTenShufflesAndSameMiddlesStay) {
    // A middle of equal characters, or equal but for case, takes all ten
    // shuffles: the unit comes back with the same letters.
    for (const char* unit : {"book", "2008", "aaaaaa"}) {
        fw::TheRandom().Seed(3);
        EXPECT_EQ(engine::ScrambleText(fw::String(unit)).ToUtf8(), unit);
    }
    // «bOok»: every shuffle compares equal (case ignored), so the tenth
    // order stands and the capital may move, but nothing else changes.
    int moved = 0;
    for (int seed = 0; seed < 50; ++seed) {
        fw::TheRandom().Seed(seed);
        const std::string out = engine::ScrambleText(fw::String("bOok")).ToUtf8();
        EXPECT_TRUE(out == "bOok" || out == "boOk") << out;
        moved += out == "boOk";
    }
    EXPECT_GT(moved, 0);
    // A middle that can change comes back changed unless all ten shuffles
    // kept its order: for two letters a chance of 1 in 1024.
    int changed = 0;
    for (int seed = 0; seed < 2000; ++seed) {
        fw::TheRandom().Seed(seed);
        const std::string out = engine::ScrambleText(fw::String("word")).ToUtf8();
        ASSERT_TRUE(out == "wrod" || out == "word") << out;
        changed += out == "wrod";
    }
    EXPECT_GE(changed, 1990);
    // Short units and one-character units pass unchanged.
    EXPECT_EQ(engine::ScrambleText(fw::String("I the ! don't try")).ToUtf8(), "I the ! dont try");
}
