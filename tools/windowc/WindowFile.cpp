#include "WindowFile.h"

#include "core/PropertySet.h"

#include <cerrno>
#include <cmath>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

namespace windowc {

namespace {

namespace fs = std::filesystem;

bool IsIdentifier(std::string_view s) {
    if (s.empty()) return false;
    auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!alpha(s[0])) return false;
    for (char c : s)
        if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
    return true;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// Splits off the first word (up to a blank or tab).
std::string_view FirstWord(std::string_view& rest) {
    std::size_t end = 0;
    while (end < rest.size() && rest[end] != ' ' && rest[end] != '\t') ++end;
    std::string_view word = rest.substr(0, end);
    rest = Trim(rest.substr(end));
    return word;
}

// A text file's line ends become the single carriage returns a set's strings
// use; the line end after the last line is dropped.
std::string ToSetLineBreaks(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            out += '\r';
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else if (bytes[i] == '\n') {
            out += '\r';
        } else {
            out += bytes[i];
        }
    }
    if (!out.empty() && out.back() == '\r') out.pop_back();
    return out;
}

std::vector<std::string>& InputDirs() {
    static std::vector<std::string> dirs;
    return dirs;
}

class Parser {
public:
    Parser(const std::string& path, ParseResult& result) : path_(path), r_(result) {}

    void Run(const std::string& text) {
        std::size_t pos = 0;
        int lineNo = 0;
        while (pos <= text.size()) {
            std::size_t nl = text.find('\n', pos);
            if (nl == std::string::npos) nl = text.size();
            ++lineNo;
            Line(lineNo, std::string_view(text).substr(pos, nl - pos));
            pos = nl + 1;
        }
        if (!haveWindow_) Error(1, "no 'window NAME' line: a definition file defines one window");
    }

private:
    struct Block {
        std::string frameworkClass;  // "Window" for the window's own set
        std::string label;           // for messages: "window 'X'" / "control 'Y'"
        std::vector<std::pair<std::string, fw::PropertyValue>> entries;
        std::map<std::string, int> keyLines;
        std::vector<Preset> presets;
        std::optional<std::string> nameValue;
        int nameLine = 0;
        std::string controlName;
        int line = 0;
        bool badClass = false;  // its entries are not checked, to spare a cascade of errors
        bool subclass = false;
        std::vector<EventDef> events;
    };

    void Error(int line, std::string message) { r_.errors.push_back({path_, line, std::move(message)}); }

    void Line(int lineNo, std::string_view raw) {
        std::string_view rest = Trim(raw);
        if (rest.empty() || rest.front() == '#') return;
        const std::string_view word = FirstWord(rest);
        if (word == "window") return WindowLine(lineNo, rest);
        if (word == "control") return ControlLine(lineNo, rest);
        if (!current_) {
            Error(lineNo, "'" + std::string(word) + "' stands before the 'window NAME' line");
            return;
        }
        if (word == "preset") return PresetLine(lineNo, rest);
        if (word == "event") return EventLine(lineNo, rest);
        if (word == "menubar") return MenuBarLine(lineNo, rest);
        if (word == "menuitem") return MenuItemLine(lineNo, rest);
        EntryLine(lineNo, word, rest);
    }

    void WindowLine(int lineNo, std::string_view rest) {
        const std::string_view name = FirstWord(rest);
        if (haveWindow_) {
            Error(lineNo, "a second 'window' line: a definition file defines one window (the first is on line " +
                              std::to_string(r_.window.line) + ")");
            return;
        }
        if (!controls_.empty()) {
            Error(lineNo, "the 'window' line must come before the controls");
            return;
        }
        if (!IsIdentifier(name) || !rest.empty()) {
            Error(lineNo, "expected 'window NAME' with NAME a C++ identifier, got 'window " +
                              std::string(name) + (rest.empty() ? "" : " " + std::string(rest)) + "'");
        }
        haveWindow_ = true;
        r_.window.name = std::string(name);
        r_.window.file = path_;
        r_.window.line = lineNo;
        window_.frameworkClass = "Window";
        window_.label = "window '" + r_.window.name + "'";
        window_.line = lineNo;
        current_ = &window_;
    }

    void ControlLine(int lineNo, std::string_view rest) {
        const std::string cls(FirstWord(rest));
        const std::string name(FirstWord(rest));
        bool subclass = false;
        if (rest == "subclass") {
            subclass = true;
            rest = {};
        }
        if (!haveWindow_) Error(lineNo, "control '" + name + "' stands before the 'window NAME' line");
        if (cls.empty() || name.empty() || !rest.empty()) {
            Error(lineNo, "expected 'control CLASS NAME' or 'control CLASS NAME subclass', got 'control " + cls + " " +
                              name + (rest.empty() ? "" : " " + std::string(rest)) + "'");
        }
        const bool badClass = cls == "Window" || fw::KeysOfClass(cls).empty();
        if (badClass) {
            std::string known;
            for (const auto& c : fw::PropertyClasses())
                if (c != "Window") known += (known.empty() ? "" : ", ") + c;
            Error(lineNo, "control '" + name + "' has unknown class '" + cls + "' (classes: " + known + ")");
        }
        if (!IsIdentifier(name)) Error(lineNo, "control name '" + name + "' is not an identifier");
        for (const auto& c : controls_) {
            if (c.controlName == name) {
                Error(lineNo, "control '" + name + "' is added twice to window '" + r_.window.name +
                                  "' (first on line " + std::to_string(c.line) + ")");
                break;
            }
        }
        Block b;
        b.frameworkClass = cls;
        b.label = "control '" + name + "'";
        b.controlName = name;
        b.line = lineNo;
        b.badClass = badClass;
        b.subclass = subclass;
        controls_.push_back(std::move(b));
        current_ = &controls_.back();
    }

    // False, with an error, on a line only a control's block takes.
    bool InControlBlock(int lineNo, const std::string& line, const char* onlyControls) {
        if (current_ != &window_) return true;
        Error(lineNo, line + " in the window's own block: only controls " + onlyControls);
        return false;
    }

    void PresetLine(int lineNo, std::string_view rest) {
        Block& b = *current_;
        const std::string key(FirstWord(rest));
        if (!InControlBlock(lineNo, "preset '" + key + "'", "take presets")) return;
        if (key != "TextSize" && key != "TextUnit" && key != "LineSpacing") {
            Error(lineNo, "unknown preset key '" + key + "' (TextSize, TextUnit or LineSpacing)");
            return;
        }
        for (const auto& p : b.presets)
            if (p.key == key) {
                Error(lineNo, "preset key '" + key + "' is named twice in " + b.label);
                return;
            }
        double v = 0;
        const char* end = rest.data() + rest.size();
        auto [ptr, ec] = std::from_chars(rest.data(), end, v);
        if (rest.empty() || ec != std::errc() || ptr != end || !std::isfinite(v)) {
            Error(lineNo, "preset key '" + key + "' takes a number, not '" + std::string(rest) + "'");
            return;
        }
        b.presets.push_back({key, v});
    }

    void EventLine(int lineNo, std::string_view rest) {
        Block& b = *current_;
        const std::string event(FirstWord(rest));
        if (!InControlBlock(lineNo, "event '" + event + "'", "raise events")) return;
        if (!IsIdentifier(event)) {
            Error(lineNo, "expected 'event NAME [CLASS...]' with NAME an identifier, got 'event " + event + "'");
            return;
        }
        EventDef e{event, {}, lineNo};
        while (!rest.empty()) {
            const std::string param(FirstWord(rest));
            if (!IsIdentifier(param)) {
                Error(lineNo, "event '" + event + "': '" + param + "' is not a class name");
                return;
            }
            e.params.push_back(param);
        }
        for (const auto& other : b.events)
            if (other.event == event) {
                Error(lineNo, "event '" + event + "' of " + b.label + " is bound twice (first on line " +
                                  std::to_string(other.line) + ")");
                return;
            }
        b.events.push_back(std::move(e));
    }

    void MenuBarLine(int lineNo, std::string_view rest) {
        const std::string name(FirstWord(rest));
        if (current_ != &window_ || !IsIdentifier(name) || !rest.empty()) {
            Error(lineNo, "expected 'menubar NAME' in the window's own block, NAME the menu bar's accessor");
            return;
        }
        if (!r_.window.menuBar.empty()) {
            Error(lineNo, "a second 'menubar' line: a window installs one menu bar");
            return;
        }
        r_.window.menuBar = name;
    }

    void MenuItemLine(int lineNo, std::string_view rest) {
        const std::string name(FirstWord(rest));
        std::string cls(FirstWord(rest));
        if (cls.empty()) cls = "MenuItem";
        if (current_ != &window_ || !IsIdentifier(name) || !rest.empty() ||
            (cls != "MenuItem" && cls != "AppleMenuItem" && cls != "QuitMenuItem")) {
            Error(lineNo, "expected 'menuitem NAME [MenuItem|AppleMenuItem|QuitMenuItem]' in the window's own block");
            return;
        }
        for (const auto& item : r_.window.menuItems)
            if (item.name == name) {
                Error(lineNo, "menu item '" + name + "' has two accessors");
                return;
            }
        r_.window.menuItems.push_back({name, cls});
    }

    void EntryLine(int lineNo, std::string_view word, std::string_view rest) {
        Block& b = *current_;
        if (b.badClass) return;
        const std::string key(word);
        const auto form = fw::FormOfKey(key);
        if (!form) {
            Error(lineNo, "unknown key '" + key + "' in " + b.label);
            return;
        }
        if (!fw::ClassTakesKey(b.frameworkClass, key)) {
            Error(lineNo, "class '" + b.frameworkClass + "' does not take key '" + key + "' (" + b.label + ")");
            return;
        }
        if (auto it = b.keyLines.find(key); it != b.keyLines.end()) {
            Error(lineNo, "key '" + key + "' is named twice in " + b.label + " (first on line " +
                              std::to_string(it->second) + ")");
            return;
        }
        b.keyLines[key] = lineNo;
        auto value = Value(lineNo, key, *form, rest);
        if (!value) return;
        if (key == "Name") {
            b.nameValue = value->text.ToUtf8();
            b.nameLine = lineNo;
        }
        b.entries.emplace_back(key, std::move(*value));
    }

    std::optional<fw::PropertyValue> Value(int lineNo, const std::string& key, fw::PropertyForm form,
                                           std::string_view text) {
        std::string bytes;
        if (form == fw::PropertyForm::String && text.starts_with("@file")) {
            std::string_view name = Trim(text.substr(5));
            if (text.size() > 5 && text[5] != ' ' && text[5] != '\t') {
                Error(lineNo, "key '" + key + "' takes a quoted string or @file PATH, not '" + std::string(text) + "'");
                return std::nullopt;
            }
            if (name.empty()) {
                Error(lineNo, "key '" + key + "': @file needs a file name");
                return std::nullopt;
            }
            if (!ReadInput(lineNo, key, std::string(name), bytes)) return std::nullopt;
            bytes = ToSetLineBreaks(bytes);
        } else if (form == fw::PropertyForm::String && (text.empty() || text.front() != '"')) {
            Error(lineNo, "key '" + key + "' takes a quoted string or @file PATH, not '" + std::string(text) + "'");
            return std::nullopt;
        } else {
            bytes = std::string(text);
        }
        if (form == fw::PropertyForm::String) {
            // The sets hold UTF-8, and a stray byte would quietly become a
            // Latin-1 character. Escapes are ASCII: the literal is valid
            // UTF-8 when its value is.
            fw::String decoded;
            std::size_t bad = 0;
            if (!fw::DecodeStrictUtf8Into(bytes, decoded, &bad)) {
                Error(lineNo, "key '" + key + "': the text is not valid UTF-8 (byte " + std::to_string(bad) +
                                  (text.starts_with("@file") ? " of the file)" : " of the value)"));
                return std::nullopt;
            }
            if (text.starts_with("@file")) return fw::PropertyValue::Text(std::move(decoded));
        }
        std::string why;
        auto value = fw::ParsePropertyLiteral(form, text, &why);
        if (!value) Error(lineNo, "key '" + key + "'" + (why.starts_with(":") ? "" : " ") + why);
        return value;
    }

    bool ReadInput(int lineNo, const std::string& key, const std::string& name, std::string& out) {
        fs::path file = fs::path(path_).parent_path() / name;
        if (!fs::exists(file)) {
            for (const auto& dir : InputDirs()) {
                if (fs::exists(fs::path(dir) / name)) {
                    file = fs::path(dir) / name;
                    break;
                }
            }
        }
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            const int err = errno;
            Error(lineNo, "key '" + key + "': cannot read @file '" + name + "' (" + file.string() +
                              "): " + std::strerror(err));
            return false;
        }
        std::ostringstream ss;
        ss << in.rdbuf();
        out = ss.str();
        r_.inputs.push_back(fs::absolute(file).lexically_normal().string());
        return true;
    }

public:
    // Builds the sets once every line is read.
    void Finish() {
        Build(window_, r_.window.set);
        for (auto& b : controls_) {
            // A control's Name entry, when it has one, is the name it is
            // added under: lookups by name and the set must agree.
            if (b.nameValue && *b.nameValue != b.controlName)
                Error(b.nameLine, "key 'Name' is \"" + *b.nameValue + "\" but the control is added as '" +
                                      b.controlName + "'");
            ControlDef c;
            c.frameworkClass = b.frameworkClass;
            c.name = b.controlName;
            c.presets = b.presets;
            c.subclass = b.subclass;
            c.events = b.events;
            c.line = b.line;
            Build(b, c.set);
            r_.window.controls.push_back(std::move(c));
        }
    }

private:
    // The block's entries with what it leaves out filled in. Entries in the
    // class's key order take their places in it and every key left out gets
    // the class's default (a control's Name its name; an optional key stays
    // out). Entries in another order stand as written and must name every
    // key.
    std::vector<std::pair<std::string, fw::PropertyValue>> Completed(const Block& b) {
        const auto keys = fw::ClassKeys(b.frameworkClass);
        std::map<std::string, const fw::PropertyValue*> written;
        for (const auto& [key, value] : b.entries) written[key] = &value;
        std::size_t at = 0;
        bool inOrder = true;
        for (const auto& [key, value] : b.entries) {
            while (at < keys.size() && keys[at].key != key) ++at;
            if (at == keys.size()) inOrder = false;
        }
        if (!inOrder) {
            std::string missing;
            for (const auto& k : keys)
                if (!k.optional && !written.count(k.key)) missing += (missing.empty() ? "" : ", ") + k.key;
            if (!missing.empty())
                Error(b.line, b.label + " names its keys in another order than class '" + b.frameworkClass +
                                  "' does, so it must name them all; it leaves out " + missing);
            return b.entries;
        }
        std::vector<std::pair<std::string, fw::PropertyValue>> out;
        for (const auto& k : keys) {
            if (auto it = written.find(k.key); it != written.end()) out.emplace_back(k.key, *it->second);
            else if (k.optional) continue;
            else if (k.key == "Name") out.emplace_back(k.key, fw::PropertyValue::Text(fw::String(b.controlName)));
            else out.emplace_back(k.key, k.value);
        }
        return out;
    }

    void Build(const Block& b, std::string& set) {
        if (b.badClass) return;
        try {
            set = fw::WritePropertySet(Completed(b));
            fw::ReadPropertySet(set);  // the framework must read back what was written
        } catch (const fw::PropertySetException& e) {
            auto it = b.keyLines.find(e.Key);
            Error(it == b.keyLines.end() ? b.line : it->second, e.what());
        }
    }

    std::string path_;
    ParseResult& r_;
    bool haveWindow_ = false;
    Block window_;
    std::vector<Block> controls_;  // current_ is re-taken after each push_back
    Block* current_ = nullptr;
};

}  // namespace

std::string HandlerSignature(const ControlDef& c, const EventDef& e) {
    std::string s = "( " + c.frameworkClass;
    for (const auto& p : e.params) s += ", " + p;
    return s + " )";
}

ParseResult ParseWindowText(const std::string& path, const std::string& text) {
    ParseResult result;
    Parser parser(path, result);
    parser.Run(text);
    parser.Finish();
    return result;
}

void SetInputDirs(std::vector<std::string> dirs) { InputDirs() = std::move(dirs); }

ParseResult ParseWindowFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int err = errno;
        ParseResult result;
        result.errors.push_back({path, 0, std::string("cannot read the definition file: ") + std::strerror(err)});
        return result;
    }
    std::ostringstream ss;
    ss << in.rdbuf();
    return ParseWindowText(path, ss.str());
}

}  // namespace windowc
