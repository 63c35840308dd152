// The main window's own events, the scramble pause and the support button.
#include "gui/Desktop.h"
#include "engine/Module1.h"
#include "gui/Runtime.h"
#include "app/Window1.h"
#include "update/Addresses.h"

void Window1::Event_Open() {
    Module1::NewScrambledMessageFlag = false;
    Module1::TryMeFlag = false;
    EditField3()->SetText(EditField1()->Text());
}

void Window1::Event_Close() { fw::Quit(0); }

void Window1::Timer1_Action(fw::Timer&) {
    Scramble()->SetEnabled(true);
    Timer1()->SetPeriod(2000);
}

void Window1::SupportButton_Action(fw::PushButton&) { fw::ShowURL(update::SupportPageUrl()); }
