// Look-up of the rows a word unit could stand for.
//
// The row test: same length, the same first and the same last character and
// the same characters with the same counts, letter case ignored. The plain
// walk examines rows 0 to count - 2 in list order (the last row never) and
// is kept as the reference; the index gives exactly the walk's answers from
// a hash over (length, folded first and last character, folded multiset).
#pragma once

#include "Rows.h"
#include "String.h"

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
    // First passing row in list order, or -1. first/last are u's own.
    int32_t FirstMatch(const fw::StringRows& rows, const fw::String& u) const;
    std::vector<int32_t> AllMatches(const fw::StringRows& rows, const fw::String& u) const;
    std::size_t IndexedRows() const { return ordered_.size(); }

private:
    struct Slot {
        std::uint64_t hash;
        std::uint32_t begin;  // into ordered_
        std::uint32_t count;  // 0: empty slot
    };
    const Slot* Find(std::uint64_t hash) const;

    std::vector<std::int32_t> ordered_;  // row indices grouped by hash, each group in list order
    std::vector<Slot> slots_;
    std::uint64_t mask_ = 0;
};

// An index kept in step with a set of rows: rebuilt whenever their revision
// changes (the list can be pruned at run time).
class WordLookup {
public:
    explicit WordLookup(const fw::StringRows& rows) : rows_(&rows) {}
    const fw::StringRows& Rows() const { return *rows_; }
    int32_t FirstMatch(const fw::String& u);
    std::vector<int32_t> AllMatches(const fw::String& u);
    // Builds the index now if the rows changed since it was built.
    void Refresh();

private:
    const fw::StringRows* rows_;
    WordIndex index_;
    std::uint64_t builtRevision_ = 0;
    bool built_ = false;
};

// Whether a row passes the row test for u (same length, first and last
// character, folded multiset); no yield. Exposed for the index's tests.
bool SameKey(const fw::String& row, const fw::String& u);

}  // namespace engine
