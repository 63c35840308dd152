// Scrandle: the program's entry routine. It reads no command line.
#include "app/Startup.h"

int main(int argc, char** argv) { return startup::Main(argc, argv); }
