#include "WordIndex.h"

#include "Yield.h"

#include <algorithm>

namespace engine {

namespace {

std::uint64_t Mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// A hash of the row test's key: length, folded first and last character and
// the folded multiset (a sum, so the order of the characters does not count).
std::uint64_t KeyHash(const char32_t* p, std::size_t n) {
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += Mix(fw::Fold(p[i]) + 0x9E3779B97F4A7C15ULL);
    if (n == 0) return Mix(0x51ED);
    const std::uint64_t ends = (static_cast<std::uint64_t>(fw::Fold(p[0])) << 32) ^ fw::Fold(p[n - 1]);
    return Mix(sum ^ Mix(ends ^ (static_cast<std::uint64_t>(n) << 56)));
}

void InsertionSort(char32_t* a, std::size_t n) {
    for (std::size_t i = 1; i < n; ++i) {
        const char32_t v = a[i];
        std::size_t j = i;
        while (j > 0 && a[j - 1] > v) { a[j] = a[j - 1]; --j; }
        a[j] = v;
    }
}

}  // namespace

bool SameKey(const fw::String& row, const fw::String& u) {
    const std::size_t n = u.Size();
    if (row.Size() != n) return false;
    if (n == 0) return true;
    if (fw::Fold(row.At(0)) != fw::Fold(u.At(0)) || fw::Fold(row.At(n - 1)) != fw::Fold(u.At(n - 1))) return false;
    char32_t small[2][64];
    std::u32string bigA, bigB;
    char32_t* a = small[0];
    char32_t* b = small[1];
    if (n > 64) {
        bigA.resize(n);
        bigB.resize(n);
        a = bigA.data();
        b = bigB.data();
    }
    for (std::size_t i = 0; i < n; ++i) {
        a[i] = fw::Fold(row.At(i));
        b[i] = fw::Fold(u.At(i));
    }
    if (n <= 64) {
        InsertionSort(a, n);
        InsertionSort(b, n);
    } else {
        std::sort(a, a + n);
        std::sort(b, b + n);
    }
    return std::equal(a, a + n, b);
}

bool RowTest(const fw::String& row, const fw::String& u, const fw::String& first, const fw::String& last) {
    const int32_t n = fw::Len(u);
    if (fw::Len(row) != n) return false;
    if (!(fw::Left(row, 1) == first) || !(fw::Right(row, 1) == last)) return false;
    fw::String copy = row;
    for (int32_t j = 1; j <= n; ++j) {
        const int32_t k = fw::InStr(1, copy, fw::Mid(u, j, 1));
        if (k == 0) return false;
        copy = fw::Left(copy, k - 1) + fw::Right(copy, fw::Len(copy) - k);
        fw::BackgroundYield();
    }
    return true;
}

int32_t WalkFirstMatch(const fw::StringRows& rows, const fw::String& u, const fw::String& first,
                       const fw::String& last) {
    for (int32_t i = 0; i <= rows.ListCount() - 2; ++i) {
        if (RowTest(rows.Cell(i), u, first, last)) return i;
        fw::BackgroundYield();
    }
    return -1;
}

std::vector<int32_t> WalkAllMatches(const fw::StringRows& rows, const fw::String& u, const fw::String& first,
                                    const fw::String& last) {
    std::vector<int32_t> found;
    for (int32_t i = 0; i <= rows.ListCount() - 2; ++i) {
        if (RowTest(rows.Cell(i), u, first, last)) found.push_back(i);
        else fw::BackgroundYield();
    }
    return found;
}

void WordIndex::Build(const fw::StringRows& rows) {
    const int32_t count = std::max(0, rows.ListCount() - 1);
    std::vector<std::pair<std::uint64_t, std::int32_t>> keyed;
    keyed.reserve(static_cast<std::size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const fw::String& r = rows.Cell(i);
        keyed.emplace_back(KeyHash(r.Data(), r.Size()), i);
    }
    std::sort(keyed.begin(), keyed.end());

    ordered_.resize(keyed.size());
    std::size_t groups = 0;
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        ordered_[i] = keyed[i].second;
        if (i == 0 || keyed[i].first != keyed[i - 1].first) ++groups;
    }
    std::size_t size = 16;
    while (size < groups * 2) size <<= 1;
    slots_.assign(size, Slot{0, 0, 0});
    mask_ = size - 1;
    for (std::size_t i = 0; i < keyed.size();) {
        std::size_t j = i;
        while (j < keyed.size() && keyed[j].first == keyed[i].first) ++j;
        std::uint64_t at = keyed[i].first & mask_;
        while (slots_[at].count != 0) at = (at + 1) & mask_;
        slots_[at] = Slot{keyed[i].first, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(j - i)};
        i = j;
    }
}

const WordIndex::Slot* WordIndex::Find(std::uint64_t hash) const {
    if (slots_.empty()) return nullptr;
    std::uint64_t at = hash & mask_;
    while (slots_[at].count != 0) {
        if (slots_[at].hash == hash) return &slots_[at];
        at = (at + 1) & mask_;
    }
    return nullptr;
}

int32_t WordIndex::FirstMatch(const fw::StringRows& rows, const fw::String& u) const {
    const Slot* s = Find(KeyHash(u.Data(), u.Size()));
    if (!s) return -1;
    for (std::uint32_t k = 0; k < s->count; ++k) {
        const int32_t row = ordered_[s->begin + k];
        if (SameKey(rows.Cell(row), u)) return row;
    }
    return -1;
}

std::vector<int32_t> WordIndex::AllMatches(const fw::StringRows& rows, const fw::String& u) const {
    std::vector<int32_t> found;
    const Slot* s = Find(KeyHash(u.Data(), u.Size()));
    if (!s) return found;
    for (std::uint32_t k = 0; k < s->count; ++k) {
        const int32_t row = ordered_[s->begin + k];
        if (SameKey(rows.Cell(row), u)) found.push_back(row);
    }
    return found;
}

void WordLookup::Refresh() {
    if (built_ && builtRevision_ == rows_->Revision()) return;
    index_.Build(*rows_);
    builtRevision_ = rows_->Revision();
    built_ = true;
}

int32_t WordLookup::FirstMatch(const fw::String& u) {
    Refresh();
    return index_.FirstMatch(*rows_, u);
}

std::vector<int32_t> WordLookup::AllMatches(const fw::String& u) {
    Refresh();
    return index_.AllMatches(*rows_, u);
}

}  // namespace engine
