#include "core/String.h"

#include <QString>
#include <algorithm>
#include <gtest/gtest.h>

using fw::String;

TEST(StringConversion, CountsCodePointsAndKeepsEmojiWhole) {
    const String s("a\xC3\xA9\xF0\x9F\x98\x80z");  // a, e-acute, grinning face, z
    EXPECT_EQ(fw::Len(s), 4);
    EXPECT_TRUE(fw::Mid(s, 3, 1).Identical(String("\xF0\x9F\x98\x80")));
    EXPECT_EQ(s.ToUtf8(), "a\xC3\xA9\xF0\x9F\x98\x80z");
    EXPECT_EQ(String::FromQString(s.ToQString()).ToUtf8(), s.ToUtf8());
}

TEST(StringConversion, InvalidBytesBecomeLatin1AndNothingIsDropped) {
    struct Case { std::string in; std::u32string want; };
    const Case cases[] = {
        {"\xFF", U"\u00FF"},
        {"a\xC3", U"a\u00C3"},                         // truncated sequence at the end
        {"\xC0\xAF", U"\u00C0\u00AF"},                 // overlong slash
        {"\xED\xA0\x80", U"\u00ED\u00A0\u0080"},       // encoded surrogate
        {"\xF4\x90\x80\x80", U"\u00F4\u0090\u0080\u0080"},  // above U+10FFFF
        {"\xE2\x82x", U"\u00E2\u0082x"},              // broken in the middle
        {std::string("a\0b", 3), std::u32string(U"a\0b", 3)},
    };
    for (const auto& c : cases) {
        const String s(c.in);
        EXPECT_EQ(std::u32string(s.ToUcs4()), c.want) << "input of " << c.in.size() << " bytes";
    }
}

TEST(StringFunctions, PositionsAreOneBasedAndClamped) {
    const String s("Hello");
    struct Case { String got; const char* want; };
    const Case cases[] = {
        {fw::Left(s, 0), ""}, {fw::Left(s, 2), "He"}, {fw::Left(s, 9), "Hello"}, {fw::Left(s, -1), ""},
        {fw::Right(s, 2), "lo"}, {fw::Right(s, 9), "Hello"}, {fw::Right(s, 0), ""},
        {fw::Mid(s, 2, 3), "ell"}, {fw::Mid(s, 4, 9), "lo"}, {fw::Mid(s, 6, 1), ""},
        {fw::Mid(s, 1, 0), ""}, {fw::Mid(s, 0, 2), "He"}, {fw::Mid(s, 3), "llo"},
    };
    for (const auto& c : cases) EXPECT_TRUE(c.got.Identical(String(c.want))) << c.want;
    EXPECT_EQ(fw::Asc(String("A")), 65);
    EXPECT_EQ(fw::Asc(String("\xF0\x9F\x98\x80")), 0x1F600);
    EXPECT_EQ(fw::Asc(String()), -1);
}

TEST(StringFunctions, EqualityAndInStrIgnoreCase) {
    EXPECT_TRUE(String("Word") == String("wORD"));
    EXPECT_TRUE(String("\xC3\x89T\xC3\x89") == String("\xC3\xA9t\xC3\xA9"));  // E-acute
    EXPECT_FALSE(String("word") == String("words"));
    EXPECT_FALSE(String("a") == String("b"));
    EXPECT_FALSE(String("Word").Identical(String("word")));

    struct Case { int32_t start; const char* src; const char* find; int32_t want; };
    const Case cases[] = {
        {1, "Hello World", "world", 7}, {0, "Hello World", "O", 5}, {6, "Hello World", "o", 8},
        {1, "abc", "d", 0}, {1, "", "a", 0}, {4, "abc", "c", 0}, {1, "abc", "", 1},
        {1, "x\xF0\x9F\x98\x80y", "y", 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fw::InStr(c.start, String(c.src), String(c.find)), c.want) << c.src << " / " << c.find;
}

TEST(StringFunctions, UppercaseStrValNthField) {
    EXPECT_TRUE(fw::Uppercase(String("na\xC3\xAFve 12")).Identical(String("NA\xC3\x8FVE 12")));
    EXPECT_EQ(fw::Len(fw::Uppercase(String("stra\xC3\x9F" "e"))), 6);  // keeps one character per character
    EXPECT_EQ(fw::Str(0).ToUtf8(), "0");
    EXPECT_EQ(fw::Str(-42).ToUtf8(), "-42");
    EXPECT_EQ(fw::Str(2147483647).ToUtf8(), "2147483647");

    struct ValCase { const char* in; double want; };
    const ValCase vals[] = {{"12abc", 12}, {"  3.5", 3.5}, {"-7", -7}, {"abc", 0}, {"", 0}, {"2.2.0", 2.2}, {"1e3x", 1000}};
    for (const auto& v : vals) EXPECT_DOUBLE_EQ(fw::Val(String(v.in)), v.want) << v.in;

    const String version("2.10.3");
    EXPECT_TRUE(fw::NthField(version, ".", 1).Identical(String("2")));
    EXPECT_TRUE(fw::NthField(version, ".", 3).Identical(String("3")));
    EXPECT_TRUE(fw::NthField(version, ".", 4).IsEmpty());
    EXPECT_TRUE(fw::NthField(version, ".", 0).IsEmpty());
    EXPECT_TRUE(fw::NthField(String("a<X>b<x>c"), "<x>", 2).Identical(String("b")));
    EXPECT_EQ(fw::CountFields(String("a,b,,c"), ","), 4);
    EXPECT_TRUE((String("ab") + String("cd")).Identical(String("abcd")));
    String self("abc");
    for (int i = 0; i < 5; ++i) self += self;  // grows while reading itself
    EXPECT_EQ(fw::Len(self), 96);
    EXPECT_TRUE(fw::Right(self, 4).Identical(String("cabc")));
}

// Latin-1 text is kept a byte per character and widens where it must: every
// way of making a string gives the same characters whichever form it ends
// in, and a wide character anywhere (first, last, far in) is kept.
TEST(StringForms, EveryPathGivesTheSameCharacters) {
    const std::u32string longLatin1(5000, U'e');
    const std::u32string texts[] = {
        U"",
        U"plain ascii",
        U"caf\u00e9 \u00ff\u00b5",                          // Latin-1 only
        U"\u201cquoted\u201d",                              // wide first and last
        longLatin1 + U"\u20ac" + longLatin1,                // wide far in
        longLatin1 + U"\U0001F600",                         // astral at the end
        U"\u00ff" + longLatin1,
    };
    for (const auto& want : texts) {
        SCOPED_TRACE(testing::Message() << want.size() << " characters");
        const bool latin1 = std::all_of(want.begin(), want.end(), [](char32_t c) { return c <= 0xFF; });
        const String fromUcs4(want);
        String appended;
        for (const char32_t c : want) appended.Append(c);
        String halves;
        halves.Append(fromUcs4.Sub(0, want.size() / 2)).Append(fromUcs4.Sub(want.size() / 2, want.size() - want.size() / 2));
        String self = fromUcs4;
        self.Append(self);
        const String made[] = {fromUcs4, appended, halves, String(fromUcs4.ToUtf8()),
                               String::FromQString(fromUcs4.ToQString())};
        for (const String& s : made) {
            EXPECT_TRUE(s.ToUcs4() == want);
            EXPECT_EQ(s.IsWide(), !latin1) << "one byte per character exactly while the text allows";
            EXPECT_TRUE(s.Identical(fromUcs4));
            EXPECT_TRUE(s == fromUcs4);
        }
        EXPECT_TRUE(self.ToUcs4() == want + want);
        // A wide string compares with a one-byte one by its characters.
        String wideCopy = fromUcs4;
        wideCopy.Widen(want.size());
        EXPECT_TRUE(wideCopy.Identical(fromUcs4));
        EXPECT_EQ(wideCopy.ToUtf8(), fromUcs4.ToUtf8());
    }
}

TEST(StringForms, ChangingACharacterWidensOnlyWhenNeeded) {
    String s("na\xC3\xAFve \xC3\xBF");  // i-diaeresis, y-diaeresis
    EXPECT_FALSE(s.IsWide());
    s.SetAt(0, U'N');
    EXPECT_FALSE(s.IsWide());
    // Upper-case y-diaeresis (U+0178) and micro sign's capital (U+039C) are
    // past Latin-1.
    const String upper = fw::Uppercase(s);
    EXPECT_TRUE(upper.Identical(String("NA\xC3\x8FVE \xC5\xB8")));
    EXPECT_TRUE(fw::Uppercase(String("\xC2\xB5")).Identical(String("\xCE\x9C")));
    EXPECT_TRUE(String("\xC5\xB8") == String("\xC3\xBF"));
    // A buffer that held wide text goes back to one byte per character
    // once emptied and refilled with Latin-1.
    String reused("\xE2\x82\xAC");
    reused.Clear();
    reused.Append(String("abc"));
    EXPECT_FALSE(reused.IsWide());
    EXPECT_EQ(reused.ToUtf8(), "abc");
    EXPECT_EQ(fw::InStr(1, String("x\xE2\x82\xAC" "abc"), String("ABC")), 3);
    EXPECT_EQ(fw::InStr(1, String("xxabc"), String("\xE2\x82\xAC")), 0);
}

// A buffer reused for unit after unit, some Latin-1 and some not (the
// scanner's), keeps a capacity of the size of the units, however often it
// changes form.
TEST(StringForms, ChangingFormOftenKeepsTheBufferSmall) {
    const unsigned char word[] = "scrambled";
    String unit;
    for (int i = 0; i < 200; ++i) {
        unit.Assign(word, 9);
        unit.SetAt(i % 9, U'\u20AC');
        unit.Append(U'\u00e9');
        ASSERT_LE(unit.Capacity(), 64u) << "after " << i << " changes";
    }
    EXPECT_TRUE(unit.IsWide());
}

TEST(StringForms, OneByteFoldingIsTheUnicodeFolding) {
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(fw::Fold(static_cast<unsigned char>(c)), fw::FoldSlow(static_cast<char32_t>(c))) << c;
}
