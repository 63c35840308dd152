#include "Rows.h"

namespace fw {

namespace {
const String kEmpty;
}

int32_t StringRows::ListCount() const {
    return pending_ ? pendingCount_ : static_cast<int32_t>(rows_.size());
}

String StringRows::PendingRow(std::size_t r) const {
    const std::size_t size = utf8_ ? joinedUtf8_.size() : joined_.Size();
    const std::size_t begin = starts_[r];
    const std::size_t end = r + 1 < starts_.size() ? starts_[r + 1] - 1 : size;
    if (utf8_) return String(std::string_view(joinedUtf8_).substr(begin, end - begin));
    return String::FromCodePoints(joined_.Data() + begin, end - begin);
}

void StringRows::Materialize() const {
    if (!pending_) return;
    pending_ = false;
    rows_.clear();
    rows_.reserve(starts_.size());
    for (std::size_t r = 0; r < starts_.size(); ++r) rows_.push_back(PendingRow(r));
    joined_ = String();
    std::string().swap(joinedUtf8_);
    std::vector<std::uint32_t>().swap(starts_);
}

String StringRows::CellCopy(int32_t row) const {
    if (!pending_) return Cell(row);
    if (row < 0 || row >= pendingCount_) return String();
    return PendingRow(static_cast<std::size_t>(row));
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

void StringRows::SetFromJoinedUtf8(std::string joined, char separator) {
    rows_.clear();
    joined_ = String();
    joinedUtf8_ = std::move(joined);
    utf8_ = true;
    starts_.clear();
    if (!joinedUtf8_.empty()) {
        starts_.push_back(0);
        for (std::size_t i = 0; i < joinedUtf8_.size(); ++i)
            if (joinedUtf8_[i] == separator) starts_.push_back(static_cast<std::uint32_t>(i + 1));
    }
    pendingCount_ = static_cast<int32_t>(starts_.size());
    pending_ = pendingCount_ > 0;
    if (!pending_) std::string().swap(joinedUtf8_);
    ++revision_;
}

void StringRows::SetFromJoined(String joined, char32_t separator) {
    rows_.clear();
    std::string().swap(joinedUtf8_);
    utf8_ = false;
    joined_ = std::move(joined);
    separator_ = separator;
    starts_.clear();
    if (!joined_.IsEmpty()) {
        starts_.push_back(0);
        for (std::size_t i = 0; i < joined_.Size(); ++i)
            if (joined_.At(i) == separator) starts_.push_back(static_cast<std::uint32_t>(i + 1));
    }
    pendingCount_ = static_cast<int32_t>(starts_.size());
    pending_ = pendingCount_ > 0;
    if (!pending_) joined_ = String();
    ++revision_;
}

}  // namespace fw
