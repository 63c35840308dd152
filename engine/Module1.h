// The text engine's working state: eleven globals shared by the scramble
// road, the unscramble road and the possible-words search. Not guarded: one
// handler runs at a time, and the engine relies on that.
#pragma once

#include "core/String.h"

#include <cstdint>

namespace Module1 {

inline bool NewScrambledMessageFlag = false;
inline bool TryMeFlag = false;
inline fw::String FullBook;
inline int32_t NoChar = 0;
inline fw::String Book;
inline int32_t StartChar = 0;
inline fw::String WordUnit;
inline fw::String EndUnit;
inline fw::String FirstLetter;
inline fw::String LastLetter;
inline fw::String MiddleLetters;

// Puts every global back to its state at start (tests, and shutdown, which
// releases the seven strings in its own order).
void Reset();

}  // namespace Module1
