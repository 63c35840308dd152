// Never silent while busy: a handler that runs long shows the wait cursor
// until it returns, a short one never does, long work announced by a
// control shows it at once, a modal wait inside a handler is no busy time,
// and the yield repaints at a bounded rate without running anything queued.
#include "runtime_test_util.h"

#include "gui/BusyCursor.h"
#include "gui/Runtime.h"
#include "gui/controls/TextArea.h"
#include "core/Yield.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using rt_test::TestButton;

namespace {

bool WaitCursorShows() {
    const QCursor* c = QApplication::overrideCursor();
    return c && c->shape() == Qt::WaitCursor && fw::BusyCursorShown();
}

// Yields the way the engine's loops do, for about that long.
void YieldFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) fw::BackgroundYield();
}

// The object whose method handles the button's Action.
class Handler : public fw::Object {
public:
    std::function<void()> body;
    void Action(TestButton&) { body(); }
};

class BusyTest : public ::testing::Test, protected rt_test::RuntimeFixtureBase {
protected:
    void SetUp() override {
        StartRuntime();
        button_ = fw::New<TestButton>();
        handler_ = fw::New<Handler>();
        fw::RuntimeAddEventHandler(button_, "Action",
                                   fw::RuntimeCreateDelegate(*handler_, &Handler::Action, "( PushButton )"));
    }
    void TearDown() override { StopRuntime(); }

    // Runs the body as the button's Action handler.
    void Run(std::function<void()> body) {
        handler_->body = std::move(body);
        button_->Button()->click();
    }

    fw::Ref<TestButton> button_;
    fw::Ref<Handler> handler_;
};

TEST_F(BusyTest, ALongHandlerShowsTheWaitCursorUntilItReturnsAShortOneNever) {
    struct Case {
        int ms;
        bool shows;
    };
    for (const Case c : {Case{100, false}, Case{450, true}}) {
        bool shownAtEnd = true;
        Run([&] {
            YieldFor(c.ms);
            shownAtEnd = WaitCursorShows();
        });
        EXPECT_EQ(shownAtEnd, c.shows) << c.ms << " ms";
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << c.ms << " ms";
    }
}

TEST_F(BusyTest, SettingALongTextShowsTheWaitCursorAtOnce) {
    auto area = fw::New<fw::TextArea>();
    bool shown = false;
    Run([&] {
        area->SetText(fw::String(std::string(300 * 1024, 'x')));
        shown = WaitCursorShows();
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // A short one leaves the cursor alone.
    Run([&] {
        area->SetText(fw::String("short"));
        shown = WaitCursorShows();
    });
    EXPECT_FALSE(shown);
}

TEST_F(BusyTest, AModalWaitInsideAHandlerIsNoBusyTime) {
    bool shownBefore = false, shownAfterWait = true;
    Run([&] {
        YieldFor(400);
        shownBefore = WaitCursorShows();
        // A modal loop that waits for the user (here a timer) ...
        QEventLoop loop;
        QTimer::singleShot(400, &loop, [&] { loop.quit(); });
        loop.exec();
        // ... and a little work after it: not busy long enough again.
        YieldFor(100);
        shownAfterWait = WaitCursorShows();
    });
    EXPECT_TRUE(shownBefore);
    EXPECT_FALSE(shownAfterWait);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}


TEST_F(BusyTest, LongWorkRepaintsTheWindowsAtABoundedRateAndRunsNothingQueued) {
    rt_test::PaintCounter window;
    window.resize(60, 60);
    window.show();
    rt_test::TestApp().processEvents();
    bool queuedRan = false;
    int paints = 0;
    Run([&] {
        QTimer::singleShot(0, &window, [&] { queuedRan = true; });
        const int before = window.paints;
        YieldFor(650);
        paints = window.paints - before;
    });
    // Every 100 ms at most: a few repaints in 0.65 s, and none of the
    // queued work ran meanwhile.
    EXPECT_GE(paints, 2);
    EXPECT_LE(paints, 7);
    EXPECT_FALSE(queuedRan);
}

}  // namespace
