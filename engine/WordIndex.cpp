#include "engine/WordIndex.h"

#include "core/Yield.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace engine {

namespace {

constexpr std::uint64_t Mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// A character's share of the key hash; for every byte, folded, it is looked
// up, not computed (text kept one byte per character).
constexpr auto kByteMix = [] {
    std::array<std::uint64_t, 256> t{};
    for (std::size_t c = 0; c < 256; ++c) t[c] = Mix(fw::detail::kFoldLatin1[c] + 0x9E3779B97F4A7C15ULL);
    return t;
}();
inline std::uint64_t CharMix(unsigned char c) { return kByteMix[c]; }
inline std::uint64_t CharMix(char32_t c) { return Mix(fw::Fold(c) + 0x9E3779B97F4A7C15ULL); }

// A hash of the row test's key: length, folded first and last character and
// the folded multiset (a sum, so the order of the characters does not count).
template <class Ch>
std::uint64_t KeyHash(const Ch* p, std::size_t n) {
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += CharMix(p[i]);
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

namespace {

std::uint32_t Load32(const unsigned char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}


char32_t RecordChar(const unsigned char* chars, bool wide, std::size_t i) {
    return wide ? static_cast<char32_t>(Load32(chars + 4 * i)) : static_cast<char32_t>(chars[i]);
}

}  // namespace

void WordIndex::Build(const fw::StringRows& rows) {
    const int32_t count = std::max(0, rows.ListCount() - 1);
    indexed_ = static_cast<std::size_t>(count);
    // Scratch space is kept between builds: fresh pages are dear.
    auto& keyed = scratchKeyed_;
    keyed.clear();
    keyed.reserve(static_cast<std::size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const fw::String& r = rows.Cell(i);
        keyed.emplace_back(r.Visit([](const auto* p, std::size_t n) { return KeyHash(p, n); }), i);
    }
    // By hash, and within a hash in list order.
    std::sort(keyed.begin(), keyed.end());

    // The records' size is known from the rows: size the array once and
    // write into it.
    std::size_t total = 0;
    for (const auto& [hash, row] : keyed) {
        const fw::String& r = rows.Cell(row);
        bool wide = false;
        for (std::size_t c = 0; c < r.Size(); ++c) wide |= r.At(c) > 0xFF;
        total += 16 + r.Size() * (wide ? 4 : 1);  // header, characters, and room for a row index
    }
    records_.resize(total);
    std::size_t at = 0;
    auto put32 = [&](std::uint32_t v) {
        std::memcpy(records_.data() + at, &v, 4);
        at += 4;
    };
    // The slot table is sized by the number of distinct hashes and filled
    // as the records are written.
    std::size_t distinct = 0;
    for (std::size_t i = 0; i < keyed.size(); ++i) distinct += (i == 0 || keyed[i].first != keyed[i - 1].first);
    std::size_t size = 16;
    while (size < distinct * 2) size <<= 1;
    slots_.assign(size, 0);
    mask_ = size - 1;
    std::vector<std::int32_t> group, rest;
    auto emit = [&](std::uint64_t hash, const std::int32_t* rowsOfKey, std::size_t k) {
        const fw::String& r = rows.Cell(rowsOfKey[0]);
        const std::size_t n = r.Size();
        bool wide = false;
        for (std::size_t c = 0; c < n; ++c) wide |= r.At(c) > 0xFF;
        std::uint64_t slot = hash & mask_;
        while (slots_[slot] != 0) slot = (slot + 1) & mask_;
        slots_[slot] = ((hash >> 32) << 32) | (static_cast<std::uint64_t>(at) + 1);
        put32(static_cast<std::uint32_t>(rowsOfKey[0]));
        put32(static_cast<std::uint32_t>(n));
        put32(static_cast<std::uint32_t>((k << 1) | (wide ? 1 : 0)));
        for (std::size_t c = 0; c < n; ++c) {
            if (wide) put32(r.At(c));
            else records_[at++] = static_cast<unsigned char>(r.At(c));
        }
        for (std::size_t m = 1; m < k; ++m) put32(static_cast<std::uint32_t>(rowsOfKey[m]));
    };
    for (std::size_t i = 0; i < keyed.size();) {
        std::size_t j = i + 1;
        while (j < keyed.size() && keyed[j].first == keyed[i].first) ++j;
        if (j == i + 1) {
            emit(keyed[i].first, &keyed[i].second, 1);
            i = j;
            continue;
        }
        // Rows sharing a hash almost always share the key; split them by
        // their exact key all the same, each group in list order.
        rest.clear();
        for (std::size_t m = i; m < j; ++m) rest.push_back(keyed[m].second);
        while (!rest.empty()) {
            group.clear();
            const fw::String& lead = rows.Cell(rest[0]);
            std::size_t kept = 0;
            for (const std::int32_t row : rest) {
                if (group.empty() || SameKey(rows.Cell(row), lead)) group.push_back(row);
                else rest[kept++] = row;
            }
            rest.resize(kept);
            emit(keyed[i].first, group.data(), group.size());
        }
        i = j;
    }
    records_.resize(at);
}

namespace {

// Whether the record's characters and the unit's are the same multiset,
// letter case ignored. Plain ASCII (the usual case) is counted; anything
// else sorted.
template <class Ch>
bool SameFoldedMultiset(const unsigned char* chars, bool wide, const Ch* u, std::size_t n) {
    if (!wide && n < 128) {
        // Counts within a byte: they stay within -n and n.
        signed char counts[128] = {};
        bool ascii = true;
        for (std::size_t i = 0; i < n; ++i) {
            const char32_t a = fw::Fold(u[i]);
            const char32_t b = fw::Fold(chars[i]);
            if ((a | b) >= 128) { ascii = false; break; }
            ++counts[a];
            --counts[b];
        }
        if (ascii) {
            for (std::size_t i = 0; i < n; ++i)
                if (counts[fw::Fold(u[i])] != 0) return false;
            return true;
        }
    }
    std::u32string a(n, 0), b(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        a[i] = fw::Fold(u[i]);
        b[i] = fw::Fold(RecordChar(chars, wide, i));
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
}

}  // namespace

template <class Ch>
const unsigned char* WordIndex::FindRecordIn(const Ch* u, std::size_t n) const {
    if (slots_.empty()) return nullptr;
    const std::uint64_t hash = KeyHash(u, n);
    const std::uint64_t tag = hash >> 32;
    std::uint64_t slot = hash & mask_;
    const char32_t first = n ? fw::Fold(u[0]) : 0, last = n ? fw::Fold(u[n - 1]) : 0;
    while (slots_[slot] != 0) {
        if ((slots_[slot] >> 32) == tag) {
            const unsigned char* rec = records_.data() + ((slots_[slot] & 0xFFFFFFFFu) - 1);
            const bool wide = Load32(rec + 8) & 1;
            const unsigned char* chars = rec + 12;
            if (Load32(rec + 4) == n &&
                (n == 0 || (fw::Fold(RecordChar(chars, wide, 0)) == first &&
                            fw::Fold(RecordChar(chars, wide, n - 1)) == last)) &&
                SameFoldedMultiset(chars, wide, u, n))
                return rec;
        }
        slot = (slot + 1) & mask_;
    }
    return nullptr;
}

template <class Ch>
int32_t WordIndex::FirstMatchIn(const Ch* u, std::size_t n, RowChars* row) const {
    const unsigned char* rec = FindRecordIn(u, n);
    if (!rec) return -1;
    row->chars = rec + 12;
    row->wide = Load32(rec + 8) & 1;
    return static_cast<int32_t>(Load32(rec));
}

template int32_t WordIndex::FirstMatchIn(const unsigned char*, std::size_t, RowChars*) const;
template int32_t WordIndex::FirstMatchIn(const char32_t*, std::size_t, RowChars*) const;

char32_t WordIndex::RowChars::At(std::size_t i) const { return RecordChar(chars, wide, i); }

int32_t WordIndex::FirstMatch(const fw::String& u) const {
    const unsigned char* rec = u.Visit([&](const auto* p, std::size_t n) { return FindRecordIn(p, n); });
    return rec ? static_cast<int32_t>(Load32(rec)) : -1;
}

std::vector<int32_t> WordIndex::AllMatches(const fw::String& u) const {
    std::vector<int32_t> found;
    if (const unsigned char* rec = u.Visit([&](const auto* p, std::size_t n) { return FindRecordIn(p, n); })) {
        const std::size_t n = Load32(rec + 4);
        const std::uint32_t meta = Load32(rec + 8);
        const std::size_t count = meta >> 1;
        found.push_back(static_cast<int32_t>(Load32(rec)));
        const unsigned char* more = rec + 12 + n * ((meta & 1) ? 4 : 1);
        for (std::size_t k = 1; k < count; ++k) found.push_back(static_cast<int32_t>(Load32(more + 4 * (k - 1))));
    }
    return found;
}

void WordLookup::Refresh() {
    if (mode_ == Mode::Walk) return;
    if (built_ && builtRevision_ == rows_->Revision()) return;
    index_.Build(*rows_);
    builtRevision_ = rows_->Revision();
    built_ = true;
}

int32_t WordLookup::FirstMatch(const fw::String& u) {
    if (mode_ == Mode::Walk) return WalkFirstMatch(*rows_, u, fw::Left(u, 1), fw::Right(u, 1));
    Refresh();
    return index_.FirstMatch(u);
}

template <class Ch>
int32_t WordLookup::FirstMatchIn(const Ch* u, std::size_t n, WordIndex::RowChars* row) {
    if (mode_ == Mode::Walk) {
        fw::String unit;
        unit.Assign(u, n);
        const int32_t found = FirstMatch(unit);
        if (found >= 0) {
            // The row's own characters, in the form it keeps them.
            const fw::String& r = rows_->Cell(found);
            row->wide = r.IsWide();
            row->chars = r.IsWide() ? reinterpret_cast<const unsigned char*>(r.Ucs4()) : r.Latin1();
        }
        return found;
    }
    Refresh();
    return index_.FirstMatchIn(u, n, row);
}

template int32_t WordLookup::FirstMatchIn(const unsigned char*, std::size_t, WordIndex::RowChars*);
template int32_t WordLookup::FirstMatchIn(const char32_t*, std::size_t, WordIndex::RowChars*);

std::vector<int32_t> WordLookup::AllMatches(const fw::String& u) {
    if (mode_ == Mode::Walk) return WalkAllMatches(*rows_, u, fw::Left(u, 1), fw::Right(u, 1));
    Refresh();
    return index_.AllMatches(u);
}

}  // namespace engine
