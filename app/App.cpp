#include "app/App.h"

#include "core/Registry.h"
#include "core/RuntimeCore.h"

fw::Ref<App> AppObject() { return fw::Cast<App>(fw::GetAppObject()); }

fw::Ref<fw::FileType>& FileTypes1::pUntitled() {
    static fw::Ref<fw::FileType> type;
    return type;
}

void FileTypes1::Initialize() {
    pUntitled() = fw::New<fw::FileType>();
    pUntitled()->SetName("untitled");
    pUntitled()->SetExtensions(".txt");
    pUntitled()->SetMacType("TEXT");
    pUntitled()->SetMacCreator("????");
    (void)pUntitled()->ToString();  // registers the type
}

void RegisterAppClass() {
    fw::RegisterClass(fw::ClassDef("App", "Application").Creates<App>().Method("Constructor", "", {fw::Scope("Public")}));
}
