#include "EngineTestUtil.h"
#include "core/Random.h"
#include "core/Yield.h"

#include <gtest/gtest.h>


// Bad input never crashes or hangs, and neither road changes what it must
// keep: the scramble keeps separators, ends and letters, the rebuild gives
// each unit its rule's result.
TEST(Robustness, OddTextsOnBothRoads) {
    fw::TheRandom().Seed(5);
    const fw::StringRows& rows = testutil::ShippedRows();
    engine::WordLookup lookup(rows);
    const std::string texts[] = {
        "", " ", "....", "''''", "----", std::string("\0\0ab\0cd\0", 8), "\xFF\xFE\xC3(\xE2\x82", "a\r\r\n\n",
        std::string(1000, '!'), std::string(1000, 'x'), "\xFF\xFEzz\xC3", "\x01\x02\x03\x04\x05",
    };
    for (const auto& t : texts) {
        const fw::String s(t);
        const fw::String scrambled = engine::ScrambleText(s);
        testutil::ExpectScrambledFrom(s, scrambled);
        EXPECT_TRUE(engine::RebuildText(scrambled, lookup).Identical(testutil::ExpectedRebuild(scrambled, rows)))
            << scrambled.ToUtf8();
    }
    // Invalid UTF-8 is read as Latin-1, never dropped.
    EXPECT_EQ(fw::Len(engine::ScrambleText(fw::String("\xFF\xFE"))), 2);
}

TEST(Robustness, TwentyMegabytes) {
    fw::TheRandom().Seed(6);
    std::string text;
    text.reserve(20u << 20);
    const char* words[] = {"Hello, ", "wrold ", "this ", "is ", "a ", "lnog ", "txet.\r\n", "don't ", "stop-gap ", "LTETRES "};
    for (std::size_t i = 0; text.size() < (20u << 20); ++i) text += words[i % std::size(words)];
    const fw::String plain(text);
    const fw::String scrambled = engine::ScrambleText(plain);
    testutil::ExpectScrambledFrom(plain, scrambled);
    engine::WordLookup lookup(testutil::ShippedRows());
    const fw::String rebuilt = engine::RebuildText(scrambled, lookup);
    EXPECT_TRUE(rebuilt.Identical(testutil::ExpectedRebuild(scrambled, testutil::ShippedRows())));
    EXPECT_EQ(fw::Mid(rebuilt, 1, 14).ToUtf8(), "Hello, world t");
}

// A text whose one character past Latin-1 comes near its end: the scramble's
// and the rebuild's output turn wide midway and lose nothing.
TEST(Robustness, TextTurningWideNearItsEnd) {
    fw::TheRandom().Seed(7);
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "Wrold \xC3\xA9l\xC3\xA8ve txet, ";
    text += "\xE2\x80\x9Cqutoed\xE2\x80\x9D \xF0\x9F\x98\x80 lsat.";
    const fw::String plain(text);
    ASSERT_TRUE(plain.IsWide());
    const fw::String scrambled = engine::ScrambleText(plain);
    testutil::ExpectScrambledFrom(plain, scrambled);
    engine::WordLookup lookup(testutil::ShippedRows());
    EXPECT_TRUE(engine::RebuildText(scrambled, lookup).Identical(testutil::ExpectedRebuild(scrambled, testutil::ShippedRows())));
    // The same text without its last line stays one byte per character.
    const fw::String latin1(text.substr(0, text.find("\xE2\x80\x9C")));
    EXPECT_FALSE(engine::ScrambleText(latin1).IsWide());
    EXPECT_FALSE(engine::RebuildText(latin1, lookup).IsWide());
}

namespace {

// The scanner's globals, as text.
std::vector<std::string> Globals() {
    using namespace Module1;
    return {WordUnit.ToUtf8(), EndUnit.ToUtf8(), FirstLetter.ToUtf8(), LastLetter.ToUtf8(), MiddleLetters.ToUtf8(),
            std::to_string(StartChar), std::to_string(NoChar)};
}

// The scramble driver as the steps spell it out: SearchWord, ScrambleWord
// for units of four or more, WordUnit and EndUnit onto Book.
void ScrambleStepByStep() {
    using namespace Module1;
    NoChar = fw::Len(FullBook);
    Book = fw::String();
    StartChar = 1;
    while (StartChar <= NoChar) {
        engine::SearchWord();
        if (fw::Len(WordUnit) > 3) engine::ScrambleWord();
        Book.Append(WordUnit);
        Book.Append(EndUnit);
    }
}

// The scramble driver against the per-unit steps from the same seed: the
// same output, globals, yields and shuffles drawn (the next draw is the
// same).
void ExpectDriverScramblesAsTheSteps(const fw::String& text, std::uint32_t seed) {
    Module1::Reset();
    fw::TheRandom().Seed(seed);
    Module1::FullBook = text;
    std::uint64_t y0 = fw::YieldCount();
    ScrambleStepByStep();
    const std::uint64_t stepYields = fw::YieldCount() - y0;
    const fw::String stepBook = Module1::Book;
    const auto stepGlobals = Globals();
    const std::uint64_t stepNext = fw::TheRandom().Next();

    Module1::Reset();
    fw::TheRandom().Seed(seed);
    Module1::FullBook = text;
    y0 = fw::YieldCount();
    engine::ScrambleDriver();
    EXPECT_EQ(fw::YieldCount() - y0, stepYields);
    EXPECT_TRUE(Module1::Book.Identical(stepBook)) << Module1::Book.ToUtf8() << " / " << stepBook.ToUtf8();
    EXPECT_EQ(Globals(), stepGlobals);
    EXPECT_EQ(fw::TheRandom().Next(), stepNext);
}

}  // namespace

// The drivers write their output without the per-unit steps; what they
// leave (output, globals, yields, shuffles) is what the steps leave, for
// every kind of last unit.
TEST(Drivers, LeaveWhatTheStepsLeave) {
    const std::string texts[] = {
        "", "   ", "Hello", "Hello world", "ends in four: abcd", "ends in five abcde ", "a b c", "x!",
        "Tihs is a smlipe tset, olny a tset.\r\n", "don't stop-gap", "na\xC3\xAFve caf\xC3\xA9s", "\xE2\x80\x9Cqutoed\xE2\x80\x9D wrods",
        "\xC3\xBF\xC3\xBF\xC3\xBF\xC3\xBF\xC3\xBF mu \xC2\xB5\xC2\xB5\xC2\xB5\xC2\xB5\xC2\xB5",  // upper case past Latin-1
    };
    engine::WordLookup indexed(testutil::ShippedRows());
    engine::WordLookup walked(testutil::ShippedRows(), engine::WordLookup::Mode::Walk);
    for (const std::string& t : texts) {
        SCOPED_TRACE(t);
        ExpectDriverScramblesAsTheSteps(fw::String(t), 11);

        const fw::String scrambled = fw::String(t);
        Module1::Reset();
        Module1::FullBook = scrambled;
        engine::RebuildDriver(walked);
        const fw::String walkBook = Module1::Book;
        const auto walkGlobals = Globals();
        Module1::Reset();
        Module1::FullBook = scrambled;
        engine::RebuildDriver(indexed);
        EXPECT_TRUE(Module1::Book.Identical(walkBook)) << Module1::Book.ToUtf8() << " / " << walkBook.ToUtf8();
        EXPECT_EQ(Globals(), walkGlobals);
    }
}

// A long text: what the drivers leave is still what the steps, or the
// pieces taken one by one, leave. The pieces put every kind of unit next to
// each other, CR LF pairs among them, and some widen the output midway.
TEST(Drivers, LongTextsLeaveWhatOnePassLeaves) {
    const std::string pieces[] = {
        "Tihs is a smlipe tset, olny a tset.\r\n", "don't stop-gap\r\n", "a b c ", "x! ", "Hello world\n",
        "na\xC3\xAFve caf\xC3\xA9s\r", "ends in five abcde ", "\"(#&)\" ", "LTETRES, lnog-wrods\n",
    };
    const std::string widening = "\xC3\xBF\xC3\xBF\xC3\xBF\xC3\xBF\xC3\xBF mu \xC2\xB5\xC2\xB5\xC2\xB5\xC2\xB5\xC2\xB5\n";
    const std::string wide = "\xE2\x80\x9Cqutoed\xE2\x80\x9D wrods\n";
    const std::string lasts[] = {"ends in four: abcd", "Hello", "   ", "x!", "mu \xC2\xB5\xC2\xB5\xC2\xB5\xC2\xB5\xC2\xB5"};
    engine::WordLookup lookup(testutil::ShippedRows());
    std::uint32_t seed = 1;
    for (const std::string& extra : {std::string(), widening, wide}) {
        for (const std::string& last : lasts) {
            SCOPED_TRACE(testing::Message() << "extra " << extra.size() << ", last \"" << last << "\"");
            // About 600,000 characters.
            std::vector<std::string> parts;
            std::size_t size = 0;
            for (std::size_t i = 0; size < 600000; ++i) {
                parts.push_back(pieces[(i * 7 + seed) % std::size(pieces)]);
                if (!extra.empty() && i % 5000 == 4999) parts.push_back(extra);
                size += parts.back().size();
            }
            parts.push_back(last);
            std::string text;
            for (const std::string& p : parts) text += p;
            ++seed;

            // The scramble: against the per-unit steps.
            ExpectDriverScramblesAsTheSteps(fw::String(text), seed);

            // The rebuild, against the pieces rebuilt one by one (each ends
            // with a separator, so the text's output is theirs end to end):
            // the same output, yields and, from the last piece, globals.
            fw::String pieceBooks;
            std::uint64_t pieceYields = 0;
            for (const std::string& p : parts) {
                Module1::Reset();
                Module1::FullBook = fw::String(p);
                const std::uint64_t y0 = fw::YieldCount();
                engine::RebuildDriver(lookup);
                pieceYields += fw::YieldCount() - y0;
                pieceBooks.Append(Module1::Book);
            }
            auto lastGlobals = Globals();
            const fw::String scrambled(text);
            lastGlobals[5] = std::to_string(scrambled.Size() + 1);
            lastGlobals[6] = std::to_string(scrambled.Size());

            Module1::Reset();
            Module1::FullBook = scrambled;
            const std::uint64_t y0 = fw::YieldCount();
            engine::RebuildDriver(lookup);
            EXPECT_EQ(fw::YieldCount() - y0, pieceYields);
            EXPECT_TRUE(Module1::Book.Identical(pieceBooks));
            EXPECT_EQ(Module1::Book.IsWide(), pieceBooks.IsWide());
            EXPECT_EQ(Globals(), lastGlobals);
        }
    }
}

// Units of hundreds of thousands of characters are taken whole, wherever
// they stand.
TEST(Drivers, VeryLongUnits) {
    engine::WordLookup lookup(testutil::ShippedRows());
    for (const std::string& text : {std::string(700000, 'x'), "ab " + std::string(400000, 'y') + " cd, " +
                                                                   std::string(300000, 'z') + " wrold."}) {
        const fw::String t(text);
        EXPECT_TRUE(engine::RebuildText(t, lookup).Identical(testutil::ExpectedRebuild(t, testutil::ShippedRows())));
        testutil::ExpectScrambledFrom(t, engine::ScrambleText(t));
    }
}
