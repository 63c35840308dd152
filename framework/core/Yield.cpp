#include "core/Yield.h"

namespace fw {
namespace detail {
std::uint32_t g_yieldCounter = 0;
YieldHook g_yieldHook = nullptr;
namespace {
std::uint64_t g_yieldWraps = 0;
}
void YieldSlow() {
    ++g_yieldWraps;
    if (g_yieldHook) g_yieldHook();
}
std::uint64_t Wraps() { return g_yieldWraps; }
}  // namespace detail

void RunYieldHook() {
    if (detail::g_yieldHook) detail::g_yieldHook();
}

YieldHook SetYieldHook(YieldHook hook) {
    YieldHook old = detail::g_yieldHook;
    detail::g_yieldHook = hook;
    return old;
}

std::uint64_t YieldCount() {
    return (detail::Wraps() << 14) | (detail::g_yieldCounter & 0x3FFFu);
}

}  // namespace fw
