// Text areas give back exactly the text they were given, keep the line ends
// of the lines the user did not touch, and pass exact text through the
// clipboard.
#include "gui/controls/TextArea.h"
#include "gui/controls/TextField.h"
#include "controls_support.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <gtest/gtest.h>


using controls_test::Host;
using fw::String;

namespace {

String S(std::u32string s) { return String(std::move(s)); }

void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QCoreApplication::sendEvent(w, &release);
}

void Type(QWidget* w, const QString& text) {
    for (QChar c : text)
        Key(w, c == QLatin1Char('\t') ? int(Qt::Key_Tab) : int(c.toUpper().unicode()), Qt::NoModifier, QString(c));
}

// Puts the insertion point at a position of the document (UTF-16 units).
void PlaceCursor(fw::TextArea& area, int docPos) {
    QTextCursor c = area.Editor()->textCursor();
    c.setPosition(docPos);
    area.Editor()->setTextCursor(c);
}

struct ExactCase {
    const char* name;
    std::u32string text;
};

class TextAreaExact : public ::testing::TestWithParam<ExactCase> {};

const std::u32string kLongRuns = U"abcdefghijklmnopqrstu\r\nvwxyzabcdefghijklmnopq\U0001F600rstuvwxyzabcdefghij\rklmno"
                                 U"pqrstuvwxyzabcdefg\u2029hijklmnopqrstuvwxyzab\nc\uFDD1defghijklmnopqrstuvwxyz\u00e9\u4e2d"
                                 U"\U0001D11Eabcdefghijklmnopqrstuvwxyzabcdefghijklmnop\r";
const std::u32string kLatin1LongRuns = U"caf\u00e9 na\u00efve \u00ff\u00b5 abcdefghijklmnopqrstuvwxyz\r\n\u00c0"
                                       U"\u00e0bcdefghijklmnopqrstuvwxyz\u00de\u00df\rabcdefghijklmnopqrstuvwxyz\n";

TEST_P(TextAreaExact, GivesBackExactlyWhatWasSet) {
    Host host;
    auto area = fw::New<fw::TextArea>();
    area->PlaceInto(&host.widget);
    const String text = S(GetParam().text);
    area->SetText(text);
    EXPECT_TRUE(area->Text().Identical(text));
    // One byte per character whenever the text allows.
    EXPECT_EQ(area->Text().IsWide(), text.IsWide());
    // Also after an edit that touches nothing of it and is undone.
    PlaceCursor(*area, 0);
    Type(area->Editor(), "x");
    Key(area->Editor(), Qt::Key_Backspace);
    EXPECT_TRUE(area->Text().Identical(text));
    // Handed on to another area as the document holds it.
    auto copy = fw::New<fw::TextArea>();
    copy->PlaceInto(&host.widget);
    copy->SetText(String("old\r\ntext\r"));
    copy->SetTextFrom(*area);
    EXPECT_TRUE(copy->Text().Identical(text));
    // Or taken over with the document, which leaves the source empty.
    auto taker = fw::New<fw::TextArea>();
    taker->PlaceInto(&host.widget);
    taker->SetText(String("old\r\ntext\r"));
    taker->TakeTextFrom(*copy);
    EXPECT_TRUE(taker->Text().Identical(text));
    EXPECT_TRUE(copy->Text().IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, TextAreaExact,
    ::testing::Values(ExactCase{"Empty", U""}, ExactCase{"CrLfCrLf", U"a\r\nb\rc\nd"},
                      ExactCase{"LfThenCrIsTwoLineEnds", U"a\n\rb"},
                      ExactCase{"OnlyLineEnds", U"\r\r\n\n\r\n\r"},
                      ExactCase{"TrailingCrLf", U"last line\r\n"},
                      ExactCase{"HelpTextParagraphs", U"One.  Two.\r\rThree."},
                      ExactCase{"CharactersQtFolds", U"p\u2029q\u2028r\u00A0s\uFDD0t\uFDD1u\tv"},
                      ExactCase{"Astral", U"\U0001F600\r\n\U0001D11E x"},
                      // Long runs between the special characters, at
                      // every offset within the blocks the conversions copy.
                      ExactCase{"LongRuns", kLongRuns}, ExactCase{"Latin1LongRuns", kLatin1LongRuns},
                      ExactCase{"ControlCharacters", std::u32string(U"a\0b\x01\x7f\x81\x8d\x9d\x85\u00a0\ufffc\ufeff\u200b\t\fz\0", 17)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextArea, TwentyMegabytesSetAndReadBackQuickly) {
    Host host;
    auto area = fw::New<fw::TextArea>();
    area->PlaceInto(&host.widget);
    std::u32string big;
    big.reserve(20'100'000);
    const std::u32string line = U"The quick brown fox jumps over the lazy dog, again and again";
    for (int i = 0; big.size() < 20'000'000; ++i) {
        big += line;
        big += i % 3 == 0 ? U"\r\n" : i % 3 == 1 ? U"\n" : U"\r";
    }
    const String text = S(big);
    QElapsedTimer t;
    t.start();
    area->SetText(text);
    const String back = area->Text();
    const qint64 ms = t.elapsed();
    EXPECT_TRUE(back.Identical(text));
    RecordProperty("set_and_get_ms", static_cast<int>(ms));
    // About a second on an idle machine, nearly all of it Qt's own setting
    // of the document; the figure is recorded, not bounded, since a loaded
    // build machine makes any bound a coin toss.
    // Not spell-checked whole: that would stall the setting.
    EXPECT_FALSE(area->SpellCheckingActive());

    // After an edit the text is rebuilt from the document, just as exactly.
    PlaceCursor(*area, 0);
    Type(area->Editor(), "X");
    const String edited = area->Text();
    EXPECT_TRUE(edited.Identical(String("X") + text));
}

// An area that takes another's text behaves as if the text had been set:
// its own looks and width, nothing to undo, the cursor at the start, and
// edits of either area that touch only that area.
TEST(TextArea, TakingATextIsSettingItAndEmptyingTheSource) {
    Host host;
    auto source = fw::New<fw::TextArea>();
    auto taker = fw::New<fw::TextArea>();
    source->PlaceInto(&host.widget);
    taker->PlaceInto(&host.widget);
    source->SetBounds(0, 0, 400, 100);
    taker->SetBounds(0, 200, 200, 100);
    source->SetTextSize(20);
    source->SetAlignment(2);
    taker->SetTextSize(9);
    taker->SetAlignment(3);
    host.widget.show();
    int sourceChanges = 0, takerChanges = 0;
    source->AddEventHandler("TextChange", std::function<void()>([&] { ++sourceChanges; }));
    taker->AddEventHandler("TextChange", std::function<void()>([&] { ++takerChanges; }));

    std::u32string lines;
    for (int i = 0; i < 40; ++i) lines += U"line of some words that wrap in a narrow area" + std::u32string(i % 2 ? U"\r\n" : U"\r");
    const String text = S(lines);
    source->SetText(text);
    source->SetEncoding(fw::TextEncoding::Utf16LE);
    PlaceCursor(*source, 5);
    Type(source->Editor(), "x");
    Key(source->Editor(), Qt::Key_Backspace);
    source->SetSelStart(3);
    source->SetSelLength(4);
    taker->SetText(text + text);
    taker->Editor()->verticalScrollBar()->setValue(taker->Editor()->verticalScrollBar()->maximum());
    sourceChanges = takerChanges = 0;

    taker->TakeTextFrom(*source);
    // As many text changes as setting a text and emptying an area raise.
    auto ref = fw::New<fw::TextArea>();
    ref->PlaceInto(&host.widget);
    ref->SetBounds(0, 200, 200, 100);
    ref->SetTextSize(9);
    int refChanges = 0;
    ref->AddEventHandler("TextChange", std::function<void()>([&] { ++refChanges; }));
    ref->SetText(text);
    EXPECT_EQ(takerChanges, refChanges);
    refChanges = 0;
    ref->SetText(String());
    EXPECT_EQ(sourceChanges, refChanges);
    ref->SetText(text);
    EXPECT_TRUE(taker->Text().Identical(text));
    EXPECT_EQ(taker->Encoding(), fw::TextEncoding::Utf16LE);
    EXPECT_TRUE(source->Text().IsEmpty());
    EXPECT_TRUE(source->IsEmpty());
    for (fw::TextArea* area : {&*taker, &*source}) {
        QPlainTextEdit* ed = area->Editor();
        QTextDocument* doc = ed->document();
        SCOPED_TRACE(area == &*taker ? "taker" : "source");
        EXPECT_EQ(area->SelStart(), 0);
        EXPECT_EQ(area->SelLength(), 0);
        EXPECT_FALSE(doc->isUndoAvailable());
        EXPECT_FALSE(doc->isModified());
        EXPECT_EQ(doc->defaultFont(), ed->font());
        EXPECT_EQ(doc->defaultTextOption().alignment(), area == &*taker ? Qt::AlignRight : Qt::AlignHCenter);
        EXPECT_EQ(doc->defaultTextOption().wrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
        EXPECT_TRUE(area->SpellCheckingActive());
        EXPECT_EQ(ed->verticalScrollBar()->value(), 0);
    }
    // Lines wrap at this area's own width, as in the area given the text.
    const auto linesOfFirstBlock = [](fw::TextArea& area) {
        QTextDocument* doc = area.Editor()->document();
        doc->documentLayout()->blockBoundingRect(doc->firstBlock());
        return doc->firstBlock().layout()->lineCount();
    };
    QCoreApplication::processEvents();
    EXPECT_GT(linesOfFirstBlock(*ref), 1);
    EXPECT_EQ(linesOfFirstBlock(*taker), linesOfFirstBlock(*ref));

    // Each area follows the edits of its own document only.
    PlaceCursor(*taker, 0);
    Key(taker->Editor(), Qt::Key_Return, Qt::NoModifier, "\r");
    Type(source->Editor(), "ab");
    Key(source->Editor(), Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_TRUE(taker->Text().Identical(String("\n") + text));
    EXPECT_TRUE(source->Text().Identical("ab\n"));
    // The source going first leaves the taken document whole, and it still
    // follows its own area's width.
    source = nullptr;
    QCoreApplication::processEvents();
    taker->SetBounds(0, 200, 300, 100);
    ref->SetBounds(0, 200, 300, 100);
    ref->SetText(String("\n") + text);
    QCoreApplication::processEvents();
    EXPECT_EQ(linesOfFirstBlock(*taker), linesOfFirstBlock(*ref));
    EXPECT_TRUE(taker->Text().Identical(String("\n") + text));
}

TEST(TextArea, TypedLineBreaksAreLfAndUntouchedLinesKeepTheirLineEnds) {
    Host host;
    auto area = fw::New<fw::TextArea>();
    area->PlaceInto(&host.widget);
    QWidget* ed = area->Editor();
    area->SetText("ab\r\ncd\ref");

    PlaceCursor(*area, 1);  // a|b
    Key(ed, Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_TRUE(area->Text().Identical("a\nb\r\ncd\ref"));

    // Shift+Return is a line break like any other, not a U+2028.
    Key(ed, Qt::Key_Return, Qt::ShiftModifier, "\r");
    EXPECT_TRUE(area->Text().Identical("a\n\nb\r\ncd\ref"));

    // Joining two lines removes the line end between them only.
    area->SetText("ab\r\ncd\ref\ngh");
    PlaceCursor(*area, 6);  // start of "ef"
    Key(ed, Qt::Key_Backspace);
    EXPECT_TRUE(area->Text().Identical("ab\r\ncdef\ngh"));

    // A selection over a line end replaced by typing.
    QTextCursor c = area->Editor()->textCursor();
    c.setPosition(1);
    c.setPosition(4, QTextCursor::KeepAnchor);  // "b", the CR LF, "c"
    area->Editor()->setTextCursor(c);
    Type(ed, "Z");
    EXPECT_TRUE(area->Text().Identical("aZdef\ngh"));

    // Undo brings the text back, the line end it took included.
    area->Editor()->undo();
    EXPECT_TRUE(area->Text().Identical("ab\r\ncdef\ngh"));
}

TEST(TextArea, SelectionCountsCharactersOfTheExactText) {
    Host host;
    auto area = fw::New<fw::TextArea>();
    area->PlaceInto(&host.widget);
    area->SetText(S(U"ab\r\n\U0001F600cd\rword end"));
    // "word" starts after a, b, CR, LF, the emoji, c, d, CR: position 8.
    area->SetSelStart(8);
    area->SetSelLength(4);
    EXPECT_EQ(area->SelStart(), 8);
    EXPECT_EQ(area->SelLength(), 4);
    EXPECT_TRUE(area->SelText().Identical("word"));

    area->SetSelStart(1);
    area->SetSelLength(5);  // b, CR, LF, emoji, c
    EXPECT_TRUE(area->SelText().Identical(S(U"b\r\n\U0001F600c")));
    area->SetSelText("X");
    EXPECT_TRUE(area->Text().Identical("aXd\rword end"));
}

TEST(TextArea, CopyAndPasteCarryExactTextThroughTheClipboard) {
    Host host;
    auto area = fw::New<fw::TextArea>();
    area->PlaceInto(&host.widget);
    QClipboard* clip = QGuiApplication::clipboard();

    area->SetText("one\r\ntwo\rthree");
    area->SetSelStart(2);
    area->SetSelLength(6);  // "e", CR LF, "two", ...
    area->Copy();
    EXPECT_EQ(clip->text(), QString("e\r\ntwo"));

    // Paste replaces the selection and keeps the pasted line ends.
    clip->setText("X\rY\r\nZ");
    area->SetSelStart(0);
    area->SetSelLength(3);  // "one"
    area->Paste();
    EXPECT_TRUE(area->Text().Identical("X\rY\r\nZ\r\ntwo\rthree"));

    // The editor's own copy and paste (Ctrl+C, Ctrl+V, the Edit menu) go the
    // same way.
    area->SetSelStart(0);
    area->SetSelLength(5);  // X, CR, Y, CR, LF
    area->Editor()->copy();
    EXPECT_EQ(clip->text(), QString("X\rY\r\n"));
    // A selection cannot end between the CR and the LF of one line end.
    area->SetSelLength(4);
    EXPECT_TRUE(area->SelText().Identical("X\rY"));
    clip->setText("\n--\r\n");
    area->SetSelStart(fw::Len(area->Text()));
    area->Editor()->paste();
    EXPECT_TRUE(area->Text().Identical("X\rY\r\nZ\r\ntwo\rthree\n--\r\n"));

    // Copy with nothing selected leaves the clipboard as it was.
    area->SetSelStart(0);
    area->Copy();
    EXPECT_EQ(clip->text(), QString("\n--\r\n"));

    // A read-only area takes no paste.
    clip->setText("nope");
    area->SetReadOnly(true);
    area->Paste();
    EXPECT_EQ(fw::InStr(area->Text(), "nope"), 0);
}

TEST(TextArea, LimitTextStopsTypingAndCutsPastesButNeverTheProgramsText) {
    Host host;
    auto area = fw::New<fw::TextArea>();
    area->PlaceInto(&host.widget);
    area->SetLimitText(5);
    area->SetText("123456789");
    EXPECT_TRUE(area->Text().Identical("123456789"));

    area->SetText("123");
    area->SetSelStart(3);
    Type(area->Editor(), "abc");
    EXPECT_TRUE(area->Text().Identical("123ab"));

    area->SetText("1");
    area->SetSelStart(1);
    QGuiApplication::clipboard()->setText("WXYZQ");
    area->Paste();
    EXPECT_TRUE(area->Text().Identical("1WXYZ"));
}

TEST(TextArea, TabMovesTheFocusUnlessTabsAreAccepted) {
    Host host;
    auto area = fw::New<fw::TextArea>();
    area->PlaceInto(&host.widget);
    area->SetAcceptTabs(false);
    EXPECT_TRUE(area->Editor()->tabChangesFocus());
    area->SetAcceptTabs(true);
    EXPECT_FALSE(area->Editor()->tabChangesFocus());
    Type(area->Editor(), "\t");
    EXPECT_TRUE(area->Text().Identical("\t"));
}

TEST(TextField, TextAndPasteReplaceTheSelection) {
    Host host;
    auto field = fw::New<fw::TextField>();
    field->PlaceInto(&host.widget);
    // Longer than QLineEdit's default limit of 32767.
    const String longText = String(std::u32string(40000, U'w'));
    field->SetText(longText);
    EXPECT_TRUE(field->Text().Identical(longText));

    field->SetText("");
    QGuiApplication::clipboard()->setText("Baerd");
    field->Paste();
    EXPECT_TRUE(field->Text().Identical("Baerd"));
    field->SetSelStart(1);
    field->SetSelLength(3);
    EXPECT_TRUE(field->SelText().Identical("aer"));
    QGuiApplication::clipboard()->setText("EA");
    field->Paste();
    EXPECT_TRUE(field->Text().Identical("BEAd"));
}

}  // namespace
