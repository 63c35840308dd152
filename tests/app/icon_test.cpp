// The program's icon: start-up gives it to the application, so every window
// shows it, in the sizes made from the SVG at build time.
#include "app_test_util.h"

#include <QIcon>
#include <QImage>
#include <QTimer>
#include <QWidget>

namespace {

TEST(ProgramIcon, EveryWindowShowsItInEveryBuiltSize) {
    app_test::TestApp();
    fw::ScriptedDesktop desk;
    fw::ScopedDesktop scoped(desk);
    QList<QSize> sizes;
    QIcon icon;
    startup::Options options;
    options.afterMainWindow = [&] {
        icon = Window1Instance()->FrameWidget()->windowIcon();
        sizes = icon.availableSizes();
        QTimer::singleShot(0, [] { fw::Quit(0); });
    };
    static int argc = 1;
    static char arg0[] = "scrandle";
    static char* argv[] = {arg0, nullptr};
    EXPECT_EQ(startup::Main(argc, argv, options), 0);
    app_test::ReleaseClosedWindows();

    const QList<QSize> built = {{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
    EXPECT_EQ(sizes, built);
    // The images are decoded when asked for: each built size as it is, a
    // size between them from the next larger one.
    for (const QSize& size : built) {
        const QImage image = icon.pixmap(size).toImage();
        EXPECT_EQ(image.size(), size);
        EXPECT_NE(image.pixel(size.width() / 2, size.height() / 2), image.pixel(0, 0)) << size.width();
    }
    EXPECT_EQ(icon.pixmap(QSize(40, 40)).size(), QSize(40, 40));
    EXPECT_EQ(icon.pixmap(QSize(1000, 1000)).size(), QSize(256, 256));
}

}  // namespace
