#include "Rows.h"

namespace fw {

namespace {
const String kEmpty;
}

int32_t StringRows::ListCount() const {
    return pending_ ? pendingCount_ : static_cast<int32_t>(rows_.size());
}

void StringRows::Materialize() const {
    if (!pending_) return;
    pending_ = false;
    rows_.clear();
    rows_.reserve(static_cast<std::size_t>(pendingCount_));
    const char32_t* p = joined_.Data();
    const std::size_t n = joined_.Size();
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= n; ++i) {
        if (i == n || p[i] == separator_) {
            rows_.push_back(String::FromCodePoints(p + begin, i - begin));
            begin = i + 1;
        }
    }
    joined_ = String();
}

const String& StringRows::Cell(int32_t row) const {
    Materialize();
    if (row < 0 || row >= ListCount()) return kEmpty;
    return rows_[static_cast<std::size_t>(row)];
}

void StringRows::RemoveRow(int32_t row) {
    Materialize();
    if (row < 0 || row >= ListCount()) return;
    rows_.erase(rows_.begin() + row);
    ++revision_;
}

void StringRows::SetCell(int32_t row, String text) {
    Materialize();
    if (row < 0 || row >= ListCount()) return;
    rows_[static_cast<std::size_t>(row)] = std::move(text);
    ++revision_;
}

void StringRows::SetFromJoined(String joined, char32_t separator) {
    rows_.clear();
    joined_ = std::move(joined);
    separator_ = separator;
    pendingCount_ = 0;
    if (!joined_.IsEmpty()) {
        pendingCount_ = 1;
        for (std::size_t i = 0; i < joined_.Size(); ++i) pendingCount_ += joined_.At(i) == separator;
    }
    pending_ = pendingCount_ > 0;
    if (!pending_) joined_ = String();
    ++revision_;
}

}  // namespace fw
