// Everything the program shows or hands to the user's desktop goes through
// one replaceable interface: message boxes, message dialogs, file dialogs,
// the print dialog, ShowURL and Beep. QtDesktop is the real one; tests
// install a ScriptedDesktop that records each call and returns prepared
// answers, so no test ever blocks in a modal dialog.
//
// A message box opens over the window it belongs to and bears a title: the
// framework finds both (DialogOwnerFor) before it asks the desktop, so a
// scripted desktop records them too.
#pragma once

#include "core/String.h"

#include <optional>
#include <string>

class QPrinter;

namespace fw {

class Window;

enum class DialogButton { Action, Cancel, Alternate };

// Where a message box opens and what its title bar says.
struct DialogOwner {
    // The window it opens over; nullptr when none of the program's windows
    // shows, and the box opens in the middle of the screen.
    Window* window = nullptr;
    String title;
};

// What a MessageDialog shows (its title travels in its DialogOwner). Texts
// are plain text, never markup.
struct MessageDialogSpec {
    String message;
    String explanation;
    int32_t icon = 0;  // 0 note, 1 caution, 2 stop, 3 question (-1 none)
    String actionCaption = "OK";
    bool actionVisible = true;
    String cancelCaption = "Cancel";
    bool cancelVisible = false;
    String alternateCaption;
    bool alternateVisible = false;
};

struct FileDialogSpec {
    String title;
    std::string initialFolder;  // a native path; empty: the toolkit's choice
    String suggestedName;       // save dialogs only
};

class Desktop {
public:
    virtual ~Desktop() = default;
    // A modal alert with one button; returns when the user dismissed it.
    virtual void MsgBox(const String& text, const DialogOwner& owner) = 0;
    // Returns the button pressed; Cancel also when the dialog was closed
    // without a button.
    virtual DialogButton ShowMessageDialog(const MessageDialogSpec& spec, const DialogOwner& owner) = 0;
    // The chosen file's native path, or nothing when the user cancelled.
    virtual std::optional<std::string> ChooseFileToOpen(const FileDialogSpec& spec) = 0;
    virtual std::optional<std::string> ChooseFileToSave(const FileDialogSpec& spec) = 0;
    // The print dialog on a printer the caller has set up (page layout,
    // output): true when the user confirmed and the printer now holds the
    // chosen settings, false when the user cancelled. The printer must not
    // be null.
    virtual bool ChoosePrinter(QPrinter* printer) = 0;
    // Hands an http or mailto address to the browser or mail program;
    // returns at once.
    virtual void ShowURL(const String& url) = 0;
    virtual void Beep() = 0;
};

// The desktop in use (a QtDesktop unless one was set).
Desktop& TheDesktop();
// Installs a desktop (not owned); nullptr restores the default. Returns the
// previous one.
Desktop* SetDesktop(Desktop* desktop);

// The program's name, the title of every message box that has none of its
// own. Empty until the program sets it.
const String& ProgramName();
void SetProgramName(const String& name);

// The window a message box belongs to: the window whose handler is running
// (innermost first), else the program's active window, else its newest
// visible one; nullptr when none of its windows shows.
Window* DialogOwnerWindow();
// That window with the title: the given one, or the program's name when it
// is empty.
DialogOwner DialogOwnerFor(const String& title = String());

// Marks the window whose handler runs for the life of the object, so that a
// message box the handler shows opens over it. nullptr marks nothing.
class HandlerWindowScope {
public:
    explicit HandlerWindowScope(Window* window);
    ~HandlerWindowScope();
    HandlerWindowScope(const HandlerWindowScope&) = delete;
    HandlerWindowScope& operator=(const HandlerWindowScope&) = delete;

private:
    bool marked_;
};

// The framework's global functions over the desktop.
inline void MsgBox(const String& text) { TheDesktop().MsgBox(text, DialogOwnerFor()); }
inline void ShowURL(const String& url) { TheDesktop().ShowURL(url); }
inline void Beep() { TheDesktop().Beep(); }

}  // namespace fw
