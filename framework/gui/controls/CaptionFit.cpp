#include "gui/controls/CaptionFit.h"

#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

#include <vector>

namespace fw::controls {

namespace {

bool Fits(const QFont& font, const QString& text, const QSize& room, int flags) {
    const QSize needed = QFontMetrics(font).size(flags, text);
    return needed.width() <= room.width() && needed.height() <= room.height();
}

QFont Fit(const QFont& designed, const QString& text, const QSize& room, int flags) {
    constexpr int kSmallest = 6;
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
    ResizeWatcher(QWidget* widget, std::function<void()> refit) : QObject(widget), refit_(std::move(refit)) {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) refit_();
        return false;
    }

private:
    std::function<void()> refit_;
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

void RefitOnResize(QWidget* widget, const QObject* context, std::function<void()> refit) {
    // The watcher is the widget's child; the context (the control) may go
    // first, and then the watcher must no longer call back.
    QPointer<const QObject> alive(context);
    new ResizeWatcher(widget, [alive, refit = std::move(refit)] {
        if (alive) refit();
    });
}

}  // namespace fw::controls
