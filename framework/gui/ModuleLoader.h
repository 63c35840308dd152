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

// Raises RuntimeException: what is not available, and why.
[[noreturn]] void ModuleUnavailable(const char* what, const std::string& why);

// The object the module's entry point gives, loaded on the first call; each
// module interface M has one. Raises RuntimeException ("<what>: <why>")
// while it cannot be loaded.
template <class M>
M& LoadedModule(const char* file, const char* buildDir, const char* entry, const char* what) {
    static std::string failure;
    static M* module = [&] {
        auto make = reinterpret_cast<M* (*)()>(LoadModuleEntry(file, buildDir, entry, failure));
        return make ? make() : nullptr;
    }();
    if (!module) ModuleUnavailable(what, failure);
    return *module;
}

}  // namespace fw
