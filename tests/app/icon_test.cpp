// The program's icon: start-up gives it to the application, so every window
// shows it, in the sizes made from the SVG at build time.
#include "app_test_util.h"

#include <QIcon>
#include <QTimer>
#include <QWidget>

namespace {

TEST(ProgramIcon, EveryWindowShowsItInEveryBuiltSize) {
    app_test::TestApp();
    fw::ScriptedDesktop desk;
    fw::ScopedDesktop scoped(desk);
    QList<QSize> sizes;
    startup::Options options;
    options.afterMainWindow = [&] {
        sizes = Window1Instance()->FrameWidget()->windowIcon().availableSizes();
        QTimer::singleShot(0, [] { fw::Quit(0); });
    };
    static int argc = 1;
    static char arg0[] = "scrandle";
    static char* argv[] = {arg0, nullptr};
    EXPECT_EQ(startup::Main(argc, argv, options), 0);
    app_test::ReleaseClosedWindows();

    const QList<QSize> built = {{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
    EXPECT_EQ(sizes, built);
}

}  // namespace
