// The main window. Its definition (resources/Window1.window) gives it its
// controls with their accessors, the handlers of their events and its menu
// bar's item accessors; here are the menu commands, the message-file
// routines and the text engine's steps. All state lives in the controls and
// in Module1; the class registers no property.
#pragma once

#include "app/MenuBars.h"
#include "core/Memory.h"
#include "Window1.window.h"

#include <cstdint>
#include <memory>
#include <string>

namespace engine {
class WordLookup;
}

class Window1 : public fw::Window {
    FW_WINDOW_MEMBERS(Window1)

public:
    Window1();
    ~Window1() override;

    // Menu-handler hook and window events.
    void AddMenuHandlers(const fw::Ref<fw::Window>& window);
    void Event_Open();
    void Event_Close();

    // Menu commands (registered as "_CheckForUpdateCheckNow_Action" etc.).
    bool CheckForUpdateCheckNow_Action();
    bool HelpShow_Action();
    bool HelpAbout_Action();
    bool FilePrintHelp_Action();

    // Own methods.
    void getFile1();
    void saveFile1();
    void getFile2();
    void saveFile2();
    void ScrambleWord();
    void SearchWord();
    void saveDictionary();
    void doUnscramble();
    void checkDictionary();

    // The word list's look-up, kept in step with the list box's rows.
    engine::WordLookup& Lookup();

private:
    void TryMe(int sample);
    void LoadInto(const fw::Ref<fw::TextArea>& area);
    void SaveFrom(const fw::Ref<fw::TextArea>& area);
    // Whether the memory left holds a step's need (core/Memory.h). When it
    // does not, the user is told over the window, before the step changes
    // anything: refusal begins the sentence and names the text and its
    // size; outcome says what became of it.
    static bool MemoryHolds(std::uint64_t need, const std::string& refusal, const char* outcome);
    // What the three areas and the engine's buffers hold now.
    fw::EngineHeld EngineHolds();
    std::unique_ptr<engine::WordLookup> lookup_;
};

// The implicit-instance accessor: the open main window or a new one.
fw::Ref<Window1> Window1Instance();

// Registers the class "Window1.Window1" and the class of its timer.
void RegisterWindow1Classes();
