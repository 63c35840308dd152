// Spell checking underlines misspelt words and never changes the text.
#include "gui/controls/SpellChecker.h"
#include "gui/controls/TextArea.h"
#include "controls_support.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>

using controls_test::Host;
using controls_test::WaitUntil;

namespace {

// The underlined ranges of the block, as (start, length).
std::vector<std::pair<int, int>> Underlined(const QTextBlock& block) {
    std::vector<std::pair<int, int>> out;
    for (const QTextLayout::FormatRange& r : block.layout()->formats())
        if (r.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline) out.emplace_back(r.start, r.length);
    return out;
}

TEST(SpellChecking, MisspeltWordsAreUnderlinedAndTheTextStaysAsItWas) {
    if (!fw::SpellChecker::Shared().Available()) GTEST_SKIP() << "no en_US dictionary installed";
    Host host;
    auto area = fw::New<fw::TextArea>();
    area->PlaceInto(&host.widget);
    area->SetAutomaticallyCheckSpelling(true);
    const fw::String text = "Thsi line is fine.\r\nThe secnod one don't.";
    area->SetText(text);
    ASSERT_TRUE(area->SpellCheckingActive());

    QTextDocument* doc = area->Editor()->document();
    ASSERT_TRUE(WaitUntil([&] { return !Underlined(doc->begin()).empty(); }));
    using Ranges = std::vector<std::pair<int, int>>;
    EXPECT_EQ(Underlined(doc->begin()), (Ranges{{0, 4}}));
    // "don't" is a word, apostrophe and all.
    EXPECT_EQ(Underlined(doc->begin().next()), (Ranges{{4, 6}}));
    EXPECT_TRUE(area->Text().Identical(text));

    // Typing a misspelt word underlines it; the other line keeps its CR LF.
    QTextCursor c(doc);
    c.movePosition(QTextCursor::End);
    area->Editor()->setTextCursor(c);
    for (QChar ch : QString(" wrnog")) {
        QKeyEvent press(QEvent::KeyPress, ch.toUpper().unicode(), Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(area->Editor(), &press);
    }
    ASSERT_TRUE(WaitUntil([&] { return Underlined(doc->begin().next()).size() == 2; }));
    EXPECT_EQ(Underlined(doc->begin().next()).back(), (std::pair<int, int>{22, 5}));
    const fw::String typed = text + " wrnog";
    EXPECT_TRUE(area->Text().Identical(typed));

    // Switched off, nothing is underlined any more.
    area->SetAutomaticallyCheckSpelling(false);
    EXPECT_TRUE(Underlined(doc->begin()).empty());
    EXPECT_TRUE(area->Text().Identical(typed));
}

TEST(SpellChecking, TokensWithDigitsAreNoWordsAndAMissingDictionaryFindsNothing) {
    fw::SpellChecker missing("/nonexistent/xx.aff", "/nonexistent/xx.dic");
    EXPECT_FALSE(missing.Available());
    EXPECT_TRUE(missing.Misspellings("qqqzx wwwzz").empty());

    if (!fw::SpellChecker::Shared().Available()) GTEST_SKIP() << "no en_US dictionary installed";
    const auto found = fw::SpellChecker::Shared().Misspellings("abc123 zzxq, Hello world");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], (std::pair<int, int>{7, 4}));
}

TEST(SpellChecking, DocumentsAboveTheLimitAreNotChecked) {
    Host host;
    auto area = fw::New<fw::TextArea>();
    area->PlaceInto(&host.widget);
    area->SetAutomaticallyCheckSpelling(true);
    std::u32string big;
    while (big.size() <= static_cast<std::size_t>(fw::TextArea::SpellCheckLimit())) big += U"lorem ipsum dolor sit amet\n";
    area->SetText(fw::String(big));
    EXPECT_FALSE(area->SpellCheckingActive());
    area->SetText("small again");
    EXPECT_TRUE(area->SpellCheckingActive());
}

}  // namespace
