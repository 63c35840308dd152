#include "CaptionFit.h"

#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

namespace fw::controls {

namespace {

bool Fits(const QFont& font, const QString& text, const QSize& room, int flags) {
    const QSize needed = QFontMetrics(font).size(flags, text);
    return needed.width() <= room.width() && needed.height() <= room.height();
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
    constexpr int kSmallest = 6;
    if (room.isEmpty() || text.isEmpty() || Fits(designed, text, room, flags)) return designed;
    QFont f = designed;
    for (int px = QFontInfo(designed).pixelSize() - 1; px > kSmallest; --px) {
        f.setPixelSize(px);
        if (Fits(f, text, room, flags)) return f;
    }
    f.setPixelSize(kSmallest);
    return f;
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
