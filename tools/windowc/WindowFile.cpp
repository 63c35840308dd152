#include "WindowFile.h"

#include "PropertySet.h"

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

// Strict UTF-8 check: the sets hold UTF-8, and the framework's decoder would
// quietly turn a stray byte into a Latin-1 character.
std::optional<std::size_t> FirstInvalidUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const std::size_t n = s.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        std::size_t len;
        char32_t cp, min;
        if (b < 0x80) { ++i; continue; }
        if (b >= 0xC2 && b <= 0xDF) { len = 2; cp = b & 0x1F; min = 0x80; }
        else if (b >= 0xE0 && b <= 0xEF) { len = 3; cp = b & 0x0F; min = 0x800; }
        else if (b >= 0xF0 && b <= 0xF4) { len = 4; cp = b & 0x07; min = 0x10000; }
        else return i;
        if (n - i < len) return i;
        for (std::size_t k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return i;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return i;
        i += len;
    }
    return std::nullopt;
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
        if (!haveWindow_) Error(lineNo, "control '" + name + "' stands before the 'window NAME' line");
        if (cls.empty() || name.empty() || !rest.empty()) {
            Error(lineNo, "expected 'control CLASS NAME', got 'control " + cls + " " + name +
                              (rest.empty() ? "" : " " + std::string(rest)) + "'");
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
        controls_.push_back(std::move(b));
        current_ = &controls_.back();
    }

    void PresetLine(int lineNo, std::string_view rest) {
        Block& b = *current_;
        const std::string key(FirstWord(rest));
        if (&b == &window_) {
            Error(lineNo, "preset '" + key + "' in the window's own block: only controls take presets");
            return;
        }
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
        auto wrong = [&](const std::string& expected) {
            Error(lineNo, "key '" + key + "' takes " + expected + ", not '" + std::string(text) + "'");
            return std::nullopt;
        };
        switch (form) {
            case fw::PropertyForm::Boolean:
                if (text == "true") return fw::PropertyValue::Bool(true);
                if (text == "false") return fw::PropertyValue::Bool(false);
                return wrong("a Boolean value (true or false)");
            case fw::PropertyForm::Integer: {
                int64_t v = 0;
                const char* end = text.data() + text.size();
                auto [ptr, ec] = std::from_chars(text.data(), end, v);
                if (text.empty() || ec != std::errc() || ptr != end || v < INT32_MIN || v > INT32_MAX)
                    return wrong("a 32-bit decimal integer");
                return fw::PropertyValue::Int(static_cast<int32_t>(v));
            }
            case fw::PropertyForm::Colour: {
                auto hex = [](char c) -> int {
                    if (c >= '0' && c <= '9') return c - '0';
                    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
                    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
                    return -1;
                };
                if (text.size() != 7 || text[0] != '#') return wrong("a colour #RRGGBB");
                int d[6];
                for (int i = 0; i < 6; ++i)
                    if ((d[i] = hex(text[1 + i])) < 0) return wrong("a colour #RRGGBB");
                return fw::PropertyValue::Rgb(fw::Colour{static_cast<std::uint8_t>(d[0] * 16 + d[1]),
                                                         static_cast<std::uint8_t>(d[2] * 16 + d[3]),
                                                         static_cast<std::uint8_t>(d[4] * 16 + d[5])});
            }
            case fw::PropertyForm::String: {
                std::string bytes;
                if (text.starts_with("@file")) {
                    std::string_view name = Trim(text.substr(5));
                    if (text.size() > 5 && text[5] != ' ' && text[5] != '\t') return wrong("a quoted string or @file PATH");
                    if (name.empty()) {
                        Error(lineNo, "key '" + key + "': @file needs a file name");
                        return std::nullopt;
                    }
                    if (!ReadInput(lineNo, key, std::string(name), bytes)) return std::nullopt;
                    bytes = ToSetLineBreaks(bytes);
                } else if (!text.empty() && text.front() == '"') {
                    if (!Unquote(lineNo, key, text, bytes)) return std::nullopt;
                } else {
                    return wrong("a quoted string or @file PATH");
                }
                if (auto bad = FirstInvalidUtf8(bytes)) {
                    Error(lineNo, "key '" + key + "': the text is not valid UTF-8 (byte " +
                                      std::to_string(*bad) + " of the value)");
                    return std::nullopt;
                }
                return fw::PropertyValue::Text(fw::String(bytes));
            }
        }
        return std::nullopt;
    }

    bool Unquote(int lineNo, const std::string& key, std::string_view text, std::string& out) {
        std::size_t i = 1;
        for (; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '"') break;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (++i >= text.size()) break;
            switch (text[i]) {
                case 'r': out += '\r'; break;
                case 'n': out += '\n'; break;
                case 't': out += '\t'; break;
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                default:
                    Error(lineNo, "key '" + key + "': unknown escape '\\" + std::string(1, text[i]) +
                                      "' (use \\r, \\n, \\t, \\\" or \\\\)");
                    return false;
            }
        }
        if (i >= text.size()) {
            Error(lineNo, "key '" + key + "': the string has no closing quote");
            return false;
        }
        if (i + 1 != text.size()) {
            Error(lineNo, "key '" + key + "': text after the closing quote: '" +
                              std::string(text.substr(i + 1)) + "'");
            return false;
        }
        return true;
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
            c.line = b.line;
            Build(b, c.set);
            r_.window.controls.push_back(std::move(c));
        }
    }

private:
    void Build(const Block& b, std::string& set) {
        try {
            set = fw::WritePropertySet(b.entries);
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
