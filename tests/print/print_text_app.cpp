// Prints a text the way the Print Help command does, through the real
// print dialog, for the print test under Xvfb:
//   print_text_app help|three|empty TEXT_OUT
// "help" is the designed help text, "three" a text of three pages, "empty"
// no text. The text printed is written to TEXT_OUT (LF line ends) for the
// checks. Exits 0 once the job was handed to the printer.
#include "app/HelpPrint.h"
#include "gui/controls/TextArea.h"
#include "help_text.h"
#include "three_pages.h"

#include <QApplication>

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: print_text_app help|three|empty TEXT_OUT\n");
        return 2;
    }
    const std::string mode = argv[1];
    std::string text;
    if (mode == "help") text = std::string(resources::HelpText());
    else if (mode == "three") text = print_test::ThreePageText();
    else if (mode != "empty") {
        std::fprintf(stderr, "print_text_app: unknown text '%s'\n", argv[1]);
        return 2;
    }
    {
        std::string lf = text;
        for (char& c : lf)
            if (c == '\r') c = '\n';
        std::ofstream(argv[2], std::ios::binary) << lf;
    }
    auto area = fw::New<fw::TextArea>();
    area->SetText(fw::String(text));
    helpprint::PrintHelp([&] { return area; }, [] {});
    return 0;
}
