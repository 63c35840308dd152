// Listbox: a list of rows over a one-column QTableView.
//
// The rows live in an fw::StringRows shown through a model, not one widget
// item per row, so tens of thousands of rows load at once and only the rows
// on screen are ever converted for drawing. The text engine reads the rows
// directly through Rows(); their revision changes on every change.
#pragma once

#include "gui/Control.h"
#include "core/Rows.h"

#include <QFont>

#include <optional>
#include <vector>

class QTableView;

namespace fw {

class ListboxModel;

class Listbox : public RectControl {
public:
    Listbox();
    ~Listbox() override;

    std::string PropertyClassName() const override { return "Listbox"; }

    const StringRows& Rows() const { return rows_; }

    int32_t ListCount() const { return rows_.ListCount(); }
    // The text of a cell; rows count from 0. The list has one column: any
    // other column, like a row out of range, gives the empty string.
    String Cell(int32_t row, int32_t column = 0) const;
    void SetCell(int32_t row, int32_t column, const String& text);
    void AddRow(const String& text);
    // Inserts before the row (at the end when row is ListCount or more).
    void InsertRow(int32_t row, const String& text);
    // Removes the row; the rows after it move up by one. An index out of
    // range removes nothing.
    void RemoveRow(int32_t row);
    void DeleteAllRows();
    // Replaces every row at once.
    void AssignRows(std::vector<String> rows);
    // The rows joined by single CRs (no CR after the last); setting it
    // replaces the rows, the empty text giving none.
    String InitialValue() const;
    void SetInitialValue(String joined);
    // The same from UTF-8, decoded only as rows are read.
    void SetInitialValueUtf8(std::string joined);
    // The same over constant text that outlives the list, read in place.
    void SetInitialValueUtf8View(std::string_view joined);
    // A set's value, taken over rather than copied: the set drops its values
    // right after applying them, and this one may be megabytes. A compiled
    // definition's list is read where it lies in the program.
    void SetInitialValue(PropertyValue& taken);

    // The selected row, -1 for none; setting an index out of range selects
    // nothing.
    int32_t ListIndex() const;
    void SetListIndex(int32_t index);
    // Column 0 of the selected row, empty with none.
    String Text() const;

    int32_t ColumnCount() const { return columnCount_; }
    // Fewer than one column is one.
    void SetColumnCount(int32_t count) { columnCount_ = count < 1 ? 1 : count; }
    void SetColumnWidths(const String& widths) { columnWidths_ = widths; }
    void SetBorder(bool b);
    void SetScrollBarVertical(bool b);
    void SetScrollbarHorizontal(bool b);
    // 1 lets the user select several rows, any other value one.
    void SetSelectionType(int32_t type);
    QTableView* View() const;

protected:
    void FontChanged(const QFont& font) override;
    bool TakeProperty(std::size_t key, const PropertyValue& value) override {
        return ApplyPropertyRow(*this, key, value);
    }

private:
    void FitRowHeight(const QFont& font);

    StringRows rows_;
    std::optional<QFont> fittedFont_;  // the font the rows were last sized for
    ListboxModel* model_ = nullptr;
    QPointer<QTableView> view_;
    int32_t columnCount_ = 1;
    String columnWidths_;
    int32_t selectionType_ = 0;
};

}  // namespace fw
