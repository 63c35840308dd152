// The Help window: the help text in one editable text area, with its own
// menu bar MenuBar2, whose one command of the window's is Print Help. At
// most one is open; it is reached through HelpInstance().
#pragma once

#include "app/MenuBars.h"
#include "Help.window.h"

class Help : public fw::Window {
    FW_WINDOW_MEMBERS(Help)

public:
    // Menu-handler hook and the Print Help command
    // ("_FilePrintHelp_Action").
    void AddMenuHandlers(const fw::Ref<fw::Window>& window);
    bool FilePrintHelp_Action();
};

// The implicit-instance accessor: the open Help window or a new one.
fw::Ref<Help> HelpInstance();

// Print Help, as the main window's and the Help window's commands both run
// it: prints the text of the Help window (creating it once the dialog is
// confirmed, when none is open) and then closes any open Help window, also
// after a cancel. Returns True.
bool PrintHelpCommand();

// Registers the class "Help.Help".
void RegisterHelpClass();
