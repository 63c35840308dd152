// The background-task yield that long loops call once per pass.
//
// It runs no handler of the program (one handler runs at a time); the GUI
// layer may install a hook that repaints. The check is a counter so that a
// per-character call costs next to nothing; the hook itself decides how often
// it really does work.
#pragma once

#include <cstdint>

namespace fw {

using YieldHook = void (*)();

namespace detail {
extern std::uint32_t g_yieldCounter;
extern YieldHook g_yieldHook;
void YieldSlow();
}  // namespace detail

inline void BackgroundYield() {
    if ((++detail::g_yieldCounter & 0x3FFFu) != 0) return;
    detail::YieldSlow();
}

// The same as n calls of BackgroundYield, for a loop that would call it once
// per character.
inline void BackgroundYields(std::uint32_t n) {
    const std::uint32_t before = detail::g_yieldCounter;
    detail::g_yieldCounter = before + n;
    // Each multiple of the wrap passed is one slow call, as one by one.
    for (std::uint64_t k = ((std::uint64_t{before} + n) >> 14) - (before >> 14); k != 0; --k) detail::YieldSlow();
}

// The hook's work now, without counting a yield: for a long read or write
// between its pieces, where the yield count is not the loop's.
void RunYieldHook();

// Installs the hook (nullptr: none); returns the previous one.
YieldHook SetYieldHook(YieldHook hook);
// How many times the yield was called, for tests.
std::uint64_t YieldCount();

}  // namespace fw
