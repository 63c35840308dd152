// The main window: its 35 controls, the handlers of their events, the menu
// commands, the message-file routines and the text engine's steps. All
// state lives in the controls and in Module1; the class registers no
// property. Every control is reached anew through its accessor.
#pragma once

#include "Label.h"
#include "Listbox.h"
#include "Menu.h"
#include "PopupMenu.h"
#include "PushButton.h"
#include "TextArea.h"
#include "TextField.h"
#include "Timer.h"
#include "Window.h"

#include <memory>

namespace engine {
class WordLookup;
}

// The control class of Timer1: adds only its owner window and its index.
class Window1_Timer1 : public fw::Timer {
public:
    void SetWindow(fw::Window* window);
    // Adding the control to its window tells it its window, as SetWindow.
    void AttachTo(fw::Window* window) override {
        ownerWindow_ = window;
        fw::Timer::AttachTo(window);
    }
    fw::Window* Window() const { return ownerWindow_; }
    int32_t GetIndex() const { return Index(); }
    void SetIndexValue(int32_t index) { SetIndex(index); }
    void Constructor() {}

private:
    fw::Window* ownerWindow_ = nullptr;
};

class Window1 : public fw::Window {
public:
    Window1();
    ~Window1() override;

    // Layout hooks.
    void Layout();
    void CreateControls();
    void CreateControls0();
    void CreateControls1();

    // Control accessors.
    fw::Ref<fw::TextArea> EditField1();
    fw::Ref<fw::TextArea> EditField2();
    fw::Ref<fw::PushButton> Scramble();
    fw::Ref<fw::PushButton> LoadFile1();
    fw::Ref<fw::PushButton> LoadFile2();
    fw::Ref<fw::PushButton> SaveFile1();
    fw::Ref<fw::PushButton> SaveFile2();
    fw::Ref<fw::PushButton> Clear1();
    fw::Ref<fw::PushButton> Clear2();
    fw::Ref<fw::PushButton> TryMe1();
    fw::Ref<fw::PushButton> TryMe2();
    fw::Ref<fw::PushButton> TryMe3();
    fw::Ref<fw::PushButton> TryMe4();
    fw::Ref<fw::PushButton> TryMe5();
    fw::Ref<fw::PushButton> TryMe6();
    fw::Ref<fw::PushButton> TryMe7();
    fw::Ref<fw::PushButton> TryMe8();
    fw::Ref<fw::PushButton> TryMe9();
    fw::Ref<fw::PushButton> TryMe10();
    fw::Ref<fw::PushButton> TryMe11();
    fw::Ref<fw::PushButton> Unscramble();
    fw::Ref<fw::TextArea> EditField3();
    fw::Ref<fw::Listbox> Wordwell();
    fw::Ref<fw::PushButton> DevTest();
    fw::Ref<fw::Label> StaticText1();
    fw::Ref<fw::Label> NoWords();
    fw::Ref<fw::PushButton> SaveDict();
    fw::Ref<fw::PopupMenu> AlternateWords();
    fw::Ref<fw::PushButton> FindWords();
    fw::Ref<fw::TextField> ThisWord();
    fw::Ref<fw::PushButton> UseWord();
    fw::Ref<fw::Label> StaticText2();
    fw::Ref<fw::Label> StaticText3();
    fw::Ref<fw::Timer> Timer1();
    fw::Ref<fw::PushButton> SupportButton();

    // Control event handlers.
    void EditField2_GotFocus(fw::TextArea& sender);
    void Scramble_Action(fw::PushButton& sender);
    void LoadFile1_Action(fw::PushButton& sender);
    void LoadFile2_Action(fw::PushButton& sender);
    void SaveFile1_Action(fw::PushButton& sender);
    void SaveFile2_Action(fw::PushButton& sender);
    void Clear1_Action(fw::PushButton& sender);
    void Clear2_Action(fw::PushButton& sender);
    void TryMe1_Action(fw::PushButton& sender);
    void TryMe2_Action(fw::PushButton& sender);
    void TryMe3_Action(fw::PushButton& sender);
    void TryMe4_Action(fw::PushButton& sender);
    void TryMe5_Action(fw::PushButton& sender);
    void TryMe6_Action(fw::PushButton& sender);
    void TryMe7_Action(fw::PushButton& sender);
    void TryMe8_Action(fw::PushButton& sender);
    void TryMe9_Action(fw::PushButton& sender);
    void TryMe10_Action(fw::PushButton& sender);
    void TryMe11_Action(fw::PushButton& sender);
    void Unscramble_Action(fw::PushButton& sender);
    void DevTest_Action(fw::PushButton& sender);
    void SaveDict_Action(fw::PushButton& sender);
    void FindWords_Action(fw::PushButton& sender);
    void UseWord_Action(fw::PushButton& sender);
    void Timer1_Action(fw::Timer& sender);
    void SupportButton_Action(fw::PushButton& sender);

    // Menu-item accessors.
    fw::Ref<fw::MenuItem> HelpMenu();
    fw::Ref<fw::AppleMenuItem> HelpAbout();
    fw::Ref<fw::MenuItem> HelpShow();
    fw::Ref<fw::MenuItem> CheckForUpdateMenu();
    fw::Ref<fw::MenuItem> CheckForUpdateCheckNow();
    fw::Ref<fw::MenuItem> EditMenu();
    fw::Ref<fw::MenuItem> EditSelectAll();
    fw::Ref<fw::MenuItem> UntitledMenu0();
    fw::Ref<fw::MenuItem> EditClear();
    fw::Ref<fw::MenuItem> EditPaste();
    fw::Ref<fw::MenuItem> EditCopy();
    fw::Ref<fw::MenuItem> EditCut();
    fw::Ref<fw::MenuItem> UntitledMenu1();
    fw::Ref<fw::MenuItem> EditUndo();
    fw::Ref<fw::MenuItem> FileMenu();
    fw::Ref<fw::QuitMenuItem> FileQuit();
    fw::Ref<fw::MenuItem> FilePrintHelp();

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

    // The word list's look-up, kept in step with Wordwell's rows.
    engine::WordLookup& Lookup();

private:
    void TryMe(int sample);
    void LoadInto(const fw::Ref<fw::TextArea>& area);
    void SaveFrom(const fw::Ref<fw::TextArea>& area);
    std::unique_ptr<engine::WordLookup> lookup_;
};

// The implicit-instance accessor: the open main window or a new one.
fw::Ref<Window1> Window1Instance();

// Registers the classes "Window1.Window1" and "Window1.Timer1".
void RegisterWindow1Classes();

// The window's menu commands whose windows are not part of the program yet
// do nothing; a later window registers its command here.
using WindowOpener = bool (*)();
void SetMenuCommandOpener(const char* itemName, WindowOpener opener);
