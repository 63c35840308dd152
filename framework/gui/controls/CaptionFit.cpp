#include "gui/controls/CaptionFit.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QSize>
#include <QString>

#include <vector>

namespace fw::controls {

namespace {

constexpr int kSmallest = 6;

bool Fits(const QFont& font, const QString& text, const QSize& room, int flags) {
    const QSize needed = QFontMetrics(font).size(flags, text);
    return needed.width() <= room.width() && needed.height() <= room.height();
}

QFont Fit(const QFont& designed, const QString& text, const QSize& room, int flags) {
    if (Fits(designed, text, room, flags)) return designed;
    QFont f = designed;
    for (int px = QFontInfo(designed).pixelSize() - 1; px > kSmallest; --px) {
        f.setPixelSize(px);
        if (Fits(f, text, room, flags)) return f;
    }
    f.setPixelSize(kSmallest);
    return f;
}

// The last fittings: a control is fitted again on each change of its text,
// font, size or default state, mostly with the same values, and a window's
// buttons often share caption, font and size. Each size tried costs a font
// match and a layout of the text.
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

}  // namespace fw::controls
