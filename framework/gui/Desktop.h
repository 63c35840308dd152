// Everything the program shows or hands to the user's desktop goes through
// one replaceable interface: message boxes, message dialogs, file dialogs,
// the print dialog, ShowURL and Beep. QtDesktop is the real one; tests
// install a ScriptedDesktop that records each call and returns prepared
// answers, so no test ever blocks in a modal dialog.
#pragma once

#include "String.h"

#include <optional>
#include <string>

class QPrinter;

namespace fw {

enum class DialogButton { Action, Cancel, Alternate };

// What a MessageDialog shows. Texts are plain text, never markup.
struct MessageDialogSpec {
    String title;
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
    virtual void MsgBox(const String& text) = 0;
    // Returns the button pressed; Cancel also when the dialog was closed
    // without a button.
    virtual DialogButton ShowMessageDialog(const MessageDialogSpec& spec) = 0;
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

// The framework's global functions over the desktop.
inline void MsgBox(const String& text) { TheDesktop().MsgBox(text); }
inline void ShowURL(const String& url) { TheDesktop().ShowURL(url); }
inline void Beep() { TheDesktop().Beep(); }

}  // namespace fw
