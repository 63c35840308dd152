// The program with its update check pointed at a test's server: its one
// argument is the maker's host ("127.0.0.1:PORT"), which the shipped
// program takes from the build options. Everything else is the program's.
#include "app/Startup.h"
#include "update/Addresses.h"

int main(int argc, char** argv) {
    if (argc > 1) update::SetWebHost(fw::String(argv[1]));
    // The program reads no command line; Qt does not see the host either.
    int programArgc = 1;
    return startup::Main(programArgc, argv);
}
