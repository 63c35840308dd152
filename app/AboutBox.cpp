#include "app/AboutBox.h"

#include "app/App.h"
#include "core/Registry.h"
#include "gui/Desktop.h"
#include "update/Addresses.h"

void AboutBox::PushButton1_Action(fw::PushButton&) { fw::ShowURL(update::AuthorMailUrl()); }
void AboutBox::PushButton2_Action(fw::PushButton&) { fw::ShowURL(update::WebSiteUrl()); }
void AboutBox::StaticText4_Open(fw::Label& label) { label.SetText(AppObject()->LongVersion()); }

fw::Ref<AboutBox> AboutBoxInstance() { return fw::ImplicitWindowOf<AboutBox>(); }

void RegisterAboutBoxClass() {
    fw::RegisterClass(fw::WindowClassDef(AboutBox::Definition()));
    fw::RegisterControlClasses(AboutBox::Definition());
}
