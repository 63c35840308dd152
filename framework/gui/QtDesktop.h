// The real desktop: Qt message boxes, file and print dialogs, the system's
// URL handler and the system beep. Every text is shown as plain text, so a
// text that happens to look like markup (an update file's description, a
// file name) is shown as it stands. A message box is a child of its owner
// window, so the window system places it over that window.
#pragma once

#include "gui/Desktop.h"

#include <QString>

#include <memory>

class QFileDialog;
class QMessageBox;

namespace fw {

class QtDesktop : public Desktop {
public:
    void MsgBox(const String& text, const DialogOwner& owner) override;
    DialogButton ShowMessageDialog(const MessageDialogSpec& spec, const DialogOwner& owner) override;
    std::optional<std::string> ChooseFileToOpen(const FileDialogSpec& spec) override;
    std::optional<std::string> ChooseFileToSave(const FileDialogSpec& spec) override;
    bool ChoosePrinter(QPrinter* printer) override;
    void ShowURL(const String& url) override;
    void Beep() override;

    // The dialogs the calls above show, built but not shown, so that their
    // set-up can be checked without a modal loop.
    static std::unique_ptr<QMessageBox> BuildMsgBox(const String& text, const DialogOwner& owner);
    static std::unique_ptr<QMessageBox> BuildMessageBox(const MessageDialogSpec& spec, const DialogOwner& owner);
    // Which of the dialog's buttons the user pressed (Cancel when none).
    static DialogButton PressedButton(const QMessageBox& box);
    // Qt's own widget dialog (never the platform's), which takes the name
    // box's text as one path (FileTypedIn), lists a folder without reading
    // its files, and keeps no settings.
    static std::unique_ptr<QFileDialog> BuildFileDialog(const FileDialogSpec& spec, bool save);
    // The path a dialog built so was accepted with.
    static std::optional<std::string> ChosenFile(const QFileDialog& dialog);
    // The path the name box's text stands for, in the folder the dialog
    // shows: the text as it stands, quotes, blanks and dashes included,
    // from the root when it begins with "/", else inside the folder; "~"
    // and "~/..." start at the home folder unless the folder holds a "~".
    static QString FileTypedIn(const QString& typed, const QString& folder);

    // The framework's line ends are CR; a label breaks lines at LF only.
    static QString DisplayText(const String& text);
    // The text a message box shows, so that the box fits on any screen and
    // opens at once whatever it is given (an update file's description
    // holds up to a megabyte): at most kBoxLines lines and kBoxCharacters
    // characters, cut with an ellipsis; a run of more than kBoxRun
    // characters without a break gets a zero-width space after every
    // kBoxRun of them, so that it wraps instead of running off the box.
    static constexpr int kBoxLines = 15;
    static constexpr int kBoxCharacters = 1000;
    static constexpr int kBoxRun = 40;
    static QString BoxText(const String& text);
    // The folder a file dialog starts in: the wanted one when it is a folder,
    // else the user's Documents folder, else the home folder.
    static QString StartFolder(const std::string& wanted);
};

}  // namespace fw
