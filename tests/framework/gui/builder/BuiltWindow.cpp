#include "BuiltWindow.h"

void BuiltWindow::OkButton_Action(fw::PushButton& sender) { calls.push_back("OkButton_Action " + sender.Caption().ToUtf8()); }
void BuiltWindow::Note_Open(fw::Label& sender) { calls.push_back("Note_Open " + sender.Text().ToUtf8()); }
void BuiltWindow::Ticker_Action(fw::Timer& sender) { calls.push_back("Ticker_Action " + std::to_string(sender.Period())); }
void BuiltWindow::Ticker_Reply(fw::Timer&, const fw::String& text, int32_t code) {
    calls.push_back("Ticker_Reply " + text.ToUtf8() + " " + std::to_string(code));
}
