#include "app/MenuBars.h"

#include "core/Registry.h"

namespace {

fw::Ref<class MenuBar1>& Bar1() {
    static fw::Ref<class MenuBar1> instance;
    return instance;
}
fw::Ref<class MenuBar2>& Bar2() {
    static fw::Ref<class MenuBar2> instance;
    return instance;
}

enum class Kind { Item, Quit, Apple };

// Builds one item: a new object of its class, its name, AutoEnable, its
// caption and (but for separators) its shortcut, then appends it to the
// bar or to the bar's menu of that name, looked up afresh.
void AddItem(fw::MenuBar& bar, const char* menu, Kind kind, const char* name, const char* text,
             const char* shortcut) {
    fw::Ref<fw::MenuItem> item;
    switch (kind) {
        case Kind::Item: item = fw::RuntimeNewObjectAs<fw::MenuItem>("MenuItem"); break;
        case Kind::Quit: item = fw::RuntimeNewObjectAs<fw::MenuItem>("QuitMenuItem"); break;
        case Kind::Apple: item = fw::RuntimeNewObjectAs<fw::MenuItem>("AppleMenuItem"); break;
    }
    item->Constructor();
    item->SetName(name);
    item->SetAutoEnable(true);
    item->SetText(text);
    if (shortcut) item->SetKeyboardShortcut(shortcut);
    if (menu) bar.Child(menu)->Append(item);
    else bar.Append(item);
}

void FileMenuItems(fw::MenuBar& bar) {
    AddItem(bar, nullptr, Kind::Item, "FileMenu", "&File", "");
    AddItem(bar, "FileMenu", Kind::Item, "FilePrintHelp", "Print Help", "Cmd+P");
    AddItem(bar, "FileMenu", Kind::Quit, "FileQuit", "Quit", "Cmd+Q");
}

void EditMenuItems(fw::MenuBar& bar, const char* separator1, const char* separator2) {
    AddItem(bar, nullptr, Kind::Item, "EditMenu", "&Edit", "");
    AddItem(bar, "EditMenu", Kind::Item, "EditUndo", "&Undo", "Cmd+Z");
    AddItem(bar, "EditMenu", Kind::Item, separator1, "-", nullptr);
    AddItem(bar, "EditMenu", Kind::Item, "EditCut", "Cu&t", "Cmd+X");
    AddItem(bar, "EditMenu", Kind::Item, "EditCopy", "&Copy", "Cmd+C");
    AddItem(bar, "EditMenu", Kind::Item, "EditPaste", "&Paste", "Cmd+V");
    AddItem(bar, "EditMenu", Kind::Item, "EditClear", "&Delete", "");
    AddItem(bar, "EditMenu", Kind::Item, separator2, "-", nullptr);
    AddItem(bar, "EditMenu", Kind::Item, "EditSelectAll", "Select &All", "Cmd+A");
}

}  // namespace

void MenuBar1::Constructor() {
    Untitled0();
    Untitled1();
    Untitled2();
    Untitled3();
}
void MenuBar1::Untitled0() { FileMenuItems(*this); }
void MenuBar1::Untitled1() { EditMenuItems(*this, "UntitledMenu1", "UntitledMenu0"); }
void MenuBar1::Untitled2() {
    AddItem(*this, nullptr, Kind::Item, "CheckForUpdateMenu", "Check For Update", "");
    AddItem(*this, "CheckForUpdateMenu", Kind::Item, "CheckForUpdateCheckNow", "Check Now", "");
}
void MenuBar1::Untitled3() {
    AddItem(*this, nullptr, Kind::Item, "HelpMenu", "Scrandle Help", "");
    AddItem(*this, "HelpMenu", Kind::Item, "HelpShow", "Show Help", "");
    AddItem(*this, "HelpMenu", Kind::Apple, "HelpAbout", "About...", "");
}

void MenuBar2::Constructor() {
    Untitled0();
    Untitled1();
}
void MenuBar2::Untitled0() { FileMenuItems(*this); }
void MenuBar2::Untitled1() { EditMenuItems(*this, "EditSeparator1", "EditSeparator2"); }

fw::Ref<class MenuBar1> MenuBar1() {
    if (!Bar1()) {
        auto bar = fw::RuntimeNewObjectAs<class MenuBar1>("MenuBar1.MenuBar1");
        bar->Constructor();
        Bar1() = bar;
    }
    return Bar1();
}

fw::Ref<class MenuBar2> MenuBar2() {
    if (!Bar2()) {
        auto bar = fw::RuntimeNewObjectAs<class MenuBar2>("MenuBar2.MenuBar2");
        bar->Constructor();
        Bar2() = bar;
    }
    return Bar2();
}

void ReleaseMenuBar1() {
    fw::Ref<class MenuBar1> old = Bar1();
    Bar1() = nullptr;
}

void ReleaseMenuBar2() {
    fw::Ref<class MenuBar2> old = Bar2();
    Bar2() = nullptr;
}

void RegisterMenuBarClasses() {
    const fw::Attributes pub{fw::Scope("Public")};
    fw::RegisterClass(fw::ClassDef("MenuBar1.MenuBar1", "MenuBar")
                          .Creates<class MenuBar1>()
                          .Method("Constructor", "", pub)
                          .Method("Untitled0", "", pub)
                          .Method("Untitled1", "", pub)
                          .Method("Untitled2", "", pub)
                          .Method("Untitled3", "", pub));
}

void RegisterMenuBar2Class() {
    const fw::Attributes pub{fw::Scope("Public")};
    fw::RegisterClass(fw::ClassDef("MenuBar2.MenuBar2", "MenuBar")
                          .Creates<class MenuBar2>()
                          .Method("Constructor", "", pub)
                          .Method("Untitled0", "", pub)
                          .Method("Untitled1", "", pub));
}
