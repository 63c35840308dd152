// The program's own start-up steps up to the open main window, and its
// shutdown, for the benchmarks that drive the real window (the event loop
// runs only where they run it). Message boxes go to the scripted desktop
// the caller installs.
#pragma once

#include "gui/Runtime.h"
#include "core/RuntimeCore.h"
#include "app/Startup.h"

namespace bench {

inline void StartProgram(int& argc, char** argv) {
    fw::RuntimeInit(argc, argv);
    startup::initialize();
    fw::RuntimeSetExceptionHelper(&fw::CallFunctionWithExceptionHandling);
    startup::EarlyStartup();
    fw::RunFrameworkInitialization(&startup::LateStartup);
}

inline void StopProgram() {
    fw::RuntimeCloseAllWindows();
    startup::finalize();
    fw::RuntimeExit();
}

}  // namespace bench
