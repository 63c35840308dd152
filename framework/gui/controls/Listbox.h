// Listbox: a list of rows over a one-column QTableView.
//
// The rows live in an fw::StringRows shown through a model, not one widget
// item per row, so tens of thousands of rows load at once and only the rows
// on screen are ever converted for drawing. The text engine reads the rows
// directly through Rows(); their revision changes on every change.
#pragma once

#include "Control.h"
#include "Rows.h"

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

    // The selected row, -1 for none; setting an index out of range selects
    // nothing.
    int32_t ListIndex() const;
    void SetListIndex(int32_t index);
    // Column 0 of the selected row, empty with none.
    String Text() const;

    int32_t ColumnCount() const { return columnCount_; }
    QTableView* View() const;

protected:
    void FontChanged(const QFont& font) override;
    bool TakeProperty(std::string_view key, const PropertyValue& value) override;
    bool TakesUndecodedText(std::string_view key) const override { return key == "InitialValue"; }

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
