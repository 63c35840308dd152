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
    // The job's name, as the print queue lists it and the document's title.
    virtual void SetTitle(const QString& title) = 0;
    // Lays the page out in points from the paper's corner and begins the
    // painter on it; false when the job cannot start.
    virtual bool Begin(QPainter& painter) = 0;
    // Ends the painter, which hands the job to the printer; false when the
    // job failed, with the reason in failure.
    virtual bool End(QPainter& painter, QString& failure) = 0;
    virtual bool NewPage() = 0;
    virtual QPaintDevice* Device() = 0;
    // The printer's name, or the output file when printing to a file.
    virtual QString Name() const = 0;
};

class PrintSupportModule {
public:
    // The print dialog over the printer; true when the user confirmed it.
    // It offers no choice of pages, copies, collation or page order: a job
    // prints the whole document once, first page first.
    virtual bool ChoosePrinter(QPrinter* printer) = 0;
    // A job on a new high-resolution printer.
    virtual std::unique_ptr<PrintJob> NewJob() = 0;

protected:
    ~PrintSupportModule() = default;
};

// The loaded module; raises RuntimeException when it cannot be loaded.
PrintSupportModule& PrintSupport();

}  // namespace fw
