// The program's life from process start to exit, in its fixed order.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace startup {

// Every phase reached, in order, for tests ("runtime started", ...).
std::vector<std::string>& Phases();

// Test hooks: code run at the end of early start-up (to raise there), and
// whether to run the event loop at all.
struct Options {
    std::function<void()> afterEarlyStartup;
    std::function<void()> afterMainWindow;  // e.g. quit once the window is open
};

// The entry routine: registers the classes, runs early and late start-up
// and the event loop, releases the module state and returns the runtime's
// exit status. Of the command line only the program's name is used (Qt is
// given nothing else); every argument is ignored.
int Main(int& argc, char** argv, const Options& options = {});

// The steps, by their roles.
void initialize();
void EarlyStartup();
void NewAppInstance();
void LateStartup();
void MakeDefaultView();
void finalize();
// Gives every window the program's icon.
void SetProgramIcon();

}  // namespace startup
