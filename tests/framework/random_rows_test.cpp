#include "core/CountByte.h"
#include "core/Random.h"
#include "core/Rows.h"
#include "core/Yield.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <algorithm>
#include <map>
#include <string>

TEST(Shuffle, SeededRunsRepeatAndEveryOrderTurnsUp) {
    fw::TheRandom().Seed(7);
    std::string a = "abcdef";
    fw::Shuffle(a.data(), a.size());
    fw::TheRandom().Seed(7);
    std::string b = "abcdef";
    fw::Shuffle(b.data(), b.size());
    EXPECT_EQ(a, b);

    // Three elements: all six orders, each near one sixth of the draws.
    std::map<std::string, int> seen;
    for (int i = 0; i < 6000; ++i) {
        std::string s = "abc";
        fw::Shuffle(s.data(), s.size());
        ++seen[s];
    }
    ASSERT_EQ(seen.size(), 6u);
    for (const auto& [order, n] : seen) EXPECT_NEAR(n, 1000, 150) << order;

    std::string one = "x";
    fw::Shuffle(one.data(), 1);
    fw::Shuffle(one.data(), 0);
    EXPECT_EQ(one, "x");
}

TEST(StringRows, RowsAndRevisions) {
    fw::StringRows rows;
    rows.SetFromJoined(fw::String("cat\rhorse\rox"), U'\r');
    ASSERT_EQ(rows.ListCount(), 3);
    // Reading single rows before the list is cut gives the same texts.
    EXPECT_TRUE(rows.CellCopy(0).Identical(fw::String("cat")));
    EXPECT_TRUE(rows.CellCopy(2).Identical(fw::String("ox")));
    EXPECT_TRUE(rows.CellCopy(3).IsEmpty());
    fw::StringRows trailing;
    trailing.SetFromJoined(fw::String("a\r"), U'\r');  // a separator at the end makes an empty last row
    ASSERT_EQ(trailing.ListCount(), 2);
    EXPECT_TRUE(trailing.CellCopy(1).IsEmpty());
    EXPECT_TRUE(trailing.Cell(1).IsEmpty());
    // From UTF-8: rows decode as they are read, exactly as the whole would.
    fw::StringRows utf8;
    utf8.SetFromJoinedUtf8("caf\xC3\xA9\r\xFFx\r\xF0\x9F\x98\x80", '\r');
    ASSERT_EQ(utf8.ListCount(), 3);
    EXPECT_TRUE(utf8.CellCopy(0).Identical(fw::String("caf\xC3\xA9")));
    EXPECT_EQ(fw::Len(utf8.CellCopy(1)), 2);  // the stray byte is kept as a Latin-1 character
    EXPECT_TRUE(utf8.Cell(2).Identical(fw::String("\xF0\x9F\x98\x80")));
    EXPECT_TRUE(utf8.Cell(0).Identical(fw::String("caf\xC3\xA9")));
    EXPECT_TRUE(rows.Cell(1).Identical(fw::String("horse")));
    EXPECT_TRUE(rows.Cell(3).IsEmpty());
    EXPECT_TRUE(rows.Cell(-1).IsEmpty());
    const auto r = rows.Revision();
    rows.RemoveRow(0);
    EXPECT_NE(rows.Revision(), r);
    EXPECT_TRUE(rows.Cell(0).Identical(fw::String("horse")));
    rows.RemoveRow(7);  // out of range: nothing
    EXPECT_EQ(rows.ListCount(), 2);
    rows.SetFromJoined(fw::String(), U'\r');
    EXPECT_EQ(rows.ListCount(), 0);
}

TEST(StringRows, RowsBeforeAndAfterCuttingMatchASplitAtEverySeparator) {
    const char* cases[] = {"", "a", "\r", "\r\r", "\ra", "a\r", "ab\r\rcd\r", "one\rtwo\rthree"};
    fw::StringRows utf8, wide, view;
    for (const char* text : cases) {
        SCOPED_TRACE(testing::PrintToString(text));
        std::vector<std::string> want;
        if (*text) {
            std::string row;
            for (const char* c = text;; ++c) {
                if (*c == '\r' || !*c) {
                    want.push_back(row);
                    row.clear();
                    if (!*c) break;
                } else row += *c;
            }
        }
        // The same objects each time: a new text replaces rows already read.
        utf8.SetFromJoinedUtf8(text, '\r');
        wide.SetFromJoined(fw::String(text), U'\r');
        view.SetFromJoinedUtf8View(text, '\r');
        for (fw::StringRows* rows : {&utf8, &wide, &view}) {
            ASSERT_EQ(rows->ListCount(), static_cast<int>(want.size()));
            // Single rows in both directions, then the whole list cut.
            for (std::size_t i = want.size(); i-- > 0;) EXPECT_EQ(rows->CellCopy(static_cast<int>(i)).ToUtf8(), want[i]);
            for (std::size_t i = 0; i < want.size(); ++i) EXPECT_EQ(rows->CellCopy(static_cast<int>(i)).ToUtf8(), want[i]);
            for (std::size_t i = 0; i < want.size(); ++i) EXPECT_EQ(rows->Cell(static_cast<int>(i)).ToUtf8(), want[i]);
        }
    }
}

TEST(StringRows, LongListsCountAndReadAlikeWhateverTheLengthsOfTheirRows) {
    // Long enough for the counting's blocks and their sums, with rows of
    // every length from empty up and a text ending mid-block.
    std::string text;
    std::vector<std::string> want;
    for (int i = 0; text.size() < 20000; ++i) {
        if (i) text += '\r';
        want.push_back(std::string(static_cast<std::size_t>(i % 23), static_cast<char>('a' + i % 26)));
        text += want.back();
    }
    for (std::size_t cut : {text.size(), text.size() - 1, std::size_t{4095}, std::size_t{4096}, std::size_t{4097}}) {
        const std::string_view part(text.data(), cut);
        EXPECT_EQ(fw::CountByte(part.data(), part.size(), '\r'),
                  static_cast<std::size_t>(std::count(part.begin(), part.end(), '\r')))
            << cut;
    }
    fw::StringRows rows;
    rows.SetFromJoinedUtf8View(text, '\r');
    ASSERT_EQ(rows.ListCount(), static_cast<int>(want.size()));
    const int last = rows.ListCount() - 1;
    EXPECT_EQ(rows.CellCopy(last).ToUtf8(), want.back());
    EXPECT_EQ(rows.CellCopy(1).ToUtf8(), want[1]);
    EXPECT_EQ(rows.Cell(last / 2).ToUtf8(), want[static_cast<std::size_t>(last / 2)]);
    // Once cut, the rows no longer need the text they were viewing.
    text.assign(text.size(), 'x');
    EXPECT_EQ(rows.Cell(last).ToUtf8(), want.back());
}

TEST(Yield, HookRunsRarelyAndCountIsExact) {
    static int calls = 0;
    fw::YieldHook old = fw::SetYieldHook([] { ++calls; });
    const auto before = fw::YieldCount();
    for (int i = 0; i < 100000; ++i) fw::BackgroundYield();
    EXPECT_EQ(fw::YieldCount() - before, 100000u);
    EXPECT_GE(calls, 5);
    EXPECT_LE(calls, 7);
    fw::SetYieldHook(old);
}
