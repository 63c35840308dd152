#include "gui/controls/TextField.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

#include <climits>

namespace fw {

TextField::TextField() {
    edit_ = new QLineEdit;
    // QLineEdit cuts its text at 32767 characters by default, also text set
    // by the program: no cut unless LimitText asks for one.
    edit_->setMaxLength(INT_MAX);
    SetWidget(edit_);
    QObject::connect(edit_, &QLineEdit::textChanged, Context(), [this] { RaiseEvent("TextChange"); });
    UpdatePalette();
}

QLineEdit* TextField::Editor() const { return edit_.data(); }

String TextField::Text() const { return edit_ ? String::FromQString(edit_->text()) : String(); }

void TextField::SetText(const String& text) {
    if (!edit_) return;
    // The limit is for the user's typing only: lift it while the program
    // sets the text, then put it back if the text fits under it.
    edit_->setMaxLength(INT_MAX);
    edit_->setText(text.ToQString());
    SetLimitText(limitText_);
}

namespace {
int32_t CodePointsBefore(const QString& s, int units) {
    return static_cast<int32_t>(String::FromQString(s.left(units)).Size());
}
int UnitsBefore(const QString& s, int32_t codePoints) {
    int i = 0;
    for (int32_t n = 0; i < s.size() && n < codePoints; ++n)
        i += (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) ? 2 : 1;
    return i;
}
}  // namespace

int32_t TextField::SelStart() const {
    if (!edit_) return 0;
    const int start = edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition();
    return CodePointsBefore(edit_->text(), start);
}

void TextField::SetSelStart(int32_t start) {
    if (edit_) edit_->setCursorPosition(UnitsBefore(edit_->text(), start));
}

int32_t TextField::SelLength() const {
    return edit_ && edit_->hasSelectedText() ? static_cast<int32_t>(String::FromQString(edit_->selectedText()).Size()) : 0;
}

void TextField::SetSelLength(int32_t length) {
    if (!edit_) return;
    const QString t = edit_->text();
    const int32_t start = SelStart();
    const int from = UnitsBefore(t, start);
    edit_->setSelection(from, UnitsBefore(t, start + std::max(0, length)) - from);
}

String TextField::SelText() const { return edit_ ? String::FromQString(edit_->selectedText()) : String(); }

void TextField::SelectAll() {
    if (edit_) edit_->selectAll();
}

// Like the Edit menu's Copy: nothing selected leaves the clipboard as it was.
void TextField::Copy() {
    const String sel = SelText();
    if (!sel.IsEmpty()) QGuiApplication::clipboard()->setText(sel.ToQString());
}

void TextField::Paste() {
    if (edit_ && !readOnly_) edit_->paste();
}

void TextField::SetCueText(const String& text) {
    cueText_ = text;
    if (edit_) edit_->setPlaceholderText(text.ToQString());
}

void TextField::SetPassword(bool b) {
    password_ = b;
    if (edit_) edit_->setEchoMode(b ? QLineEdit::Password : QLineEdit::Normal);
}

void TextField::SetReadOnly(bool b) {
    readOnly_ = b;
    if (edit_) edit_->setReadOnly(b);
}

void TextField::SetLimitText(int32_t n) {
    limitText_ = n < 0 ? 0 : n;
    // QLineEdit would cut a longer text already there: keep the limit off
    // until the text fits under it.
    if (edit_) edit_->setMaxLength(limitText_ > 0 && edit_->text().size() <= limitText_ ? limitText_ : INT_MAX);
}

void TextField::SetBorder(bool b) {
    if (edit_) edit_->setFrame(b);
}

void TextField::SetTextColor(const Colour& c) {
    textColor_ = c;
    UpdatePalette();
}

void TextField::SetBackColor(const Colour& c) {
    backColor_ = c;
    UpdatePalette();
}

void TextField::UpdatePalette() {
    if (!edit_) return;
    QPalette p = edit_->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) p.setColor(group, QPalette::Text, controls::ToQColor(textColor_));
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Base, controls::ToQColor(backColor_));
    edit_->setPalette(p);
}

void TextField::SetAlignment(int32_t a) {
    if (edit_)
        edit_->setAlignment((a == 2 ? Qt::AlignHCenter : a == 3 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

}  // namespace fw
