#include "core/Rows.h"

#include <algorithm>

namespace fw {

namespace {
const String kEmpty;
}

int32_t StringRows::ListCount() const {
    return static_cast<int32_t>(pending_ ? pendingCount_ : rows_.size());
}

namespace {
// Where each row of a joined text begins. The store is sized first, so the
// loop is a plain branch-free scan.
template <class Ch, class Separator>
void FindStarts(const Ch* p, std::size_t n, Separator separator, std::size_t rows, std::vector<std::uint32_t>& starts) {
    starts.assign(rows + 1, 0);
    // With k separators so far, slot k + 1 keeps being written until the
    // next separator leaves the right value in it; the last slot takes the
    // writes after the last separator and goes.
    std::size_t k = 0;
    for (std::size_t i = 0; i < n; ++i) {
        starts[k + 1] = static_cast<std::uint32_t>(i + 1);
        k += p[i] == separator;
    }
    starts.resize(rows);
}
}  // namespace

void StringRows::FindPendingStarts() const {
    if (!starts_.empty() || pendingCount_ == 0) return;
    if (utf8_) FindStarts(joinedUtf8_.data(), joinedUtf8_.size(), static_cast<char>(separator_), pendingCount_, starts_);
    else FindStarts(joined_.Data(), joined_.Size(), separator_, pendingCount_, starts_);
}

String StringRows::PendingRow(std::size_t r) const {
    FindPendingStarts();
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
    rows_.reserve(pendingCount_);
    for (std::size_t r = 0; r < pendingCount_; ++r) rows_.push_back(PendingRow(r));
    joined_ = String();
    std::string().swap(joinedUtf8_);
    std::vector<std::uint32_t>().swap(starts_);
}

String StringRows::CellCopy(int32_t row) const {
    if (!pending_) return Cell(row);
    if (row < 0 || row >= ListCount()) return String();
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

void StringRows::BeginPending(std::size_t separators, std::size_t size) {
    rows_.clear();
    starts_.clear();
    // An empty text has no rows; any other one a row more than separators.
    pendingCount_ = size == 0 ? 0 : separators + 1;
    pending_ = pendingCount_ != 0;
    if (!pending_) {
        joined_ = String();
        std::string().swap(joinedUtf8_);
    }
    ++revision_;
}

void StringRows::SetFromJoinedUtf8(std::string joined, char separator) {
    joined_ = String();
    joinedUtf8_ = std::move(joined);
    utf8_ = true;
    separator_ = static_cast<unsigned char>(separator);
    // Only the count now: where the rows begin is found on the first look
    // at a row, which a list given at start-up may never get.
    BeginPending(static_cast<std::size_t>(std::count(joinedUtf8_.begin(), joinedUtf8_.end(), separator)),
                 joinedUtf8_.size());
}

void StringRows::SetFromJoined(String joined, char32_t separator) {
    std::string().swap(joinedUtf8_);
    joined_ = std::move(joined);
    utf8_ = false;
    separator_ = separator;
    BeginPending(static_cast<std::size_t>(std::count(joined_.Data(), joined_.Data() + joined_.Size(), separator)),
                 joined_.Size());
}

}  // namespace fw
