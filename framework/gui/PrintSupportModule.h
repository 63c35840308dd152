// Printing through Qt Print Support, kept in a module of its own that is
// loaded the first time something is printed. Loading Print Support with
// the program costs every start-up the same as a small window, and most
// sessions never print.
//
// Only the module (printsupport/) touches Print Support; the rest of the
// framework reaches printers through these interfaces and passes QPrinter
// pointers along without using them.
#pragma once

#include <memory>

class QPainter;
class QPaintDevice;
class QPrinter;
class QString;

namespace fw {

// A print job: the printer the user's choices go into, and what a painter
// needs of it.
class PrintJob {
public:
    virtual ~PrintJob() = default;
    virtual QPrinter* Printer() = 0;
    // Lays the page out in points from the paper's corner and begins the
    // painter on it; false when the job cannot start.
    virtual bool Begin(QPainter& painter) = 0;
    // Ends the painter; false when the job failed.
    virtual bool End(QPainter& painter) = 0;
    virtual bool NewPage() = 0;
    virtual QPaintDevice* Device() = 0;
    // The printer's name, or the output file when printing to a file.
    virtual QString Name() const = 0;
};

class PrintSupportModule {
public:
    // The print dialog over the printer; true when the user confirmed it.
    virtual bool ChoosePrinter(QPrinter* printer) = 0;
    // A job on a new high-resolution printer.
    virtual std::unique_ptr<PrintJob> NewJob() = 0;

protected:
    ~PrintSupportModule() = default;
};

// The loaded module; raises RuntimeException when it cannot be loaded.
PrintSupportModule& PrintSupport();

}  // namespace fw
