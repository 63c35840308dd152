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

// The letters a to z of a text, letter case ignored, counted in four bits
// each: a to p in lo, q to z in hi, whose bits from 40 on count every other
// character. For a unit of at most 15 characters that are all letters (the
// usual one) the two words are its folded multiset exactly, so that the
// letter test is two comparisons; the counts come from a table, two loads a
// character.
struct LetterCounts {
    std::uint64_t lo = 0, hi = 0;
    bool operator==(const LetterCounts&) const = default;
};
constexpr std::size_t kMaxCounted = 15;
constexpr std::uint64_t kOther = std::uint64_t{1} << 40;
constexpr auto kCounts = [] {
    std::array<std::array<std::uint64_t, 2>, 256> t{};
    for (std::size_t c = 0; c < 256; ++c) {
        const char32_t f = fw::detail::kFoldLatin1[c];
        if (f >= U'a' && f <= U'z') {
            const unsigned l = static_cast<unsigned>(f - U'a');
            t[c][l / 16] = std::uint64_t{1} << (4 * (l % 16));
        } else {
            t[c][1] = kOther;
        }
    }
    return t;
}();
inline const std::array<std::uint64_t, 2>& CountsOf(unsigned char c) { return kCounts[c]; }
// A character beyond Latin-1 may fold to a letter (the Kelvin sign to k).
inline const std::array<std::uint64_t, 2>& CountsOf(char32_t c) {
    const char32_t f = fw::Fold(c);
    return kCounts[f < 0x80 ? f : 0];
}

// The counts of the n characters; true when they are the unit's multiset
// (1 to 15 characters, all letters).
template <class Ch>
bool CountLetters(const Ch* p, std::size_t n, LetterCounts& counts) {
    std::uint64_t lo = 0, hi = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto& c = CountsOf(p[i]);
        lo += c[0];
        hi += c[1];
    }
    counts.lo = lo;
    counts.hi = hi;
    return n >= 1 && n <= kMaxCounted && hi < kOther;
}

// A hash of the row test's key: length, folded first and last character and
// the folded multiset (its letter counts, or a sum for any other unit: the
// order of the characters does not count). counted tells which.
template <class Ch>
std::uint64_t KeyHash(const Ch* p, std::size_t n, LetterCounts& counts, bool& counted) {
    counted = CountLetters(p, n, counts);
    if (n == 0) return Mix(0x51ED);
    const std::uint64_t ends = (static_cast<std::uint64_t>(fw::Fold(p[0])) << 32) ^ fw::Fold(p[n - 1]);
    if (counted) return Mix(counts.lo ^ Mix(counts.hi ^ ends ^ (static_cast<std::uint64_t>(n) << 56)));
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += CharMix(p[i]);
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
        keyed.emplace_back(r.Visit([](const auto* p, std::size_t n) {
                               LetterCounts counts;
                               bool counted;
                               return KeyHash(p, n, counts, counted);
                           }),
                           i);
    }
    // By hash, and within a hash in list order.
    std::sort(keyed.begin(), keyed.end());

    // The keys in hash order, each with its rows in list order. Rows sharing
    // a hash almost always share the key; they are split by their exact key
    // all the same.
    std::vector<std::uint64_t> hashes;
    rows_.clear();
    rows_.reserve(keyed.size());
    rowStarts_.clear();
    std::vector<std::int32_t> rest;
    for (std::size_t i = 0; i < keyed.size();) {
        std::size_t j = i + 1;
        while (j < keyed.size() && keyed[j].first == keyed[i].first) ++j;
        rest.clear();
        for (std::size_t m = i; m < j; ++m) rest.push_back(keyed[m].second);
        while (!rest.empty()) {
            const fw::String& lead = rows.Cell(rest[0]);
            hashes.push_back(keyed[i].first);
            rowStarts_.push_back(static_cast<std::uint32_t>(rows_.size()));
            std::size_t kept = 0;
            for (const std::int32_t row : rest) {
                if (row == rest[0] || SameKey(rows.Cell(row), lead)) rows_.push_back(row);
                else rest[kept++] = row;
            }
            rest.resize(kept);
        }
        i = j;
    }
    rowStarts_.push_back(static_cast<std::uint32_t>(rows_.size()));

    // About two keys a bucket.
    unsigned bits = 1;
    while (bits < 31 && (std::size_t{1} << (bits + 1)) <= hashes.size()) ++bits;
    shift_ = 64 - bits;
    const std::size_t buckets = std::size_t{1} << bits;
    starts_.assign(buckets + 1, 0);
    keysBefore_.assign(buckets, 0);
    records_.clear();
    std::size_t bucket = 0;
    for (std::size_t k = 0; k < hashes.size(); ++k) {
        const std::size_t b = hashes[k] >> shift_;
        for (; bucket <= b; ++bucket) {
            starts_[bucket] = static_cast<std::uint32_t>(records_.size());
            keysBefore_[bucket] = static_cast<std::uint32_t>(k);
        }
        const fw::String& r = rows.Cell(rows_[rowStarts_[k]]);
        const std::size_t n = r.Size();
        bool wide = false;
        for (std::size_t c = 0; c < n; ++c) wide |= r.At(c) > 0xFF;
        records_.push_back(static_cast<unsigned char>(hashes[k]));
        if (!wide && n < 0x80) {
            records_.push_back(static_cast<unsigned char>(n));
        } else {
            records_.push_back(static_cast<unsigned char>(0x80 | (wide ? 1 : 0)));
            const auto n32 = static_cast<std::uint32_t>(n);
            records_.insert(records_.end(), reinterpret_cast<const unsigned char*>(&n32),
                            reinterpret_cast<const unsigned char*>(&n32) + 4);
        }
        for (std::size_t c = 0; c < n; ++c) {
            const char32_t ch = r.At(c);
            if (!wide) {
                records_.push_back(static_cast<unsigned char>(ch));
            } else {
                const auto c32 = static_cast<std::uint32_t>(ch);
                records_.insert(records_.end(), reinterpret_cast<const unsigned char*>(&c32),
                                reinterpret_cast<const unsigned char*>(&c32) + 4);
            }
        }
    }
    for (; bucket <= buckets; ++bucket) {
        starts_[bucket] = static_cast<std::uint32_t>(records_.size());
        if (bucket < buckets) keysBefore_[bucket] = static_cast<std::uint32_t>(hashes.size());
    }
    records_.shrink_to_fit();
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
bool WordIndex::FindIn(const Ch* u, std::size_t n, Found& found) const {
    if (starts_.empty()) return false;
    LetterCounts counts;
    bool counted;
    const std::uint64_t hash = KeyHash(u, n, counts, counted);
    const std::size_t b = hash >> shift_;
    const auto tag = static_cast<unsigned char>(hash);
    const char32_t first = n ? fw::Fold(u[0]) : 0, last = n ? fw::Fold(u[n - 1]) : 0;
    const unsigned char* p = records_.data() + starts_[b];
    const unsigned char* const end = records_.data() + starts_[b + 1];
    for (std::uint32_t k = 0; p < end; ++k) {
        const unsigned char recordTag = p[0];
        std::size_t length = p[1];
        bool wide = false;
        const unsigned char* chars = p + 2;
        if (length >= 0x80) {
            wide = length & 1;
            length = Load32(p + 2);
            chars = p + 6;
        }
        p = chars + length * (wide ? 4 : 1);
        if (recordTag != tag || length != n) continue;
        if (n != 0 && (fw::Fold(RecordChar(chars, wide, 0)) != first || fw::Fold(RecordChar(chars, wide, n - 1)) != last))
            continue;
        if (counted && !wide) {
            LetterCounts rowCounts;
            if (!CountLetters(chars, n, rowCounts) || !(rowCounts == counts)) continue;
        } else if (!SameFoldedMultiset(chars, wide, u, n)) {
            continue;
        }
        found.row.chars = chars;
        found.row.wide = wide;
        found.bucket = b;
        found.inBucket = k;
        return true;
    }
    return false;
}

const std::int32_t* WordIndex::RowsOf(const Found& found, std::size_t* count) const {
    const std::uint32_t key = keysBefore_[found.bucket] + found.inBucket;
    *count = rowStarts_[key + 1] - rowStarts_[key];
    return rows_.data() + rowStarts_[key];
}

template <class Ch>
bool WordIndex::MatchIn(const Ch* u, std::size_t n, RowChars* row) const {
    Found found;
    if (!FindIn(u, n, found)) return false;
    *row = found.row;
    return true;
}

template bool WordIndex::MatchIn(const unsigned char*, std::size_t, RowChars*) const;
template bool WordIndex::MatchIn(const char32_t*, std::size_t, RowChars*) const;

char32_t WordIndex::RowChars::At(std::size_t i) const { return RecordChar(chars, wide, i); }

int32_t WordIndex::FirstMatch(const fw::String& u) const {
    Found found;
    if (!u.Visit([&](const auto* p, std::size_t n) { return FindIn(p, n, found); })) return -1;
    std::size_t count = 0;
    return RowsOf(found, &count)[0];
}

std::vector<int32_t> WordIndex::AllMatches(const fw::String& u) const {
    Found found;
    if (!u.Visit([&](const auto* p, std::size_t n) { return FindIn(p, n, found); })) return {};
    std::size_t count = 0;
    const std::int32_t* rows = RowsOf(found, &count);
    return std::vector<int32_t>(rows, rows + count);
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
bool WordLookup::MatchIn(const Ch* u, std::size_t n, WordIndex::RowChars* row) {
    if (mode_ == Mode::Walk) {
        fw::String unit;
        unit.Assign(u, n);
        const int32_t found = FirstMatch(unit);
        if (found < 0) return false;
        // The row's own characters, in the form it keeps them.
        const fw::String& r = rows_->Cell(found);
        row->wide = r.IsWide();
        row->chars = r.IsWide() ? reinterpret_cast<const unsigned char*>(r.Ucs4()) : r.Latin1();
        return true;
    }
    Refresh();
    return index_.MatchIn(u, n, row);
}

template bool WordLookup::MatchIn(const unsigned char*, std::size_t, WordIndex::RowChars*);
template bool WordLookup::MatchIn(const char32_t*, std::size_t, WordIndex::RowChars*);

std::vector<int32_t> WordLookup::AllMatches(const fw::String& u) {
    if (mode_ == Mode::Walk) return WalkAllMatches(*rows_, u, fw::Left(u, 1), fw::Right(u, 1));
    Refresh();
    return index_.AllMatches(u);
}

}  // namespace engine
