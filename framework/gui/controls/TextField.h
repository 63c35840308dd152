// TextField: a single-line text field over QLineEdit.
#pragma once

#include "gui/Control.h"

class QLineEdit;

namespace fw {

class TextField : public RectControl {
public:
    TextField();

    std::string PropertyClassName() const override { return "TextField"; }

    String Text() const;
    void SetText(const String& text);
    // The selection, in characters of Text() counted from 0.
    int32_t SelStart() const;
    void SetSelStart(int32_t start);
    int32_t SelLength() const;
    void SetSelLength(int32_t length);
    String SelText() const;
    void SelectAll();
    // The selected text to the system clipboard.
    void Copy();
    // The clipboard's text replaces the selection (line ends and all: what
    // the field shows of them is Qt's matter); nothing when read-only.
    void Paste();

    const String& CueText() const { return cueText_; }
    void SetCueText(const String& text);
    bool Password() const { return password_; }
    void SetPassword(bool b);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool b);
    // The most characters the user can type or paste; 0 for no limit. Text
    // set by the program is never cut.
    int32_t LimitText() const { return limitText_; }
    void SetLimitText(int32_t n);
    void SetBorder(bool b);
    void SetTextColor(const Colour& c);
    void SetBackColor(const Colour& c);
    // 0 default (left), 1 left, 2 centre, 3 right.
    void SetAlignment(int32_t a);
    // A field takes no spell checking of its own; the flag is kept.
    bool AutomaticallyCheckSpelling() const { return autoSpell_; }
    void SetAutomaticallyCheckSpelling(bool b) { autoSpell_ = b; }
    // Tab always moves the focus out of a single-line field; kept.
    bool AcceptTabs() const { return acceptTabs_; }
    void SetAcceptTabs(bool b) { acceptTabs_ = b; }
    const String& Format() const { return format_; }
    void SetFormat(const String& format) { format_ = format; }
    const String& Mask() const { return mask_; }
    void SetMask(const String& mask) { mask_ = mask; }

    QLineEdit* Editor() const;

protected:
    bool TakeProperty(std::size_t key, const PropertyValue& value) override {
        return ApplyPropertyRow(*this, key, value);
    }

private:
    void UpdatePalette();
    QPointer<QLineEdit> edit_;
    String cueText_;
    bool password_ = false, readOnly_ = false, autoSpell_ = false, acceptTabs_ = false;
    int32_t limitText_ = 0;
    Colour textColor_{0, 0, 0}, backColor_{255, 255, 255};
    String format_, mask_;
};

}  // namespace fw
