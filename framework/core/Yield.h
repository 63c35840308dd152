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

// Installs the hook (nullptr: none); returns the previous one.
YieldHook SetYieldHook(YieldHook hook);
// How many times the yield was called, for tests.
std::uint64_t YieldCount();

}  // namespace fw
