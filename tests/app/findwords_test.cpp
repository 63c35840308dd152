// Find Possible Words and Use Selected Word on the real main window: the
// selection travels through the clipboard and ThisWord, the pop-up lists the
// matches between its heading and end rows, and the chosen word replaces
// the selection.
#include "app_test_util.h"

#include "gui/Clipboard.h"

#include <string>
#include <vector>

namespace {

constexpr const char* kHeading = "Click To See Possible Words";
constexpr const char* kEnd = "End of List";
constexpr const char* kTooShort = "This feature is restricted to words with five or more letters.";

class FindWordsTest : public app_test::ProgramFixture {
protected:
    // Puts the text into the left area and selects the word in it.
    void SelectIn(const std::string& text, const std::string& word) {
        const auto at = text.find(word);
        ASSERT_NE(at, std::string::npos);
        W().EditField1()->SetText(fw::String(text));
        W().EditField1()->SetSelStart(fw::Len(fw::String(text.substr(0, at))));
        W().EditField1()->SetSelLength(fw::Len(fw::String(word)));
        ASSERT_EQ(W().EditField1()->SelText().ToUtf8(), word);
    }

    std::vector<std::string> PopupRows() {
        std::vector<std::string> rows;
        for (int32_t i = 0; i < W().AlternateWords()->ListCount(); ++i)
            rows.push_back(W().AlternateWords()->List(i).ToUtf8());
        return rows;
    }

    void ExpectIdle() {
        EXPECT_TRUE(W().FindWords()->Enabled());
        EXPECT_FALSE(W().AlternateWords()->Visible());
        EXPECT_EQ(W().AlternateWords()->ListCount(), 0);
        EXPECT_FALSE(W().UseWord()->Visible());
    }
};

TEST_F(FindWordsTest, BaerdListsItsWordsAndUseSelectedWordPutsTheChosenOneInPlace) {
    SelectIn("I Baerd the news.", "Baerd");
    W().FindWords()->Push();

    EXPECT_EQ(PopupRows(), (std::vector<std::string>{kHeading, "Bared", "Beard", "Bread", kEnd}));
    EXPECT_EQ(W().AlternateWords()->ListIndex(), 0);
    EXPECT_TRUE(W().AlternateWords()->Visible());
    EXPECT_TRUE(W().UseWord()->Visible());
    EXPECT_FALSE(W().FindWords()->Enabled());
    EXPECT_EQ(W().ThisWord()->Text().ToUtf8(), "Baerd");
    EXPECT_EQ(desktop_.Count(fw::ScriptedDesktop::Kind::MsgBox), 0u);

    W().AlternateWords()->SetListIndex(3);
    W().UseWord()->Push();

    EXPECT_EQ(W().EditField1()->Text().ToUtf8(), "I Bread the news.");
    EXPECT_EQ(fw::Clipboard().Text().ToUtf8(), "Bread");
    EXPECT_TRUE(W().EditField1()->HasFocus());
    ExpectIdle();
}

TEST_F(FindWordsTest, TheSelectionIsMatchedByLengthEndsAndLettersIgnoringCase) {
    const struct {
        const char* text;
        const char* word;
        std::vector<std::string> matches;  // empty: nothing found
    } cases[] = {
        {"I Baerd it", "Baerd", {"Bared", "Beard", "Bread"}},
        {"I BREAD it", "BREAD", {"Bared", "Beard", "Bread"}},
        {"Hello wrold.", "wrold", {"world"}},
        {"Old books", "books", {"books"}},
        {"Go abroad now", "abroad", {"aboard", "abroad"}},
        // The list's last row is never examined.
        {"See zyuganov", "zyuganov", {}},
        // The comma is part of the selection, and no row holds one.
        {"I bread, too", "bread,", {}},
        {"Two words", "Two words", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        SelectIn(c.text, c.word);
        W().FindWords()->Push();
        EXPECT_EQ(desktop_.Count(fw::ScriptedDesktop::Kind::MsgBox), 0u);
        if (c.matches.empty()) {
            ExpectIdle();
            continue;
        }
        std::vector<std::string> expected{kHeading};
        expected.insert(expected.end(), c.matches.begin(), c.matches.end());
        expected.push_back(kEnd);
        EXPECT_EQ(PopupRows(), expected);
        W().UseWord()->Push();  // heading row still selected: a cancel
        EXPECT_EQ(W().EditField1()->Text().ToUtf8(), c.text);
        ExpectIdle();
    }
}

TEST_F(FindWordsTest, FourCharactersOrFewerGiveTheMessageAndNothingElse) {
    for (const char* word : {"book", "a b,"}) {
        SCOPED_TRACE(word);
        desktop_.ClearCalls();
        const std::string text = std::string("Read ") + word + " now";
        SelectIn(text, word);
        W().FindWords()->Push();

        EXPECT_EQ(app_test::MessageBoxTexts(desktop_), std::vector<std::string>{kTooShort});
        const fw::DialogOwner owner = desktop_.CallsOf(fw::ScriptedDesktop::Kind::MsgBox).at(0).owner;
        EXPECT_EQ(owner.window, window_.Get());
        EXPECT_EQ(owner.title.ToUtf8(), "Scrandle");
        ExpectIdle();
        EXPECT_EQ(W().ThisWord()->Text().ToUtf8(), word);
        EXPECT_TRUE(W().ThisWord()->HasFocus());
        EXPECT_EQ(fw::Clipboard().Text().ToUtf8(), word);
        EXPECT_EQ(W().EditField1()->Text().ToUtf8(), text);
    }
}

TEST_F(FindWordsTest, NothingSelectedLeavesTheClipboardAndGivesTheMessage) {
    // The clipboard holds a word that would find matches: it must neither
    // be emptied nor be searched.
    fw::Clipboard().SetText("Baerd");
    W().EditField1()->SetText("I Baerd the news.");
    W().EditField1()->SetSelStart(4);
    W().EditField1()->SetSelLength(0);
    W().FindWords()->Push();

    EXPECT_EQ(app_test::MessageBoxTexts(desktop_), std::vector<std::string>{kTooShort});
    EXPECT_EQ(fw::Clipboard().Text().ToUtf8(), "Baerd");
    EXPECT_EQ(W().ThisWord()->Text().ToUtf8(), "");
    EXPECT_EQ(W().EditField1()->Text().ToUtf8(), "I Baerd the news.");
    ExpectIdle();
}

TEST_F(FindWordsTest, TheHeadingOrTheEndRowCancels) {
    for (int32_t row : {0, 4}) {
        SCOPED_TRACE(row);
        SelectIn("I Baerd it", "Baerd");
        W().FindWords()->Push();
        ASSERT_EQ(W().AlternateWords()->ListCount(), 5);
        W().AlternateWords()->SetListIndex(row);
        W().UseWord()->Push();

        EXPECT_EQ(W().EditField1()->Text().ToUtf8(), "I Baerd it");
        EXPECT_EQ(fw::Clipboard().Text().ToUtf8(), "Baerd");
        EXPECT_TRUE(W().EditField1()->HasFocus());
        ExpectIdle();
    }
}

}  // namespace
