#include "gui/controls/TextArea.h"

#include "gui/BusyCursor.h"
#include "gui/controls/SpellChecker.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <climits>

namespace fw {

namespace {

constexpr char16_t kSeparator = 0x2029;  // QChar::ParagraphSeparator

// Above this many characters a document is not spell-checked: checking it
// whole would stall setting the text, and no one proofreads a file of that
// size in a text area.
constexpr int kSpellCheckLimit = 1000000;

// Setting or reading this many characters takes a noticeable time and
// cannot stop to look up: the wait cursor shows at once.
constexpr std::size_t kLongText = 256 * 1024;

int EndLength(std::uint8_t kind) { return kind == TextArea::kCRLF ? 2 : kind == TextArea::kCut ? 0 : 1; }

// Where Qt may wrap a line of the document, roughly: at a blank, at a
// paragraph's end, and anywhere in the scripts written without blanks (CJK,
// Yi, Hangul and their full-width forms). Runs of anything else hold no
// such place.
inline bool WrapsHere(char16_t u) {
    return u == u' ' || u == u'\t' || u == 0x2029 || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3) ||
           (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFFEF);
}

// A run is not cut where the next unit belongs to the character before: the
// second half of a surrogate pair, a combining mark, a joiner.
inline bool CutsBefore(char16_t u) {
    return !QChar::isLowSurrogate(u) && !QChar(u).isMark() && u != 0x200D;
}

// When p[i] begins a line end (or a character Qt would fold into one),
// records its kind, steps i over a CR LF's LF and gives true.
template <class Ch, class Index>
bool TakeLineEnd(const Ch* p, Index n, Index& i, std::vector<std::uint8_t>& ends) {
    switch (static_cast<char32_t>(p[i])) {
        case U'\r':
            if (i + 1 < n && p[i + 1] == Ch('\n')) {
                ends.push_back(TextArea::kCRLF);
                ++i;
            } else {
                ends.push_back(TextArea::kCR);
            }
            return true;
        case U'\n': ends.push_back(TextArea::kLF); return true;
        case 0x2029: ends.push_back(TextArea::kParagraph); return true;
        case 0xFDD0: ends.push_back(TextArea::kFrameStart); return true;
        case 0xFDD1: ends.push_back(TextArea::kFrameEnd); return true;
        default: return false;
    }
}

// How many characters the conversions test and copy at once.
constexpr std::size_t kBlock = 16;

// Whether a block holds a character the conversions must look at: a line
// end or one Qt folds into one, or (as UTF-16) a surrogate; (as UTF-32)
// anything beyond U+FFFF. Branch-free, so that the test vectorises.
inline bool AnySpecial(const char32_t* p) {
    unsigned any = 0;
    for (std::size_t k = 0; k < kBlock; ++k) {
        const unsigned c = p[k];
        any |= (c == 13u) | (c == 10u) | (c == 0x2029u) | ((c - 0xFDD0u) < 2u) | (c > 0xFFFFu);
    }
    return any != 0;
}

inline bool AnySpecial(const unsigned char* p) {
    unsigned any = 0;
    for (std::size_t k = 0; k < kBlock; ++k) any |= (p[k] == 13u) | (p[k] == 10u);
    return any != 0;
}

// As UTF-16 going to Latin-1: anything past Latin-1 (the separator and the
// surrogates are) needs a look.
inline bool AnyBeyondLatin1(const char16_t* p) {
    unsigned any = 0;
    for (std::size_t k = 0; k < kBlock; ++k) any |= p[k];
    return any > 0xFFu;
}

inline bool AnySpecial(const char16_t* p) {
    unsigned short any = 0;
    for (std::size_t k = 0; k < kBlock; ++k) {
        const unsigned short u = p[k];
        any |= (u == 0x2029) | ((u & 0xF800) == 0xD800);
    }
    return any != 0;
}

}  // namespace

// The editor widget: keeps the area's line ends through the clipboard and
// drops, and makes a typed line break a plain one.
class TextAreaEditor : public QPlainTextEdit {
public:
    explicit TextAreaEditor(TextArea* area) : area_(area) {}
    // The area outlives its widget when the window closes first: it keeps
    // the text, while the document can still give it.
    ~TextAreaEditor() override {
        if (area_) area_->closedText_ = area_->Text();
    }
    void Detach() { area_ = nullptr; }

    // Inserts a pasted or dropped text, cut to the room LimitText leaves.
    void InsertUserText(QString text) {
        if (!area_) return;
        const int room = area_->RoomLeft();
        if (text.size() > room) {
            text.truncate(room);
            if (!text.isEmpty() && text.back().isHighSurrogate()) text.chop(1);
        }
        area_->InsertExact(text);
        ensureCursorVisible();
    }

protected:
    QMimeData* createMimeDataFromSelection() const override {
        if (!area_) return QPlainTextEdit::createMimeDataFromSelection();
        auto* data = new QMimeData;
        data->setText(area_->SelText().ToQString());
        return data;
    }

    void insertFromMimeData(const QMimeData* source) override {
        if (!area_ || isReadOnly() || !source || !source->hasText()) {
            QPlainTextEdit::insertFromMimeData(source);
            return;
        }
        InsertUserText(source->text());
    }

    void keyPressEvent(QKeyEvent* e) override {
        if (!area_) {
            QPlainTextEdit::keyPressEvent(e);
            return;
        }
        // Without AcceptTabs, Tab moves the focus; an area that is its
        // window's only focus stop keeps it, and no tab is typed either.
        if ((e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) && !area_->acceptTabs_ &&
            !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            e->ignore();
            return;
        }
        const bool lineBreak = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        if (area_->limitText_ > 0 && !isReadOnly()) {
            const QString t = e->text();
            const bool inserts = lineBreak || (!t.isEmpty() && (t[0].isPrint() || (t[0] == QLatin1Char('\t') && area_->acceptTabs_)));
            const bool ctrl = e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
            if (inserts && !ctrl && area_->RoomLeft() < 1) {
                e->accept();
                return;
            }
        }
        // Shift+Return would insert a line separator (U+2028), which is no
        // line end of the text: every typed line break is the same LF.
        // A typed line break is a new LF, whatever line end stood there once.
        const TypingLineBreak typing(*area_, lineBreak);
        if (lineBreak && (e->modifiers() & Qt::ShiftModifier)) {
            QKeyEvent plain(e->type(), e->key(), e->modifiers() & ~Qt::ShiftModifier, e->text(), e->isAutoRepeat(),
                            static_cast<quint16>(e->count()));
            QPlainTextEdit::keyPressEvent(&plain);
            e->setAccepted(plain.isAccepted());
            return;
        }
        // Across a cut of a long run (TextArea::kCutRun) the keys act as if
        // the cut were not there: its two sides are one place of the text.
        QTextCursor c = textCursor();
        const bool backspace = e->key() == Qt::Key_Backspace && !(e->modifiers() & ~Qt::ShiftModifier);
        if (!c.hasSelection() && !isReadOnly() && ((backspace && CutBefore(c)) || (e == QKeySequence::Delete && CutAfter(c)))) {
            c.movePosition(backspace ? QTextCursor::PreviousCharacter : QTextCursor::NextCharacter);
            setTextCursor(c);
        }
        QPlainTextEdit::keyPressEvent(e);
        const bool left = e == QKeySequence::MoveToPreviousChar || e == QKeySequence::SelectPreviousChar;
        const bool right = e == QKeySequence::MoveToNextChar || e == QKeySequence::SelectNextChar;
        if ((left && CutAfter(textCursor())) || (right && CutBefore(textCursor()))) QPlainTextEdit::keyPressEvent(e);
    }

private:
    struct TypingLineBreak {
        TypingLineBreak(TextArea& area, bool on) : area(area), was(area.typingLineBreak_) {
            area.typingLineBreak_ = was || on;
        }
        ~TypingLineBreak() { area.typingLineBreak_ = was; }
        TextArea& area;
        const bool was;
    };

    // Whether the cursor stands right after, or right before, a cut.
    bool CutBefore(const QTextCursor& c) const {
        const int block = c.block().blockNumber();
        return c.atBlockStart() && block > 0 && area_->EndAt(static_cast<std::size_t>(block - 1)) == TextArea::kCut;
    }
    bool CutAfter(const QTextCursor& c) const {
        const int block = c.block().blockNumber();
        return c.atBlockEnd() && block + 1 < document()->blockCount() &&
               area_->EndAt(static_cast<std::size_t>(block)) == TextArea::kCut;
    }

    TextArea* area_;
};

TextArea::TextArea() {
    editor_ = new TextAreaEditor(this);
    editor_->setTabChangesFocus(!acceptTabs_);
    editor_->setFrameShape(QFrame::StyledPanel);
    SetWidget(editor_);
    ConnectDocument();
    QObject::connect(editor_, &QPlainTextEdit::textChanged, Context(), [this] {
        if (!settingText_) RaiseEvent("TextChange");
    });
    UpdatePalette();
    UpdateWrapping();
    SetAutomaticallyCheckSpelling(true);
}

TextArea::~TextArea() {
    if (editor_) editor_->Detach();
}

QPlainTextEdit* TextArea::Editor() const { return editor_.data(); }

void TextArea::ConnectDocument() {
    QObject::disconnect(documentChanges_);
    documentChanges_ = QObject::connect(editor_->document(), &QTextDocument::contentsChange, Context(),
                                        [this](int position, int removed, int added) { ContentsChanged(position, removed, added); });
}

// ---- conversions -------------------------------------------------------------

namespace {

// The document's units for n characters: one each, two for a character
// beyond U+FFFF, and one for a CR LF pair.
template <class Ch>
std::size_t DocumentUnits(const Ch* p, std::size_t n) {
    std::size_t units = n;
    for (std::size_t i = 0; i + 1 < n; ++i) units -= (p[i] == Ch('\r')) & (p[i + 1] == Ch('\n'));
    if constexpr (sizeof(Ch) == 4)
        for (std::size_t i = 0; i < n; ++i) units += p[i] > 0xFFFFu;
    return units;
}

// Writes the n characters at p as document units from d; records their line
// ends; gives the units written.
template <class Ch>
std::size_t ToDocumentSpan(const Ch* p, std::size_t n, char16_t* d, std::vector<std::uint8_t>& ends) {
    std::size_t w = 0;
    for (std::size_t i = 0; i < n; ++i) {
        // Runs of plain characters are copied a block at a time, which the
        // compiler turns into vector code: a large text is nearly all such.
        while (i + kBlock <= n && !AnySpecial(p + i)) {
            for (std::size_t k = 0; k < kBlock; ++k) d[w + k] = static_cast<char16_t>(p[i + k]);
            i += kBlock;
            w += kBlock;
        }
        if (i == n) break;
        const char32_t c = p[i];
        if (TakeLineEnd(p, n, i, ends)) {
            d[w++] = kSeparator;
            continue;
        }
        if (c <= 0xFFFF) {
            d[w++] = static_cast<char16_t>(c);
        } else if (c <= 0x10FFFF) {
            d[w++] = QChar::highSurrogate(c);
            d[w++] = QChar::lowSurrogate(c);
        } else {
            d[w++] = 0xFFFD;
        }
    }
    return w;
}

template <class Ch>
QString ToDocumentFrom(const Ch* p, std::size_t n, std::vector<std::uint8_t>& ends) {
    QString out;
    out.resize(static_cast<qsizetype>(DocumentUnits(p, n)));
    out.resize(static_cast<qsizetype>(ToDocumentSpan(p, n, reinterpret_cast<char16_t*>(out.data()), ends)));
    return out;
}

}  // namespace

QString TextArea::ToDocument(const String& text, std::vector<std::uint8_t>& ends) {
    ends.clear();
    return text.Visit([&](const auto* p, std::size_t n) { return ToDocumentFrom(p, n, ends); });
}

QString TextArea::ToDocument(const QString& text, std::vector<std::uint8_t>& ends) {
    ends.clear();
    QString out;
    out.resize(text.size());
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    char16_t* d = reinterpret_cast<char16_t*>(out.data());
    const qsizetype n = text.size();
    qsizetype w = 0;
    for (qsizetype i = 0; i < n; ++i) {
        d[w++] = TakeLineEnd(p, n, i, ends) ? kSeparator : p[i];
    }
    out.resize(w);
    return out;
}

std::size_t TextArea::CrLfCount(std::size_t sepIndex, std::size_t seps) const {
    std::size_t crlf = 0;
    for (std::size_t k = sepIndex; k < sepIndex + seps && k < ends_.size(); ++k) crlf += ends_[k] == kCRLF;
    return crlf;
}

template <class Out>
bool TextArea::ConvertFromDocument(const char16_t* p, int from, int to, std::size_t& sepIndex, Out* d, std::size_t& w) const {
    static constexpr char32_t kEnds[][2] = {{U'\n', 0}, {U'\r', 0}, {U'\r', U'\n'}, {0x2029, 0}, {0xFDD0, 0}, {0xFDD1, 0}, {0, 0}};
    constexpr bool kLatin1 = sizeof(Out) == 1;
    for (int i = from; i < to; ++i) {
        if constexpr (kLatin1) {
            while (i + static_cast<int>(kBlock) <= to && !AnyBeyondLatin1(p + i)) {
                for (std::size_t k = 0; k < kBlock; ++k) d[w + k] = static_cast<Out>(p[i + k]);
                i += static_cast<int>(kBlock);
                w += kBlock;
            }
        } else {
            while (i + static_cast<int>(kBlock) <= to && !AnySpecial(p + i)) {
                for (std::size_t k = 0; k < kBlock; ++k) d[w + k] = p[i + k];
                i += static_cast<int>(kBlock);
                w += kBlock;
            }
        }
        if (i == to) break;
        const char16_t u = p[i];
        if (u == kSeparator) {
            const std::uint8_t kind = EndAt(sepIndex);
            if (kind == kCut) {
                ++sepIndex;
                continue;
            }
            if (kLatin1 && kEnds[kind][0] > 0xFF) return false;
            ++sepIndex;
            d[w++] = static_cast<Out>(kEnds[kind][0]);
            if (kEnds[kind][1]) d[w++] = static_cast<Out>(kEnds[kind][1]);
        } else if (kLatin1 && u > 0xFF) {
            return false;
        } else if (QChar::isHighSurrogate(u) && i + 1 < to && QChar::isLowSurrogate(p[i + 1])) {
            d[w++] = static_cast<Out>(QChar::surrogateToUcs4(u, p[i + 1]));
            ++i;
        } else {
            d[w++] = static_cast<Out>(u);
        }
    }
    return true;
}

String TextArea::FromDocument(const QString& raw, int from, int to, std::size_t sepIndex) const {
    String out;
    // Room for every unit and for the second character of the CR LF ends.
    const std::size_t seps = static_cast<std::size_t>(std::count(raw.constData() + from, raw.constData() + std::max(from, to), QChar(kSeparator)));
    const std::size_t room = static_cast<std::size_t>(std::max(0, to - from)) + CrLfCount(sepIndex, seps);
    const auto* p = reinterpret_cast<const char16_t*>(raw.constData());
    // One byte per character unless a character needs more.
    std::size_t w = 0;
    std::size_t sep = sepIndex;
    if (ConvertFromDocument(p, from, to, sep, out.ResizeLatin1(room), w)) {
        out.Truncate(w);
        return out;
    }
    w = 0;
    ConvertFromDocument(p, from, to, sepIndex, out.ResizeUcs4(room), w);
    out.Truncate(w);
    return out;
}

int32_t TextArea::ToExactPosition(const QString& raw, int docPos) const {
    const char16_t* p = reinterpret_cast<const char16_t*>(raw.constData());
    docPos = std::clamp(docPos, 0, static_cast<int>(raw.size()));
    int32_t pos = 0;
    std::size_t sep = 0;
    for (int i = 0; i < docPos; ++i) {
        const char16_t u = p[i];
        if (u == kSeparator) {
            pos += EndLength(EndAt(sep));
            ++sep;
        } else {
            if (QChar::isHighSurrogate(u) && i + 1 < docPos && QChar::isLowSurrogate(p[i + 1])) ++i;
            ++pos;
        }
    }
    return pos;
}

int TextArea::ToDocumentPosition(const QString& raw, int32_t exactPos) const {
    const char16_t* p = reinterpret_cast<const char16_t*>(raw.constData());
    const int n = static_cast<int>(raw.size());
    int i = 0;
    int32_t pos = 0;
    std::size_t sep = 0;
    while (i < n && pos < exactPos) {
        const char16_t u = p[i];
        int step = 1;
        int32_t length = 1;
        if (u == kSeparator) {
            length = EndLength(EndAt(sep));
            ++sep;
            // A position between the CR and the LF of one line end falls
            // before the line end.
            if (pos + length > exactPos) break;
        } else if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            step = 2;
        }
        pos += length;
        i += step;
    }
    return i;
}

// ---- text ----------------------------------------------------------------------

String TextArea::Text() const {
    String out;
    TextInto(out);
    return out;
}

bool TextArea::IsEmpty() const { return editor_ ? editor_->document()->isEmpty() : closedText_.IsEmpty(); }

void TextArea::TextInto(String& out) const {
    if (!editor_) {
        out = closedText_;
        return;
    }
    // Read from the document each time: a copy of its text kept beside it
    // would double the memory a large text takes. Read block by block, so
    // that no copy of the whole document's text is made on the way either.
    QTextDocument* doc = editor_->document();
    if (static_cast<std::size_t>(doc->characterCount()) >= kLongText) BusyExpected();
    const std::size_t seps = static_cast<std::size_t>(std::max(0, doc->blockCount() - 1));
    const std::size_t room = static_cast<std::size_t>(std::max(0, doc->characterCount() - 1)) + CrLfCount(0, seps);
    // One byte per character unless a character needs more; then once more
    // with four.
    const auto convert = [&](auto* d) {
        std::size_t w = 0;
        std::size_t sep = 0;
        static constexpr char16_t kSeparatorUnit = kSeparator;
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            if (b != doc->begin() && !ConvertFromDocument(&kSeparatorUnit, 0, 1, sep, d, w)) return false;
            const QString t = b.text();
            if (!ConvertFromDocument(reinterpret_cast<const char16_t*>(t.constData()), 0, static_cast<int>(t.size()), sep, d, w))
                return false;
        }
        out.Truncate(w);
        return true;
    };
    if (!convert(out.ResizeLatin1(room))) convert(out.ResizeUcs4(room));
}

void TextArea::SetText(const String& text) {
    if (!editor_) return;
    if (text.Size() >= kLongText) BusyExpected();
    std::vector<std::uint8_t> ends;
    QString doc = ToDocument(text, ends);
    CutLongRuns(doc, ends);
    SetDocumentText(doc, std::move(ends));
    encoding_ = TextEncoding::Utf8;
}

void TextArea::SetText(String&& text) {
    if (!editor_) return;
    if (text.Size() >= kLongText) BusyExpected();
    std::vector<std::uint8_t> ends;
    QString doc = ToDocument(text, ends);
    text = String();
    CutLongRuns(doc, ends);
    SetDocumentText(doc, std::move(ends));
    encoding_ = TextEncoding::Utf8;
}

namespace {

// Whether sixteen units hold a paragraph's end, or a place to wrap
// (WrapsHere); branch-free, so that the test vectorises.
inline bool AnyParagraphEnd(const char16_t* p) {
    unsigned any = 0;
    for (std::size_t k = 0; k < kBlock; ++k) any |= p[k] == 0x2029;
    return any != 0;
}

inline bool AnyWrapPlace(const char16_t* p) {
    unsigned any = 0;
    for (std::size_t k = 0; k < kBlock; ++k) {
        const unsigned u = p[k];
        any |= (u == 32u) | (u == 9u) | (u == 0x2029u) | ((u - 0x2E80u) <= 0xA4CFu - 0x2E80u) |
               ((u - 0xAC00u) <= 0xD7A3u - 0xAC00u) | ((u - 0xF900u) <= 0xFAFFu - 0xF900u) |
               ((u - 0xFF00u) <= 0xFFEFu - 0xFF00u);
    }
    return any != 0;
}

// Whether every aligned chunk of the n units holds a block where found()
// holds, looked at block by block until one does.
template <class Found>
bool EveryChunkHolds(const char16_t* p, qsizetype n, qsizetype chunk, Found found) {
    for (qsizetype c = 0; c + chunk <= n; c += chunk) {
        qsizetype b = c;
        while (b < c + chunk && !found(p + b)) b += static_cast<qsizetype>(kBlock);
        if (b == c + chunk) return false;
    }
    return true;
}

// Whether a run longer than kCutRun without a place to wrap, or a paragraph
// longer than kCutParagraph, may be among the n units: either holds a whole
// aligned chunk of half its length without such a place, or without a
// paragraph's end. In ordinary text both come within the first blocks of
// each chunk, so the look costs little.
bool MayNeedCuts(const char16_t* p, qsizetype n) {
    constexpr qsizetype kRunChunk = TextArea::kCutRun / 2, kParagraphChunk = TextArea::kCutParagraph / 2;
    static_assert(kRunChunk % kBlock == 0 && kParagraphChunk % kBlock == 0);
    return !EveryChunkHolds(p, n, kParagraphChunk, AnyParagraphEnd) || !EveryChunkHolds(p, n, kRunChunk, AnyWrapPlace);
}

}  // namespace

void TextArea::CutLongRuns(QString& doc, std::vector<std::uint8_t>& ends) const {
    if (!WrapsLines() || doc.size() <= kCutRun) return;
    const char16_t* p = reinterpret_cast<const char16_t*>(doc.constData());
    const qsizetype n = doc.size();
    if (!MayNeedCuts(p, n)) return;
    // Where the cuts go; most texts have none, and stay as they are. run
    // counts the characters since the last place to wrap, piece those since
    // the last paragraph's end or cut.
    std::vector<qsizetype> cuts;
    int run = 0, piece = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = p[i];
        if (u == kSeparator) {
            run = piece = 0;
            continue;
        }
        const bool blank = u == u' ' || u == u'\t';
        if (((run >= kCutRun) || (piece >= kCutParagraph && run == 0 && !blank)) && CutsBefore(u)) {
            cuts.push_back(i);
            run = piece = 0;
        }
        run = WrapsHere(u) ? 0 : run + 1;
        ++piece;
    }
    if (cuts.empty()) return;
    QString out;
    out.resize(n + static_cast<qsizetype>(cuts.size()));
    char16_t* d = reinterpret_cast<char16_t*>(out.data());
    std::vector<std::uint8_t> outEnds;
    outEnds.reserve(ends.size() + cuts.size());
    std::size_t sep = 0;
    qsizetype from = 0, w = 0;
    cuts.push_back(n);
    for (const qsizetype cut : cuts) {
        for (qsizetype i = from; i < cut; ++i) {
            if (p[i] == kSeparator) outEnds.push_back(sep < ends.size() ? ends[sep++] : std::uint8_t{kLF});
            d[w++] = p[i];
        }
        if (cut < n) {
            d[w++] = kSeparator;
            outEnds.push_back(kCut);
        }
        from = cut;
    }
    doc = std::move(out);
    ends = std::move(outEnds);
}

void TextArea::SetTextFrom(const TextArea& source) {
    if (!editor_) return;
    if (!source.editor_) {
        SetText(source.closedText_);
        encoding_ = source.encoding_;
        return;
    }
    // Long runs are cut only where lines wrap (CutLongRuns).
    if (source.WrapsLines() != WrapsLines()) {
        SetText(source.Text());
        encoding_ = source.encoding_;
        return;
    }
    // The document's own text and line ends go across as they are: no
    // conversion to the exact text and back.
    QTextDocument* from = source.editor_->document();
    if (static_cast<std::size_t>(from->characterCount()) >= kLongText) BusyExpected();
    const QString doc = from->toRawText();
    std::vector<std::uint8_t> ends = source.ends_;
    SetDocumentText(doc, std::move(ends));
    encoding_ = source.encoding_;
}

TextMeasure TextArea::Measure(bool lookForWide) const {
    if (!editor_) return SizeOf(closedText_);
    QTextDocument* doc = editor_->document();
    TextMeasure size;
    size.units = static_cast<std::uint64_t>(std::max(0, doc->characterCount() - 1));
    size.lines = static_cast<std::uint64_t>(std::max(0, doc->blockCount() - 1));
    // A CR LF is one separator in the document and two characters of the
    // text; a character past U+FFFF is counted as two, which is no less.
    size.chars = size.units + CrLfCount(0, size.lines);
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        size.longest = std::max<std::uint64_t>(size.longest, static_cast<std::uint64_t>(std::max(0, b.length() - 1)));
    if (!lookForWide) return size;
    for (const std::uint8_t kind : ends_) size.wide = size.wide || kind >= kParagraph;
    // A part at a time, so that a text of one long line is not copied whole
    // to find out what it takes; the separators a part holds are the ends
    // just seen.
    constexpr int kPart = 1 << 20;
    QTextCursor part(doc);
    for (int from = 0; !size.wide && from < static_cast<int>(size.units); from += kPart) {
        part.setPosition(from);
        part.setPosition(static_cast<int>(std::min<std::uint64_t>(size.units, std::uint64_t(from) + kPart)),
                         QTextCursor::KeepAnchor);
        const QString t = part.selectedText();
        const auto* p = reinterpret_cast<const char16_t*>(t.constData());
        unsigned any = 0;
        for (qsizetype i = 0; i < t.size(); ++i) any |= (p[i] > 0xFFu) & (p[i] != kSeparator);
        size.wide = any != 0;
    }
    return size;
}

void TextArea::TakeTextFrom(TextArea& source) {
    if (&source == this) return;
    // Long runs are cut only where lines wrap: a document cut for one area
    // cannot be shown as it is by an area whose lines run on.
    if (!editor_ || !source.editor_ || WrapsLines() != source.WrapsLines()) {
        SetTextFrom(source);
        source.SetText(String());
        return;
    }
    QTextDocument* doc = source.editor_->document();
    QTextDocument* old = editor_->document();
    // Dropping the document this area had takes as long as emptying it.
    if (static_cast<std::size_t>(std::max(doc->characterCount(), old->characterCount())) >= kLongText) BusyExpected();
    // What each area shows its text with lives in the document: it stays
    // with the area.
    const QFont font = old->defaultFont(), sourceFont = doc->defaultFont();
    const QTextOption option = old->defaultTextOption(), sourceOption = doc->defaultTextOption();
    for (TextArea* area : {this, &source}) {
        QObject::disconnect(area->documentChanges_);
        // A highlighter belongs to its document; it comes back below.
        if (area->highlighter_) {
            area->highlighter_->setDocument(nullptr);
            delete area->highlighter_.data();
        }
    }
    // The source starts afresh. Its document goes under the owner of the
    // one this area had, which goes when the editor takes the new one.
    doc->setParent(old->parent());
    source.settingText_ = true;
    source.editor_->setDocument(nullptr);
    source.settingText_ = false;
    // A fresh layout: the old one would still count the source's editor as
    // the one whose width it follows.
    doc->setDocumentLayout(new QPlainTextDocumentLayout(doc));
    doc->setDefaultFont(font);
    doc->setDefaultTextOption(option);
    // As after setting a text: nothing to undo, nothing modified.
    doc->clearUndoRedoStacks();
    doc->setModified(false);
    settingText_ = true;
    editor_->setDocument(doc);
    settingText_ = false;
    // Shown from the start, as a text set is; the editor would keep the
    // place it had scrolled to in the old document.
    editor_->verticalScrollBar()->setValue(0);
    editor_->horizontalScrollBar()->setValue(0);
    QTextDocument* fresh = source.editor_->document();
    fresh->setDefaultFont(sourceFont);
    fresh->setDefaultTextOption(sourceOption);
    ends_ = std::move(source.ends_);
    source.ends_.clear();
    encoding_ = source.encoding_;
    source.encoding_ = TextEncoding::Utf8;
    for (TextArea* area : {this, &source}) {
        area->ConnectDocument();
        area->UpdateSpellChecking();
        area->RaiseEvent("TextChange");
    }
}

void TextArea::SetDocumentText(const QString& doc, std::vector<std::uint8_t> ends) {
    // Highlighting the whole new document inside setPlainText would make a
    // large text slow to set; the highlighter comes back afterwards.
    if (highlighter_) {
        highlighter_->setDocument(nullptr);
        delete highlighter_.data();
    }
    // Qt gives every line it measures a layout of its own, some 330 bytes,
    // which would make a file of short lines take many times its size. It
    // measures them all when the viewport's width changes, as it does when
    // the vertical scroll bar comes or goes: so the bar is shown before the
    // text is set and let go after, when it goes only for a text too short
    // to need it. And it measures them all when the first line of the new
    // text is narrower than the widest line of the old one was: so the old
    // text goes first.
    const bool holdBar = scrollV_ && editor_->verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded;
    if (holdBar) editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    settingText_ = true;
    if (!doc.isEmpty() && !editor_->document()->isEmpty()) editor_->setPlainText(QString());
    editor_->setPlainText(doc);
    settingText_ = false;
    if (holdBar) editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ends_ = std::move(ends);
    removed_.clear();
    if (static_cast<std::size_t>(editor_->document()->blockCount()) != ends_.size() + 1) {
        // Qt split the text otherwise than expected: keep what it holds.
        ResyncLineEnds();
    }
    UpdateSpellChecking();
    RaiseEvent("TextChange");
}

void TextArea::ResyncLineEnds() {
    const int blocks = editor_ ? editor_->document()->blockCount() : 1;
    ends_.resize(static_cast<std::size_t>(std::max(0, blocks - 1)), kLF);
}

void TextArea::ContentsChanged(int position, int removed, int added) {
    if (settingText_ || !editor_) return;
    QTextDocument* doc = editor_->document();
    const int chars = doc->characterCount();
    const int newBlocks = doc->blockCount();
    const int oldBlocks = static_cast<int>(ends_.size()) + 1;
    if (removed == added && newBlocks == oldBlocks && !pendingActive_) {
        // Qt reports a change of formats alone (the spell checker's
        // underlines) like this, with the text untouched: every line end
        // stays. (A real edit of this shape, such as an undo that puts back
        // as many characters and lines as it takes away, keeps the line ends
        // in their order.)
        return;
    }
    const QTextBlock first = doc->findBlock(std::clamp(position, 0, chars - 1));
    const QTextBlock last = doc->findBlock(std::clamp(position + added, 0, chars - 1));
    if (!first.isValid() || !last.isValid()) {
        ResyncLineEnds();
        return;
    }
    // The separators at or after the change's start: those of the old range
    // were replaced by those of the new one; every other keeps its kind.
    const int index = first.blockNumber();
    const int addedSeps = last.blockNumber() - index;
    const int removedSeps = addedSeps - (newBlocks - oldBlocks);
    if (addedSeps < 0 || removedSeps < 0 || index + removedSeps > static_cast<int>(ends_.size())) {
        ResyncLineEnds();
        return;
    }
    std::vector<std::uint8_t> kinds;
    if (pendingActive_ && pendingEnds_.size() == static_cast<std::size_t>(addedSeps))
        kinds = pendingEnds_;
    else if (typingLineBreak_ || addedSeps == 0 || !TakeRemoved(index, addedSeps, kinds))
        kinds.assign(static_cast<std::size_t>(addedSeps), kLF);
    pendingActive_ = false;
    if (removedSeps > 0) {
        // An undo or a redo may put these back: they keep their kinds
        // (a cut, above all, must not come back as a line end).
        removed_.push_back({index, std::vector<std::uint8_t>(ends_.begin() + index, ends_.begin() + index + removedSeps)});
        if (removed_.size() > kRemovedKept) removed_.erase(removed_.begin());
    }
    ends_.erase(ends_.begin() + index, ends_.begin() + index + removedSeps);
    ends_.insert(ends_.begin() + index, kinds.begin(), kinds.end());

    const bool wantSpell = autoSpell_ && chars <= kSpellCheckLimit;
    if (wantSpell != static_cast<bool>(highlighter_) && !spellUpdateQueued_) {
        // Not from inside the document's own signal, which the highlighter
        // is connected to.
        spellUpdateQueued_ = true;
        QMetaObject::invokeMethod(Context(), [this] { UpdateSpellChecking(); }, Qt::QueuedConnection);
    }
}

bool TextArea::TakeRemoved(int index, int count, std::vector<std::uint8_t>& kinds) {
    for (auto it = removed_.rbegin(); it != removed_.rend(); ++it) {
        if (it->index != index || it->kinds.size() != static_cast<std::size_t>(count)) continue;
        kinds = std::move(it->kinds);
        removed_.erase(std::next(it).base());
        return true;
    }
    return false;
}

void TextArea::InsertExact(const QString& text) {
    if (!editor_) return;
    std::vector<std::uint8_t> kinds;
    QString doc = ToDocument(text, kinds);
    CutLongRuns(doc, kinds);
    QTextCursor cursor = editor_->textCursor();
    pendingEnds_ = std::move(kinds);
    pendingActive_ = true;
    cursor.insertText(doc);
    pendingActive_ = false;
    pendingEnds_.clear();
    editor_->setTextCursor(cursor);
}

int TextArea::RoomLeft() const {
    if (limitText_ <= 0 || !editor_) return INT_MAX;
    const QTextCursor c = editor_->textCursor();
    const int length = editor_->document()->characterCount() - 1;
    return std::max(0, limitText_ - (length - (c.selectionEnd() - c.selectionStart())));
}

// ---- selection and clipboard -----------------------------------------------------

int32_t TextArea::SelStart() const {
    if (!editor_) return 0;
    return ToExactPosition(editor_->document()->toRawText(), editor_->textCursor().selectionStart());
}

void TextArea::SetSelStart(int32_t start) {
    if (!editor_) return;
    QTextCursor c = editor_->textCursor();
    c.setPosition(ToDocumentPosition(editor_->document()->toRawText(), std::max(0, start)));
    editor_->setTextCursor(c);
}

int32_t TextArea::SelLength() const {
    if (!editor_) return 0;
    const QString raw = editor_->document()->toRawText();
    const QTextCursor c = editor_->textCursor();
    return ToExactPosition(raw, c.selectionEnd()) - ToExactPosition(raw, c.selectionStart());
}

void TextArea::SetSelLength(int32_t length) {
    if (!editor_) return;
    const QString raw = editor_->document()->toRawText();
    QTextCursor c = editor_->textCursor();
    const int start = c.selectionStart();
    const int32_t exactStart = ToExactPosition(raw, start);
    c.setPosition(start);
    c.setPosition(ToDocumentPosition(raw, exactStart + std::max(0, length)), QTextCursor::KeepAnchor);
    editor_->setTextCursor(c);
}

String TextArea::SelText() const {
    if (!editor_) return String();
    const QTextCursor c = editor_->textCursor();
    if (!c.hasSelection()) return String();
    const QString raw = editor_->document()->toRawText();
    const int from = c.selectionStart();
    const char16_t* p = reinterpret_cast<const char16_t*>(raw.constData());
    std::size_t sepsBefore = 0;
    for (int i = 0; i < from; ++i) sepsBefore += p[i] == kSeparator;
    return FromDocument(raw, from, std::min(c.selectionEnd(), static_cast<int>(raw.size())), sepsBefore);
}

void TextArea::SetSelText(const String& text) { InsertExact(text.ToQString()); }

void TextArea::SelectAll() {
    if (editor_) editor_->selectAll();
}

// Like the Edit menu's Copy: nothing selected leaves the clipboard as it was.
void TextArea::Copy() {
    const String sel = SelText();
    if (!sel.IsEmpty()) QGuiApplication::clipboard()->setText(sel.ToQString());
}

void TextArea::Paste() {
    if (!editor_ || readOnly_) return;
    editor_->InsertUserText(QGuiApplication::clipboard()->text());
}

// ---- looks and behaviour ---------------------------------------------------------

void TextArea::SetReadOnly(bool b) {
    readOnly_ = b;
    if (editor_) editor_->setReadOnly(b);
}

void TextArea::SetMultiline(bool b) {
    multiline_ = b;
    UpdateWrapping();
}

void TextArea::SetAcceptTabs(bool b) {
    acceptTabs_ = b;
    if (editor_) editor_->setTabChangesFocus(!b);
}

void TextArea::SetScrollbarVertical(bool b) {
    scrollV_ = b;
    if (editor_) editor_->setVerticalScrollBarPolicy(b ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TextArea::SetScrollbarHorizontal(bool b) {
    scrollH_ = b;
    UpdateWrapping();
}

void TextArea::UpdateWrapping() {
    if (!editor_) return;
    // A horizontal scroll bar means long lines run on instead of wrapping.
    const bool wrap = WrapsLines();
    const bool wrapped = editor_->lineWrapMode() != QPlainTextEdit::NoWrap;
    editor_->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    editor_->setHorizontalScrollBarPolicy(scrollH_ ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    // Long runs are cut only where lines wrap: a line that runs on would
    // show the cuts as line breaks.
    if (wrap != wrapped && editor_->document()->characterCount() > kCutRun) SetText(Text());
}

void TextArea::SetBorder(bool b) {
    border_ = b;
    if (editor_) editor_->setFrameShape(b ? QFrame::StyledPanel : QFrame::NoFrame);
}

void TextArea::SetHideSelection(bool b) {
    hideSelection_ = b;
    UpdatePalette();
}

void TextArea::SetTextColor(const Colour& c) {
    textColor_ = c;
    UpdatePalette();
}

void TextArea::SetBackColor(const Colour& c) {
    backColor_ = c;
    UpdatePalette();
}

void TextArea::UpdatePalette() {
    if (!editor_) return;
    QPalette p = editor_->palette();
    const QColor text = controls::ToQColor(textColor_);
    const QColor base = controls::ToQColor(backColor_);
    for (auto group : {QPalette::Active, QPalette::Inactive}) p.setColor(group, QPalette::Text, text);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) p.setColor(group, QPalette::Base, base);
    if (hideSelection_) {
        p.setColor(QPalette::Inactive, QPalette::Highlight, base);
        p.setColor(QPalette::Inactive, QPalette::HighlightedText, text);
    } else {
        p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    }
    editor_->setPalette(p);
}

void TextArea::SetAlignment(int32_t a) {
    alignment_ = a;
    if (!editor_) return;
    QTextDocument* doc = editor_->document();
    QTextOption option = doc->defaultTextOption();
    option.setAlignment(a == 2 ? Qt::AlignHCenter : a == 3 ? Qt::AlignRight : Qt::AlignLeft);
    doc->setDefaultTextOption(option);
}

void TextArea::SetAutomaticallyCheckSpelling(bool b) {
    autoSpell_ = b;
    UpdateSpellChecking();
}

bool TextArea::SpellCheckingActive() const { return static_cast<bool>(highlighter_); }

int TextArea::SpellCheckLimit() { return kSpellCheckLimit; }

void TextArea::UpdateSpellChecking() {
    spellUpdateQueued_ = false;
    if (!editor_) return;
    const bool want = autoSpell_ && editor_->document()->characterCount() <= kSpellCheckLimit;
    if (want && !highlighter_) {
        // The dictionary loads on the first word checked, not here.
        highlighter_ = new SpellHighlighter(editor_);
        highlighter_->setDocument(editor_->document());
    } else if (!want && highlighter_) {
        highlighter_->setDocument(nullptr);
        delete highlighter_.data();
    }
}

// ---- properties --------------------------------------------------------------------

bool TextArea::SetPresetProperty(std::string_view key, double value) {
    if (key == "LineSpacing") {
        SetLineSpacing(value);
        return true;
    }
    return RectControl::SetPresetProperty(key, value);
}

}  // namespace fw
