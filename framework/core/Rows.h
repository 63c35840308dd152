// An ordered sequence of text rows with a revision number.
//
// The list box keeps its rows in one of these, and the text engine reads the
// word list from it; the revision tells a reader's index that the rows
// changed and must be built again.
#pragma once

#include "String.h"

#include <cstdint>
#include <vector>

namespace fw {

class StringRows {
public:
    int32_t ListCount() const { return static_cast<int32_t>(rows_.size()); }
    // Row index from 0; an index out of range gives the empty string.
    const String& Cell(int32_t row) const;
    void AddRow(String text) { rows_.push_back(std::move(text)); ++revision_; }
    void RemoveRow(int32_t row);
    void DeleteAllRows() { rows_.clear(); ++revision_; }
    void SetCell(int32_t row, String text);
    // Replaces every row: the text cut at each separator (an empty text gives
    // no rows).
    void SetFromJoined(const String& joined, char32_t separator);
    void Assign(std::vector<String> rows) { rows_ = std::move(rows); ++revision_; }
    std::uint64_t Revision() const { return revision_; }

private:
    std::vector<String> rows_;
    std::uint64_t revision_ = 0;
};

}  // namespace fw
