#include "EngineTestUtil.h"
#include "core/Random.h"

#include <gtest/gtest.h>

using testutil::RowsOf;
using testutil::ShippedRows;

namespace {
std::string Rebuild(const std::string& text, const fw::StringRows& rows) {
    engine::WordLookup lookup(rows);
    return engine::RebuildText(fw::String(text), lookup).ToUtf8();
}
}  // namespace

TEST(Rebuild, RulesWithTheShippedList) {
    struct Case { const char* in; const char* want; };
    const Case cases[] = {
        {"Wrod", "Word"}, {"WROD", "WORD"}, {"word", "wrod"}, {"book", "book"},
        {"trhee", "there"}, {"tehre", "there"}, {"Hlelo", "Hello"}, {"HLELO", "Hello"},
        {"zyugnaov", "ZYUGNAOV"},   // the last row is never examined
        {"12345", "12345"}, {"na\xC3\xAFve", "NA\xC3\x8FVE"}, {"qwxzy", "QWXZY"},
        {"I am the cat!", "I am the cat!"},
        {"Tihs is a smlipe tset, olny a tset.", "This is a simple test, only a test."},
        {"don't", "dont"}, {"", ""}, {" .\r\n", " .\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Rebuild(c.in, ShippedRows()), c.want) << c.in;
}

TEST(Rebuild, SmallListsAndTheLastRow) {
    const auto rows = RowsOf({"bread", "beard", "bared", "zygote"});
    EXPECT_EQ(Rebuild("baerd", rows), "bread");   // first passing row in list order
    EXPECT_EQ(Rebuild("zgoyte", rows), "ZGOYTE");  // last row never examined
    EXPECT_EQ(Rebuild("Baerd", RowsOf({"bread"})), "BAERD");  // one row: it is the last
    EXPECT_EQ(Rebuild("Baerd", RowsOf({})), "BAERD");
    EXPECT_EQ(Rebuild("Baerd", RowsOf({"bread", "x"})), "Bread");
}

TEST(Rebuild, IndexFollowsPrunedRows) {
    fw::StringRows rows = RowsOf({"aboard", "abroad", "end"});
    engine::WordLookup lookup(rows);
    EXPECT_EQ(engine::RebuildText(fw::String("abroad"), lookup).ToUtf8(), "aboard");
    rows.RemoveRow(0);
    EXPECT_EQ(engine::RebuildText(fw::String("abroad"), lookup).ToUtf8(), "abroad");
    rows.RemoveRow(0);
    EXPECT_EQ(engine::RebuildText(fw::String("abroad"), lookup).ToUtf8(), "ABROAD");
}

TEST(PossibleWords, EntriesKeepTheSelectionsFirstLetter) {
    engine::WordLookup lookup(ShippedRows());
    struct Case { const char* w; std::vector<std::string> want; };
    const Case cases[] = {
        {"Baerd", {"Bared", "Beard", "Bread"}},
        {"BREAD", {"Bared", "Beard", "Bread"}},
        {"wrold", {"world"}},
        {"abroad", {"aboard", "abroad"}},
        {"books", {"books"}},
        {"bread,", {}},
        {"zyuganov", {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> got;
        for (const auto& e : engine::PossibleWords(fw::String(c.w), lookup)) got.push_back(e.ToUtf8());
        EXPECT_EQ(got, c.want) << c.w;
    }
    EXPECT_EQ(Module1::FirstLetter.ToUtf8(), "z");
    EXPECT_EQ(Module1::LastLetter.ToUtf8(), "v");
}

// The index must give exactly the walk's answers.
TEST(WordIndex, AgreesWithTheWalk) {
    fw::TheRandom().Seed(11);
    const fw::StringRows& shipped = ShippedRows();
    engine::WordLookup lookup(shipped);
    std::vector<fw::String> units;
    for (int i = 0; i < 400; ++i) {
        const int32_t r = static_cast<int32_t>(fw::TheRandom().Below(static_cast<uint32_t>(shipped.ListCount())));
        std::u32string w(shipped.Cell(r).ToUcs4());
        fw::Shuffle(w.data() + 1, w.size() - 2);
        if (i % 3 == 0) {
            for (auto& c : w) c = fw::UpperChar(c);
        }
        if (i % 7 == 0) w[w.size() / 2] = U'7';
        if (i % 11 == 0) w[1] = U'\u00E9';
        units.emplace_back(w);
    }
    units.push_back(shipped.Cell(shipped.ListCount() - 1));
    units.push_back(shipped.Cell(0));
    units.push_back(fw::String("BAERD"));
    for (const auto& u : units) {
        const fw::String first = fw::Left(u, 1), last = fw::Right(u, 1);
        EXPECT_EQ(lookup.FirstMatch(u), engine::WalkFirstMatch(shipped, u, first, last)) << u.ToUtf8();
        EXPECT_EQ(lookup.AllMatches(u), engine::WalkAllMatches(shipped, u, first, last)) << u.ToUtf8();
    }

    // Odd rows: non-ASCII letters of either case, digits, duplicates, a row
    // equal but for case, an empty row, a Kelvin sign (it folds to k), a
    // letter fifteen and sixteen times, rows past 127 characters; and a
    // one-row and an empty list.
    const std::string longRow = "b" + std::string(64, 'a') + std::string(64, 'd') + "c";
    const std::string longUnit = "B" + std::string(64, 'd') + std::string(64, 'a') + "C";
    const std::string a15(15, 'a'), a16(16, 'a'), A15(15, 'A'), A16(16, 'A');
    const auto odd = RowsOf({"\xC3\x89t\xC3\xA9s", "caf\xC3\xA9", "abc12", "abc12", "ABC21", "", "Seven",
                             "\xE2\x84\xAA" "elvik", "kelvik", a15.c_str(), a16.c_str(), longRow.c_str(), "x"});
    engine::WordLookup oddLookup(odd);
    for (const char* u : {"\xC3\xA9T\xC3\x89S", "CAF\xC3\x89", "ab1c2", "aBc12", "sEVEN", "", "x", "abc21", "KLEVIK",
                          "k\xE2\x84\xAA" "levi", A15.c_str(), A16.c_str(), longUnit.c_str()}) {
        const fw::String s(u);
        EXPECT_EQ(oddLookup.AllMatches(s), engine::WalkAllMatches(odd, s, fw::Left(s, 1), fw::Right(s, 1))) << u;
    }
    // Not for want of a match.
    EXPECT_EQ(oddLookup.AllMatches(fw::String("KLEVIK")), (std::vector<int32_t>{7, 8}));
    EXPECT_EQ(oddLookup.AllMatches(fw::String(A15)), std::vector<int32_t>{9});
    EXPECT_EQ(oddLookup.AllMatches(fw::String(A16)), std::vector<int32_t>{10});
    EXPECT_EQ(oddLookup.AllMatches(fw::String(longUnit)), std::vector<int32_t>{11});
    for (const auto& rows : {RowsOf({"bread"}), RowsOf({})}) {
        engine::WordLookup l(rows);
        EXPECT_EQ(l.FirstMatch(fw::String("bread")), -1);
        EXPECT_EQ(engine::WalkFirstMatch(rows, fw::String("bread"), fw::String("b"), fw::String("d")), -1);
    }
}
