// TextArea: a multi-line plain-text area over QPlainTextEdit.
//
// It gives back exactly the text it was given. Qt folds every line end (CR,
// LF, CR LF) into one block separator, so the area keeps a record of the
// line end that ends each block: Text() returns what was set as long as the
// user did not edit, and after edits every untouched line keeps its line
// end; a line break the user types or that Qt itself inserts is LF, while a
// paste (Paste, Ctrl+V, a drop) keeps the line ends of the pasted text, and
// an undo or redo puts back the line ends an edit took away. A long run
// without blanks is held in pieces (kCutRun), which Text() never shows.
// Positions (SelStart, SelLength) count characters of Text().
#pragma once

#include "gui/Control.h"
#include "core/Memory.h"
#include "core/TextCodec.h"

#include <QPointer>

#include <cstdint>
#include <vector>

class QMimeData;
class QPlainTextEdit;
class QSyntaxHighlighter;

namespace fw {

class TextAreaEditor;

class TextArea : public RectControl {
public:
    TextArea();
    ~TextArea() override;

    std::string PropertyClassName() const override { return "TextArea"; }

    // The whole text, exactly as set (line ends included) unless edited.
    String Text() const;
    // The same into out, whose buffer is used again: a large text's fresh
    // pages cost more than converting it.
    void TextInto(String& out) const;
    bool IsEmpty() const;
    // A new text: its encoding is UTF-8 until the caller sets another.
    void SetText(const String& text);
    // The same, letting the text's memory go once it is converted, before
    // the document's copy is made: a large text is then held twice, not
    // three times.
    void SetText(String&& text);
    // SetText(source.Text()), without converting a large text twice; the
    // text keeps its encoding.
    void SetTextFrom(const TextArea& source);
    // The size of the text, for working out what a step on it needs in
    // memory: counts from the document and, unless lookForWide is false
    // (wide then stays false), one look over its characters for one past
    // Latin-1, a part at a time.
    TextMeasure Measure(bool lookForWide = true) const;
    // SetText(source.Text()), then source.SetText(String()), handing the
    // source's document over instead of copying it: a large text moves at
    // once. Its encoding goes with it. The area keeps its own looks.
    void TakeTextFrom(TextArea& source);

    // How the text came in from a file, so that saving writes it back the
    // same way. It belongs to the text: set by whoever loads or builds it,
    // kept by edits and by SetTextFrom, UTF-8 again for any other text set.
    TextEncoding Encoding() const { return encoding_; }
    void SetEncoding(TextEncoding e) { encoding_ = e; }

    // The selection, in characters of Text() counted from 0.
    int32_t SelStart() const;
    // Puts the insertion point there (no selection).
    void SetSelStart(int32_t start);
    int32_t SelLength() const;
    // Selects that many characters from SelStart.
    void SetSelLength(int32_t length);
    String SelText() const;
    // Replaces the selection with the text (its line ends kept).
    void SetSelText(const String& text);
    void SelectAll();

    // The selected text (exact line ends) to the system clipboard; with no
    // selection the clipboard gets the empty text.
    void Copy();
    // The clipboard's text replaces the selection; nothing in a read-only
    // area.
    void Paste();

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool b);
    bool Multiline() const { return multiline_; }
    void SetMultiline(bool b);
    bool Styled() const { return styled_; }
    // The area shows plain text only, styled or not.
    void SetStyled(bool b) { styled_ = b; }
    // The most characters the user can type or paste; 0 for no limit. Text
    // set by the program is never cut.
    int32_t LimitText() const { return limitText_; }
    void SetLimitText(int32_t n) { limitText_ = n < 0 ? 0 : n; }
    // False: the Tab key moves the focus instead of entering a tab.
    bool AcceptTabs() const { return acceptTabs_; }
    void SetAcceptTabs(bool b);
    void SetScrollbarVertical(bool b);
    void SetScrollbarHorizontal(bool b);
    void SetBorder(bool b);
    // True: the selection is not shown while the area has no focus (it is
    // kept all the same).
    void SetHideSelection(bool b);
    void SetTextColor(const Colour& c);
    void SetBackColor(const Colour& c);
    // 0 default (left), 1 left, 2 centre, 3 right.
    int32_t Alignment() const { return alignment_; }
    void SetAlignment(int32_t a);
    // Misspelt words are underlined while the user types. Documents larger
    // than SpellCheckLimit() characters are not checked.
    bool AutomaticallyCheckSpelling() const { return autoSpell_; }
    void SetAutomaticallyCheckSpelling(bool b);
    bool SpellCheckingActive() const;
    static int SpellCheckLimit();
    // Kept for the definition; the area applies no number format or input
    // mask (the system's areas have none).
    const String& Format() const { return format_; }
    void SetFormat(const String& format) { format_ = format; }
    const String& Mask() const { return mask_; }
    void SetMask(const String& mask) { mask_ = mask; }
    // Only single spacing is drawn; the value is kept.
    double LineSpacing() const { return lineSpacing_; }
    void SetLineSpacing(double spacing) { lineSpacing_ = spacing; }

    QPlainTextEdit* Editor() const;

    bool SetPresetProperty(std::string_view key, double value) override;

protected:
    bool TakeProperty(std::size_t key, const PropertyValue& value) override {
        return ApplyPropertyRow(*this, key, value);
    }

private:
    friend class TextAreaEditor;

public:
    // The line ends a block separator can stand for; kCut stands for
    // nothing: the area cut a long run without blanks there (CutLongRuns).
    enum LineEnd : std::uint8_t { kLF, kCR, kCRLF, kParagraph, kFrameStart, kFrameEnd, kCut };

    // Qt lays out a paragraph whole, at every keystroke in it too, and one
    // with a long run that offers no place to wrap (a line of letters
    // without blanks) in a time that grows with the square of the run: a
    // million letters take minutes. So where the lines wrap, such a run is
    // held in pieces of kCutRun characters, and a paragraph longer than
    // kCutParagraph in pieces of about that length, cut after a blank; each
    // piece is a paragraph of the document, which Qt lays out like ordinary
    // text. The separators between them are no part of the text.
    static constexpr int kCutRun = 1024;
    static constexpr int kCutParagraph = 16384;

private:

    // Converts a text for the document: every line end becomes one U+2029,
    // whose kinds go to ends in order.
    static QString ToDocument(const String& text, std::vector<std::uint8_t>& ends);
    static QString ToDocument(const QString& text, std::vector<std::uint8_t>& ends);
    // Cuts the runs of a converted text that are longer than kCutRun and
    // hold no blank, and its paragraphs longer than kCutParagraph, when the
    // lines wrap.
    void CutLongRuns(QString& doc, std::vector<std::uint8_t>& ends) const;
    bool WrapsLines() const { return multiline_ && !scrollH_; }
    // Puts a converted text into the document.
    void SetDocumentText(const QString& doc, std::vector<std::uint8_t> ends);
    // The exact text of the raw document text [from, to), whose first
    // separator is the sepIndex-th.
    String FromDocument(const QString& raw, int from, int to, std::size_t sepIndex) const;
    // Converts the document units [from, to) into d from d[w] on (w moves
    // on), the first separator being the sepIndex-th (moved past those
    // met). Into one-byte characters it stops with false at the first
    // character past Latin-1.
    template <class Out>
    bool ConvertFromDocument(const char16_t* p, int from, int to, std::size_t& sepIndex, Out* d, std::size_t& w) const;
    // How many of seps separators from the sepIndex-th stand for CR LF.
    std::size_t CrLfCount(std::size_t sepIndex, std::size_t seps) const;
    // Positions: document (UTF-16 units, one per separator) to characters
    // of Text() and back.
    std::uint8_t EndAt(std::size_t i) const { return i < ends_.size() ? ends_[i] : std::uint8_t{kLF}; }
    int32_t ToExactPosition(const QString& raw, int docPos) const;
    int ToDocumentPosition(const QString& raw, int32_t exactPos) const;

    // Inserts at the cursor in place of the selection, keeping the text's
    // line ends (paste, drop, SelText).
    void InsertExact(const QString& text);
    void ContentsChanged(int position, int removed, int added);
    // Follows the edits of the editor's present document.
    void ConnectDocument();
    void ResyncLineEnds();
    void UpdateSpellChecking();
    void UpdatePalette();
    void UpdateWrapping();
    // How many characters the user may still add in place of the selection.
    int RoomLeft() const;

    QPointer<TextAreaEditor> editor_;
    QMetaObject::Connection documentChanges_;
    // One entry per block separator, in document order.
    std::vector<std::uint8_t> ends_;
    // Text() once the widget is gone.
    String closedText_;
    bool settingText_ = false;
    TextEncoding encoding_ = TextEncoding::Utf8;
    // The kinds of the separators an exact insert is about to add.
    std::vector<std::uint8_t> pendingEnds_;
    bool pendingActive_ = false;
    // The kinds of the separators that edits took out, latest last, for an
    // undo or redo that puts them back in the same place.
    struct Removed {
        int index;
        std::vector<std::uint8_t> kinds;
    };
    static constexpr std::size_t kRemovedKept = 256;
    std::vector<Removed> removed_;
    bool typingLineBreak_ = false;
    bool TakeRemoved(int index, int count, std::vector<std::uint8_t>& kinds);

    QPointer<QSyntaxHighlighter> highlighter_;
    bool spellUpdateQueued_ = false;

    bool readOnly_ = false;
    bool multiline_ = true;
    bool styled_ = false;
    int32_t limitText_ = 0;
    bool acceptTabs_ = false;
    bool scrollV_ = true, scrollH_ = false;
    bool border_ = true;
    bool hideSelection_ = true;
    Colour textColor_{0, 0, 0};
    Colour backColor_{255, 255, 255};
    int32_t alignment_ = 0;
    bool autoSpell_ = false;
    String format_, mask_;
    double lineSpacing_ = 1.0;
};

}  // namespace fw
