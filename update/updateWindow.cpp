#include "update/updateWindow.h"

#include "core/Registry.h"
#include "gui/Application.h"
#include "gui/Desktop.h"
#include "gui/Dialogs.h"
#include "update/Addresses.h"
#include "update/Reply.h"
#include "update/selfTest.h"

namespace {
// The framework's icon code of the upgrade dialog: the dialog asks a question.
constexpr int32_t kQuestionIcon = 3;
}  // namespace

void updateWindow::Event_Open() {
    // Maximum 0: a busy indicator until the reply hides it.
    ProgressBar1()->SetMaximum(0);
    hp()->Get(update::UpdateFileUrl());
    selfTestInstance()->Close();
}

void updateWindow::PushButton1_Action(fw::PushButton&) { Close(); }

void updateWindow::hp_PageReceived(fw::HTTPSocket& socket, const fw::String&, int32_t status,
                                   const fw::InternetHeaders&, const fw::String& content) {
    // An error page, a redirect or an empty reply is no update file: the
    // check failed, as when no connection could be made.
    const fw::String version = update::CurrentVersion(content);
    if (!update::IsUpdateFile(status, version)) {
        hp_Error(socket, update::NoUpdateFileCode());
        return;
    }
    const fw::String description = returnValue(content, "Description");
    const bool free = update::IsFreeUpgrade(returnValue(content, "Free"));
    ProgressBar1()->SetVisible(false);
    const fw::Ref<fw::Application> app = fw::TheApplication();
    if (!update::IsCurrentVersion(version, app->MajorVersion(), app->MinorVersion(), app->BugVersion())) {
        askUpgrade(version, description, update::DownloadUrl(), free);
        return;
    }
    StaticText1()->SetText(update::kCurrentLabel);
    // Drawn before the message box's modal loop starts.
    StaticText1()->Refresh(true);
    if (!automaticCheck) fw::MsgBox(update::kCurrentMessage);
    Close();
}

void updateWindow::hp_Error(fw::HTTPSocket&, int32_t code) {
    fw::Beep();
    fw::MsgBox(update::CommunicationErrorMessage(code));
    Close();
}

fw::String updateWindow::startTag(const fw::String& name) { return update::startTag(name); }

fw::String updateWindow::endTag(const fw::String& name) { return update::endTag(name); }

fw::String updateWindow::returnValue(const fw::String& reply, const fw::String& name) {
    return update::returnValue(reply, name);
}

void updateWindow::askUpgrade(const fw::String& version, const fw::String& description,
                              const fw::String& downloadAddress, bool free) {
    const auto dialog = fw::New<fw::MessageDialog>();
    dialog->SetTitle(update::kUpgradeTitle);
    dialog->SetMessage(update::UpgradeMessage(version, fw::TheApplication()->ShortVersion(), free));
    // Shown as plain text, as every text of the desktop's dialogs is.
    dialog->SetExplanation(description);
    dialog->CancelButton()->SetVisible(true);
    dialog->AlternateActionButton()->SetCaption(update::kGoToWebsite);
    dialog->AlternateActionButton()->SetVisible(true);
    dialog->SetIcon(kQuestionIcon);
    const fw::Ref<fw::MessageDialogButton> pressed = dialog->ShowModal();
    if (pressed == dialog->CancelButton()) {
        Close();
    } else if (pressed == dialog->ActionButton()) {
        fw::ShowURL(downloadAddress);
        Close();
    } else if (pressed == dialog->AlternateActionButton()) {
        // The update window stays open; its "Cancel" ends it.
        fw::ShowURL(update::WebSiteUrl());
    }
}

fw::Ref<updateWindow> updateWindowInstance() { return fw::ImplicitWindowOf<updateWindow>(); }

void RegisterUpdateClasses() {
    const fw::Attributes pub{fw::Scope("Public")};
    fw::ClassDef def = fw::WindowClassDef(updateWindow::Definition());
    def.Method("Event_Open", "", pub)
        .Method("startTag", "( String ) as String", pub)
        .Method("endTag", "( String ) as String", pub)
        .Method("askUpgrade", "( String, String, String, Boolean )", pub)
        .Method("returnValue", "( String, String ) as String", pub)
        .Property("automaticCheck", "Boolean", pub)
        .Hook<updateWindow>("Open", "Event_Open", &updateWindow::Event_Open);
    fw::RegisterClass(std::move(def));
    fw::RegisterControlClasses(updateWindow::Definition());
    fw::RegisterClass(fw::WindowClassDef(selfTest::Definition()));
}
