// PushButton over QPushButton. A click raises Action; Push() raises it from
// code. The default button answers Return, the cancel button Escape,
// wherever the focus is in the window. The caption always shows whole: it
// takes a smaller size of the control's font where it would not fit
// (CaptionFit.h).
#pragma once

#include "gui/Control.h"

#include <QFont>

class QPushButton;
class QShortcut;

namespace fw {

class PushButton : public RectControl {
public:
    PushButton();

    std::string PropertyClassName() const override { return "PushButton"; }

    // The caption exactly as given; an '&' shows as itself.
    const String& Caption() const { return caption_; }
    void SetCaption(const String& caption);
    bool Default() const { return default_; }
    void SetDefault(bool b);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool b);
    int32_t ButtonStyle() const { return buttonStyle_; }
    // 0 is the standard push button, the only style the system uses.
    void SetButtonStyle(int32_t style) { buttonStyle_ = style; }

    // Runs the Action handlers at once, as a click would, also when the
    // button is disabled or hidden: a caller that pushes a button relies on
    // its handler having run when Push returns.
    void Push();

    QPushButton* Button() const;

protected:
    bool TakeProperty(std::size_t key, const PropertyValue& value) override {
        return ApplyPropertyRow(*this, key, value);
    }
    void FontChanged(const QFont& font) override;
    void Fit() override;

private:

    QPointer<QPushButton> button_;
    QFont designedFont_;
    QPointer<QShortcut> returnKey_, enterKey_, escapeKey_;
    String caption_;
    bool default_ = false, cancel_ = false;
    int32_t buttonStyle_ = 0;
};

}  // namespace fw
