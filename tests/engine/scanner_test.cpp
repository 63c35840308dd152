#include "EngineTestUtil.h"

#include <gtest/gtest.h>

using testutil::Scan;
using testutil::Step;

namespace {
struct ScanCase {
    const char* name;
    std::string text;
    std::vector<Step> want;
};

}  // namespace

TEST(SearchWord, UnitsEndUnitAndStartChar) {
    const std::string quoteL = "\xE2\x80\x9C", quoteR = "\xE2\x80\x9D", emoji = "\xF0\x9F\x98\x80";
    const ScanCase cases[] = {
        {"two words", "Hello world", {{"", "Hello", " ", 7}, {"", "world", "", 12}}},
        {"comma and full stop", "Hello, world.",
         {{"", "Hello", "", 6}, {", ", "world", "", 13}, {".", "", "", 14}}},
        {"apostrophe splits", "don't", {{"", "don", "", 4}, {"", "t", "", 6}}},
        {"hyphen splits", "well-known", {{"", "well", "", 5}, {"", "known", "", 11}}},
        {"two hyphens vanish", "a--b", {{"", "a", "", 2}, {"", "b", "", 5}}},
        {"exclamation", "Wow!", {{"", "Wow", "", 4}, {"", "!", "", 5}}},
        {"parentheses", "(a)", {{"", "(", "", 2}, {"", "a", "", 3}, {"", ")", "", 4}}},
        {"ampersand", "AT&T", {{"", "AT", "", 3}, {"", "&", "", 4}, {"", "T", "", 5}}},
        {"tab inside a unit", "one\ttwo", {{"", "one\ttwo", "", 8}}},
        {"curly quotes are unit characters", quoteL + "hi" + quoteR + " x",
         {{"", quoteL + "hi" + quoteR, " ", 6}, {"", "x", "", 7}}},
        {"CR LF copied as two separators", "a\r\nb", {{"", "a", "", 2}, {"\r\n", "b", "", 5}}},
        {"leading separators", " \"\nHi", {{" \"\n", "Hi", "", 6}}},
        {"two blanks", "a  b", {{"", "a", " ", 3}, {" ", "b", "", 5}}},
        {"trailing blank", "end ", {{"", "end", " ", 5}}},
        {"separators only", " . .", {{" . .", "", "", 5}}},
        {"emoji inside a word", "ab" + emoji + "cd", {{"", "ab" + emoji + "cd", "", 6}}},
        {"digits", "2008 12345", {{"", "2008", " ", 6}, {"", "12345", "", 11}}},
        {"hash after a word", "C#", {{"", "C", "", 2}, {"", "#", "", 3}}},
        {"apostrophe before a separator", "'.", {{".", "", "", 3}}},
    };
    for (const auto& c : cases) EXPECT_EQ(Scan(c.text), c.want) << c.name;
}

TEST(SearchWord, LettersOfTheUnit) {
    Scan("Hello");
    EXPECT_EQ(Module1::FirstLetter.ToUtf8(), "H");
    EXPECT_EQ(Module1::LastLetter.ToUtf8(), "o");
    EXPECT_EQ(Module1::MiddleLetters.ToUtf8(), "ell");
    Scan("ab");
    EXPECT_EQ(Module1::FirstLetter.ToUtf8(), "a");
    EXPECT_EQ(Module1::LastLetter.ToUtf8(), "b");
    EXPECT_TRUE(Module1::MiddleLetters.IsEmpty());
    Scan("x");
    EXPECT_EQ(Module1::FirstLetter.ToUtf8(), "x");
    EXPECT_EQ(Module1::LastLetter.ToUtf8(), "x");
    Scan("..");
    EXPECT_TRUE(Module1::FirstLetter.IsEmpty());
    EXPECT_TRUE(Module1::WordUnit.IsEmpty());
}
