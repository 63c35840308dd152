#include "core/LongWork.h"

namespace fw {

namespace {
LongWorkHook g_longWorkHook = nullptr;
}

LongWorkHook SetLongWorkHook(LongWorkHook hook) {
    const LongWorkHook old = g_longWorkHook;
    g_longWorkHook = hook;
    return old;
}

void LongWorkAhead() {
    if (g_longWorkHook) g_longWorkHook();
}

}  // namespace fw
