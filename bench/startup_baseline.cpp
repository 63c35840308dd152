// The floor for startup_app: a bare Qt Widgets program that shows one
// empty window of the main window's size and quits the same way, once it
// has been painted.
#include "startup_quit.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Baseline");
    window.resize(700, 500);
    window.show();
    new bench::QuitAfterFirstPaint([] { QCoreApplication::quit(); });
    return app.exec();
}
