#include "gui/Dialogs.h"

namespace fw {

FileDialogSpec FolderItemDialog::Spec() const {
    FileDialogSpec spec;
    spec.title = title_;
    if (initialDirectory_) spec.initialFolder = initialDirectory_->NativePath();
    spec.suggestedName = suggestedFileName_;
    return spec;
}

Ref<FolderItem> OpenDialog::ShowModal() {
    const auto path = TheDesktop().ChooseFileToOpen(Spec());
    if (!path) return nullptr;
    return New<FolderItem>(*path);
}

Ref<FolderItem> SaveAsDialog::ShowModal() {
    const auto path = TheDesktop().ChooseFileToSave(Spec());
    if (!path) return nullptr;
    return New<FolderItem>(*path);
}

MessageDialog::MessageDialog()
    : action_(New<MessageDialogButton>("OK", true)),
      cancel_(New<MessageDialogButton>("Cancel", false)),
      alternate_(New<MessageDialogButton>("", false)) {}

Ref<MessageDialogButton> MessageDialog::ShowModal() {
    MessageDialogSpec spec;
    spec.message = message_;
    spec.explanation = explanation_;
    spec.icon = icon_;
    spec.actionCaption = action_->Caption();
    spec.actionVisible = action_->Visible();
    spec.cancelCaption = cancel_->Caption();
    spec.cancelVisible = cancel_->Visible();
    spec.alternateCaption = alternate_->Caption();
    spec.alternateVisible = alternate_->Visible();
    switch (TheDesktop().ShowMessageDialog(spec, DialogOwnerFor(title_))) {
        case DialogButton::Action: return action_;
        case DialogButton::Alternate: return alternate_;
        case DialogButton::Cancel: break;
    }
    return cancel_;
}

}  // namespace fw
