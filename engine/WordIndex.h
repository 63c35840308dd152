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
    // FirstMatch for a unit given as characters of either form; row gets
    // the passing row's characters, read in the index.
    template <class Ch>
    int32_t FirstMatchIn(const Ch* u, std::size_t n, RowChars* row) const;

private:
    template <class Ch>
    const unsigned char* FindRecordIn(const Ch* u, std::size_t n) const;

    // One record per distinct key, packed in one byte array so that a
    // look-up touches one slot and one record and nothing else (the text
    // being worked on pushes everything else out of the cache):
    //   u32 first row, u32 length n, u32 (row count << 1 | wide),
    //   the first row's n characters (bytes, or 4 bytes each when wide),
    //   then the other rows of the key in list order (u32 each).
    std::vector<unsigned char> records_;
    // Open addressing: (32-bit hash tag << 32) | (record offset + 1); 0 empty.
    std::vector<std::uint64_t> slots_;
    std::uint64_t mask_ = 0;
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
    // The same for a unit given as characters of either form; row gets the
    // passing row's characters (in the index, or in the rows when walked).
    template <class Ch>
    int32_t FirstMatchIn(const Ch* u, std::size_t n, WordIndex::RowChars* row);
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
