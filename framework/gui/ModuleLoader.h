// Loads a module of the program (a shared library built beside it) on
// first use, so that start-up does not pay for the Qt libraries only the
// module links.
#pragma once

#include <string>

namespace fw {

// The module's entry point: the module file beside the program first, then
// in buildDir (tests and benchmarks run from folders of their own). Null
// when none loads; failure then says why.
void* LoadModuleEntry(const char* file, const char* buildDir, const char* entry, std::string& failure);

}  // namespace fw
