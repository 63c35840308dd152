#include "EngineTestUtil.h"
#include "core/Random.h"
#include "core/Yield.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

void ExpectScrambleKeepsEverything(const std::string& text) {
    const fw::String plain(text);
    testutil::ExpectScrambledFrom(plain, engine::ScrambleText(plain));
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

namespace {

// How many times the middle of the text's one unit was shuffled, told by the
// yields: the scanner yields once per character of the unit, the scrambler
// once per middle character as it fills its array and once per middle
// character as it joins each shuffle.
int Shuffles(const std::string& unit) {
    const std::uint64_t before = fw::YieldCount();
    engine::ScrambleText(fw::String(unit));
    const auto yields = static_cast<int>(fw::YieldCount() - before);
    const int length = fw::Len(fw::String(unit));
    const int middle = length - 2;
    EXPECT_EQ((yields - length) % middle, 0) << unit;
    return (yields - length) / middle - 1;
}

}  // namespace

TEST(ScrambleWord, AMiddleThatCannotChangeIsShuffledExactlyTenTimes) {
    // Equal characters, or equal but for letter case: no shuffle ever
    // differs, so all ten are made, never more.
    for (const char* unit : {"book", "2008", "aaaaaa", "bOok", "xAaAaAx", "a\xC3\x89\xC3\xA9z"}) {
        for (int seed = 0; seed < 20; ++seed) {
            fw::TheRandom().Seed(seed);
            ASSERT_EQ(Shuffles(unit), 10) << unit << " seed " << seed;
        }
    }
}

TEST(ScrambleWord, AMiddleThatCanChangeStopsAtTheFirstShuffleThatChangedIt) {
    // The same draws replayed on the middle alone tell how many shuffles it
    // takes to leave the order "or".
    int moreThanOne = 0;
    for (int seed = 0; seed < 200; ++seed) {
        fw::TheRandom().Seed(seed);
        std::string middle = "or";
        int expected = 0;
        do {
            fw::Shuffle(middle.data(), middle.size());
            ++expected;
        } while (middle == "or" && expected < 10);
        fw::TheRandom().Seed(seed);
        ASSERT_EQ(Shuffles("word"), expected) << "seed " << seed;
        moreThanOne += expected > 1;
    }
    EXPECT_GT(moreThanOne, 0) << "no seed kept the order at the first shuffle";
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
