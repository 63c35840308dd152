// Never silent while busy: a handler that runs long shows the wait cursor
// until the window has done what it left (its repaints), a short one never
// does, long work announced by a control shows it at once and paints what
// the handler changed before it, a modal wait inside a handler is no busy
// time, and the yield repaints at a bounded rate without running anything
// queued. Never acting on stale input: clicks and keys the window system
// hands over that were made while the program worked are dropped, those made
// after go through, a release whose press went through still does, and a
// modal dialog a handler opens gets what is done while it shows.
#include "runtime_test_util.h"
#include "../../wait_until.h"

#include "gui/BusyCursor.h"
#include "gui/WindowSystemTime.h"
#include "gui/Runtime.h"
#include "gui/controls/TextArea.h"
#include "core/Yield.h"

#include <QCursor>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using rt_test::TestButton;

namespace {

bool WaitCursorShows() {
    const QCursor* c = QApplication::overrideCursor();
    return c && c->shape() == Qt::WaitCursor && fw::BusyCursorShown();
}

// Runs the event loop until the program has finished the work of its last
// handler (the window answers again).
bool Answered() {
    return test_support::WaitUntil([] { return !fw::BusyWorking(); });
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
        // Still there as the handler returns: the window has yet to answer.
        EXPECT_EQ(WaitCursorShows(), c.shows) << c.ms << " ms";
        ASSERT_TRUE(Answered());
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
    ASSERT_TRUE(Answered());
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
    ASSERT_TRUE(Answered());
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

// A window that notes, at each paint, whether the wait cursor showed.
class CursorAtPaint : public QWidget {
public:
    std::vector<bool> shownAtPaints;

protected:
    void paintEvent(QPaintEvent*) override { shownAtPaints.push_back(WaitCursorShows()); }
};

TEST_F(BusyTest, TheWaitCursorStaysUntilTheRepaintsTheHandlerLeftAreDone) {
    CursorAtPaint window;
    window.resize(60, 60);
    window.show();
    rt_test::TestApp().processEvents();
    Run([&] {
        YieldFor(400);
        window.shownAtPaints.clear();
        window.update();  // painted once the handler has returned
    });
    EXPECT_TRUE(fw::BusyWorking());
    EXPECT_TRUE(WaitCursorShows());
    ASSERT_TRUE(Answered());
    ASSERT_FALSE(window.shownAtPaints.empty());
    EXPECT_TRUE(window.shownAtPaints.front()) << "the handler's repaint came after the wait cursor went";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// A button that notes its caption each time it is painted.
class CaptionAtPaint : public QPushButton {
public:
    std::vector<QString> painted;

protected:
    void paintEvent(QPaintEvent* e) override {
        painted.push_back(text());
        QPushButton::paintEvent(e);
    }
};

TEST_F(BusyTest, LongWorkAnnouncedByAControlPaintsWhatTheHandlerChangedBeforeIt) {
    CaptionAtPaint caption;
    caption.setText("Ready");
    caption.show();
    auto area = fw::New<fw::TextArea>();
    rt_test::TestApp().processEvents();
    caption.painted.clear();
    Run([&] {
        caption.setText("Working");
        area->SetText(fw::String(std::string(300 * 1024, 'x')));
        caption.setText("Ready");
    });
    EXPECT_NE(std::find(caption.painted.begin(), caption.painted.end(), QString("Working")), caption.painted.end())
        << "the caption set before the long work was never painted";
    ASSERT_TRUE(Answered());
}

// Input as the window system hands it over: spontaneous, with its
// timestamp, to the window first.
class InputWhileBusyTest : public BusyTest {
protected:
    void SetUp() override {
        BusyTest::SetUp();
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        layout->addWidget(button_->Button());
        layout->addWidget(other_ = new QPushButton("other"));
        layout->addWidget(edit_ = new QLineEdit);
        QObject::connect(other_, &QPushButton::clicked, [this] { ++otherClicks_; });
        // Clicks leave the keyboard focus in the field.
        button_->Button()->setFocusPolicy(Qt::NoFocus);
        other_->setFocusPolicy(Qt::NoFocus);
        window_->resize(200, 150);
        window_->show();
        edit_->setFocus();
        rt_test::TestApp().processEvents();
        ASSERT_TRUE(Answered());
        // Later than any input of the tests before.
        t0_ = fw::WindowSystemTimeNow().value_or(0) + 1000000;
    }
    void TearDown() override {
        button_->Button()->setParent(nullptr);
        window_.reset();
        BusyTest::TearDown();
    }

    static void FromWindowSystem(QWidget* to, QEvent& e) {
        QSpontaneKeyEvent::setSpontaneous(&e);
        QCoreApplication::instance()->notify(to->window()->windowHandle(), &e);
    }
    static void Mouse(QEvent::Type type, QWidget* on, std::uint64_t at) {
        const QPointF local = on->mapTo(on->window(), on->rect().center());
        QMouseEvent e(type, local, local, on->mapToGlobal(on->rect().center()), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier,
                      QPointingDevice::primaryPointingDevice());
        e.setTimestamp(at);
        FromWindowSystem(on, e);
    }
    static void Click(QWidget* on, std::uint64_t at) {
        Mouse(QEvent::MouseButtonPress, on, at);
        Mouse(QEvent::MouseButtonRelease, on, at + 1);
    }
    static void Type(QWidget* in, char c, std::uint64_t at) {
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent e(type, Qt::Key_A + (c - 'a'), Qt::NoModifier, QString(QChar(c)));
            e.setTimestamp(at);
            FromWindowSystem(in, e);
        }
    }

    std::unique_ptr<QWidget> window_;
    QPushButton* other_ = nullptr;
    QLineEdit* edit_ = nullptr;
    int otherClicks_ = 0;
    std::uint64_t t0_ = 0;
};

TEST_F(InputWhileBusyTest, ClicksAndKeysMadeWhileAHandlerWorksAreDroppedThoseMadeAfterGoThrough) {
    handler_->body = [] { YieldFor(400); };
    Click(button_->Button(), t0_);  // the handler runs as the click ends
    // What was done meanwhile comes only now, as the event loop runs again:
    // first while the window is still finishing ...
    Click(other_, t0_ + 100);
    Type(edit_, 'a', t0_ + 150);
    EXPECT_EQ(otherClicks_, 0);
    EXPECT_EQ(edit_->text(), QString());
    ASSERT_TRUE(Answered());
    // ... then, handed over late, after it answered again.
    Click(other_, t0_ + 300);
    Type(edit_, 'b', t0_ + 350);
    EXPECT_EQ(otherClicks_, 0);
    EXPECT_EQ(edit_->text(), QString());
    // Made once the work was over: as ever.
    Click(other_, t0_ + 60000);
    Type(edit_, 'c', t0_ + 60010);
    EXPECT_EQ(otherClicks_, 1);
    EXPECT_EQ(edit_->text(), QString("c"));
}

TEST_F(InputWhileBusyTest, AReleaseWhosePressWentThroughStillGoesAPressDroppedMakesNoClick) {
    handler_->body = [] { YieldFor(400); };
    Mouse(QEvent::MouseButtonPress, other_, t0_);
    Run([] { YieldFor(400); });  // work that no input started
    Mouse(QEvent::MouseButtonRelease, other_, t0_ + 200);
    EXPECT_EQ(otherClicks_, 1) << "the press went through before the work, so its release must too";
    ASSERT_TRUE(Answered());

    Run([] { YieldFor(400); });
    Mouse(QEvent::MouseButtonPress, other_, t0_ + 500);
    ASSERT_TRUE(Answered());
    Mouse(QEvent::MouseButtonRelease, other_, t0_ + 60000);
    EXPECT_EQ(otherClicks_, 1) << "a release after the work whose press was made during it clicked";
}

TEST_F(InputWhileBusyTest, AModalDialogAHandlerOpensGetsWhatIsDoneWhileItShows) {
    QString typed;
    handler_->body = [&] {
        YieldFor(300);
        QDialog dialog;
        auto* field = new QLineEdit(&dialog);
        field->setFocus();
        // As the dialog's loop runs: a key made during the work before it,
        // handed over now, then one made while it shows.
        QTimer::singleShot(0, &dialog, [&] {
            Type(field, 'x', t0_ + 100);
            Type(field, 'y', t0_ + 60000);
            dialog.accept();
        });
        dialog.exec();
        typed = field->text();
    };
    Click(button_->Button(), t0_);
    EXPECT_EQ(typed, QString("y"));
    ASSERT_TRUE(Answered());
}

}  // namespace
