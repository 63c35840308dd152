// No caption of the main window is clipped at its designed size: the text
// the control shows, measured in the font it draws with, fits the rectangle
// its style lays text out in, across and down, whatever fonts the system
// has ("Support Tarnwick" in the bold system font is wider than its button
// with Debian's), also where the control lies beyond the window's edge.
#include "app_test_util.h"

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

#include <optional>
#include <string>
#include <vector>

namespace {

struct Measured {
    QString text;
    QSize needed;
    QRect room;
    // The size one pixel larger would need, when the control drew its text
    // smaller than designed.
    std::optional<QSize> neededOneLarger;
};

std::optional<QSize> OneLarger(const fw::RectControl& c, const QString& text, int flags) {
    const QFont drawn = c.Widget()->font();
    if (drawn == c.ResolvedFont()) return std::nullopt;
    QFont larger = drawn;
    larger.setPixelSize(QFontInfo(drawn).pixelSize() + 1);
    return QFontMetrics(larger).size(flags, text);
}

Measured OfButton(const fw::PushButton& control) {
    const QPushButton& b = *control.Button();
    QStyleOptionButton opt;
    opt.initFrom(&b);
    opt.text = b.text();
    if (b.isDefault()) opt.features |= QStyleOptionButton::DefaultButton;
    if (b.autoDefault()) opt.features |= QStyleOptionButton::AutoDefaultButton;
    const QRect room = b.style()->subElementRect(QStyle::SE_PushButtonContents, &opt, &b);
    return {b.text(), QFontMetrics(b.font()).size(Qt::TextShowMnemonic, b.text()), room,
            OneLarger(control, b.text(), Qt::TextShowMnemonic)};
}

Measured OfLabel(const fw::Label& control) {
    const QLabel& l = *control.QtLabel();
    const int m = l.margin();
    const QRect room = l.contentsRect().adjusted(m, m, -m, -m);
    return {l.text(), QFontMetrics(l.font()).size(0, l.text()), room, OneLarger(control, l.text(), 0)};
}

// The pop-up shows one row at a time: every row it can hold must fit.
Measured OfPopupRow(const QComboBox& c, const QString& row) {
    QStyleOptionComboBox opt;
    opt.initFrom(&c);
    opt.editable = false;
    opt.currentText = row;
    const QRect room = c.style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, &c);
    return {row, QFontMetrics(c.font()).size(0, row), room, std::nullopt};
}

using CaptionsTest = app_test::ProgramFixture;

TEST_F(CaptionsTest, EveryCaptionOfTheMainWindowFitsItsControl) {
    std::vector<std::pair<std::string, Measured>> all;
    int buttons = 0, labels = 0;
    for (const auto& control : W().Controls()) {
        const std::string name = control->Name().ToUtf8();
        if (auto* button = dynamic_cast<fw::PushButton*>(control.Get())) {
            all.emplace_back(name, OfButton(*button));
            ++buttons;
        } else if (auto* label = dynamic_cast<fw::Label*>(control.Get())) {
            all.emplace_back(name, OfLabel(*label));
            ++labels;
        } else if (auto* popup = dynamic_cast<fw::PopupMenu*>(control.Get())) {
            for (const char* row : {"Click To See Possible Words", "End of List", "Unscrambled"})
                all.emplace_back(name + " row", OfPopupRow(*popup->Combo(), row));
        }
    }
    EXPECT_EQ(buttons, 24);
    EXPECT_EQ(labels, 4);
    for (const auto& [name, m] : all) {
        SCOPED_TRACE(name + " \"" + m.text.toStdString() + "\"");
        EXPECT_FALSE(m.text.isEmpty() && name != "NoWords");
        EXPECT_LE(m.needed.width(), m.room.width());
        EXPECT_LE(m.needed.height(), m.room.height());
        // Drawn smaller only as far as it must be.
        if (m.neededOneLarger) {
            EXPECT_TRUE(m.neededOneLarger->width() > m.room.width() || m.neededOneLarger->height() > m.room.height());
        }
    }
}

// The controls beyond the right edge are never seen, yet they are built
// like the others: each draws in the font its definition gives it.
TEST_F(CaptionsTest, TheControlsBeyondTheRightEdgeDrawInTheirDesignedFonts) {
    const struct {
        fw::RectControl* control;
        bool arial12;
    } cases[] = {
        {W().DevTest().Get(), true},
        {W().SaveDict().Get(), true},
        {W().StaticText1().Get(), false},
        {W().NoWords().Get(), false},
    };
    const QRect window = W().Scramble()->Widget()->parentWidget()->rect();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control->Name().ToUtf8());
        EXPECT_FALSE(c.control->Widget()->geometry().intersects(window));
        const QFont drawn = c.control->Widget()->font();
        EXPECT_EQ(drawn, c.control->ResolvedFont());
        EXPECT_TRUE(drawn.bold());
        if (c.arial12) {
            EXPECT_EQ(QFontInfo(drawn).pixelSize(), 12);
            EXPECT_EQ(c.control->TextFont().ToUtf8(), "Arial");
        } else {
            EXPECT_EQ(QFontInfo(drawn).pixelSize(), QFontInfo(QApplication::font()).pixelSize());
        }
    }
}

}  // namespace
