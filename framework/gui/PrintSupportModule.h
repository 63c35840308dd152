// Printing through Qt Print Support, kept in a module of its own that is
// loaded the first time something is printed. Loading Print Support with
// the program costs every start-up the same as a small window, and most
// sessions never print.
//
// Code that needs Print Support goes into the module (printsupport/) and is
// reached through PrintSupport(); the rest of the framework only passes
// QPrinter pointers along.
#pragma once

class QPrinter;

namespace fw {

class PrintSupportModule {
public:
    // The print dialog over the printer; true when the user confirmed it.
    virtual bool ChoosePrinter(QPrinter* printer) = 0;

protected:
    ~PrintSupportModule() = default;
};

// The loaded module; raises RuntimeException when it cannot be loaded.
PrintSupportModule& PrintSupport();

}  // namespace fw
