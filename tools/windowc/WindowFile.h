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

struct ControlDef {
    std::string frameworkClass;
    std::string name;
    std::string set;  // the serialized property set
    std::vector<Preset> presets;
    int line = 0;
};

struct WindowDef {
    std::string name;
    std::string set;
    std::vector<ControlDef> controls;
    std::string file;
    int line = 0;
};

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
