#include "app/Window1.h"

#include "app/AboutBox.h"
#include "app/Help.h"
#include "engine/Engine.h"
#include "engine/Module1.h"
#include "gui/Desktop.h"
#include "core/Registry.h"
#include "gui/Runtime.h"
#include "update/selfTest.h"

Window1::Window1() = default;
Window1::~Window1() = default;

// ---- memory for large texts ----------------------------------------------------

bool Window1::MemoryHolds(std::uint64_t need, const std::string& refusal, const char* outcome) {
    const std::uint64_t asked = fw::WithMargin(need);
    const std::uint64_t left = fw::MemoryLeft();
    if (asked <= left) return true;
    fw::MsgBox(fw::String(std::string_view(refusal + " would need about " + fw::BytesInWords(asked) +
                                           " of memory, but only " + fw::BytesInWords(left) + " is free. " +
                                           outcome)));
    return false;
}

fw::EngineHeld Window1::EngineHolds() {
    // Only the sizes of the documents matter here, not their characters.
    const auto document = [](const fw::Ref<fw::TextArea>& area) { return fw::DocumentBytes(area->Measure(false)); };
    const auto room = [](const fw::String& s) { return std::uint64_t{s.Capacity()} * (s.IsWide() ? 4 : 1); };
    fw::EngineHeld held;
    held.plain = document(EditField1());
    held.scrambled = document(EditField2());
    held.kept = document(EditField3());
    held.inputRoom = room(Module1::FullBook);
    held.outputRoom = room(Module1::Book);
    return held;
}

// ---- menus -------------------------------------------------------------------

void Window1::AddMenuHandlers(const fw::Ref<fw::Window>& window) {
    auto self = fw::Cast<Window1>(window);
    struct Command {
        const char* item;
        bool (Window1::*handler)();
    };
    const Command commands[] = {
        {"CheckForUpdateCheckNow", &Window1::CheckForUpdateCheckNow_Action},
        {"HelpShow", &Window1::HelpShow_Action},
        {"HelpAbout", &Window1::HelpAbout_Action},
        {"FilePrintHelp", &Window1::FilePrintHelp_Action},
    };
    for (const auto& c : commands)
        fw::RuntimeAddMenuHandler(*self, c.item, fw::RuntimeCreateDelegate(*self, c.handler, "(  ) as Boolean"));
}

// Each shows the open window of its class, brought forward, or a new one.
bool Window1::CheckForUpdateCheckNow_Action() {
    selfTestInstance()->Show();
    return false;
}

bool Window1::HelpShow_Action() {
    HelpInstance()->Show();
    return false;
}

bool Window1::HelpAbout_Action() {
    AboutBoxInstance()->Show();
    return false;
}

bool Window1::FilePrintHelp_Action() { return PrintHelpCommand(); }

// ---- the word list's look-up -------------------------------------------------

engine::WordLookup& Window1::Lookup() {
    // The list box lives as long as the window; the look-up follows its rows.
    if (!lookup_) lookup_ = std::make_unique<engine::WordLookup>(Wordwell()->Rows());
    return *lookup_;
}

// ---- registration ------------------------------------------------------------

fw::Ref<Window1> Window1Instance() { return fw::ImplicitWindowOf<Window1>(); }

void RegisterWindow1Classes() {
    const fw::Attributes pub{fw::Scope("Public")};
    fw::ClassDef def = fw::WindowClassDef(Window1::Definition());
    def.Method("AddMenuHandlers", "( Window )", pub).Method("Event_Open", "", pub).Method("Event_Close", "", pub);
    for (const char* c : {"_CheckForUpdateCheckNow_Action", "_HelpShow_Action", "_HelpAbout_Action",
                          "_FilePrintHelp_Action"})
        def.Method(c, "(  ) as Boolean", pub);
    for (const char* m : {"getFile1", "saveFile1", "getFile2", "saveFile2", "ScrambleWord", "SearchWord",
                          "saveDictionary", "doUnscramble", "checkDictionary"})
        def.Method(m, "", pub);
    def.Hook<Window1, fw::Window>("AddMenuHandlers", "AddMenuHandlers", &Window1::AddMenuHandlers)
        .Hook<Window1>("Open", "Event_Open", &Window1::Event_Open)
        .Hook<Window1>("Close", "Event_Close", &Window1::Event_Close);
    fw::RegisterClass(std::move(def));
    fw::RegisterControlClasses(Window1::Definition());
}
