#include "engine/Engine.h"

#include "core/Random.h"
#include "core/Yield.h"

#include <algorithm>
#include <array>
#include <vector>

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

// How the scanner sorts a character; everything outside ASCII belongs to
// the unit it stands in.
enum Kind : unsigned char { kUnitChar = 0, kDropped = 1, kSeparator = 2, kOneChar = 3 };

// Indexed by any byte: above ASCII every entry is a unit character.
constexpr auto kKinds = [] {
    std::array<unsigned char, 256> k{};
    k[39] = k[45] = kDropped;
    for (int c : {32, 13, 10, 34, 46, 63, 44, 58, 59}) k[static_cast<std::size_t>(c)] = kSeparator;
    for (int c : {33, 40, 41, 35, 38}) k[static_cast<std::size_t>(c)] = kOneChar;
    return k;
}();

inline unsigned char KindOf(char32_t c) { return c < 128 ? kKinds[c] : static_cast<unsigned char>(kUnitChar); }
inline unsigned char KindOf(unsigned char c) { return kKinds[c]; }

// A unit as the scanner cut it: where it starts, its length, and whether a
// blank ended it (it travels in EndUnit and is consumed with the unit).
struct Unit {
    std::size_t pos = 0, len = 0;
    bool spaceEnds = false;
    std::size_t End() const { return pos + len + (spaceEnds ? 1 : 0); }
};

// The scanner, for SearchWord and the drivers alike. From from, every
// separator before the next unit goes to separator() and apostrophes and
// hyphens are dropped; then the unit is cut: one character of the
// one-character kind, or the run of unit characters (empty at the end of
// the text). A run yields once per character.
template <class Ch, class Separator>
Unit NextUnit(const Ch* text, std::size_t n, std::size_t from, Separator&& separator) {
    std::size_t pos = from;
    for (; pos < n; ++pos) {
        const unsigned char kind = KindOf(text[pos]);
        if (kind == kSeparator) separator(static_cast<char32_t>(text[pos]));
        else if (kind != kDropped) break;
    }
    Unit u;
    u.pos = pos;
    if (pos < n && KindOf(text[pos]) == kOneChar) {
        u.len = 1;
        return u;
    }
    std::size_t end = pos;
    while (end < n && KindOf(text[end]) == kUnitChar) ++end;
    u.len = end - pos;
    if (u.len > 0) fw::BackgroundYields(static_cast<std::uint32_t>(u.len));
    u.spaceEnds = u.len > 0 && end < n && text[end] == 32;
    return u;
}

constexpr unsigned char kSpace[1] = {' '};

// The globals but WordUnit as the scanner leaves them after the unit.
template <class Ch>
void LeaveUnit(const Ch* text, const Unit& u) {
    using namespace Module1;
    const Ch* unit = text + u.pos;
    const std::size_t len = u.len;
    if (u.spaceEnds) EndUnit.Assign(kSpace, 1);
    else EndUnit.Clear();
    FirstLetter.Assign(unit, len >= 1 ? 1 : 0);
    LastLetter.Assign(len >= 1 ? unit + len - 1 : unit, len >= 1 ? 1 : 0);
    MiddleLetters.Assign(len > 2 ? unit + 1 : unit, len > 2 ? len - 2 : 0);
}

template <class Ch>
void SearchWordIn(const Ch* text, std::size_t size) {
    using namespace Module1;
    // NoChar is the loop bound the driver set; never read past the text.
    const std::size_t n = std::min<std::size_t>(size, NoChar < 0 ? 0 : static_cast<std::size_t>(NoChar));
    const std::size_t from = StartChar < 1 ? 0 : static_cast<std::size_t>(StartChar - 1);
    const Unit u = NextUnit(text, n, from, [](char32_t c) { Book.Append(c); });
    WordUnit.Assign(text + u.pos, u.len);
    LeaveUnit(text, u);
    StartChar = static_cast<int32_t>(u.End() + 1);
}

// Writes an output straight into a string's buffer, one byte per character
// until a character needs more; then what was written is widened once, with
// room for the whole.
class BookWriter {
public:
    BookWriter(fw::String& target, std::size_t room, bool wide) : target_(target), room_(room) {
        if (wide) wide_ = target.ResizeUcs4(room);
        else narrow_ = target.ResizeLatin1(room);
    }
    void Put(char32_t c) {
        if (narrow_) {
            if (c <= 0xFF) {
                narrow_[n_++] = static_cast<unsigned char>(c);
                return;
            }
            target_.Truncate(n_);
            target_.Widen(room_);
            wide_ = target_.MutableUcs4();
            narrow_ = nullptr;
        }
        wide_[n_++] = c;
    }
    template <class Ch>
    void Put(const Ch* p, std::size_t k) {
        if constexpr (sizeof(Ch) == 1) {
            if (narrow_) {
                fw::CopyBytes(narrow_ + n_, p, k);
                n_ += k;
                return;
            }
        }
        for (std::size_t i = 0; i < k; ++i) Put(static_cast<char32_t>(p[i]));
    }
    std::size_t Size() const { return n_; }
    void Finish() { target_.Resize(n_); }

private:
    fw::String& target_;
    std::size_t room_;
    std::size_t n_ = 0;
    unsigned char* narrow_ = nullptr;
    char32_t* wide_ = nullptr;
};

// The driver loop over the whole text: unit by unit as the scanner cuts it,
// the separators go to Book, put(unit, out) writes the unit's output and
// the blank that ended it follows. The output is never longer than the
// text (units keep their length, separators are copied or dropped), so
// room for the text is enough. Afterwards the globals are what SearchWord
// leaves after the last unit; WordUnit is what put wrote for it, or the
// unit itself when unitStays(len) (the driver changed only the output).
template <class Ch, class PutUnit, class UnitStays>
void Drive(const Ch* text, std::size_t n, PutUnit put, UnitStays unitStays) {
    using namespace Module1;
    BookWriter out(Book, n, sizeof(Ch) != 1);
    Unit last;
    std::size_t lastAt = 0;
    bool any = false;
    for (std::size_t from = 0; from < n;) {
        last = NextUnit(text, n, from, [&](char32_t c) { out.Put(c); });
        lastAt = out.Size();
        put(text + last.pos, last.len, out);
        if (last.spaceEnds) out.Put(U' ');
        any = true;
        from = last.End();
    }
    out.Finish();
    StartChar = static_cast<int32_t>((any ? last.End() : 0) + 1);
    if (!any) return;
    LeaveUnit(text, last);
    if (unitStays(last.len)) WordUnit.Assign(text + last.pos, last.len);
    else Book.Visit([&](const auto* written, std::size_t) { WordUnit.Assign(written + lastAt, last.len); });
}

// ScrambleWord's rule for the m middle letters: copied into the working
// array (a yield each), then shuffled (a yield per element joined) until
// the order differs, letter case ignored, at most ten times. Gives the
// array.
template <class Ch>
const Ch* ShuffledMiddle(const Ch* middle, std::size_t m, std::vector<Ch>& elements) {
    if (elements.size() < m) elements.resize(m);
    std::copy(middle, middle + m, elements.data());
    fw::BackgroundYields(static_cast<std::uint32_t>(m));
    fw::Random& random = fw::TheRandom();
    for (int tries = 0;;) {
        fw::Shuffle(random, elements.data(), m);
        fw::BackgroundYields(static_cast<std::uint32_t>(m));
        if (!fw::EqualFolded(elements.data(), m, middle, m)) break;
        if (++tries == 10) break;
    }
    return elements.data();
}

template <class Ch>
void ScrambleMiddle(const Ch* middle, std::size_t n) {
    using namespace Module1;
    std::vector<Ch> elements;
    const Ch* shuffled = ShuffledMiddle(middle, n, elements);
    WordUnit.Clear();
    WordUnit.Append(FirstLetter).Append(shuffled, n).Append(LastLetter);
}

template <class Ch>
void ScrambleIn(const Ch* text, std::size_t n) {
    // One working array for the whole pass spares an allocation per unit.
    std::vector<Ch> elements;
    const auto put = [&](const Ch* unit, std::size_t len, BookWriter& out) {
        if (len <= 3) {
            out.Put(unit, len);
            return;
        }
        out.Put(unit, 1);
        out.Put(ShuffledMiddle(unit + 1, len - 2, elements), len - 2);
        out.Put(unit + len - 1, 1);
    };
    Drive(text, n, put, [](std::size_t) { return false; });
}

// checkDictionary's rule for a unit of five or more characters: its own
// first character, then the other characters of the first matching row
// (a matching row has the unit's length), or, when no row matches, the
// unit in upper case.
template <class Ch>
void PutLookedUp(const Ch* unit, std::size_t len, WordLookup& lookup, BookWriter& out) {
    WordIndex::RowChars row;
    if (len > 0 && lookup.MatchIn(unit, len, &row)) {
        out.Put(unit, 1);
        if (!row.wide) out.Put(row.chars + 1, len - 1);
        else
            for (std::size_t k = 1; k < len; ++k) out.Put(row.At(k));
    } else {
        for (std::size_t k = 0; k < len; ++k) out.Put(fw::UpperChar(unit[k]));
    }
}

// doUnscramble's rule per unit: fewer than four characters stay, four have
// their middle pair swapped without a look-up, longer ones are looked up.
template <class Ch>
void RebuildIn(const Ch* text, std::size_t n, WordLookup& lookup) {
    const auto put = [&](const Ch* unit, std::size_t len, BookWriter& out) {
        if (len < 4) {
            out.Put(unit, len);
        } else if (len == 4) {
            const Ch swapped[4] = {unit[0], unit[2], unit[1], unit[3]};
            out.Put(swapped, 4);
        } else {
            PutLookedUp(unit, len, lookup, out);
        }
    };
    // After a four-character unit WordUnit is the unit itself: only the
    // output has its middle pair swapped.
    Drive(text, n, put, [](std::size_t len) { return len == 4; });
}

}  // namespace

void SearchWord() {
    Module1::FullBook.Visit([](const auto* text, std::size_t n) { SearchWordIn(text, n); });
}

void ScrambleWord() {
    Module1::MiddleLetters.Visit([](const auto* middle, std::size_t n) { ScrambleMiddle(middle, n); });
}

void ScrambleDriver() {
    using namespace Module1;
    NoChar = fw::Len(FullBook);
    StartChar = 1;
    FullBook.Visit([](const auto* text, std::size_t n) { ScrambleIn(text, n); });
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
    fw::String& u = Module1::WordUnit;
    fw::String looked;
    u.Visit([&](const auto* unit, std::size_t n) {
        BookWriter out(looked, n, u.IsWide());
        PutLookedUp(unit, n, lookup, out);
        out.Finish();
    });
    u = std::move(looked);
}

void RebuildDriver(WordLookup& lookup) {
    using namespace Module1;
    lookup.Refresh();
    NoChar = fw::Len(FullBook);
    StartChar = 1;
    FullBook.Visit([&](const auto* text, std::size_t n) { RebuildIn(text, n, lookup); });
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
