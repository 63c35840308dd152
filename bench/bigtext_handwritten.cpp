// The plain-Qt floor for the main window's large-text work: three
// QPlainTextEdit areas placed as the window places its own (left, right,
// and the kept plain message off to the side), doing the area work of the
// window's steps on the given file and nothing else:
//
//   load                 read and decode the file, set it as the left text
//   scramble             read the left text back, keep it in the third area,
//                        empty both visible areas and set a result of the
//                        same size on the right
//   unscramble-exact     read the kept text, set it on the left
//   unscramble-rebuild   read the right text, empty the left area and set a
//                        result of the same size there
//
// Usage: bigtext_handwritten FILE (headless by default); one line per step
// (see bigtext_common.h).
#include "bigtext_common.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace {

QPlainTextEdit* Area(QWidget* parent, int x, int y, int w, int h) {
    auto* area = new QPlainTextEdit(parent);
    area->setGeometry(x, y, w, h);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return area;
}

// A text of the same size that differs from the one given, as a scramble's
// or a rebuild's result would.
QString SameSizeResult(QString text) {
    std::reverse(text.begin(), text.end());
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bigtext_handwritten FILE\n");
        return 2;
    }
    QWidget window;
    window.resize(700, 500);
    QPlainTextEdit* left = Area(&window, 20, 64, 270, 352);
    QPlainTextEdit* right = Area(&window, 410, 64, 270, 352);
    QPlainTextEdit* kept = Area(&window, 710, 20, 270, 153);
    window.show();
    bench::PaintPending();

    bench::TimeStep("load", [&] {
        QFile file(QString::fromLocal8Bit(argv[1]));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "bigtext_handwritten: cannot read %s\n", argv[1]);
            std::exit(1);
        }
        left->setPlainText(QString::fromUtf8(file.readAll()));
    });
    bench::TimeStep("scramble", [&] {
        const QString text = left->toPlainText();
        kept->setPlainText(text);
        right->clear();
        left->clear();
        right->setPlainText(SameSizeResult(text));
    });
    bench::TimeStep("unscramble-exact", [&] { left->setPlainText(kept->toPlainText()); });
    bench::TimeStep("unscramble-rebuild", [&] {
        const QString text = right->toPlainText();
        left->clear();
        left->setPlainText(SameSizeResult(text));
    });
    return 0;
}
