#include "EngineTestUtil.h"

#include <gtest/gtest.h>

TEST(WordList, ShippedListHasItsShape) {
    const fw::StringRows& rows = testutil::ShippedRows();
    ASSERT_EQ(rows.ListCount(), 68928);
    EXPECT_EQ(rows.Cell(0).ToUtf8(), "aachen");
    EXPECT_EQ(rows.Cell(rows.ListCount() - 1).ToUtf8(), "zyuganov");
    for (int32_t i = 0; i < rows.ListCount(); ++i) {
        const std::string w = rows.Cell(i).ToUtf8();
        ASSERT_GE(w.size(), 5u) << w;
        ASSERT_LE(w.size(), 28u) << w;
        for (char c : w) ASSERT_TRUE(c >= 'a' && c <= 'z') << w;
        if (i > 0) {
            ASSERT_LT(rows.Cell(i - 1).ToUtf8(), w) << "ascending and unique at row " << i;
        }
    }
    // The file itself: LF line ends, no blank line, nothing after the last.
    const std::string file = testutil::ReadFile(SCRANDLE_WORDLIST_FILE);
    EXPECT_EQ(file.find('\r'), std::string::npos);
    EXPECT_EQ(file.find("\n\n"), std::string::npos);
    EXPECT_EQ(file.back(), '\n');
}
