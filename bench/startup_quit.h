// How both start-up programs end: once the window has been painted for the
// first time, one more zero-timer pass of the event loop and quit. Painting
// is where "shown" really ends; without waiting for it a bare window would
// quit before it was ever drawn while a window with controls would not.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>

namespace bench {

class QuitAfterFirstPaint : public QObject {
public:
    // Owned by the application, so it goes when the application does.
    explicit QuitAfterFirstPaint(std::function<void()> quit)
        : QObject(QCoreApplication::instance()), quit_(std::move(quit)) {
        QCoreApplication::instance()->installEventFilter(this);
        // A window that is never painted is a fault of the program, not a
        // slow start: say so rather than hang.
        QTimer::singleShot(10000, this, [] {
            std::fputs("startup bench: the window was not painted within 10 s\n", stderr);
            std::exit(3);
        });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!painted_ && event->type() == QEvent::Paint) {
            painted_ = true;
            QTimer::singleShot(0, this, [this] {
                SaveImage();
                quit_();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    // STARTUP_BENCH_IMAGE=FILE.png saves the window as painted, to compare
    // the programs' windows by eye.
    static void SaveImage() {
        const char* path = std::getenv("STARTUP_BENCH_IMAGE");
        if (!path || !*path) return;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) w->grab().save(QString::fromLocal8Bit(path));
    }

    std::function<void()> quit_;
    bool painted_ = false;
};

}  // namespace bench
