// The text engine's logic on framework strings and an ordered list of rows.
// No widgets here: the main window's handlers are thin steps over these.
#pragma once

#include "engine/Module1.h"
#include "core/Rows.h"
#include "engine/WordIndex.h"

#include <vector>

namespace engine {

// Cuts the next word unit out of Module1::FullBook from Module1::StartChar:
// copies the separators before it to Book (dropping apostrophes and
// hyphens), sets WordUnit, EndUnit, FirstLetter, MiddleLetters, LastLetter
// and advances StartChar. Call only while StartChar <= NoChar.
void SearchWord();

// Shuffles MiddleLetters (at most ten tries until it differs, letter case
// ignored) and sets WordUnit to FirstLetter + shuffled middle + LastLetter.
void ScrambleWord();

// The scramble driver loop over Module1::FullBook; the output is left in
// Module1::Book.
void ScrambleDriver();
// Sets FullBook to the text, runs the driver and returns Book.
fw::String ScrambleText(fw::String text);

// Replaces WordUnit (five or more characters, FirstLetter/LastLetter set by
// the scanner) by its word-list form, or by its upper-case form when no row
// matches.
void checkDictionary(WordLookup& lookup);

// The rebuild driver loop over Module1::FullBook (the dictionary road of
// Unscramble); the output is left in Module1::Book.
void RebuildDriver(WordLookup& lookup);
fw::String RebuildText(fw::String text, WordLookup& lookup);

// Find Possible Words: sets FirstLetter/LastLetter from w and returns the
// entries for every passing row in list order: w's first character followed
// by the row's last Len(w) - 1 characters.
std::vector<fw::String> PossibleWords(const fw::String& w, WordLookup& lookup);

// One entry of the possible-words list (or the rebuilt unit): the first
// character of w followed by the last Len(w) - 1 characters of row.
fw::String MatchEntry(const fw::String& w, const fw::String& row);

}  // namespace engine
