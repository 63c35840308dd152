#include "core/RuntimeCore.h"

#include "core/Dispatch.h"

namespace fw {

namespace {
ExceptionHelper g_helper = nullptr;
Ref<Object> g_app;
VersionInfo g_version;

void CallStdFunction(void* code) { (*static_cast<const std::function<void()>*>(code))(); }
}  // namespace

std::exception_ptr CallFunctionWithExceptionHandling(void (*function)(void*), void* argument) {
    try {
        function(argument);
        return nullptr;
    } catch (const RuntimeException&) {
        return std::current_exception();
    }
}

ExceptionHelper RuntimeSetExceptionHelper(ExceptionHelper helper) {
    ExceptionHelper old = g_helper;
    g_helper = helper;
    return old;
}

ExceptionHelper RuntimeExceptionHelper() { return g_helper ? g_helper : &CallFunctionWithExceptionHandling; }

bool RunProgramCode(const std::function<void()>& code) {
    std::exception_ptr raised = RuntimeExceptionHelper()(&CallStdFunction, const_cast<std::function<void()>*>(&code));
    if (!raised) return true;
    try {
        std::rethrow_exception(raised);
    } catch (const RuntimeException& e) {
        ReportUnhandledException(e);
    }
    // A helper that hands back something other than a RuntimeException
    // breaks its contract; that exception passes on from the rethrow above.
    return false;
}

void RuntimeRegisterAppObject(const Ref<Object>& app) { g_app = app; }
Ref<Object> GetAppObject() { return g_app; }
void RuntimeReleaseAppObject() {
    Ref<Object> old = std::move(g_app);
    g_app = nullptr;
}

void RuntimeSetVersionInfo(const VersionInfo& info) { g_version = info; }
const VersionInfo& RuntimeVersionInfo() { return g_version; }

}  // namespace fw
