// PopupMenu: a pop-up menu of text rows over QComboBox.
#pragma once

#include "gui/Control.h"

#include <vector>

class QComboBox;

namespace fw {

class PopupMenu : public RectControl {
public:
    PopupMenu();

    std::string PropertyClassName() const override { return "PopupMenu"; }

    int32_t ListCount() const { return static_cast<int32_t>(rows_.size()); }
    // Appends a row; the selection stays as it was (none in a new menu).
    void AddRow(const String& text);
    void DeleteAllRows();
    // The text of a row from 0; empty out of range.
    String List(int32_t row) const;
    // The rows joined by single CRs; setting it replaces the rows.
    void SetInitialValue(const String& joined);

    // The selected row, -1 for none. Setting -1 selects none; an index out
    // of range changes nothing.
    int32_t ListIndex() const;
    void SetListIndex(int32_t index);
    // The text of the selected row, empty with none.
    String Text() const;

    QComboBox* Combo() const;

protected:
    bool TakeProperty(std::size_t key, const PropertyValue& value) override {
        return ApplyPropertyRow(*this, key, value);
    }

private:
    QPointer<QComboBox> combo_;
    // The exact texts; the combo shows them.
    std::vector<String> rows_;
};

}  // namespace fw
