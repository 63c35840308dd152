// List box rows (many, fast, in a model) and pop-up menu rows.
#include "gui/controls/Listbox.h"
#include "gui/controls/PopupMenu.h"
#include "controls_support.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPointer>
#include <QTableView>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using controls_test::Host;
using fw::String;

namespace {

TEST(Listbox, ManyRowsFromTheInitialValueLoadFastAndReadBackInOrder) {
    Host host;
    auto list = fw::New<fw::Listbox>();
    list->PlaceInto(&host.widget);
    list->SetBounds(0, 0, 262, 187);
    std::u32string joined;
    const int n = 68928;
    for (int i = 0; i < n; ++i) {
        if (i) joined += U'\r';
        joined += U"word";
        joined += String(fw::Str(i)).ToUcs4();
    }
    QElapsedTimer t;
    t.start();
    list->SetInitialValue(String(joined));
    host.widget.show();
    QCoreApplication::processEvents();
#ifndef SCRANDLE_SANITIZED  // instrumented builds run many times slower
    EXPECT_LT(t.elapsed(), 1000);
#endif
    EXPECT_EQ(list->ListCount(), n);
    EXPECT_EQ(list->View()->model()->rowCount(), n);
    EXPECT_TRUE(list->Cell(0, 0).Identical("word0"));
    EXPECT_TRUE(list->Cell(n - 1, 0).Identical(String("word") + fw::Str(n - 1)));
    EXPECT_TRUE(list->InitialValue().Identical(String(joined)));
    // Out of range, or another column: the empty string.
    EXPECT_TRUE(list->Cell(n, 0).IsEmpty());
    EXPECT_TRUE(list->Cell(0, 1).IsEmpty());
}

// A large initial value is kept as a view of its set's bytes only when the
// caller says they are constant data: the rows of a passing set outlive it.
TEST(Listbox, ALargeInitialValueOfAPassingSetOutlivesTheSet) {
    controls_test::EnsureApp();
    auto list = fw::New<fw::Listbox>();
    const int n = 20000;
    {
        std::string joined;
        for (int i = 0; i < n; ++i) joined += (i ? "\rword" : "word") + std::to_string(i);
        ASSERT_GE(joined.size(), fw::kDeferredTextBytes);
        std::string set = fw::WritePropertySet({{"InitialValue", fw::PropertyValue::Text(String(joined))}});
        fw::SetProperties(*list, set);
        std::fill(set.begin(), set.end(), 'x');
    }
    EXPECT_EQ(list->ListCount(), n);
    EXPECT_TRUE(list->Cell(0, 0).Identical("word0"));
    EXPECT_TRUE(list->Cell(n - 1, 0).Identical(String("word") + fw::Str(n - 1)));
}

TEST(Listbox, RowChangesReachTheRowsTheViewAndTheRevision) {
    Host host;
    auto list = fw::New<fw::Listbox>();
    list->PlaceInto(&host.widget);
    list->SetInitialValue("cat\rhorse\rox");
    const auto rev = list->Rows().Revision();

    list->RemoveRow(0);
    EXPECT_NE(list->Rows().Revision(), rev);
    EXPECT_EQ(list->ListCount(), 2);
    EXPECT_TRUE(list->Cell(0, 0).Identical("horse"));
    list->RemoveRow(5);  // out of range: nothing
    list->AddRow("zebra");
    list->InsertRow(0, "ant");
    EXPECT_TRUE(list->InitialValue().Identical("ant\rhorse\rox\rzebra"));
    EXPECT_EQ(list->View()->model()->rowCount(), 4);
    EXPECT_EQ(list->View()->model()->index(3, 0).data().toString(), QString("zebra"));

    list->SetListIndex(1);
    EXPECT_EQ(list->ListIndex(), 1);
    EXPECT_TRUE(list->Text().Identical("horse"));
    list->SetListIndex(-1);
    EXPECT_EQ(list->ListIndex(), -1);

    list->DeleteAllRows();
    EXPECT_EQ(list->ListCount(), 0);
    list->SetInitialValue("");
    EXPECT_EQ(list->ListCount(), 0);
}

TEST(Listbox, KeysMoveTheSelectionAndRowsAreOneLineOfTheFontHigh) {
    Host host;
    auto list = fw::New<fw::Listbox>();
    list->PlaceInto(&host.widget);
    list->SetBounds(0, 0, 262, 187);
    list->SetInitialValue("ant\rbee\rcat");
    int changes = 0;
    list->AddEventHandler("Change", [&] { ++changes; });
    host.widget.show();

    list->SetListIndex(0);
    EXPECT_EQ(changes, 1);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(list->View(), &down);
    EXPECT_EQ(list->ListIndex(), 1);
    EXPECT_TRUE(list->Text().Identical("bee"));
    EXPECT_EQ(changes, 2);

    // One line of text per row, in whatever font the list is given.
    const auto lineHigh = [&] {
        const int line = QFontMetrics(list->View()->font()).height();
        const int row = list->View()->rowHeight(2);
        return row >= line && row < 2 * line;
    };
    EXPECT_TRUE(lineHigh());
    const int small = list->View()->rowHeight(2);
    list->SetTextSize(30);
    EXPECT_TRUE(lineHigh());
    EXPECT_GT(list->View()->rowHeight(2), small);
}

// A window lets its controls go before its widgets: a list's view that is
// left over must show no rows rather than read the rows gone with it.
TEST(Listbox, AViewLeftWhenItsListGoesShowsNoRows) {
    Host host;
    QPointer<QTableView> view;
    {
        auto list = fw::New<fw::Listbox>();
        list->PlaceInto(&host.widget);
        list->SetBounds(0, 0, 200, 100);
        list->SetInitialValue("ant\rbee\rcat");
        view = list->View();
        host.widget.show();
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(view);
    EXPECT_EQ(view->model()->rowCount(), 0);
    view->repaint();  // under the sanitizers, a read of the freed rows would show here
}

TEST(PopupMenu, RowsSelectionAndText) {
    Host host;
    auto menu = fw::New<fw::PopupMenu>();
    menu->PlaceInto(&host.widget);
    EXPECT_EQ(menu->ListIndex(), -1);

    menu->AddRow("Click To See Possible Words");
    // Adding rows selects nothing by itself.
    EXPECT_EQ(menu->ListIndex(), -1);
    EXPECT_TRUE(menu->Text().IsEmpty());
    menu->AddRow("Bared");
    menu->AddRow("End of List");
    EXPECT_EQ(menu->ListCount(), 3);
    EXPECT_EQ(menu->Combo()->count(), 3);

    menu->SetListIndex(0);
    EXPECT_TRUE(menu->Text().Identical("Click To See Possible Words"));
    menu->SetListIndex(1);
    EXPECT_TRUE(menu->Text().Identical("Bared"));
    menu->SetListIndex(7);  // out of range: no change
    EXPECT_EQ(menu->ListIndex(), 1);
    // The user's choice is the selection too.
    menu->Combo()->setCurrentIndex(2);
    EXPECT_EQ(menu->ListIndex(), 2);
    EXPECT_TRUE(menu->Text().Identical("End of List"));

    menu->DeleteAllRows();
    EXPECT_EQ(menu->ListCount(), 0);
    EXPECT_EQ(menu->ListIndex(), -1);
    EXPECT_TRUE(menu->Text().IsEmpty());

    menu->SetInitialValue("a\rb");
    EXPECT_EQ(menu->ListCount(), 2);
    EXPECT_TRUE(menu->List(1).Identical("b"));
}

}  // namespace
