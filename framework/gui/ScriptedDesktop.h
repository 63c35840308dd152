// A desktop for tests: records every call with its texts and answers from
// queues prepared in advance, never blocking. An empty queue answers as a
// user who cancels (no file, the Cancel button, the print dialog declined).
#pragma once

#include "gui/Desktop.h"

#include <deque>
#include <functional>
#include <vector>

namespace fw {

class ScriptedDesktop : public Desktop {
public:
    enum class Kind { MsgBox, MessageDialog, OpenFile, SaveFile, ChoosePrinter, ShowURL, Beep };

    struct Call {
        Kind kind;
        String text;               // MsgBox: the text; ShowURL: the address
        MessageDialogSpec dialog;  // MessageDialog only
        FileDialogSpec file;       // OpenFile and SaveFile only
        DialogOwner owner;         // MsgBox and MessageDialog only
    };

    // Answers, taken in order.
    void QueueFileToOpen(std::string path) { openAnswers_.push_back(std::move(path)); }
    void QueueOpenCancel() { openAnswers_.push_back(std::nullopt); }
    void QueueSavePath(std::string path) { saveAnswers_.push_back(std::move(path)); }
    void QueueSaveCancel() { saveAnswers_.push_back(std::nullopt); }
    void QueueButton(DialogButton button) { buttons_.push_back(button); }
    // choose, when given, makes the user's choices on the printer before an
    // accepting answer (an output file, landscape paper).
    void QueuePrinterAnswer(bool accept, std::function<void(QPrinter&)> choose = {}) {
        printerAnswers_.push_back({accept, std::move(choose)});
    }

    const std::vector<Call>& Calls() const { return calls_; }
    std::vector<Call> CallsOf(Kind kind) const;
    std::size_t Count(Kind kind) const;
    void ClearCalls() { calls_.clear(); }
    // Answers not yet used, so a test can see that a dialog it scripted was
    // really shown.
    std::size_t PendingAnswers() const;

    // Runs inside every call after it was recorded, before the answer is
    // given: the moment a real modal dialog would be on screen.
    std::function<void(const Call&)> onCall;

    void MsgBox(const String& text, const DialogOwner& owner) override;
    DialogButton ShowMessageDialog(const MessageDialogSpec& spec, const DialogOwner& owner) override;
    std::optional<std::string> ChooseFileToOpen(const FileDialogSpec& spec) override;
    std::optional<std::string> ChooseFileToSave(const FileDialogSpec& spec) override;
    bool ChoosePrinter(QPrinter* printer) override;
    void ShowURL(const String& url) override;
    void Beep() override;

private:
    void Record(Call call);

    std::vector<Call> calls_;
    std::deque<std::optional<std::string>> openAnswers_, saveAnswers_;
    std::deque<DialogButton> buttons_;
    struct PrinterAnswer {
        bool accept;
        std::function<void(QPrinter&)> choose;
    };
    std::deque<PrinterAnswer> printerAnswers_;
};

// Installs a desktop for the life of the object and restores the one before.
class ScopedDesktop {
public:
    explicit ScopedDesktop(Desktop& desktop) : previous_(SetDesktop(&desktop)) {}
    ~ScopedDesktop() { SetDesktop(previous_); }
    ScopedDesktop(const ScopedDesktop&) = delete;
    ScopedDesktop& operator=(const ScopedDesktop&) = delete;

private:
    Desktop* previous_;
};

}  // namespace fw
