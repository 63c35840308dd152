#include "Engine.h"

#include "Random.h"
#include "Yield.h"

namespace Module1 {
void Reset() {
    NewScrambledMessageFlag = false;
    TryMeFlag = false;
    FullBook = {};
    NoChar = 0;
    Book = {};
    StartChar = 0;
    WordUnit = {};
    EndUnit = {};
    FirstLetter = {};
    LastLetter = {};
    MiddleLetters = {};
}
}  // namespace Module1

namespace engine {

namespace {

constexpr char32_t kApostrophe = 39;
constexpr char32_t kHyphen = 45;

inline bool IsSeparator(char32_t c) {
    switch (c) {
        case 32: case 13: case 10: case 34: case 46: case 63: case 44: case 58: case 59:
            return true;
        default:
            return false;
    }
}

// Characters that end a unit without being part of it (the blank aside).
inline bool EndsUnit(char32_t c) {
    switch (c) {
        case 13: case 10: case 34: case 46: case 63: case 44: case 58: case 59: case 33: case 39: case 45:
        case 40: case 41: case 35: case 38:
            return true;
        default:
            return false;
    }
}

const fw::String kSpace(" ");

}  // namespace

void SearchWord() {
    using namespace Module1;
    const char32_t* text = FullBook.Data();
    // NoChar is the loop bound the driver set; never read past the text.
    const std::size_t n = std::min<std::size_t>(FullBook.Size(), NoChar < 0 ? 0 : static_cast<std::size_t>(NoChar));
    std::size_t pos = StartChar < 1 ? 0 : static_cast<std::size_t>(StartChar - 1);

    // Separators before the unit: copied; apostrophes and hyphens dropped.
    while (pos < n) {
        const char32_t c = text[pos];
        if (c == kApostrophe || c == kHyphen) {
            ++pos;
        } else if (IsSeparator(c)) {
            Book.Append(c);
            ++pos;
        } else {
            break;
        }
    }

    // The unit: a run of unit characters, or one character of the
    // one-character kind.
    const std::size_t restLen = n > pos ? n - pos : 0;
    std::size_t i = 1;
    bool spaceEnds = false;
    while (true) {
        if (i > restLen) break;
        const char32_t c = text[pos + i - 1];
        if (c == 32) {
            spaceEnds = true;
            break;
        }
        if (EndsUnit(c)) {
            if (i == 1) i = 2;
            break;
        }
        fw::BackgroundYield();
        ++i;
    }
    const std::size_t unitLen = i - 1;
    const char32_t* unit = text + pos;
    WordUnit.Assign(unit, unitLen);
    if (spaceEnds) EndUnit.Assign(kSpace.Data(), 1);
    else EndUnit.Clear();
    FirstLetter.Assign(unit, unitLen >= 1 ? 1 : 0);
    LastLetter.Assign(unitLen >= 1 ? unit + unitLen - 1 : unit, unitLen >= 1 ? 1 : 0);
    MiddleLetters.Assign(unitLen > 2 ? unit + 1 : unit, unitLen > 2 ? unitLen - 2 : 0);
    StartChar = static_cast<int32_t>(pos + unitLen + (spaceEnds ? 1 : 0) + 1);
}

void ScrambleWord() {
    using namespace Module1;
    const std::size_t n = MiddleLetters.Size();
    // The working array of one-character elements; the storage is kept
    // between calls only to spare an allocation per unit.
    static std::u32string elements;
    elements.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        elements[k] = MiddleLetters.At(k);
        fw::BackgroundYield();
    }
    static fw::String joined;
    int tries = 0;
    while (true) {
        fw::Shuffle(elements.data(), n);
        joined.Clear();
        for (std::size_t k = 0; k < n; ++k) {
            joined.Append(elements[k]);
            fw::BackgroundYield();
        }
        if (!(joined == MiddleLetters)) break;
        if (++tries == 10) break;
    }
    WordUnit.Clear();
    WordUnit.Append(FirstLetter).Append(joined).Append(LastLetter);
}

void ScrambleDriver() {
    using namespace Module1;
    NoChar = fw::Len(FullBook);
    Book.Clear();
    Book.Reserve(FullBook.Size());
    StartChar = 1;
    while (StartChar <= NoChar) {
        SearchWord();
        if (fw::Len(WordUnit) > 3) ScrambleWord();
        Book.Append(WordUnit);
        Book.Append(EndUnit);
    }
}

fw::String ScrambleText(fw::String text) {
    Module1::FullBook = std::move(text);
    ScrambleDriver();
    return Module1::Book;
}

fw::String MatchEntry(const fw::String& w, const fw::String& row) {
    const int32_t n = fw::Len(w);
    fw::String r = fw::Left(w, 1);
    r.Append(fw::Right(row, n - 1));
    return r;
}

void checkDictionary(WordLookup& lookup) {
    using namespace Module1;
    const int32_t row = lookup.FirstMatch(WordUnit);
    if (row >= 0) WordUnit = MatchEntry(WordUnit, lookup.Rows().Cell(row));
    else WordUnit = fw::Uppercase(WordUnit);
}

void RebuildDriver(WordLookup& lookup) {
    using namespace Module1;
    lookup.Refresh();
    NoChar = fw::Len(FullBook);
    Book.Clear();
    Book.Reserve(FullBook.Size());
    StartChar = 1;
    while (StartChar <= NoChar) {
        SearchWord();
        const int32_t len = fw::Len(WordUnit);
        if (len < 4) {
            Book.Append(WordUnit);
        } else if (len == 4) {
            // The middle pair swapped, no look-up.
            Book.Append(FirstLetter).Append(WordUnit.At(2)).Append(WordUnit.At(1)).Append(LastLetter);
        } else {
            checkDictionary(lookup);
            Book.Append(WordUnit);
        }
        Book.Append(EndUnit);
    }
}

fw::String RebuildText(fw::String text, WordLookup& lookup) {
    Module1::FullBook = std::move(text);
    RebuildDriver(lookup);
    return Module1::Book;
}

std::vector<fw::String> PossibleWords(const fw::String& w, WordLookup& lookup) {
    Module1::FirstLetter = fw::Left(w, 1);
    Module1::LastLetter = fw::Right(w, 1);
    std::vector<fw::String> entries;
    for (const int32_t row : lookup.AllMatches(w)) entries.push_back(MatchEntry(w, lookup.Rows().Cell(row)));
    return entries;
}

}  // namespace engine
