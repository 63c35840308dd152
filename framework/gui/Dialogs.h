// The framework's dialog classes over the desktop: the file dialogs return
// folder items, a MessageDialog returns the button object that was pressed.
// Nothing here shows a widget itself; TheDesktop() does, so a scripted
// desktop answers them in tests.
#pragma once

#include "gui/Desktop.h"
#include "core/Files.h"
#include "core/Object.h"
#include "core/String.h"

namespace fw {

class FolderItemDialog : public Object {
public:
    const String& Title() const { return title_; }
    void SetTitle(const String& title) { title_ = title; }
    // The folder shown first; nil leaves the choice to the desktop.
    const Ref<FolderItem>& InitialDirectory() const { return initialDirectory_; }
    void SetInitialDirectory(const Ref<FolderItem>& folder) { initialDirectory_ = folder; }
    const String& SuggestedFileName() const { return suggestedFileName_; }
    void SetSuggestedFileName(const String& name) { suggestedFileName_ = name; }

    // Shows the dialog modally; the chosen item, or nil when cancelled.
    virtual Ref<FolderItem> ShowModal() = 0;

protected:
    FileDialogSpec Spec() const;

private:
    String title_;
    Ref<FolderItem> initialDirectory_;
    String suggestedFileName_;
};

class OpenDialog : public FolderItemDialog {
public:
    Ref<FolderItem> ShowModal() override;
};

class SaveAsDialog : public FolderItemDialog {
public:
    Ref<FolderItem> ShowModal() override;
};

class MessageDialogButton : public Object {
public:
    MessageDialogButton(String caption, bool visible) : caption_(std::move(caption)), visible_(visible) {}
    const String& Caption() const { return caption_; }
    void SetCaption(const String& caption) { caption_ = caption; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }

private:
    String caption_;
    bool visible_;
};

class MessageDialog : public Object {
public:
    // The action button "OK" shows; the cancel button "Cancel" and the
    // alternate action button (no caption) are hidden.
    MessageDialog();

    const String& Title() const { return title_; }
    void SetTitle(const String& v) { title_ = v; }
    const String& Message() const { return message_; }
    void SetMessage(const String& v) { message_ = v; }
    const String& Explanation() const { return explanation_; }
    void SetExplanation(const String& v) { explanation_ = v; }
    // 0 note, 1 caution, 2 stop, 3 question, -1 none.
    int32_t Icon() const { return icon_; }
    void SetIcon(int32_t v) { icon_ = v; }

    const Ref<MessageDialogButton>& ActionButton() const { return action_; }
    const Ref<MessageDialogButton>& CancelButton() const { return cancel_; }
    const Ref<MessageDialogButton>& AlternateActionButton() const { return alternate_; }

    // Shows the dialog modally over the window it belongs to, titled with
    // its title or, without one, the program's name; returns the button
    // pressed (one of the three above; the cancel button when it was closed
    // without one).
    Ref<MessageDialogButton> ShowModal();

private:
    String title_, message_, explanation_;
    int32_t icon_ = 0;
    Ref<MessageDialogButton> action_, cancel_, alternate_;
};

}  // namespace fw
