// Printing: the print dialog, a drawing surface for the printed page and a
// printer for a text area's text laid out in lines of a given width.
//
// Graphics is an interface so that the same routine can draw on a real
// printer (OpenPrinterDialog's PrinterGraphics) or on a recorder in tests
// (PrintingRecorder.h). Coordinates and sizes are points (1/72 inch) from
// the paper's top-left corner. PrinterGraphics reaches its printer through
// the printing module (PrintSupportModule.h), so Qt Print Support is loaded
// only when something is printed.
#pragma once

#include "core/Object.h"
#include "core/PropertySet.h"
#include "core/String.h"

#include <QFont>

#include <memory>
#include <vector>

class QPaintDevice;
class QPrinter;
class QTextLayout;

namespace fw {

class PrintJob;
class TextArea;

Colour RGB(int red, int green, int blue);

class Graphics : public Object {
public:
    // The drawing state DrawString and a StyledTextPrinter made on this
    // surface use; it stays in force across NextPage. A surface starts in
    // "System", 12 points, black, not bold.
    const String& TextFont() const { return textFont_; }
    virtual void SetTextFont(const String& name) { textFont_ = name; }
    double TextSize() const { return textSize_; }
    virtual void SetTextSize(double points) { textSize_ = points; }
    const Colour& ForeColor() const { return foreColor_; }
    virtual void SetForeColor(const Colour& colour) { foreColor_ = colour; }
    bool Bold() const { return bold_; }
    virtual void SetBold(bool bold) { bold_ = bold; }

    // Draws the text on one line from x with its baseline at y (no
    // wrapping: the program's strings are short).
    virtual void DrawString(const String& text, double x, double y) = 0;
    // Ends the current page; later drawing goes onto a new one.
    virtual void NextPage() = 0;

    // For StyledTextPrinter: the font of the drawing state, and the device
    // whose metrics text is laid out with (its resolution is 72 dots per
    // inch, so a point is one unit).
    QFont Font() const;
    virtual QPaintDevice* LayoutDevice();
    // Draws line lineIndex of a layout made on LayoutDevice(), the line's
    // top-left corner at (x, y), in the fore colour.
    virtual void DrawTextLine(const QTextLayout& layout, int lineIndex, double x, double y) = 0;

private:
    String textFont_ = "System";
    double textSize_ = 12;
    Colour foreColor_{0, 0, 0};
    bool bold_ = false;
};

// Lays out a whole text in lines of a fixed width in the font the graphics
// had when it was made, and draws it block by block. Line ends (CR, LF,
// CR LF) end paragraphs; a line too long for the width breaks between
// words, or inside a word longer than the width.
class StyledTextPrinter : public Object {
public:
    StyledTextPrinter(const String& text, Graphics& graphics, double width);
    ~StyledTextPrinter() override;

    // Draws the next lines that fit one under the other into the height,
    // the block's top-left corner at (x, y), and moves past them. A line
    // taller than the height is drawn all the same, so that every call
    // moves on.
    void DrawBlock(double x, double y, double height);
    // True once no text remains to be drawn; at once for an empty text.
    // (EOF itself is the C library's macro.)
    bool Eof() const { return next_ >= lines_.size(); }

    std::size_t LineCount() const { return lines_.size(); }

private:
    struct Line {
        const QTextLayout* layout;
        int index;
        double height;
    };
    Graphics& graphics_;
    std::vector<std::unique_ptr<QTextLayout>> layouts_;
    std::vector<Line> lines_;
    std::size_t next_ = 0;
};

// TextArea.styledTextPrinter: a printer for the area's whole current text.
Ref<StyledTextPrinter> styledTextPrinter(const TextArea& area, Graphics& graphics, double width);

// A Graphics on a printer: a QPainter on the QPrinter, every page 72 units
// to the inch from the paper's top-left corner, portrait whatever was
// chosen. The print job ends, and goes to the printer, when the object is
// released; a job that fails, or that the print service does not take,
// is told to the user in a message naming the printer and the reason.
class PrinterGraphics : public Graphics {
public:
    // Takes a job whose printer holds the user's choices; Begin starts it.
    explicit PrinterGraphics(std::unique_ptr<PrintJob> job);
    ~PrinterGraphics() override;

    // False, after telling the user, when the job cannot start.
    bool Begin();
    // Ends the job (the destructor does it otherwise); false, after telling
    // the user, when it failed or the print service refused it. Further
    // drawing is ignored.
    bool Finish();

    QPrinter& Printer();
    int PageCount() const { return pages_; }

    void DrawString(const String& text, double x, double y) override;
    void NextPage() override;
    QPaintDevice* LayoutDevice() override;
    void DrawTextLine(const QTextLayout& layout, int lineIndex, double x, double y) override;

private:
    struct Painter;
    void ApplyState();
    void Fail(const String& reason);

    std::unique_ptr<PrintJob> job_;
    std::unique_ptr<Painter> painter_;
    int pages_ = 0;
    bool finished_ = false;
};

// Shows the system's print dialog modally (through the desktop, with no
// page setup and no parent window) and returns a graphics that draws on
// the first page of a new print job, or nil when the user cancelled or the
// job could not start. The job bears the name given (the print queue's
// listing, the document's title); it prints every page drawn, once, in
// order, for the dialog offers no range, copies or order.
Ref<Graphics> OpenPrinterDialog(const String& jobName = String());

}  // namespace fw
