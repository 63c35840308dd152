#include "core/String.h"

#include <QString>
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
        EXPECT_EQ(std::u32string(s.CodePoints()), c.want) << "input of " << c.in.size() << " bytes";
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
