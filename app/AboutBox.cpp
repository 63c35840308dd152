#include "app/AboutBox.h"

#include "app/App.h"
#include "app/Window1.h"
#include "core/Registry.h"
#include "gui/Desktop.h"
#include "update/Addresses.h"

void AboutBox::PushButton1_Action(fw::PushButton&) { fw::ShowURL(update::AuthorMailUrl()); }
void AboutBox::PushButton2_Action(fw::PushButton&) { fw::ShowURL(update::WebSiteUrl()); }
void AboutBox::StaticText4_Open(fw::Label& label) { label.SetText(AppObject()->LongVersion()); }

fw::Ref<AboutBox> AboutBoxInstance() { return fw::ImplicitWindowOf<AboutBox>(); }

namespace {
// An open box comes to the front; the accessor alone would leave it where
// it is.
bool ShowAboutBox() {
    AboutBoxInstance()->Show();
    return false;
}
}  // namespace

void RegisterAboutBoxClass() {
    fw::RegisterClass(fw::WindowClassDef(AboutBox::Definition()));
    fw::RegisterControlClasses(AboutBox::Definition());
    SetMenuCommandOpener("HelpAbout", &ShowAboutBox);
}
