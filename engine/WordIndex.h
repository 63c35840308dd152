// Look-up of the rows a word unit could stand for.
//
// The row test: same length, the same first and the same last character and
// the same characters with the same counts, letter case ignored. The plain
// walk examines rows 0 to count - 2 in list order (the last row never) and
// is kept as the reference; the index gives exactly the walk's answers from
// a hash over (length, folded first and last character, folded multiset).
#pragma once

#include "core/Rows.h"
#include "core/String.h"

#include <cstdint>
#include <vector>

namespace engine {

// The row test, step by step with InStr and removal, yielding once per
// removed character.
bool RowTest(const fw::String& row, const fw::String& u, const fw::String& first, const fw::String& last);

// The reference walks (yield as the row test does, and once per failing row).
int32_t WalkFirstMatch(const fw::StringRows& rows, const fw::String& u, const fw::String& first,
                       const fw::String& last);
std::vector<int32_t> WalkAllMatches(const fw::StringRows& rows, const fw::String& u, const fw::String& first,
                                    const fw::String& last);

class WordIndex {
public:
    // Indexes rows 0 to count - 2 of rows (the walk's range).
    void Build(const fw::StringRows& rows);
    // First passing row in list order, or -1.
    int32_t FirstMatch(const fw::String& u) const;
    std::vector<int32_t> AllMatches(const fw::String& u) const;
    std::size_t IndexedRows() const { return indexed_; }

    // A row's characters where they are kept, without a copy: one byte
    // each, or four (native order) when wide.
    struct RowChars {
        const unsigned char* chars = nullptr;
        bool wide = false;
        char32_t At(std::size_t i) const;
    };
    // Whether a row passes for a unit given as characters of either form;
    // row gets the first passing row's characters, read in the index (its
    // number is not looked up: the rebuild needs only the characters).
    template <class Ch>
    bool MatchIn(const Ch* u, std::size_t n, RowChars* row) const;

private:
    // A record found: its characters, its bucket and its place there.
    struct Found {
        RowChars row;
        std::size_t bucket = 0;
        std::uint32_t inBucket = 0;
    };
    template <class Ch>
    bool FindIn(const Ch* u, std::size_t n, Found& found) const;
    // The rows of the record found, in list order.
    const std::int32_t* RowsOf(const Found& found, std::size_t* count) const;

    // One record per distinct key, ordered by the top bits of the key's hash
    // (its bucket), so that a look-up reads one entry of starts_ and then
    // the one or two records of its bucket, side by side: small enough to
    // stay in the cache while a large text streams through. A record is a
    // tag (8 more bits of the hash), the length n (one byte when below 128
    // and the characters are one byte each; else 0x80 | wide, then u32 n),
    // then the first row's n characters (bytes, or 4 bytes each when wide).
    std::vector<unsigned char> records_;
    // Bucket b's records are records_[starts_[b], starts_[b + 1]).
    std::vector<std::uint32_t> starts_;
    unsigned shift_ = 64;
    // Only for the row numbers: the records before each bucket, and the
    // rows of record k, in list order: rows_[rowStarts_[k], rowStarts_[k + 1]).
    std::vector<std::uint32_t> keysBefore_;
    std::vector<std::uint32_t> rowStarts_;
    std::vector<std::int32_t> rows_;
    std::size_t indexed_ = 0;
    std::vector<std::pair<std::uint64_t, std::int32_t>> scratchKeyed_;
};

// An index kept in step with a set of rows: rebuilt whenever their revision
// changes (the list can be pruned at run time).
class WordLookup {
public:
    // Walk: answer every look-up by the plain walk (the reference, slow);
    // Indexed: from the index, with the same answers.
    enum class Mode { Indexed, Walk };
    explicit WordLookup(const fw::StringRows& rows, Mode mode = Mode::Indexed) : rows_(&rows), mode_(mode) {}
    const fw::StringRows& Rows() const { return *rows_; }
    int32_t FirstMatch(const fw::String& u);
    // Whether a row passes for a unit given as characters of either form;
    // row gets the first passing row's characters (in the index, or in the
    // rows when walked).
    template <class Ch>
    bool MatchIn(const Ch* u, std::size_t n, WordIndex::RowChars* row);
    std::vector<int32_t> AllMatches(const fw::String& u);
    // Builds the index now if the rows changed since it was built.
    void Refresh();

private:
    const fw::StringRows* rows_;
    Mode mode_;
    WordIndex index_;
    std::uint64_t builtRevision_ = 0;
    bool built_ = false;
};

// Whether a row passes the row test for u (same length, first and last
// character, folded multiset); no yield. Exposed for the index's tests.
bool SameKey(const fw::String& row, const fw::String& u);

}  // namespace engine
