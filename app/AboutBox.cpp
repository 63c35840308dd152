#include "app/AboutBox.h"

#include "Build.h"
#include "app/App.h"
#include "core/Registry.h"
#include "gui/Desktop.h"

fw::String AuthorMailURL() { return fw::String("mailto:") + fw::String(build::kAuthorMail); }
fw::String WebSiteURL() { return fw::String("http://") + fw::String(build::kWebHost); }

void AboutBox::PushButton1_Action(fw::PushButton&) { fw::ShowURL(AuthorMailURL()); }
void AboutBox::PushButton2_Action(fw::PushButton&) { fw::ShowURL(WebSiteURL()); }
void AboutBox::StaticText4_Open(fw::Label& label) { label.SetText(AppObject()->LongVersion()); }

fw::Ref<AboutBox> AboutBoxInstance() { return fw::ImplicitWindowOf<AboutBox>(); }

void RegisterAboutBoxClass() {
    fw::RegisterClass(fw::WindowClassDef(AboutBox::Definition()));
    fw::RegisterControlClasses(AboutBox::Definition());
}
