// Label: static text over QLabel, always plain text (never markup). Its Open
// event is raised when its window opens (Control::Opening). A one-line
// label's text always shows whole: it takes a smaller size of the control's
// font where it would not fit (CaptionFit.h).
#pragma once

#include "gui/Control.h"

#include <QFont>

class QLabel;

namespace fw {

class Label : public RectControl {
public:
    Label();

    std::string PropertyClassName() const override { return "Label"; }

    // The text exactly as set; a CR (or CR LF) breaks the line.
    const String& Text() const { return text_; }
    void SetText(const String& text);
    // 0 left, 1 centre, 2 right.
    int32_t TextAlign() const { return textAlign_; }
    void SetTextAlign(int32_t align);
    bool Multiline() const { return multiline_; }
    // True: long lines wrap at the label's width.
    void SetMultiline(bool b);
    void SetTextColor(const Colour& c);
    // True: the user can select the text with the mouse.
    void SetSelectable(bool b);
    // A label draws no background of its own either way; kept.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool b) { transparent_ = b; }

    QLabel* QtLabel() const;

protected:
    bool TakeProperty(std::size_t key, const PropertyValue& value) override {
        return ApplyPropertyRow(*this, key, value);
    }
    void FontChanged(const QFont& font) override;
    void Fit() override;

private:

    QPointer<QLabel> label_;
    QFont designedFont_;
    String text_;
    int32_t textAlign_ = 0;
    bool multiline_ = false, transparent_ = false;
};

}  // namespace fw
