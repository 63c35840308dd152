// Long runs without blanks: a text area that wraps its lines holds them in
// pieces Qt can lay out quickly, and the pieces are no part of the text:
// Text(), positions, selections, keys at a cut, pasting, undo and redo all
// behave as if the run were whole; an area whose lines run on keeps them
// whole.
#include "gui/controls/TextArea.h"
#include "controls_support.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <string>

using controls_test::Host;
using fw::String;

namespace {

constexpr int kRun = fw::TextArea::kCutRun;

void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QCoreApplication::sendEvent(w, &release);
}

// Compared as UTF-8: the framework's string equality ignores letter case.
std::string U8(const std::u32string& s) { return String(s).ToUtf8(); }

std::u32string Letters(std::size_t n, char32_t first = U'a') {
    std::u32string s;
    for (std::size_t i = 0; i < n; ++i) s += static_cast<char32_t>(first + i % 26);
    return s;
}

// The longest paragraph of the area's document and whether one starts with
// what belongs to the character before it.
int LongestBlock(const fw::TextArea& area) {
    int longest = 0;
    for (QTextBlock b = area.Editor()->document()->begin(); b.isValid(); b = b.next())
        longest = std::max(longest, b.length() - 1);
    return longest;
}

bool ABlockStartsInsideACharacter(const fw::TextArea& area) {
    for (QTextBlock b = area.Editor()->document()->begin().next(); b.isValid(); b = b.next()) {
        const QString t = b.text();
        if (!t.isEmpty() && (t[0].isLowSurrogate() || t[0].isMark())) return true;
    }
    return false;
}

// How many lines the text has (CR, LF and CR LF end one).
int Lines(const std::u32string& s) {
    int lines = 1;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (s[i] == U'\n' || (s[i] == U'\r' && (i + 1 == s.size() || s[i + 1] != U'\n'))) ++lines;
    return lines;
}

struct RunCase {
    const char* name;
    std::u32string text;
    bool cut;     // whether the area must hold it in pieces
    int longest;  // the most characters a piece may hold
};

std::u32string Words(std::size_t n) {
    std::u32string s;
    while (s.size() < n) s += U"several words of a very long paragraph ";
    return s;
}

TEST(TextAreaLongRuns, AreHeldInPiecesAndGivenBackExactly) {
    controls_test::EnsureApp();
    std::u32string marks;  // letters with combining accents, a run all the same
    while (marks.size() < 3000) marks += U"e\u0301";
    std::u32string astral;  // characters beyond U+FFFF: two units each
    while (astral.size() < 3000) astral += U"\U0001D400";
    constexpr int kParagraph = fw::TextArea::kCutParagraph;
    const RunCase cases[] = {
        {"a million letters", Letters(1000000), true, kRun},
        {"words around a long run and line ends", U"Some words\r\n" + Letters(5000) + U" and more\rend\n", true, kRun},
        {"a run just short of a cut", Letters(kRun), false, kRun},
        {"long words", [] {
             std::u32string s;
             while (s.size() < 12000) s += Letters(kRun - 1) + U" ";
             return s;
         }(), false, 12000 + kRun},
        {"combining marks", marks, true, kRun + 1},
        {"astral characters", astral, true, kRun + 1},
        {"CJK wraps anywhere", std::u32string(5000, U'\u4E2D'), false, 5000},
        {"a paragraph of a hundred thousand characters", Words(100000), true, kParagraph + 16},
        {"a long paragraph of CJK", std::u32string(40000, U'\u4E2D'), true, kParagraph},
    };
    for (const RunCase& c : cases) {
        fw::TextArea area;
        area.SetText(String(c.text));
        EXPECT_EQ(area.Text().ToUtf8(), U8(c.text)) << c.name;
        EXPECT_EQ(area.Editor()->document()->blockCount() > Lines(c.text), c.cut) << c.name;
        EXPECT_LE(LongestBlock(area), c.longest) << c.name;
        EXPECT_FALSE(ABlockStartsInsideACharacter(area)) << c.name;
        // Copied whole from one area to another, as Unscramble's exact road.
        fw::TextArea copy;
        copy.SetTextFrom(area);
        EXPECT_EQ(copy.Text().ToUtf8(), U8(c.text)) << c.name;
    }
}

TEST(TextAreaLongRuns, AnAreaWhoseLinesRunOnKeepsThemWhole) {
    controls_test::EnsureApp();
    const std::u32string text = Letters(10 * kRun);
    fw::TextArea area;
    area.SetText(String(text));
    ASSERT_GT(area.Editor()->document()->blockCount(), 1);
    area.SetScrollbarHorizontal(true);  // lines run on
    EXPECT_EQ(area.Editor()->document()->blockCount(), 1);
    EXPECT_EQ(area.Text().ToUtf8(), U8(text));
    // Copied from an area whose lines wrap, and back.
    fw::TextArea wrapping;
    wrapping.SetText(String(text));
    area.SetTextFrom(wrapping);
    EXPECT_EQ(area.Editor()->document()->blockCount(), 1);
    wrapping.SetTextFrom(area);
    EXPECT_GT(wrapping.Editor()->document()->blockCount(), 1);
    EXPECT_EQ(wrapping.Text().ToUtf8(), U8(text));
    area.SetScrollbarHorizontal(false);
    EXPECT_GT(area.Editor()->document()->blockCount(), 1);
    EXPECT_EQ(area.Text().ToUtf8(), U8(text));
}

TEST(TextAreaLongRuns, PositionsSelectionsAndKeysActAsIfTheRunWereWhole) {
    Host host;
    fw::TextArea area;
    area.Editor()->setParent(&host.widget);
    ASSERT_TRUE(host.ShowActive());
    area.Editor()->setFocus();
    const std::u32string text = Letters(3 * kRun);
    area.SetText(String(text));
    QWidget* editor = area.Editor();

    // Selections across the first cut.
    area.SetSelStart(kRun - 2);
    area.SetSelLength(4);
    EXPECT_EQ(area.SelStart(), kRun - 2);
    EXPECT_EQ(area.SelLength(), 4);
    EXPECT_EQ(area.SelText().ToUtf8(), U8(text.substr(kRun - 2, 4)));

    // Right and Left step over one character each, the cut or not.
    area.SetSelStart(kRun - 1);
    for (int expected : {kRun, kRun + 1}) {
        Key(editor, Qt::Key_Right);
        EXPECT_EQ(area.SelStart(), expected);
    }
    for (int expected : {kRun, kRun - 1}) {
        Key(editor, Qt::Key_Left);
        EXPECT_EQ(area.SelStart(), expected);
    }
    area.SetSelStart(kRun);
    Key(editor, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(area.SelText().ToUtf8(), U8(text.substr(kRun, 1)));

    // Backspace and Delete at the cut take a letter, each from its side.
    std::u32string expected = text;
    area.SetSelStart(kRun);
    Key(editor, Qt::Key_Backspace);
    expected.erase(kRun - 1, 1);
    EXPECT_EQ(area.Text().ToUtf8(), U8(expected));
    EXPECT_EQ(area.SelStart(), kRun - 1);
    Key(editor, Qt::Key_Delete);
    expected.erase(kRun - 1, 1);
    EXPECT_EQ(area.Text().ToUtf8(), U8(expected));

    // Typed letters and a typed line break at the cut are what they are.
    Key(editor, Qt::Key_X, Qt::NoModifier, "x");
    Key(editor, Qt::Key_Return, Qt::NoModifier, "\r");
    expected.insert(kRun - 1, U"x\n");
    EXPECT_EQ(area.Text().ToUtf8(), U8(expected));
}

TEST(TextAreaLongRuns, UndoAndRedoPutTheCutsBackAsCutsAndPastedRunsAreCutToo) {
    Host host;
    fw::TextArea area;
    area.Editor()->setParent(&host.widget);
    ASSERT_TRUE(host.ShowActive());
    area.Editor()->setFocus();
    const std::u32string text = Letters(3 * kRun) + U"\r\nend";
    area.SetText(String(text));

    // A selection across both cuts and the CR LF, deleted, then undone.
    area.SetSelStart(kRun - 5);
    area.SetSelLength(2 * kRun + 5);
    Key(area.Editor(), Qt::Key_Delete);
    std::u32string deleted = text;
    deleted.erase(kRun - 5, 2 * kRun + 5);
    EXPECT_EQ(area.Text().ToUtf8(), U8(deleted));
    area.Editor()->undo();
    EXPECT_EQ(area.Text().ToUtf8(), U8(text));
    area.Editor()->redo();
    EXPECT_EQ(area.Text().ToUtf8(), U8(deleted));
    area.Editor()->undo();
    EXPECT_EQ(area.Text().ToUtf8(), U8(text));

    // A long run pasted into the middle is held in pieces like a set one.
    const std::u32string run = Letters(4 * kRun, U'b');
    area.SetSelStart(3);
    area.SetSelLength(0);
    area.SetSelText(String(run));
    std::u32string pasted = text;
    pasted.insert(3, run);
    EXPECT_EQ(area.Text().ToUtf8(), U8(pasted));
    EXPECT_LE(LongestBlock(area), 2 * kRun + 1);
}

}  // namespace
