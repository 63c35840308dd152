// The program's own start-up, timed as a whole process against
// startup_baseline: everything main() does, up to the main window shown
// (its Open event run and its first paint done), then out through the
// program's own shutdown.
#include "gui/Runtime.h"
#include "app/Startup.h"
#include "startup_quit.h"

int main(int argc, char** argv) {
    startup::Options options;
    options.afterMainWindow = [] { new bench::QuitAfterFirstPaint([] { fw::Quit(0); }); };
    return startup::Main(argc, argv, options);
}
