// The eleven Try Me buttons: each puts its sample through the scrambler.
#include "engine/Module1.h"
#include "app/Window1.h"
#include "samples.h"

void Window1::TryMe(int sample) {
    Module1::NewScrambledMessageFlag = false;
    Module1::TryMeFlag = true;
    EditField1()->SetText(fw::String());
    EditField1()->Refresh(true);
    fw::String text;
    const resources::SamplePieces pieces = resources::Sample(sample);
    for (std::size_t i = 0; i < pieces.count; ++i) text = text + fw::String(pieces.pieces[i]);
    EditField3()->SetText(text);
    EditField3()->Refresh(true);
    Timer1()->SetPeriod(100);
    Scramble()->Push();
    EditField1()->SetFocus();
}

void Window1::TryMe1_Action(fw::PushButton&) { TryMe(1); }
void Window1::TryMe2_Action(fw::PushButton&) { TryMe(2); }
void Window1::TryMe3_Action(fw::PushButton&) { TryMe(3); }
void Window1::TryMe4_Action(fw::PushButton&) { TryMe(4); }
void Window1::TryMe5_Action(fw::PushButton&) { TryMe(5); }
void Window1::TryMe6_Action(fw::PushButton&) { TryMe(6); }
void Window1::TryMe7_Action(fw::PushButton&) { TryMe(7); }
void Window1::TryMe8_Action(fw::PushButton&) { TryMe(8); }
void Window1::TryMe9_Action(fw::PushButton&) { TryMe(9); }
void Window1::TryMe10_Action(fw::PushButton&) { TryMe(10); }
void Window1::TryMe11_Action(fw::PushButton&) { TryMe(11); }
