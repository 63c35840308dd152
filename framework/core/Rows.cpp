#include "core/Rows.h"

#include "core/CountByte.h"

#include <algorithm>
#include <cstring>

namespace fw {

namespace {
const String kEmpty;
}

int32_t StringRows::ListCount() const {
    return static_cast<int32_t>(pending_ ? pendingCount_ : rows_.size());
}

std::size_t StringRows::NextSeparator(std::size_t from) const {
    if (utf8_) {
        const std::string_view text = Utf8();
        const void* hit = std::memchr(text.data() + from, static_cast<char>(separator_), text.size() - from);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : text.size();
    }
    return joined_.Visit([&](const auto* p, std::size_t n) {
        return static_cast<std::size_t>(std::find(p + from, p + n, separator_) - p);
    });
}

void StringRows::FindPendingStarts(std::size_t rows) const {
    rows = std::min(rows, pendingCount_);
    if (starts_.empty() && rows > 0) starts_.push_back(0);
    while (starts_.size() < rows) starts_.push_back(NextSeparator(starts_.back()) + 1);
}

String StringRows::PendingRow(std::size_t r) const {
    FindPendingStarts(r + 2);
    const std::size_t begin = starts_[r];
    const std::size_t end = r + 1 < starts_.size() ? starts_[r + 1] - 1 : PendingSize();
    if (utf8_) return String(Utf8().substr(begin, end - begin));
    return joined_.Sub(begin, end - begin);
}

void StringRows::DropPending() const {
    pending_ = false;
    joined_ = String();
    std::string().swap(joinedUtf8_);
    external_ = {};
    std::vector<std::size_t>().swap(starts_);
}

void StringRows::Materialize() const {
    if (!pending_) return;
    rows_.clear();
    rows_.reserve(pendingCount_);
    for (std::size_t begin = 0, r = 0; r < pendingCount_; ++r) {
        const std::size_t end = NextSeparator(begin);
        if (utf8_) rows_.push_back(String(Utf8().substr(begin, end - begin)));
        else rows_.push_back(joined_.Sub(begin, end - begin));
        begin = end + 1;
    }
    DropPending();
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
    if (!pending_) DropPending();
    ++revision_;
}

void StringRows::SetFromJoinedUtf8(std::string joined, char separator) {
    DropPending();
    joinedUtf8_ = std::move(joined);
    BeginPendingUtf8(separator);
}

void StringRows::SetFromJoinedUtf8View(std::string_view joined, char separator) {
    DropPending();
    // An empty view still marks the text as viewed, not as the empty copy.
    external_ = joined.data() ? joined : std::string_view("", 0);
    BeginPendingUtf8(separator);
}

void StringRows::BeginPendingUtf8(char separator) {
    utf8_ = true;
    separator_ = static_cast<unsigned char>(separator);
    // Only the count now: where the rows begin is found as rows are read,
    // which a list given at start-up may never be beyond its first screen.
    const std::string_view text = Utf8();
    BeginPending(CountByte(text.data(), text.size(), separator), text.size());
}

void StringRows::SetFromJoined(String joined, char32_t separator) {
    DropPending();
    joined_ = std::move(joined);
    utf8_ = false;
    separator_ = separator;
    const std::size_t separators = joined_.Visit([&](const auto* p, std::size_t n) {
        return static_cast<std::size_t>(std::count(p, p + n, separator));
    });
    BeginPending(separators, joined_.Size());
}

}  // namespace fw
