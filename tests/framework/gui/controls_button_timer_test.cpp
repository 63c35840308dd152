// Push buttons raise Action (also pushed while disabled); timers fire after
// their period, a single shot once.
#include "core/Dispatch.h"
#include "gui/controls/PushButton.h"
#include "gui/controls/Timer.h"
#include "controls_support.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPushButton>
#include <gtest/gtest.h>

using controls_test::Host;
using controls_test::WaitUntil;

namespace {

TEST(PushButton, PushRunsTheActionAtOnceEvenWhenDisabledButAClickDoesNot) {
    Host host;
    auto button = fw::New<fw::PushButton>();
    button->PlaceInto(&host.widget);
    int actions = 0;
    button->AddEventHandler("Action", [&] { ++actions; });

    button->Push();
    EXPECT_EQ(actions, 1);
    button->SetEnabled(false);
    button->Push();
    EXPECT_EQ(actions, 2);
    button->Button()->click();  // a disabled button ignores clicks
    EXPECT_EQ(actions, 2);
    button->SetEnabled(true);
    button->Button()->click();
    EXPECT_EQ(actions, 3);
}

TEST(PushButton, AnExceptionInTheActionGoesToTheReportAndLaterClicksStillWork) {
    Host host;
    auto button = fw::New<fw::PushButton>();
    button->PlaceInto(&host.widget);
    std::vector<std::string> reported;
    fw::SetUnhandledExceptionReport([&](const fw::RuntimeException& e) { reported.push_back(e.TypeName()); });
    int actions = 0;
    button->AddEventHandler("Action", [&] {
        if (++actions == 1) throw fw::NilObjectException();
    });
    button->Button()->click();
    button->Button()->click();
    fw::SetUnhandledExceptionReport(nullptr);
    EXPECT_EQ(actions, 2);
    EXPECT_EQ(reported, std::vector<std::string>{"NilObjectException"});
}

TEST(PushButton, CaptionIsShownLiterallyAndDefaultAndCancelAnswerTheirKeys) {
    Host host;
    auto ok = fw::New<fw::PushButton>();
    auto cancel = fw::New<fw::PushButton>();
    ok->PlaceInto(&host.widget);
    cancel->PlaceInto(&host.widget);
    cancel->SetBounds(100, 0, 80, 20);
    ok->SetCaption("Fish & Chips >>");
    EXPECT_TRUE(ok->Caption().Identical("Fish & Chips >>"));
    EXPECT_EQ(ok->Button()->text(), QString("Fish && Chips >>"));

    int oks = 0, cancels = 0;
    ok->AddEventHandler("Action", [&] { ++oks; });
    cancel->AddEventHandler("Action", [&] { ++cancels; });
    ok->SetDefault(true);
    cancel->SetCancel(true);
    if (!host.ShowActive()) GTEST_SKIP() << "the platform plugin never activates a window";
    cancel->SetFocus();
    for (int key : {int(Qt::Key_Return), int(Qt::Key_Escape)}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        // A key press sent from code goes to the window's shortcuts first,
        // as one from the keyboard does.
        QApplication::sendEvent(cancel->Button(), &press);
    }
    WaitUntil([&] { return oks == 1 && cancels == 1; }, 500);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(cancels, 1);
}

TEST(Timer, SingleShotFiresOnceAfterItsPeriodAndIsThenOff) {
    controls_test::EnsureApp();
    auto timer = fw::New<fw::Timer>();
    int fired = 0;
    int modeInHandler = -1;
    timer->AddEventHandler("Action", [&] {
        ++fired;
        modeInHandler = timer->Mode();
    });
    timer->SetPeriod(20);
    QElapsedTimer t;
    t.start();
    timer->SetMode(1);
    ASSERT_TRUE(WaitUntil([&] { return fired > 0; }));
    EXPECT_GE(t.elapsed(), 18);
    EXPECT_EQ(modeInHandler, 0);
    EXPECT_EQ(timer->Mode(), 0);
    // No second shot.
    WaitUntil([&] { return fired > 1; }, 80);
    EXPECT_EQ(fired, 1);

    // Setting the period starts nothing; setting the mode again does.
    timer->SetPeriod(10);
    EXPECT_FALSE(timer->IsRunning());
    timer->SetMode(1);
    ASSERT_TRUE(WaitUntil([&] { return fired == 2; }));
}

TEST(Timer, RepeatingModeFiresUntilSwitchedOffAndAHandlerMayRestartASingleShot) {
    controls_test::EnsureApp();
    auto timer = fw::New<fw::Timer>();
    int fired = 0;
    timer->AddEventHandler("Action", [&] {
        if (++fired == 3) timer->SetMode(0);
    });
    timer->SetPeriod(5);
    timer->SetMode(2);
    ASSERT_TRUE(WaitUntil([&] { return fired == 3; }));
    WaitUntil([&] { return fired > 3; }, 40);
    EXPECT_EQ(fired, 3);
    EXPECT_FALSE(timer->IsRunning());

    auto again = fw::New<fw::Timer>();
    int shots = 0;
    again->AddEventHandler("Action", [&] {
        if (++shots < 3) again->SetMode(1);
    });
    again->SetPeriod(5);
    again->SetMode(1);
    ASSERT_TRUE(WaitUntil([&] { return shots == 3; }));
    EXPECT_EQ(again->Mode(), 0);
}

TEST(Timer, ChangingThePeriodOfARunningTimerCountsTheNewPeriodFromNow) {
    controls_test::EnsureApp();
    auto timer = fw::New<fw::Timer>();
    int fired = 0;
    timer->AddEventHandler("Action", [&] { ++fired; });
    timer->SetPeriod(10000);
    timer->SetMode(1);
    timer->SetPeriod(10);
    ASSERT_TRUE(WaitUntil([&] { return fired == 1; }, 1000));
}

}  // namespace
