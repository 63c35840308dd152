#include "Rows.h"

#include <algorithm>
#include <cstring>

namespace fw {

namespace {
const String kEmpty;
}

int32_t StringRows::ListCount() const {
    return static_cast<int32_t>(pending_ ? starts_.size() : rows_.size());
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

namespace {
// Where each row of a joined text begins.
template <class Ch, class Separator>
void FindStarts(const Ch* p, std::size_t n, Separator separator, std::vector<std::uint32_t>& starts) {
    starts.clear();
    if (n == 0) return;
    starts.push_back(0);
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] == separator) starts.push_back(static_cast<std::uint32_t>(i + 1));
}

// The same for bytes: memchr skips a row at a time, which matters for the
// 70,000 rows of a list read at start-up.
void FindStarts(const char* p, std::size_t n, char separator, std::vector<std::uint32_t>& starts) {
    starts.clear();
    if (n == 0) return;
    starts.reserve(static_cast<std::size_t>(std::count(p, p + n, separator)) + 1);
    starts.push_back(0);
    const char* const end = p + n;
    for (const char* q = p; (q = static_cast<const char*>(std::memchr(q, separator, static_cast<std::size_t>(end - q))));)
        starts.push_back(static_cast<std::uint32_t>(++q - p));
}
}  // namespace

void StringRows::BeginPending() {
    rows_.clear();
    pending_ = !starts_.empty();
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
    FindStarts(joinedUtf8_.data(), joinedUtf8_.size(), separator, starts_);
    BeginPending();
}

void StringRows::SetFromJoined(String joined, char32_t separator) {
    std::string().swap(joinedUtf8_);
    joined_ = std::move(joined);
    utf8_ = false;
    FindStarts(joined_.Data(), joined_.Size(), separator, starts_);
    BeginPending();
}

}  // namespace fw
