#include "engine/Engine.h"

#include "core/Beside.h"
#include "core/CountByte.h"
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

bool Skipped(unsigned char kind) { return kind == kDropped || kind == kSeparator; }

// Where the yields of a pass go: made here, on the thread that may repaint,
// or counted, for a pass on a thread of its own (Beside takes them after).
struct YieldHere {
    void operator()(std::uint32_t n) const { fw::BackgroundYields(n); }
};
struct YieldCounted {
    std::uint64_t owed = 0;
    void operator()(std::uint32_t n) { owed += n; }
};

// From this many characters a driver's pass runs beside the controls' work
// or in parts: below, starting a thread costs more than it saves.
constexpr std::size_t kBesideFrom = 256 * 1024;
constexpr std::size_t kPartAtLeast = 128 * 1024;

// The unit boundary rule, for the scanner and for the rebuild driver's look
// ahead alike. From pos, the separators and dropped characters before the
// next unit are passed over; UnitStart gives where the unit starts.
template <class Ch>
std::size_t UnitStart(const Ch* text, std::size_t n, std::size_t pos) {
    while (pos < n && Skipped(KindOf(text[pos]))) ++pos;
    return pos;
}

// The unit at start: one character of the one-character kind, or the run of
// unit characters (none at the end of the text).
template <class Ch>
std::size_t UnitLength(const Ch* text, std::size_t n, std::size_t start) {
    if (start < n && KindOf(text[start]) == kOneChar) return 1;
    std::size_t end = start;
    while (end < n && KindOf(text[end]) == kUnitChar) ++end;
    return end - start;
}

constexpr unsigned char kSpace[1] = {' '};

// The globals but WordUnit as the scanner leaves them after the unit at pos.
template <class Ch>
void LeaveUnit(const Ch* text, std::size_t pos, std::size_t len, bool spaceEnds) {
    using namespace Module1;
    const Ch* unit = text + pos;
    if (spaceEnds) EndUnit.Assign(kSpace, 1);
    else EndUnit.Clear();
    FirstLetter.Assign(unit, len >= 1 ? 1 : 0);
    LastLetter.Assign(len >= 1 ? unit + len - 1 : unit, len >= 1 ? 1 : 0);
    MiddleLetters.Assign(len > 2 ? unit + 1 : unit, len > 2 ? len - 2 : 0);
}

// The scanner over the text in the form FullBook keeps it.
template <class Ch>
void SearchWordIn(const Ch* text, std::size_t size) {
    using namespace Module1;
    // NoChar is the loop bound the driver set; never read past the text.
    const std::size_t n = std::min<std::size_t>(size, NoChar < 0 ? 0 : static_cast<std::size_t>(NoChar));
    const std::size_t from = StartChar < 1 ? 0 : static_cast<std::size_t>(StartChar - 1);

    // Separators before the unit: copied; apostrophes and hyphens dropped.
    const std::size_t pos = UnitStart(text, n, from);
    for (std::size_t k = from; k < pos; ++k)
        if (KindOf(text[k]) == kSeparator) Book.Append(text[k]);

    // The unit; a run of unit characters ending at a blank takes the blank
    // as its EndUnit. The scan yields once per character of a run.
    const std::size_t unitLen = UnitLength(text, n, pos);
    const bool isRun = unitLen > 0 && KindOf(text[pos]) == kUnitChar;
    if (isRun) fw::BackgroundYields(static_cast<std::uint32_t>(unitLen));
    const bool spaceEnds = isRun && pos + unitLen < n && text[pos + unitLen] == 32;
    WordUnit.Assign(text + pos, unitLen);
    LeaveUnit(text, pos, unitLen, spaceEnds);
    StartChar = static_cast<int32_t>(pos + unitLen + (spaceEnds ? 1 : 0) + 1);
}

// ScrambleWord's shuffle of the m middle letters: copied into a working
// array (a step each), then shuffled (a step per element joined) until the
// order differs, letter case ignored, at most ten times. Gives the array,
// whose storage is kept between calls only to spare an allocation per unit.
// (One scramble runs at a time, on whichever thread.)
template <class Ch, class Yields>
const Ch* ShuffledMiddle(const Ch* middle, std::size_t m, Yields& yields) {
    static std::vector<Ch> elements;
    if (elements.size() < m) elements.resize(m);
    std::copy(middle, middle + m, elements.data());
    yields(static_cast<std::uint32_t>(m));
    fw::Random& random = fw::TheRandom();
    for (int tries = 0;;) {
        fw::Shuffle(random, elements.data(), m);
        yields(static_cast<std::uint32_t>(m));
        if (!fw::EqualFolded(elements.data(), m, middle, m)) break;
        if (++tries == 10) break;
    }
    return elements.data();
}

// The shuffle over the middle letters in the form they are kept in.
template <class Ch>
void ScrambleMiddle(const Ch* middle, std::size_t n) {
    using namespace Module1;
    YieldHere yields;
    const Ch* shuffled = ShuffledMiddle(middle, n, yields);
    WordUnit.Clear();
    WordUnit.Append(FirstLetter).Append(shuffled, n).Append(LastLetter);
}

// Empties Book for a driver's output in the form of the text, keeping its
// buffer (fresh pages for a large text cost more than the copying).
void StartBook() {
    using namespace Module1;
    if (FullBook.IsWide()) {
        Book.Clear();
        Book.Widen(FullBook.Size());
    } else {
        Book.ResizeLatin1(0);
        Book.Reserve(FullBook.Size());
    }
}

// Writes a driver's output straight into Book's buffer. The output is never
// longer than the text (units keep their length, separators are copied or
// dropped), so room for the text is enough. One byte per character until a
// character needs more; then what was written is widened once.
class BookWriter {
public:
    BookWriter(fw::String& target, std::size_t room, bool wide) : target_(target), room_(room) {
        if (wide) wide_ = target.ResizeUcs4(room);
        else narrow_ = target.ResizeLatin1(room);
    }
    // Into a span of a buffer made already (one part's output in Book),
    // in its form. A character beyond one byte in a one-byte span moves
    // what was written into spill, widened, where the rest then goes.
    BookWriter(unsigned char* narrow, char32_t* wide, std::size_t room, fw::String& spill)
        : target_(spill), room_(room), narrow_(narrow), wide_(wide), inPlace_(true) {}
    void Put(char32_t c) {
        if (narrow_) {
            if (c <= 0xFF) {
                narrow_[n_++] = static_cast<unsigned char>(c);
                return;
            }
            Widen();
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
    void Finish() {
        if (!inPlace_ || spilled_) target_.Resize(n_);
    }

private:
    void Widen() {
        if (inPlace_) target_.Assign(narrow_, n_);
        else target_.Truncate(n_);
        target_.Widen(room_);
        wide_ = target_.MutableUcs4();
        narrow_ = nullptr;
        spilled_ = inPlace_;
    }
    fw::String& target_;
    std::size_t room_;
    std::size_t n_ = 0;
    unsigned char* narrow_ = nullptr;
    char32_t* wide_ = nullptr;
    bool inPlace_ = false;
    bool spilled_ = false;
};

// WordUnit as the driver made it: the k characters of Book written at at.
void LeaveWritten(std::size_t at, std::size_t k) {
    Module1::Book.Visit([&](const auto* out, std::size_t) { Module1::WordUnit.Assign(out + at, k); });
}

// The walk both drivers make over the text from from to n, unit by unit as
// the scanner cuts it: the separators before a unit go to the output
// (apostrophes and hyphens dropped), the scanner's yields are taken,
// emit(pos, len) writes the unit, and its closing blank follows. Gives what
// the globals need of the last unit (LeaveWalk).
struct Walked {
    bool any = false;
    bool lastSpace = false;
    std::size_t lastPos = 0, lastLen = 0, lastAt = 0;
    std::size_t end = 0;
};

template <class Ch, class Emit, class Yields>
Walked WalkUnits(const Ch* text, std::size_t from, std::size_t n, BookWriter& out, Emit emit, Yields& yields) {
    Walked w;
    while (from < n) {
        const std::size_t pos = UnitStart(text, n, from);
        for (std::size_t k = from; k < pos; ++k)
            if (KindOf(text[k]) == kSeparator) out.Put(static_cast<char32_t>(text[k]));
        const std::size_t len = UnitLength(text, n, pos);
        const bool isRun = len > 0 && KindOf(text[pos]) == kUnitChar;
        if (isRun) yields(static_cast<std::uint32_t>(len));
        const bool spaceEnds = isRun && pos + len < n && text[pos + len] == 32;
        const std::size_t at = out.Size();
        emit(pos, len);
        if (spaceEnds) out.Put(U' ');
        w.any = true;
        w.lastPos = pos;
        w.lastLen = len;
        w.lastAt = at;
        w.lastSpace = spaceEnds;
        from = pos + len + (spaceEnds ? 1 : 0);
    }
    out.Finish();
    w.end = from;
    return w;
}

// The globals as the last unit left them, once Book holds the whole output
// (the walk's output starting at bookAt): WordUnit is what the driver wrote,
// or the unit itself when unitStays (the driver changed only the output).
template <class Ch>
void LeaveWalk(const Ch* text, const Walked& w, std::size_t bookAt, bool unitStays) {
    using namespace Module1;
    StartChar = static_cast<int32_t>(w.end + 1);
    if (!w.any) return;
    LeaveUnit(text, w.lastPos, w.lastLen, w.lastSpace);
    if (unitStays) WordUnit.Assign(text + w.lastPos, w.lastLen);
    else LeaveWritten(bookAt + w.lastAt, w.lastLen);
}

// Cuts the text into parts that the walk can take one by one: each cut
// follows a separator or dropped character, so no unit spans it and the
// walk, wherever it stands before it, reaches it with the same output.
template <class Ch>
std::vector<std::size_t> CutsForParts(const Ch* text, std::size_t n) {
    return fw::Beside::Cuts(n, kBesideFrom, kPartAtLeast,
                            [text](std::size_t c) { return Skipped(KindOf(text[c - 1])); });
}

// How many apostrophes and hyphens (the characters the walk drops) there are.
std::size_t Dropped(const unsigned char* p, std::size_t n) {
    const char* c = reinterpret_cast<const char*>(p);
    return fw::CountByte(c, n, 39) + fw::CountByte(c, n, 45);
}
std::size_t Dropped(const char32_t* p, std::size_t n) {
    std::size_t dropped = 0;
    for (std::size_t k = 0; k < n; ++k) dropped += (p[k] == 39) | (p[k] == 45);
    return dropped;
}

// The scramble driver's loop: per unit what SearchWord and ScrambleWord do
// (the same yields, the same shuffles), written straight into Book without
// the per-unit strings.
template <class Ch, class Yields>
void ScrambleIn(const Ch* text, std::size_t n, Yields& yields) {
    BookWriter out(Module1::Book, n, sizeof(Ch) != 1);
    const auto emit = [&](std::size_t pos, std::size_t len) {
        const Ch* unit = text + pos;
        if (len <= 3) {
            out.Put(unit, len);
            return;
        }
        out.Put(unit, 1);
        out.Put(ShuffledMiddle(unit + 1, len - 2, yields), len - 2);
        out.Put(unit + len - 1, 1);
    };
    LeaveWalk(text, WalkUnits(text, 0, n, out, emit, yields), 0, false);
}

}  // namespace

void SearchWord() {
    Module1::FullBook.Visit([](const auto* text, std::size_t n) { SearchWordIn(text, n); });
}

void ScrambleWord() {
    Module1::MiddleLetters.Visit([](const auto* middle, std::size_t n) { ScrambleMiddle(middle, n); });
}

void ScrambleDriver() {
    ScrambleDriver([] {});
}

void ScrambleDriver(const std::function<void()>& alongside) {
    using namespace Module1;
    NoChar = fw::Len(FullBook);
    StartChar = 1;
    // The shuffles draw from one generator in text order, so the pass does
    // not part; a long one runs on a thread of its own meanwhile.
    if (FullBook.Size() < kBesideFrom) {
        alongside();
        YieldHere yields;
        FullBook.Visit([&](const auto* text, std::size_t n) { ScrambleIn(text, n, yields); });
        return;
    }
    fw::Beside beside;
    beside.Start([] {
        YieldCounted yields;
        FullBook.Visit([&](const auto* text, std::size_t n) { ScrambleIn(text, n, yields); });
        return yields.owed;
    });
    alongside();
    beside.Wait();
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

namespace {

// checkDictionary's work, with the look-up's answer given.
void ApplyLookup(int32_t row, const fw::String& rowText) {
    fw::String& u = Module1::WordUnit;
    if (row >= 0) {
        // The unit's own first character, then the row's other characters
        // (a matching row has the unit's length).
        for (std::size_t k = 1; k < u.Size(); ++k) u.SetAt(k, rowText.At(k));
    } else {
        for (std::size_t k = 0; k < u.Size(); ++k) u.SetAt(k, fw::UpperChar(u.At(k)));
    }
}

fw::String g_rowText;

}  // namespace

void checkDictionary(WordLookup& lookup) {
    const int32_t row = lookup.FirstMatch(Module1::WordUnit, &g_rowText);
    ApplyLookup(row, g_rowText);
}

namespace {

// The rebuild driver's loop when look-ups walk the rows (the reference):
// SearchWord and checkDictionary per unit, as they stand.
template <class Ch>
void RebuildWalkIn(const Ch* text, std::size_t n, WordLookup& lookup) {
    using namespace Module1;
    while (StartChar <= NoChar) {
        SearchWordIn(text, n);
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

// The same through the index over the text from from to n, written
// straight into out: the scanner's yields, the same look-ups and the same
// output, without the per-unit strings.
template <class Ch, class Yields>
Walked RebuildPart(const Ch* text, std::size_t from, std::size_t n, const WordIndex& index, BookWriter& out,
                   Yields& yields) {
    // The look-up is bound by memory latency, not by work: look a few units
    // ahead and fetch their slots and records early. This changes no result.
    struct Ahead {
        std::size_t start, len;
        std::uint64_t hash;
    };
    constexpr std::size_t kRing = 32, kSlotDistance = 16, kRecordDistance = 6;
    Ahead ring[kRing];
    std::size_t head = 0, tail = 0, ahead = from;

    const auto emit = [&](std::size_t pos, std::size_t len) {
        while (tail - head < kSlotDistance && ahead < n) {
            const std::size_t start = UnitStart(text, n, ahead);
            const std::size_t k = UnitLength(text, n, start);
            ahead = start + k;
            if (k > 4) {
                const std::uint64_t h = WordIndex::HashOf(text + start, k);
                index.PrefetchSlot(h);
                ring[tail++ % kRing] = Ahead{start, k, h};
            }
        }
        if (tail - head > kRecordDistance) index.PrefetchRecord(ring[(head + kRecordDistance) % kRing].hash);

        const Ch* unit = text + pos;
        if (len < 4) {
            out.Put(unit, len);
        } else if (len == 4) {
            out.Put(unit, 1);
            out.Put(unit + 2, 1);
            out.Put(unit + 1, 1);
            out.Put(unit + 3, 1);
        } else {
            while (head < tail && ring[head % kRing].start < pos) ++head;
            std::uint64_t hash;
            if (head < tail && ring[head % kRing].start == pos) hash = ring[head++ % kRing].hash;
            else hash = WordIndex::HashOf(unit, len);
            WordIndex::RowChars row;
            if (index.FirstMatchIn(unit, len, hash, &row) >= 0) {
                // The unit's own first character, then the row's others.
                out.Put(unit, 1);
                if (!row.wide) out.Put(row.chars + 1, len - 1);
                else
                    for (std::size_t k = 1; k < len; ++k) out.Put(row.At(k));
            } else {
                for (std::size_t k = 0; k < len; ++k) out.Put(fw::UpperChar(unit[k]));
            }
        }
    };
    return WalkUnits(text, from, n, out, emit, yields);
}

// The index road over the whole text, in parts on threads of their own when
// it is long (the look-ups only read the index, and each part writes its
// own output); alongside runs meanwhile. The globals are left as the last
// unit left them.
template <class Ch>
void RebuildIn(const Ch* text, std::size_t n, const WordIndex& index, const std::function<void()>& alongside) {
    using namespace Module1;
    constexpr bool kWide = sizeof(Ch) != 1;
    const std::vector<std::size_t> cuts = CutsForParts(text, n);
    const std::size_t parts = cuts.size() - 1;
    // After a four-character unit WordUnit is the unit itself: only the
    // output has its middle pair swapped.
    const auto leave = [&](const Walked& last, std::size_t at) { LeaveWalk(text, last, at, last.lastLen == 4); };
    if (parts == 1) {
        alongside();
        YieldHere yields;
        BookWriter out(Book, n, kWide);
        leave(RebuildPart(text, 0, n, index, out, yields), 0);
        return;
    }
    // A part's output is as long as the part less the characters it drops,
    // so each writes straight to its place in Book.
    std::vector<std::size_t> at(parts + 1, 0);
    fw::Beside::ForParts(parts, [&](std::size_t i) {
        const std::size_t n = cuts[i + 1] - cuts[i];
        at[i + 1] = n - Dropped(text + cuts[i], n);
    });
    for (std::size_t i = 0; i < parts; ++i) at[i + 1] += at[i];
    unsigned char* narrow = kWide ? nullptr : Book.ResizeLatin1(at[parts]);
    char32_t* wide = kWide ? Book.ResizeUcs4(at[parts]) : nullptr;
    std::vector<fw::String> spills(parts);
    std::vector<Walked> walks(parts);
    {
        fw::Beside beside;
        for (std::size_t i = 0; i < parts; ++i)
            beside.Start([&, i] {
                YieldCounted yields;
                const std::size_t room = at[i + 1] - at[i];
                BookWriter out(kWide ? nullptr : narrow + at[i], kWide ? wide + at[i] : nullptr, room, spills[i]);
                walks[i] = RebuildPart(text, cuts[i], cuts[i + 1], index, out, yields);
                return yields.owed;
            });
        alongside();
        beside.Wait();
    }
    // A part that met a character beyond one byte left its whole output in
    // its spill: then the whole output widens.
    if (std::any_of(spills.begin(), spills.end(), [](const fw::String& s) { return !s.IsEmpty(); })) {
        fw::String whole;
        char32_t* d = whole.ResizeUcs4(at[parts]);
        for (std::size_t i = 0; i < parts; ++i) {
            const std::size_t room = at[i + 1] - at[i];
            if (!spills[i].IsEmpty()) std::copy_n(spills[i].Ucs4(), room, d + at[i]);
            else std::copy_n(narrow + at[i], room, d + at[i]);
        }
        Book = std::move(whole);
    }
    leave(walks.back(), at[parts - 1]);
}

}  // namespace

void RebuildDriver(WordLookup& lookup) { RebuildDriver(lookup, [] {}); }

void RebuildDriver(WordLookup& lookup, const std::function<void()>& alongside) {
    using namespace Module1;
    lookup.Refresh();
    NoChar = fw::Len(FullBook);
    StartChar = 1;
    if (const WordIndex* index = lookup.Index()) {
        FullBook.Visit([&](const auto* text, std::size_t n) { RebuildIn(text, n, *index, alongside); });
        return;
    }
    alongside();
    StartBook();
    FullBook.Visit([&](const auto* text, std::size_t n) { RebuildWalkIn(text, n, lookup); });
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
