// Memory for large texts: what the process can still get, and what each of
// the main window's steps on a text takes, so that a step that would not
// fit is refused before it changes anything instead of ending in the
// kernel's out-of-memory kill, which takes both texts with it.
//
// A need is the growth of resident memory at the step's peak over what the
// process held before it, worked out from the sizes of the texts: the
// step's allocations and releases in their order, with what each takes as
// measured (bench/bigtext_memory_compare). A String takes one byte a
// character while every character fits in Latin-1, else four; Qt's
// document two a UTF-16 unit and up to some 200 bytes a line, and the text
// handed to it two a unit more while it is set; a line it shows is laid out
// whole, at some 40 bytes a unit.
#pragma once

#include "core/TextCodec.h"

#include <cstdint>
#include <optional>
#include <string>

namespace fw {

// A text as the needs see it.
struct TextMeasure {
    std::uint64_t chars = 0;
    // UTF-16 units, as Qt's document holds it: a character past U+FFFF
    // takes two, a line end one.
    std::uint64_t units = 0;
    // Line ends (a CR LF counts once).
    std::uint64_t lines = 0;
    // UTF-16 units of the longest line.
    std::uint64_t longest = 0;
    // Some character is past Latin-1: a String takes four bytes for each.
    bool wide = false;
};

// One pass over the text.
TextMeasure SizeOf(const String& text);
// A file's text before it is read: one byte a character, its lines not
// known.
TextMeasure SizeOfBytes(std::uint64_t bytes);

// What a String holds for the text.
std::uint64_t StringBytes(const TextMeasure& text);
// What a text area's document holds for it.
std::uint64_t DocumentBytes(const TextMeasure& text);
// What the layout of its longest line takes, when that line is shown.
std::uint64_t LayoutBytes(const TextMeasure& text);

// A text area's document holds fewer UTF-16 units than this (Qt counts its
// positions in an int).
constexpr std::uint64_t kMostDocumentUnits = 0x7FFFFFFEu;
bool FitsADocument(const TextMeasure& text);

// Bytes the process can still take: the least of the system's available
// memory (MemAvailable), what each level of the process's memory cgroup
// still allows (its limit less its usage, the page cache it may drop not
// counted as used; cgroup v1 or v2), and what is left of an address-space
// limit (RLIMIT_AS).
std::uint64_t MemoryLeft();
// Tests make memory short (or plentiful) without a real limit; nullopt
// goes back to the real figures.
void OverrideMemoryLeft(std::optional<std::uint64_t> bytes);

namespace detail {
// MemoryLeft without the address-space limit, with every file read under
// root ("" for the real ones): root + "/proc/meminfo", root +
// "/proc/self/cgroup", root + "/proc/self/mountinfo" and the cgroup files
// under root + the mount point.
std::uint64_t MemoryLeftUnder(const std::string& root);
// The folder of the process's own memory cgroup, and whether it is cgroup
// v2; false when there is none to be seen.
bool MemoryCgroup(const std::string& root, std::string& folder, bool& v2);
}  // namespace detail

// The main window's steps. Each gives its need in bytes.
//
// Load: reading a file of fileBytes bytes whose text is text into an area
// whose document holds areaBytes (let go before the new text is set).
std::uint64_t LoadNeed(std::uint64_t fileBytes, const TextMeasure& text, std::uint64_t areaBytes);
// Its two parts. The read, with the text decoded at one byte a character
// (a decode that needs more asks for it as it goes, and is refused when
// it is not there).
std::uint64_t ReadNeed(std::uint64_t fileBytes);
// What follows the read: the text, held in a String, set into the area,
// the String let go once it is converted for the document.
std::uint64_t SetTextNeed(const TextMeasure& text, std::uint64_t areaBytes);
// At most what the text takes encoded so, or in UTF-8 where it cannot be
// written so: worked out from the sizes alone, before it is read out.
std::uint64_t EncodedBytes(const TextMeasure& text, TextEncoding encoding);
// Save: the area's text read out, encoded into encodedBytes, and the old
// content of a file written in place kept in memory (keptBytes) meanwhile.
std::uint64_t SaveNeed(const TextMeasure& text, std::uint64_t encodedBytes, std::uint64_t keptBytes);

// What the three areas and the engine's two buffers hold before a step of
// the engine: plain (left), scrambled (right) and kept areas' documents;
// the capacity in bytes of the buffers the input and the output are built
// in, used again when large enough.
struct EngineHeld {
    std::uint64_t plain = 0, scrambled = 0, kept = 0;
    std::uint64_t inputRoom = 0, outputRoom = 0;
};
// Scramble of input, read from the plain area (keptCopy: the input is also
// copied into the kept area) or from the kept area (a Try Me sample).
std::uint64_t ScrambleNeed(const TextMeasure& input, bool keptCopy, const EngineHeld& held);
// Unscramble by restoring the kept text into the plain area.
std::uint64_t RestoreNeed(const TextMeasure& kept, const EngineHeld& held);
// Unscramble by rebuilding the scrambled area's text into the plain area.
std::uint64_t RebuildNeed(const TextMeasure& scrambled, const EngineHeld& held);

// A need with a margin for Qt's own allocations on the way (the lines it
// lays out and paints): what is compared with MemoryLeft.
std::uint64_t WithMargin(std::uint64_t need);

// Sizes for a user: "640 KB", "12 MB", "1.2 GB" (units of 1000).
std::string BytesInWords(std::uint64_t bytes);
// "1,234,567".
std::string CountInWords(std::uint64_t count);

}  // namespace fw
