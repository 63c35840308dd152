// Focus: GotFocus is raised once per gain of focus, whether the gain comes
// from SetFocus (also in a window that is not active, or never shown), from
// the Tab key or from a click.
#include "gui/controls/Label.h"
#include "gui/controls/PushButton.h"
#include "gui/controls/TextArea.h"
#include "gui/controls/TextField.h"
#include "controls_support.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

using controls_test::Host;

namespace {

struct Counted {
    fw::Ref<fw::TextArea> area = fw::New<fw::TextArea>();
    int gains = 0;
    Counted() {
        area->AddEventHandler("GotFocus", [this] { ++gains; });
    }
};

TEST(ControlFocus, SetFocusRaisesGotFocusOncePerGainInAWindowNeverShown) {
    Host host;
    Counted a, b;
    a.area->PlaceInto(&host.widget);
    b.area->PlaceInto(&host.widget);
    b.area->SetBounds(300, 0, 100, 100);

    a.area->SetFocus();
    EXPECT_EQ(a.gains, 1);
    EXPECT_TRUE(a.area->HasFocus());
    // Already holding the focus: no new gain.
    a.area->SetFocus();
    EXPECT_EQ(a.gains, 1);

    b.area->SetFocus();
    EXPECT_EQ(b.gains, 1);
    EXPECT_FALSE(a.area->HasFocus());
    a.area->SetFocus();
    EXPECT_EQ(a.gains, 2);
    EXPECT_EQ(b.gains, 1);
}

TEST(ControlFocus, InAnActiveWindowQtsOwnFocusInIsNoSecondGain) {
    Host host;
    Counted a, b;
    a.area->PlaceInto(&host.widget);
    b.area->PlaceInto(&host.widget);
    b.area->SetBounds(300, 0, 100, 100);
    if (!host.ShowActive()) GTEST_SKIP() << "the platform plugin never activates a window";

    a.area->SetFocus();
    EXPECT_TRUE(a.area->Editor()->hasFocus());
    b.area->SetFocus();
    a.area->SetFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(a.gains, 2);
    EXPECT_EQ(b.gains, 1);

    // The Tab key: the next widget in the focus chain gains the focus.
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(a.area->Editor(), &tab);
    QCoreApplication::processEvents();
    EXPECT_EQ(b.gains, 2);
    EXPECT_TRUE(b.area->HasFocus());
}

TEST(ControlFocus, FocusInFromAClickOrTabRaisesOnceAndWindowSwitchesRaiseNothing) {
    Host host;
    Counted a;
    a.area->PlaceInto(&host.widget);
    QWidget* editor = a.area->Editor();

    QFocusEvent click(QEvent::FocusIn, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(editor, &click);
    QFocusEvent again(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(editor, &again);
    EXPECT_EQ(a.gains, 1);

    // The window loses and regains activation: the focus never left.
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(editor, &away);
    QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(editor, &back);
    EXPECT_EQ(a.gains, 1);

    // A real loss, then a gain.
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(editor, &out);
    QCoreApplication::sendEvent(editor, &click);
    EXPECT_EQ(a.gains, 2);
}

TEST(ControlFocus, HiddenOrDisabledControlsTakeNoFocusAndHidingPassesItToNoOne) {
    Host host;
    Counted a, b;
    a.area->PlaceInto(&host.widget);
    b.area->PlaceInto(&host.widget);
    b.area->SetBounds(300, 0, 100, 100);
    const bool active = host.ShowActive();

    b.area->SetVisible(false);
    b.area->SetFocus();
    b.area->SetVisible(true);
    b.area->SetEnabled(false);
    b.area->SetFocus();
    EXPECT_EQ(b.gains, 0);
    b.area->SetEnabled(true);

    // Qt would hand the focus of a hidden widget to the next tab stop, which
    // would then raise a GotFocus nobody asked for.
    a.area->SetFocus();
    a.area->SetVisible(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(b.gains, 0);
    EXPECT_FALSE(a.area->HasFocus());
    if (active) {
        EXPECT_FALSE(b.area->Editor()->hasFocus());
    }
}

TEST(ControlFocus, FromWidgetFindsTheControlOfAWidgetOrItsChild) {
    Host host;
    auto field = fw::New<fw::TextField>();
    auto label = fw::New<fw::Label>();
    field->PlaceInto(&host.widget);
    label->PlaceInto(&host.widget);
    EXPECT_EQ(fw::RectControl::FromWidget(field->Widget()), field.Get());
    EXPECT_EQ(fw::RectControl::FromWidget(label->Widget()), label.Get());
    EXPECT_EQ(fw::RectControl::FromWidget(&host.widget), nullptr);
}

}  // namespace

// The only focus stop of its window keeps the focus on Tab; without
// AcceptTabs the key must not type a tab either.
TEST(ControlFocus, TabTypesATabOnlyWhereTheAreaAcceptsTabs) {
    for (const bool accepts : {false, true}) {
        SCOPED_TRACE(accepts ? "AcceptTabs" : "no AcceptTabs");
        Host host;
        Counted a;
        a.area->PlaceInto(&host.widget);
        a.area->SetAcceptTabs(accepts);
        a.area->SetText("help");
        if (!host.ShowActive()) GTEST_SKIP() << "the platform plugin never activates a window";
        a.area->SetFocus();
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
        QKeyEvent backtab(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier);
        for (QKeyEvent* press : {&tab, &backtab}) QCoreApplication::sendEvent(a.area->Editor(), press);
        QCoreApplication::processEvents();
        EXPECT_EQ(a.area->Text().ToUtf8(), accepts ? "\thelp" : "help");
    }
}
