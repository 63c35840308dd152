#include "EngineTestUtil.h"
#include "Random.h"

#include <gtest/gtest.h>

// Bad input never crashes or hangs, on either road.
TEST(Robustness, OddTextsOnBothRoads) {
    fw::TheRandom().Seed(5);
    engine::WordLookup lookup(testutil::ShippedRows());
    const std::string texts[] = {
        "", " ", "....", "''''", "----", std::string("\0\0ab\0cd\0", 8), "\xFF\xFE\xC3(\xE2\x82", "a\r\r\n\n",
        std::string(1000, '!'), std::string(1000, 'x'),
    };
    for (const auto& t : texts) {
        const fw::String s(t);
        const fw::String scrambled = engine::ScrambleText(s);
        EXPECT_EQ(scrambled.Size(), engine::RebuildText(scrambled, lookup).Size());
    }
    // Invalid UTF-8 is read as Latin-1, never dropped.
    EXPECT_EQ(fw::Len(engine::ScrambleText(fw::String("\xFF\xFE"))), 2);
}

TEST(Robustness, TwentyMegabytes) {
    fw::TheRandom().Seed(6);
    std::string text;
    text.reserve(20u << 20);
    const char* words[] = {"Hello, ", "wrold ", "this ", "is ", "a ", "lnog ", "txet.\r\n", "don't ", "stop-gap "};
    for (std::size_t i = 0; text.size() < (20u << 20); ++i) text += words[i % std::size(words)];
    const fw::String scrambled = engine::ScrambleText(fw::String(text));
    engine::WordLookup lookup(testutil::ShippedRows());
    const fw::String rebuilt = engine::RebuildText(scrambled, lookup);
    EXPECT_EQ(rebuilt.Size(), scrambled.Size());
    EXPECT_EQ(fw::Mid(rebuilt, 1, 14).ToUtf8(), "Hello, world t");
}
