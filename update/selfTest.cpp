#include "update/selfTest.h"

#include "gui/Application.h"
#include "update/updateWindow.h"

void selfTest::StaticText2_Open(fw::Label& sender) { sender.SetText(fw::TheApplication()->LongVersion()); }

void selfTest::PushButton1_Action(fw::PushButton&) {
    // Returns once the update window has closed, however it closed; its Open
    // has closed this window meanwhile.
    updateWindowInstance()->ShowModal();
    // Only a version window still open is closed: asking the accessor would
    // make a new one.
    if (fw::Ref<fw::Window> open = fw::GetImplicitWindow(Definition().registeredName)) open->Close();
}

fw::Ref<selfTest> selfTestInstance() { return fw::ImplicitWindowOf<selfTest>(); }
