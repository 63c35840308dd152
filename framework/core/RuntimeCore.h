// The parts of the runtime that need no widgets: the routine through which
// the framework runs program code under the program's exception handling,
// the application object's registration and the application's version
// information.
#pragma once

#include "core/Exceptions.h"
#include "core/Object.h"
#include "core/String.h"

#include <cstdint>
#include <exception>
#include <functional>

namespace fw {

// The exception-call routine: calls function(argument); returns the
// RuntimeException (of any subclass) the call raised, or a null pointer
// when it raised nothing. Anything else raised passes on to the caller.
using ExceptionHelper = std::exception_ptr (*)(void (*function)(void*), void* argument);

// The routine the program installs; the framework's own default too.
std::exception_ptr CallFunctionWithExceptionHandling(void (*function)(void*), void* argument);

// Keeps the routine (nullptr: back to the default) and returns the old one.
ExceptionHelper RuntimeSetExceptionHelper(ExceptionHelper helper);
ExceptionHelper RuntimeExceptionHelper();

// Runs program code through the installed routine; an exception it hands
// back goes to the unhandled-exception report, after which the caller goes
// on. Returns false when the code ended with an exception. Every piece of
// program code the framework runs goes this one way: control events, window
// hooks, menu commands and start-up.
bool RunProgramCode(const std::function<void()>& code);

// The application object: the framework holds it for the life of the
// process (until RuntimeReleaseAppObject).
void RuntimeRegisterAppObject(const Ref<Object>& app);
Ref<Object> GetAppObject();
void RuntimeReleaseAppObject();

// The application's version information, handed over by the program at
// start (it comes from the build, not from program code).
struct VersionInfo {
    int32_t major = 0;
    int32_t minor = 0;
    int32_t bug = 0;
    String shortVersion;  // e.g. "2.2.0"
    String longVersion;   // e.g. "2.2.0 Intel"
};
void RuntimeSetVersionInfo(const VersionInfo& info);
const VersionInfo& RuntimeVersionInfo();

}  // namespace fw
