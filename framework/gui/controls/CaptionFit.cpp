#include "gui/controls/CaptionFit.h"

#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPointer>
#include <QRawFont>
#include <QSize>
#include <QString>
#include <QTextLayout>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace fw::controls {

namespace {

bool Fits(const QFont& font, const QString& text, const QSize& room, int flags) {
    const QSize needed = QFontMetrics(font).size(flags, text);
    return needed.width() <= room.width() && needed.height() <= room.height();
}

// True when the text surely fits the room, judged without laying it out:
// laying out shapes the text, and the control's painting shapes it again.
// The sum of the characters' own advances, widened by the end glyphs'
// overhang and a margin for kerning and rounding, bounds the laid-out
// width of simple one-line text; the line's height bounds its height.
// Text this cannot judge (other scripts, marks, tabs, lines) is measured.
bool SurelyFits(const QFont& font, const QString& text, const QSize& room, int flags) {
    const QFontMetricsF metrics(font);
    if (std::ceil(metrics.height()) > room.height()) return false;
    const bool mnemonic = flags & Qt::TextShowMnemonic;
    qreal width = 0;
    QChar first, last;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c.unicode() < 0x20 || c.unicode() >= 0x300) return false;
        // "&&" shows one '&'; a single '&' marks the next character.
        if (mnemonic && c == QLatin1Char('&')) {
            if (++i == text.size()) break;
            c = text[i];
            if (c.unicode() < 0x20 || c.unicode() >= 0x300) return false;
        }
        if (first.isNull()) first = c;
        last = c;
        width += metrics.horizontalAdvance(c);
    }
    if (first.isNull()) return true;
    const qreal margin = 2 + metrics.height() / 4;
    width += std::max<qreal>(0, -metrics.leftBearing(first)) + std::max<qreal>(0, -metrics.rightBearing(last)) + margin;
    return width <= room.width();
}

constexpr int kSmallest = 6;

// The text as a one-line layout shows it: "&&" as '&', a single '&' left
// out. Empty when the layout would treat the text otherwise.
QString ShownLine(const QString& text, int flags) {
    QString shown;
    shown.reserve(text.size());
    const bool mnemonic = flags & Qt::TextShowMnemonic;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (mnemonic && c == QLatin1Char('&')) {
            if (++i == text.size()) break;
            c = text[i];
        }
        if (c.unicode() < 0x20 || c.unicode() >= 0x300) return {};
        shown += c;
    }
    return shown;
}

// The size QFontMetrics::size gives one line of text, laid out in a raw
// font rather than a QFont.
QSize LaidOutSize(const QRawFont& raw, const QString& shown) {
    QTextLayout layout(shown);
    layout.setRawFont(raw);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(0x01000000);
    layout.endLayout();
    return {static_cast<int>(std::ceil(line.naturalTextWidth())), static_cast<int>(std::ceil(line.height()))};
}

bool PlainlySpaced(const QFont& font) {
    return font.letterSpacing() == 0 && font.wordSpacing() == 0 && font.capitalization() == QFont::MixedCase &&
           (font.stretch() == QFont::AnyStretch || font.stretch() == QFont::Unstretched);
}

// A raw font of font's engine (at pixel size px) that draws the shown line
// alone and measures it as the font does (needed), or none.
std::optional<QRawFont> TrustedRawFont(const QFont& font, int px, const QString& shown, const QSize& needed) {
    QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid() || raw.pixelSize() != px) return std::nullopt;
    for (QChar c : shown)
        if (!raw.supportsCharacter(c)) return std::nullopt;
    if (LaidOutSize(raw, shown) != needed) return std::nullopt;
    return raw;
}

bool LineFits(const QRawFont& raw, const QString& shown, const QSize& room) {
    const QSize size = LaidOutSize(raw, shown);
    return size.width() <= room.width() && size.height() <= room.height();
}

// From px down, the first size at which the text fits in the font itself
// (which the control draws with anyway), or the smallest size.
QFont LargestFittingFrom(QFont f, int px, const QString& text, const QSize& room, int flags) {
    for (; px > kSmallest; --px) {
        f.setPixelSize(px);
        if (Fits(f, text, room, flags)) return f;
    }
    f.setPixelSize(kSmallest);
    return f;
}

// Each QFont size measured costs a font match through fontconfig, far more
// than the layout. A raw font made from the designed font's engine changes
// size without one, so the sizes below the designed one are tried in it and
// only the size chosen is loaded as a font (the one the control draws with).
// It answers only where it measures the designed size exactly as the font
// does: plain one-line text that the designed face draws alone, in a
// scalable face without spacing of its own.
std::optional<int> LargestFittingSize(const QFont& designed, int designedPx, const QSize& needed,
                                      const QString& text, const QSize& room, int flags, int from) {
    if (!PlainlySpaced(designed)) return std::nullopt;
    const QString shown = ShownLine(text, flags);
    if (shown.isEmpty()) return std::nullopt;
    std::optional<QRawFont> trusted = TrustedRawFont(designed, designedPx, shown, needed);
    if (!trusted) return std::nullopt;
    QRawFont& raw = *trusted;
    for (int px = from; px > kSmallest; --px) {
        raw.setPixelSize(px);
        if (!raw.isValid()) return std::nullopt;
        if (LineFits(raw, shown, room)) return px;
    }
    return kSmallest;
}

// A bold caption that its plain sibling (the window's own font, mostly
// loaded already) shows the bold face will hardly fit is measured from the
// size it will most likely be drawn at: a raw font made there gives the
// other sizes, so the designed size, which would be loaded only to be
// measured, is not loaded at all. The answer is the one from the designed
// size's engine (the largest size whose laid-out line fits, the designed
// one included), or none where the raw font cannot be trusted.
std::optional<QFont> FitFromLikelySize(const QFont& designed, const QString& text, const QSize& room, int flags) {
    // Bold faces run about a seventh wider than their plain ones.
    constexpr qreal kBoldWidening = 1.15;
    if (!designed.bold() || !PlainlySpaced(designed)) return std::nullopt;
    const QString shown = ShownLine(text, flags);
    if (shown.isEmpty()) return std::nullopt;
    QFont plain = designed;
    plain.setBold(false);
    const qreal widened = QFontMetricsF(plain).horizontalAdvance(shown) * kBoldWidening;
    if (widened <= room.width()) return std::nullopt;
    // The plain font has the designed size, in pixels.
    const int designedPx = QFontInfo(plain).pixelSize();
    if (designedPx <= kSmallest + 1) return std::nullopt;
    const int likely = std::clamp(static_cast<int>(designedPx * room.width() / widened), kSmallest + 1, designedPx - 1);
    QFont f = designed;
    f.setPixelSize(likely);
    std::optional<QRawFont> trusted = TrustedRawFont(f, likely, shown, QFontMetrics(f).size(flags, text));
    if (!trusted) return std::nullopt;
    QRawFont& raw = *trusted;
    const auto fits = [&](int px) {
        raw.setPixelSize(px);
        return raw.isValid() && LineFits(raw, shown, room);
    };
    int px = likely;
    if (fits(px)) {
        while (px < designedPx && fits(px + 1)) ++px;
    } else {
        do --px;
        while (px > kSmallest && !fits(px));
    }
    if (px >= designedPx) return designed;
    return LargestFittingFrom(designed, px, text, room, flags);
}

QFont Fit(const QFont& designed, const QString& text, const QSize& room, int flags) {
    if (const std::optional<QFont> fitted = FitFromLikelySize(designed, text, room, flags)) return *fitted;
    if (SurelyFits(designed, text, room, flags)) return designed;
    const QSize needed = QFontMetrics(designed).size(flags, text);
    if (needed.width() <= room.width() && needed.height() <= room.height()) return designed;
    // Text widens nearly in proportion to the size, so start just above the
    // proportional estimate: two sizes of slack cover the rounding of glyph
    // metrics.
    const int designedPx = QFontInfo(designed).pixelSize();
    const int estimate = static_cast<int>(static_cast<qint64>(designedPx) * room.width() / std::max(1, needed.width()));
    const int from = std::min(designedPx - 1, estimate + 2);
    const std::optional<int> px = LargestFittingSize(designed, designedPx, needed, text, room, flags, from);
    return LargestFittingFrom(designed, px.value_or(from), text, room, flags);
}

// The last fittings: a control is fitted again on each change of its text,
// font, size or default state, mostly with the same values, and a window's
// buttons often share caption, font and size. Measuring means laying the
// text out, which costs far more than this search.
struct Fitting {
    QFont designed;
    QString text;
    QSize room;
    int flags;
    QFont fitted;
};

std::vector<Fitting>& Fittings() {
    static std::vector<Fitting> fittings;
    return fittings;
}

class ResizeWatcher : public QObject {
public:
    ResizeWatcher(QWidget* widget, std::function<void()> refit, bool moves)
        : QObject(widget), refit_(std::move(refit)), moves_(moves) {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize || (moves_ && event->type() == QEvent::Move)) refit_();
        return false;
    }

private:
    std::function<void()> refit_;
    bool moves_;
};

}  // namespace

QFont FittedFont(const QFont& designed, const QString& text, const QSize& room, int flags) {
    if (room.isEmpty() || text.isEmpty()) return designed;
    constexpr std::size_t kKept = 64;
    auto& fittings = Fittings();
    for (const Fitting& f : fittings)
        if (f.flags == flags && f.room == room && f.text == text && f.designed == designed &&
            f.designed.resolveMask() == designed.resolveMask())
            return f.fitted;
    if (fittings.size() >= kKept) fittings.erase(fittings.begin());
    fittings.push_back({designed, text, room, flags, Fit(designed, text, room, flags)});
    return fittings.back().fitted;
}

void RefitOnResize(QWidget* widget, const QObject* context, std::function<void()> refit, bool moves) {
    // The watcher is the widget's child; the context (the control) may go
    // first, and then the watcher must no longer call back.
    QPointer<const QObject> alive(context);
    new ResizeWatcher(
        widget,
        [alive, refit = std::move(refit)] {
            if (alive) refit();
        },
        moves);
}

}  // namespace fw::controls
