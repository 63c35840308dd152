#include "gui/controls/PushButton.h"

#include "gui/controls/CaptionFit.h"

#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionButton>

namespace fw {

namespace {
// A shortcut of the button's window that clicks the button: a click obeys
// the button's enabled state, as a key press should.
QShortcut* WindowKey(QPushButton* button, Qt::Key key, QObject* context) {
    auto* shortcut = new QShortcut(QKeySequence(key), button);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, context, [button] {
        if (button->isEnabled() && button->isVisible()) button->click();
    });
    return shortcut;
}
}  // namespace

PushButton::PushButton() {
    button_ = new QPushButton;
    // In a dialog Qt would make whichever button has the focus answer
    // Return; only the Default button does.
    button_->setAutoDefault(false);
    SetWidget(button_);
    QObject::connect(button_, &QPushButton::clicked, Context(), [this] { RaiseEvent("Action"); });
}

QPushButton* PushButton::Button() const { return button_.data(); }

void PushButton::SetCaption(const String& caption) {
    caption_ = caption;
    if (!button_) return;
    QString shown = controls::DisplayText(caption);
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    button_->setText(shown);
    RequestFit();
}

void PushButton::FontChanged(const QFont& font) {
    designedFont_ = font;
    RequestFit();
}

void PushButton::Fit() {
    if (!button_) return;
    // The room is where the style centres the caption: inside the frame.
    QStyleOptionButton option;
    option.initFrom(button_);
    option.text = button_->text();
    if (button_->isDefault()) option.features |= QStyleOptionButton::DefaultButton;
    if (button_->autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
    const QRect room = button_->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button_);
    button_->setFont(controls::FittedFont(designedFont_, button_->text(), room.size(), Qt::TextShowMnemonic));
}

void PushButton::SetDefault(bool b) {
    default_ = b;
    if (!button_) return;
    button_->setDefault(b);
    RequestFit();
    if (b && !returnKey_) {
        returnKey_ = WindowKey(button_, Qt::Key_Return, Context());
        enterKey_ = WindowKey(button_, Qt::Key_Enter, Context());
    } else if (!b && returnKey_) {
        delete returnKey_.data();
        delete enterKey_.data();
    }
}

void PushButton::SetCancel(bool b) {
    cancel_ = b;
    if (!button_) return;
    if (b && !escapeKey_) escapeKey_ = WindowKey(button_, Qt::Key_Escape, Context());
    else if (!b && escapeKey_) delete escapeKey_.data();
}

void PushButton::Push() { RaiseEvent("Action"); }

}  // namespace fw
