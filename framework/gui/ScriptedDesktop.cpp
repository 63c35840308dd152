#include "gui/ScriptedDesktop.h"

#include "core/Exceptions.h"

namespace fw {

namespace {
template <class T>
std::optional<T> Take(std::deque<T>& queue) {
    if (queue.empty()) return std::nullopt;
    T v = std::move(queue.front());
    queue.pop_front();
    return v;
}
}  // namespace

void ScriptedDesktop::Record(Call call) {
    calls_.push_back(std::move(call));
    // A copy: the hook may itself call the desktop and grow calls_.
    if (onCall) {
        const Call recorded = calls_.back();
        onCall(recorded);
    }
}

std::vector<ScriptedDesktop::Call> ScriptedDesktop::CallsOf(Kind kind) const {
    std::vector<Call> out;
    for (const Call& c : calls_)
        if (c.kind == kind) out.push_back(c);
    return out;
}

std::size_t ScriptedDesktop::Count(Kind kind) const {
    std::size_t n = 0;
    for (const Call& c : calls_) n += c.kind == kind;
    return n;
}

std::size_t ScriptedDesktop::PendingAnswers() const {
    return openAnswers_.size() + saveAnswers_.size() + buttons_.size() + printerAnswers_.size();
}

void ScriptedDesktop::MsgBox(const String& text, const DialogOwner& owner) {
    Record({Kind::MsgBox, text, {}, {}, owner});
}

DialogButton ScriptedDesktop::ShowMessageDialog(const MessageDialogSpec& spec, const DialogOwner& owner) {
    Record({Kind::MessageDialog, spec.message, spec, {}, owner});
    return Take(buttons_).value_or(DialogButton::Cancel);
}

std::optional<std::string> ScriptedDesktop::ChooseFileToOpen(const FileDialogSpec& spec) {
    Record({Kind::OpenFile, spec.title, {}, spec, {}});
    return Take(openAnswers_).value_or(std::nullopt);
}

std::optional<std::string> ScriptedDesktop::ChooseFileToSave(const FileDialogSpec& spec) {
    Record({Kind::SaveFile, spec.title, {}, spec, {}});
    return Take(saveAnswers_).value_or(std::nullopt);
}

bool ScriptedDesktop::ChoosePrinter(QPrinter* printer) {
    if (!printer) throw NilObjectException("ChoosePrinter was given no printer.");
    Record({Kind::ChoosePrinter, {}, {}, {}, {}});
    const std::optional<PrinterAnswer> answer = Take(printerAnswers_);
    if (!answer || !answer->accept) return false;
    if (answer->choose) answer->choose(*printer);
    return true;
}

void ScriptedDesktop::ShowURL(const String& url) { Record({Kind::ShowURL, url, {}, {}, {}}); }

void ScriptedDesktop::Beep() { Record({Kind::Beep, {}, {}, {}, {}}); }

}  // namespace fw
