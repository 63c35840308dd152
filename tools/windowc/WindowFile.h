// Reading window-definition files (*.window, described in FORMAT.md) into
// property sets, checked against the same key-form and class-key tables the
// framework reads sets with.
#pragma once

#include <string>
#include <vector>

namespace windowc {

struct Diagnostic {
    std::string file;
    int line = 0;
    std::string message;
    std::string Text() const { return file + ":" + std::to_string(line) + ": " + message; }
};

struct Preset {
    std::string key;
    double value = 0;
};

// An event of a control bound to the window's handler NAME_EVENT.
struct EventDef {
    std::string event;
    // What the event hands the handler beside the control, as class names
    // ("String", "Int32", "InternetHeaders").
    std::vector<std::string> params;
    int line = 0;
};

struct ControlDef {
    std::string frameworkClass;
    std::string name;
    std::string set;  // the serialized property set
    std::vector<Preset> presets;
    // Made of a class of its own, "WINDOW.NAME", a subclass of frameworkClass.
    bool subclass = false;
    std::vector<EventDef> events;
    int line = 0;
};

struct MenuItemDef {
    std::string name;
    std::string itemClass;  // MenuItem, AppleMenuItem or QuitMenuItem
};

struct WindowDef {
    std::string name;
    std::string set;
    std::vector<ControlDef> controls;
    std::string menuBar;  // empty: none
    std::vector<MenuItemDef> menuItems;
    std::string file;
    int line = 0;
};

// The handler of a control's event: "Scramble_Action".
inline std::string HandlerName(const ControlDef& c, const EventDef& e) { return c.name + "_" + e.event; }
// Its signature text: "( PushButton )", "( HTTPSocket, String, Int32 )".
std::string HandlerSignature(const ControlDef& c, const EventDef& e);

struct ParseResult {
    WindowDef window;
    std::vector<Diagnostic> errors;
    // The files read through @file, for the build's dependency list.
    std::vector<std::string> inputs;
};

// Reads one definition file. `path` is used in messages as given and to
// resolve @file names (relative to the file's folder).
ParseResult ParseWindowFile(const std::string& path);

// Folders where an @file name not found beside its definition is looked for
// next, in order (files the build makes, such as the word list).
void SetInputDirs(std::vector<std::string> dirs);

// Parses the text of a definition; `path` as above.
ParseResult ParseWindowText(const std::string& path, const std::string& text);

}  // namespace windowc
