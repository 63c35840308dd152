#include "Rows.h"

namespace fw {

namespace {
const String kEmpty;
}

const String& StringRows::Cell(int32_t row) const {
    if (row < 0 || row >= ListCount()) return kEmpty;
    return rows_[static_cast<std::size_t>(row)];
}

void StringRows::RemoveRow(int32_t row) {
    if (row < 0 || row >= ListCount()) return;
    rows_.erase(rows_.begin() + row);
    ++revision_;
}

void StringRows::SetCell(int32_t row, String text) {
    if (row < 0 || row >= ListCount()) return;
    rows_[static_cast<std::size_t>(row)] = std::move(text);
    ++revision_;
}

void StringRows::SetFromJoined(const String& joined, char32_t separator) {
    rows_.clear();
    const char32_t* p = joined.Data();
    const std::size_t n = joined.Size();
    if (n != 0) {
        std::size_t begin = 0;
        for (std::size_t i = 0; i <= n; ++i) {
            if (i == n || p[i] == separator) {
                rows_.push_back(String::FromCodePoints(p + begin, i - begin));
                begin = i + 1;
            }
        }
    }
    ++revision_;
}

}  // namespace fw
