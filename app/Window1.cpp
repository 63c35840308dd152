#include "Window1.h"

#include "Engine.h"
#include "MenuBars.h"
#include "Registry.h"
#include "Runtime.h"
#include "scrandle_windows.h"

#include <map>
#include <string>

namespace {

constexpr const char* kClassName = "Window1.Window1";
constexpr const char* kTimerClassName = "Window1.Timer1";

// Which control event is bound to which handler.
struct Binding {
    const char* control;
    const char* event;
    void (*bind)(Window1& w, const fw::Ref<fw::Control>& c);
};

template <class C>
void BindAction(Window1& w, const fw::Ref<fw::Control>& c, void (Window1::*m)(C&), const char* event,
                const char* signature) {
    fw::RuntimeAddEventHandler(c, event, fw::RuntimeCreateDelegate(w, m, signature));
}

#define SCRANDLE_ACTION(name)                                                                          \
    {#name, "Action", [](Window1& w, const fw::Ref<fw::Control>& c) {                                 \
         BindAction<fw::PushButton>(w, c, &Window1::name##_Action, "Action", "( PushButton )");        \
     }}

const Binding kBindings[] = {
    {"EditField2", "GotFocus",
     [](Window1& w, const fw::Ref<fw::Control>& c) {
         BindAction<fw::TextArea>(w, c, &Window1::EditField2_GotFocus, "GotFocus", "( TextArea )");
     }},
    SCRANDLE_ACTION(Scramble),  SCRANDLE_ACTION(LoadFile1),  SCRANDLE_ACTION(LoadFile2),
    SCRANDLE_ACTION(SaveFile1), SCRANDLE_ACTION(SaveFile2),  SCRANDLE_ACTION(Clear1),
    SCRANDLE_ACTION(Clear2),    SCRANDLE_ACTION(TryMe1),     SCRANDLE_ACTION(TryMe2),
    SCRANDLE_ACTION(TryMe3),    SCRANDLE_ACTION(TryMe4),     SCRANDLE_ACTION(TryMe5),
    SCRANDLE_ACTION(TryMe6),    SCRANDLE_ACTION(TryMe7),     SCRANDLE_ACTION(TryMe8),
    SCRANDLE_ACTION(TryMe9),    SCRANDLE_ACTION(TryMe10),    SCRANDLE_ACTION(TryMe11),
    SCRANDLE_ACTION(Unscramble), SCRANDLE_ACTION(DevTest),   SCRANDLE_ACTION(SaveDict),
    SCRANDLE_ACTION(FindWords), SCRANDLE_ACTION(UseWord),
    {"Timer1", "Action",
     [](Window1& w, const fw::Ref<fw::Control>& c) {
         BindAction<fw::Timer>(w, c, &Window1::Timer1_Action, "Action", "( Timer )");
     }},
    SCRANDLE_ACTION(SupportButton),
};
#undef SCRANDLE_ACTION

// Creates one control of the definition: a new object of its class for the
// window, its constructor, adding it under its name, the pre-set
// properties, its set, and its event binding. Each step looks the control
// up again by its name.
void CreateControl(Window1& w, const fw::ControlDefinition& def) {
    const std::string name(def.name);
    const bool isTimer = def.frameworkClass == "Timer";
    const std::string cls = isTimer ? kTimerClassName : std::string(def.frameworkClass);
    fw::Ref<fw::Control> control = fw::Cast<fw::Control>(w.New(cls));
    if (isTimer) fw::Cast<Window1_Timer1>(control)->Constructor();
    else fw::Cast<fw::RectControl>(control)->Constructor();
    w.AddControl(fw::String(name), control);
    {
        // The pre-set values and the set take effect together.
        const fw::PropertyBatch batch(*w.ControlByName(fw::String(name)));
        for (const auto& preset : def.presets) w.ControlByName(fw::String(name))->SetPresetProperty(preset.key, preset.value);
        fw::SetProperties(*w.ControlByName(fw::String(name)), def.set);
    }
    for (const auto& b : kBindings)
        if (name == b.control) b.bind(w, w.ControlByName(fw::String(name)));
}

std::map<std::string, WindowOpener>& Openers() {
    static std::map<std::string, WindowOpener> openers;
    return openers;
}

}  // namespace

void Window1_Timer1::SetWindow(fw::Window* window) {
    ownerWindow_ = window;
    fw::Timer::SetWindow(window);
}

Window1::Window1() = default;
Window1::~Window1() = default;

// ---- layout hooks ----------------------------------------------------------

void Window1::Layout() {
    SetMenuBar(MenuBar1());
    fw::SetProperties(*this, resources::Window1.set);
}

void Window1::CreateControls() {
    CreateControls0();
    CreateControls1();
}

void Window1::CreateControls0() {
    for (std::size_t i = 0; i < 30 && i < resources::Window1.controls.size(); ++i)
        CreateControl(*this, resources::Window1.controls[i]);
}

void Window1::CreateControls1() {
    for (std::size_t i = 30; i < resources::Window1.controls.size(); ++i)
        CreateControl(*this, resources::Window1.controls[i]);
}

// ---- accessors ---------------------------------------------------------------

#define SCRANDLE_ACCESSOR(Type, name) \
    fw::Ref<Type> Window1::name() { return ControlAs<Type>(#name); }
SCRANDLE_ACCESSOR(fw::TextArea, EditField1)
SCRANDLE_ACCESSOR(fw::TextArea, EditField2)
SCRANDLE_ACCESSOR(fw::PushButton, Scramble)
SCRANDLE_ACCESSOR(fw::PushButton, LoadFile1)
SCRANDLE_ACCESSOR(fw::PushButton, LoadFile2)
SCRANDLE_ACCESSOR(fw::PushButton, SaveFile1)
SCRANDLE_ACCESSOR(fw::PushButton, SaveFile2)
SCRANDLE_ACCESSOR(fw::PushButton, Clear1)
SCRANDLE_ACCESSOR(fw::PushButton, Clear2)
SCRANDLE_ACCESSOR(fw::PushButton, TryMe1)
SCRANDLE_ACCESSOR(fw::PushButton, TryMe2)
SCRANDLE_ACCESSOR(fw::PushButton, TryMe3)
SCRANDLE_ACCESSOR(fw::PushButton, TryMe4)
SCRANDLE_ACCESSOR(fw::PushButton, TryMe5)
SCRANDLE_ACCESSOR(fw::PushButton, TryMe6)
SCRANDLE_ACCESSOR(fw::PushButton, TryMe7)
SCRANDLE_ACCESSOR(fw::PushButton, TryMe8)
SCRANDLE_ACCESSOR(fw::PushButton, TryMe9)
SCRANDLE_ACCESSOR(fw::PushButton, TryMe10)
SCRANDLE_ACCESSOR(fw::PushButton, TryMe11)
SCRANDLE_ACCESSOR(fw::PushButton, Unscramble)
SCRANDLE_ACCESSOR(fw::TextArea, EditField3)
SCRANDLE_ACCESSOR(fw::Listbox, Wordwell)
SCRANDLE_ACCESSOR(fw::PushButton, DevTest)
SCRANDLE_ACCESSOR(fw::Label, StaticText1)
SCRANDLE_ACCESSOR(fw::Label, NoWords)
SCRANDLE_ACCESSOR(fw::PushButton, SaveDict)
SCRANDLE_ACCESSOR(fw::PopupMenu, AlternateWords)
SCRANDLE_ACCESSOR(fw::PushButton, FindWords)
SCRANDLE_ACCESSOR(fw::TextField, ThisWord)
SCRANDLE_ACCESSOR(fw::PushButton, UseWord)
SCRANDLE_ACCESSOR(fw::Label, StaticText2)
SCRANDLE_ACCESSOR(fw::Label, StaticText3)
SCRANDLE_ACCESSOR(fw::Timer, Timer1)
SCRANDLE_ACCESSOR(fw::PushButton, SupportButton)
#undef SCRANDLE_ACCESSOR

#define SCRANDLE_MENU_ACCESSOR(Type, name) \
    fw::Ref<Type> Window1::name() { return MenuItemAs<Type>(#name); }
SCRANDLE_MENU_ACCESSOR(fw::MenuItem, HelpMenu)
SCRANDLE_MENU_ACCESSOR(fw::AppleMenuItem, HelpAbout)
SCRANDLE_MENU_ACCESSOR(fw::MenuItem, HelpShow)
SCRANDLE_MENU_ACCESSOR(fw::MenuItem, CheckForUpdateMenu)
SCRANDLE_MENU_ACCESSOR(fw::MenuItem, CheckForUpdateCheckNow)
SCRANDLE_MENU_ACCESSOR(fw::MenuItem, EditMenu)
SCRANDLE_MENU_ACCESSOR(fw::MenuItem, EditSelectAll)
SCRANDLE_MENU_ACCESSOR(fw::MenuItem, UntitledMenu0)
SCRANDLE_MENU_ACCESSOR(fw::MenuItem, EditClear)
SCRANDLE_MENU_ACCESSOR(fw::MenuItem, EditPaste)
SCRANDLE_MENU_ACCESSOR(fw::MenuItem, EditCopy)
SCRANDLE_MENU_ACCESSOR(fw::MenuItem, EditCut)
SCRANDLE_MENU_ACCESSOR(fw::MenuItem, UntitledMenu1)
SCRANDLE_MENU_ACCESSOR(fw::MenuItem, EditUndo)
SCRANDLE_MENU_ACCESSOR(fw::MenuItem, FileMenu)
SCRANDLE_MENU_ACCESSOR(fw::QuitMenuItem, FileQuit)
SCRANDLE_MENU_ACCESSOR(fw::MenuItem, FilePrintHelp)
#undef SCRANDLE_MENU_ACCESSOR

// ---- menus -------------------------------------------------------------------

void SetMenuCommandOpener(const char* itemName, WindowOpener opener) { Openers()[itemName] = opener; }

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
    // A command is registered together with the window it opens; until that
    // window exists in the program its item is there and does nothing.
    for (const auto& c : commands)
        if (Openers().count(c.item))
            fw::RuntimeAddMenuHandler(*self, c.item, fw::RuntimeCreateDelegate(*self, c.handler, "(  ) as Boolean"));
}

namespace {
bool RunOpener(const char* item) {
    auto it = Openers().find(item);
    return it != Openers().end() && it->second ? it->second() : false;
}
}  // namespace

bool Window1::CheckForUpdateCheckNow_Action() { return RunOpener("CheckForUpdateCheckNow"); }
bool Window1::HelpShow_Action() { return RunOpener("HelpShow"); }
bool Window1::HelpAbout_Action() { return RunOpener("HelpAbout"); }
bool Window1::FilePrintHelp_Action() { return RunOpener("FilePrintHelp"); }

// ---- the word list's look-up -------------------------------------------------

engine::WordLookup& Window1::Lookup() {
    // Wordwell lives as long as the window; the look-up follows its rows.
    if (!lookup_) lookup_ = std::make_unique<engine::WordLookup>(Wordwell()->Rows());
    return *lookup_;
}

// ---- registration ------------------------------------------------------------

fw::Ref<Window1> Window1Instance() { return fw::ImplicitWindow<Window1>(kClassName); }

void RegisterWindow1Classes() {
    const fw::Attributes pub{fw::Scope("Public")};
    const fw::Attributes hidden{fw::Scope("Public"), fw::Flag("Hidden")};
    fw::ClassDef def(kClassName, "Window");
    def.Creates<Window1>().Attr(fw::Scope("Public"));
    def.Method("Layout", "", pub)
        .Method("CreateControls", "", pub)
        .Method("_CreateControls0", "", hidden)
        .Method("_CreateControls1", "", hidden);
    const std::pair<const char*, const char*> accessors[] = {
        {"EditField1", "TextArea"},     {"EditField2", "TextArea"},   {"Scramble", "PushButton"},
        {"LoadFile1", "PushButton"},    {"LoadFile2", "PushButton"},  {"SaveFile1", "PushButton"},
        {"SaveFile2", "PushButton"},    {"Clear1", "PushButton"},     {"Clear2", "PushButton"},
        {"TryMe1", "PushButton"},       {"TryMe2", "PushButton"},     {"TryMe3", "PushButton"},
        {"TryMe4", "PushButton"},       {"TryMe5", "PushButton"},     {"TryMe6", "PushButton"},
        {"TryMe7", "PushButton"},       {"TryMe8", "PushButton"},     {"TryMe9", "PushButton"},
        {"TryMe10", "PushButton"},      {"TryMe11", "PushButton"},    {"Unscramble", "PushButton"},
        {"EditField3", "TextArea"},     {"Wordwell", "Listbox"},      {"DevTest", "PushButton"},
        {"StaticText1", "Label"},       {"NoWords", "Label"},         {"SaveDict", "PushButton"},
        {"AlternateWords", "PopupMenu"}, {"FindWords", "PushButton"}, {"ThisWord", "TextField"},
        {"UseWord", "PushButton"},      {"StaticText2", "Label"},     {"StaticText3", "Label"},
        {"Timer1", "Timer"},            {"SupportButton", "PushButton"},
    };
    for (const auto& [name, cls] : accessors) def.Method(name, std::string("(  ) as ") + cls, pub);
    def.Method("EditField2_GotFocus", "( TextArea )", pub);
    for (const char* h : {"Scramble_Action", "LoadFile1_Action", "LoadFile2_Action", "SaveFile1_Action",
                          "SaveFile2_Action", "Clear1_Action", "Clear2_Action"})
        def.Method(h, "( PushButton )", pub);
    for (int i = 1; i <= 11; ++i) def.Method("TryMe" + std::to_string(i) + "_Action", "( PushButton )", pub);
    for (const char* h : {"Unscramble_Action", "DevTest_Action", "SaveDict_Action", "FindWords_Action", "UseWord_Action"})
        def.Method(h, "( PushButton )", pub);
    def.Method("Timer1_Action", "( Timer )", pub).Method("SupportButton_Action", "( PushButton )", pub);
    const std::pair<const char*, const char*> menuAccessors[] = {
        {"HelpMenu", "MenuItem"},      {"HelpAbout", "AppleMenuItem"},  {"HelpShow", "MenuItem"},
        {"CheckForUpdateMenu", "MenuItem"}, {"CheckForUpdateCheckNow", "MenuItem"}, {"EditMenu", "MenuItem"},
        {"EditSelectAll", "MenuItem"}, {"UntitledMenu0", "MenuItem"},   {"EditClear", "MenuItem"},
        {"EditPaste", "MenuItem"},     {"EditCopy", "MenuItem"},        {"EditCut", "MenuItem"},
        {"UntitledMenu1", "MenuItem"}, {"EditUndo", "MenuItem"},        {"FileMenu", "MenuItem"},
        {"FileQuit", "QuitMenuItem"},  {"FilePrintHelp", "MenuItem"},
    };
    for (const auto& [name, cls] : menuAccessors) def.Method(name, std::string("(  ) as ") + cls, pub);
    def.Method("AddMenuHandlers", "( Window )", pub).Method("Event_Open", "", pub).Method("Event_Close", "", pub);
    for (const char* c : {"_CheckForUpdateCheckNow_Action", "_HelpShow_Action", "_HelpAbout_Action",
                          "_FilePrintHelp_Action"})
        def.Method(c, "(  ) as Boolean", pub);
    for (const char* m : {"getFile1", "saveFile1", "getFile2", "saveFile2", "ScrambleWord", "SearchWord",
                          "saveDictionary", "doUnscramble", "checkDictionary"})
        def.Method(m, "", pub);
    def.Hook<Window1>("Layout", "Layout", &Window1::Layout)
        .Hook<Window1>("CreateControls", "CreateControls", &Window1::CreateControls)
        .Hook<Window1, fw::Window>("AddMenuHandlers", "AddMenuHandlers", &Window1::AddMenuHandlers)
        .Hook<Window1>("Open", "Event_Open", &Window1::Event_Open)
        .Hook<Window1>("Close", "Event_Close", &Window1::Event_Close);
    fw::RegisterClass(std::move(def));

    fw::RegisterClass(fw::ClassDef(kTimerClassName, "Timer")
                          .Creates<Window1_Timer1>()
                          .Attr(fw::Scope("Private"))
                          .Property("Index", "Int32", pub)
                          .Property("ownerWindow", "Window", {fw::Scope("Private")})
                          .Method("_SetWindow", "( Window )", hidden)
                          .Method("Window", "(  ) as Window", pub)
                          .Method("_Index", "(  ) as Int32", hidden)
                          .Method("_SetIndex", "( Int32 )", hidden)
                          .Method("Constructor", "", pub));
}
