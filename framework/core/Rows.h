// An ordered sequence of text rows with a revision number.
//
// The list box keeps its rows in one of these, and the text engine reads the
// word list from it; the revision tells a reader's index that the rows
// changed and must be built again.
#pragma once

#include "core/String.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

class StringRows {
public:
    int32_t ListCount() const;
    // Row index from 0; an index out of range gives the empty string.
    const String& Cell(int32_t row) const;
    // The same text as a copy; it does not cut the whole list into rows, so
    // showing a few rows of a list not read yet stays cheap.
    String CellCopy(int32_t row) const;
    void AddRow(String text) {
        Materialize();
        rows_.push_back(std::move(text));
        ++revision_;
    }
    void RemoveRow(int32_t row);
    void DeleteAllRows() {
        DropPending();
        rows_.clear();
        ++revision_;
    }
    void SetCell(int32_t row, String text);
    // Replaces every row: the text cut at each separator (an empty text gives
    // no rows). The cutting waits for the first look at a row: a list given
    // at start-up is often not read for a long while, and cutting 70,000
    // rows is most of what setting it costs.
    void SetFromJoined(String joined, char32_t separator);
    // The same from UTF-8 text with an ASCII separator; each row is decoded
    // when it is read (a separator byte never stands inside a character).
    void SetFromJoinedUtf8(std::string joined, char separator);
    // The same over text that outlives the rows (the program's own constant
    // data): the rows read it in place, without a copy.
    void SetFromJoinedUtf8View(std::string_view joined, char separator);
    void Assign(std::vector<String> rows) {
        DropPending();
        rows_ = std::move(rows);
        ++revision_;
    }
    std::uint64_t Revision() const { return revision_; }

private:
    void Materialize() const;
    String PendingRow(std::size_t r) const;
    void BeginPending(std::size_t separators, std::size_t size);
    void BeginPendingUtf8(char separator);
    void DropPending() const;
    // Makes sure the starts of the rows before `rows` are known.
    void FindPendingStarts(std::size_t rows) const;
    std::size_t PendingSize() const { return utf8_ ? Utf8().size() : joined_.Size(); }
    // The pending UTF-8 text, wherever it is kept.
    std::string_view Utf8() const { return external_.data() ? external_ : std::string_view(joinedUtf8_); }
    // Where the separator at or after `from` stands (the size when none).
    std::size_t NextSeparator(std::size_t from) const;

    mutable std::vector<String> rows_;
    mutable String joined_;
    mutable std::string joinedUtf8_;
    mutable std::string_view external_;  // constant text viewed in place of joinedUtf8_
    bool utf8_ = false;
    mutable bool pending_ = false;
    std::size_t pendingCount_ = 0;
    char32_t separator_ = U'\r';  // an ASCII one for UTF-8 text
    // Where the first pending rows begin: found as far as rows are read, so
    // that showing the top of a long list looks at the top of its text only.
    mutable std::vector<std::size_t> starts_;
    std::uint64_t revision_ = 0;
};

}  // namespace fw
