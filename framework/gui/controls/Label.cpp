#include "gui/controls/Label.h"

#include "gui/controls/CaptionFit.h"

#include <QLabel>

namespace fw {

Label::Label() {
    label_ = new QLabel;
    label_->setTextFormat(Qt::PlainText);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetWidget(label_);
}

void Label::FontChanged(const QFont& font) {
    designedFont_ = font;
    RequestFit();
}

void Label::Fit() {
    if (!label_) return;
    // A label that wraps grows downwards; only a one-line one is fitted.
    if (multiline_) {
        label_->setFont(designedFont_);
        return;
    }
    const int m = label_->margin();
    const QRect room = label_->contentsRect().adjusted(m, m, -m, -m);
    label_->setFont(controls::FittedFont(designedFont_, label_->text(), room.size(), 0));
}

QLabel* Label::QtLabel() const { return label_.data(); }

void Label::SetText(const String& text) {
    text_ = text;
    if (!label_) return;
    label_->setText(controls::DisplayText(text));
    RequestFit();
}

void Label::SetTextAlign(int32_t align) {
    textAlign_ = align;
    if (!label_) return;
    const Qt::Alignment h = align == 1 ? Qt::AlignHCenter : align == 2 ? Qt::AlignRight : Qt::AlignLeft;
    label_->setAlignment(h | Qt::AlignTop);
}

void Label::SetMultiline(bool b) {
    multiline_ = b;
    if (!label_) return;
    label_->setWordWrap(b);
    RequestFit();
}

void Label::SetTextColor(const Colour& c) {
    if (!label_) return;
    QPalette p = label_->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) p.setColor(group, QPalette::WindowText, controls::ToQColor(c));
    label_->setPalette(p);
}

void Label::SetSelectable(bool b) {
    if (label_) label_->setTextInteractionFlags(b ? Qt::TextSelectableByMouse : Qt::NoTextInteraction);
}

}  // namespace fw
