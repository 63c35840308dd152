// Work that cannot come up for air until it is done (a large file read or
// written in one piece) is about to start. The GUI layer installs a hook
// that shows the wait cursor at once and paints what the handler has done
// so far; without one nothing happens.
#pragma once

#include <cstddef>

namespace fw {

using LongWorkHook = void (*)();

// Installs the hook (nullptr: none); returns the previous one.
LongWorkHook SetLongWorkHook(LongWorkHook hook);

// Runs the hook, if one is installed.
void LongWorkAhead();

// From this many bytes on, reading or writing a file counts as long work.
constexpr std::size_t kLongFileBytes = 256 * 1024;

}  // namespace fw
