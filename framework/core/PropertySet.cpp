#include "core/PropertySet.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <map>
#include <unordered_map>

namespace fw {

namespace {

using F = PropertyForm;

// The key-form table, from the key rows.
constexpr PropertyKeyForm kKeyTable[] = {
#define FW_PROPERTY_KEY(Key, Form, Default, Setter) {#Key, F::Form},
#include "core/PropertyKeys.def"
#undef FW_PROPERTY_KEY
};

// Each key's default as written in a definition, in the key table's order.
constexpr std::string_view kKeyDefaults[] = {
#define FW_PROPERTY_KEY(Key, Form, Default, Setter) #Default,
#include "core/PropertyKeys.def"
#undef FW_PROPERTY_KEY
};

const std::unordered_map<std::string_view, std::size_t>& KeyIndex() {
    static const std::unordered_map<std::string_view, std::size_t> index = [] {
        std::unordered_map<std::string_view, std::size_t> m;
        for (std::size_t i = 0; i < std::size(kKeyTable); ++i) m.emplace(kKeyTable[i].key, i);
        return m;
    }();
    return index;
}

// The keys each class's sets take, in the order its sets list them. A key
// takes its row's default; KEY=VALUE gives the class a default of its own,
// and KEY? marks a key that a definition leaving it out leaves out of the
// set (the main window's labels have no TabStop, those of other windows do).
struct ClassKeyText {
    std::string_view frameworkClass;
    std::string_view keys;
};
constexpr ClassKeyText kClassKeys[] = {
    {"Window",
     "Placement Width=300 Height=300 MinWidth MinHeight MaxWidth MaxHeight Frame Composite HasBackColor "
     "BackColor Title Visible FullScreen MenuBarVisible CloseButton Resizeable LiveResize MaximizeButton "
     "MinimizeButton MacProcID"},
    {"TextArea",
     "Name Index Left Top Width Height LockLeft LockTop LockRight LockBottom TabPanelIndex TabIndex TabStop "
     "Border Multiline=true ScrollbarHorizontal ScrollbarVertical Styled UseFocusRing TextColor BackColor "
     "Enabled Format Visible HelpTag AutoDeactivate HideSelection TextFont Bold Italic Underline Text Mask "
     "ReadOnly LimitText AcceptTabs Alignment AutomaticallyCheckSpelling DataSource DataField InitialParent"},
    {"TextField",
     "Name Index Left Top Width Height LockLeft LockTop LockRight LockBottom TabPanelIndex TabIndex TabStop "
     "Border Password UseFocusRing TextColor BackColor Enabled Format Visible HelpTag AutoDeactivate TextFont "
     "Bold Italic Underline CueText Text Mask ReadOnly LimitText AcceptTabs Alignment "
     "AutomaticallyCheckSpelling DataSource DataField InitialParent"},
    {"Listbox",
     "Name Index Left Top Width Height LockLeft LockTop LockRight LockBottom TabPanelIndex TabIndex TabStop "
     "Visible HelpTag AutoDeactivate Enabled Border ColumnCount ColumnWidths HasHeading UseFocusRing "
     "InitialValue HeadingIndex ScrollbarHorizontal ScrollBarVertical GridLinesHorizontal GridLinesVertical "
     "DefaultRowHeight _ScrollWidth _ScrollOffset TextFont Bold Italic Underline Hierarchical EnableDrag "
     "EnableDragReorder RequiresSelection SelectionType ColumnsResizable AutoHideScrollbars DataSource "
     "DataField InitialParent"},
    {"PopupMenu",
     "Name Index Left Top Width Height LockLeft LockTop LockRight LockBottom TabPanelIndex TabIndex TabStop "
     "Enabled InitialValue ListIndex Visible HelpTag AutoDeactivate TextFont Bold Italic Underline DataSource "
     "DataField InitialParent"},
    {"PushButton",
     "Name Index Left Top Width Height LockLeft LockTop LockRight LockBottom TabPanelIndex TabIndex TabStop "
     "Caption Default Cancel Enabled Visible HelpTag AutoDeactivate ButtonStyle TextFont Bold Italic Underline "
     "InitialParent"},
    {"Label",
     "TabStop? Name Index Left Top Width Height LockLeft LockTop LockRight LockBottom TabPanelIndex TabIndex "
     "Text TextAlign TextColor Multiline Enabled Visible Selectable Transparent HelpTag AutoDeactivate TextFont "
     "Bold Italic Underline DataSource DataField InitialParent"},
    {"ProgressBar",
     "TabStop TabIndex Name Index Left Top Width Height LockLeft LockTop LockRight LockBottom TabPanelIndex "
     "Visible HelpTag AutoDeactivate Enabled Value Maximum InitialParent"},
    {"Timer", "Mode Period"},
    {"HTTPSocket", "Address Port yield"},
};

[[noreturn]] void BadTable(std::string_view cls, std::string_view item, const std::string& why) {
    throw PropertySetException("Property set: the key list of class '" + std::string(cls) + "' names '" +
                                   std::string(item) + "': " + why,
                               std::string(item), 0);
}

// One item of a class's key list: the key, its number, the class's own
// default as written (empty: the row's) and whether it is optional.
struct ClassItem {
    std::string_view key;
    std::size_t number;
    std::string_view literal;
    bool optional;
};

template <class F>
void ForEachClassItem(std::string_view cls, std::string_view text, F&& f) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find(' ', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view item = text.substr(pos, end - pos);
        pos = end + 1;
        std::string_view literal;
        bool optional = false;
        if (const auto eq = item.find('='); eq != std::string_view::npos) {
            literal = item.substr(eq + 1);
            item = item.substr(0, eq);
        } else if (item.ends_with('?')) {
            item.remove_suffix(1);
            optional = true;
        }
        auto it = KeyIndex().find(item);
        if (it == KeyIndex().end()) BadTable(cls, item, "no such key");
        f(ClassItem{item, it->second, literal, optional});
    }
}

}  // namespace

// Which keys the class takes, by key number: all SetProperty needs.
struct PropertyClass {
    std::string_view text;
    std::vector<std::string> names;
    std::vector<bool> takes;
};

namespace {

const std::map<std::string, PropertyClass, std::less<>>& ClassTable() {
    static const std::map<std::string, PropertyClass, std::less<>> table = [] {
        std::map<std::string, PropertyClass, std::less<>> t;
        for (const auto& [cls, text] : kClassKeys) {
            PropertyClass& c = t[std::string(cls)];
            c.text = text;
            c.takes.assign(std::size(kKeyTable), false);
            ForEachClassItem(cls, text, [&](const ClassItem& item) {
                c.takes[item.number] = true;
                c.names.emplace_back(item.key);
            });
        }
        return t;
    }();
    return table;
}

// The key lists with their defaults, made only where definitions are read
// (the generator, tests): a program applying sets needs none of them.
const std::map<std::string, std::vector<ClassKey>, std::less<>>& ClassKeyTable() {
    static const std::map<std::string, std::vector<ClassKey>, std::less<>> table = [] {
        std::map<std::string, std::vector<ClassKey>, std::less<>> t;
        for (const auto& [clsName, text] : kClassKeys) {
            // Clang 14, which builds the fuzzers, cannot capture a
            // structured binding in a lambda.
            const auto cls = clsName;
            auto& keys = t[std::string(cls)];
            ForEachClassItem(cls, text, [&](const ClassItem& item) {
                const std::string_view literal = item.literal.empty() ? kKeyDefaults[item.number] : item.literal;
                std::string why;
                auto value = ParsePropertyLiteral(kKeyTable[item.number].form, literal, &why);
                if (!value) BadTable(cls, item.key, why);
                keys.push_back(ClassKey{std::string(item.key), std::move(*value), item.optional});
            });
        }
        return t;
    }();
    return table;
}

std::string Hex2(unsigned char b) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", b);
    return buf;
}

// A key as read from possibly broken bytes, printable in a message.
std::string Printable(std::string_view s) {
    std::string out;
    for (unsigned char c : s.substr(0, 64)) {
        if (c >= 0x20 && c < 0x7F) out += static_cast<char>(c);
        else out += "\\x" + Hex2(c).substr(2);
    }
    if (s.size() > 64) out += "...";
    return out;
}

bool IsKeyChar(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

std::size_t ValueSize(PropertyForm form) {
    switch (form) {
        case F::Boolean: return 1;
        case F::Colour: return 3;
        case F::String: return 4;  // the count; the text follows
        case F::Integer: return 4;
    }
    return 0;
}

std::uint32_t ReadBigEndian32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
           (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
}

void AppendBigEndian32(std::string& out, std::uint32_t v) {
    out += static_cast<char>((v >> 24) & 0xFF);
    out += static_cast<char>((v >> 16) & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
    out += static_cast<char>(v & 0xFF);
}

[[noreturn]] void Fail(const std::string& what, std::string_view key, std::size_t offset) {
    throw PropertySetException("Property set: " + what, std::string(key), offset);
}

std::string WithArticle(PropertyForm form) {
    return (form == F::Integer ? "an " : "a ") + std::string(FormName(form));
}

std::string At(std::size_t offset) { return " at offset " + std::to_string(offset); }

}  // namespace

std::optional<PropertyForm> FormOfKey(std::string_view key) {
    const auto& index = KeyIndex();
    auto it = index.find(key);
    if (it == index.end()) return std::nullopt;
    return kKeyTable[it->second].form;
}

std::optional<std::size_t> KeyNumber(std::string_view key) {
    const auto& index = KeyIndex();
    auto it = index.find(key);
    if (it == index.end()) return std::nullopt;
    return it->second;
}

std::span<const PropertyKeyForm> PropertyKeyTable() { return kKeyTable; }

std::string_view FormName(PropertyForm form) {
    switch (form) {
        case F::Boolean: return "Boolean";
        case F::Colour: return "colour";
        case F::String: return "string";
        case F::Integer: return "integer";
    }
    return "?";
}

namespace {
// deferLarge: large strings are left undecoded; lasting: and kept as views
// for good.
std::vector<PropertyEntry> ReadSet(std::string_view bytes, bool deferLarge, bool lasting);
}

std::vector<PropertyEntry> ReadPropertySet(std::string_view bytes) { return ReadSet(bytes, false, false); }
std::vector<PropertyEntry> ReadPropertySetDeferred(std::string_view bytes, SetBytes bytesAre) {
    return ReadSet(bytes, true, bytesAre == SetBytes::Constant);
}

namespace {

std::vector<PropertyEntry> ReadSet(std::string_view bytes, bool deferLarge, bool lasting) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::vector<PropertyEntry> entries;
    // An entry takes at least a key byte, a blank and a value byte, and most
    // far more: enough for the sets of a window's controls without growing.
    entries.reserve(std::min<std::size_t>(n / 8 + 1, 64));
    // Where each key was first named, by key number: a key named twice is
    // an error.
    constexpr std::size_t kUnseen = SIZE_MAX;
    std::array<std::size_t, std::size(kKeyTable)> seen;
    seen.fill(kUnseen);
    std::size_t i = 0;
    while (i < n) {
        const std::size_t keyStart = i;
        while (i < n && IsKeyChar(p[i])) ++i;
        const std::string_view key = bytes.substr(keyStart, i - keyStart);
        const auto number = KeyNumber(key);
        const auto form = number ? std::optional<PropertyForm>(kKeyTable[*number].form) : std::nullopt;
        if (key.empty())
            Fail("byte " + Hex2(p[keyStart]) + At(keyStart) + " does not begin a key", key, keyStart);
        if (key.front() >= '0' && key.front() <= '9')
            Fail("key '" + Printable(key) + "'" + At(keyStart) + " begins with a digit", key, keyStart);
        if (!form) {
            // The run of key characters may have swallowed the start of what
            // follows, so report what there is up to the next blank.
            std::size_t j = i;
            while (j < n && p[j] != ' ' && j - keyStart < 64) ++j;
            const std::string_view shown = bytes.substr(keyStart, j - keyStart);
            Fail("unknown key '" + Printable(shown) + "'" + At(keyStart), shown, keyStart);
        }
        if (i >= n)
            Fail("key '" + std::string(key) + "'" + At(keyStart) +
                     " is not followed by a blank and a value: the set ends at offset " +
                     std::to_string(n),
                 key, keyStart);
        if (p[i] != ' ')
            Fail("key '" + std::string(key) + "'" + At(keyStart) +
                     " is not followed by a blank (byte " + Hex2(p[i]) + At(i) + ")",
                 key, keyStart);
        ++i;
        const std::size_t valueStart = i;
        const std::size_t need = ValueSize(*form);
        if (n - i < need)
            Fail("the " + std::string(FormName(*form)) + " value of key '" + std::string(key) +
                     "'" + At(keyStart) + " needs " + std::to_string(need) + " bytes from offset " +
                     std::to_string(valueStart) + " but the set ends at offset " +
                     std::to_string(n),
                 key, keyStart);
        PropertyValue value;
        value.form = *form;
        switch (*form) {
            case F::Boolean:
                if (p[i] > 1)
                    Fail("the Boolean value of key '" + std::string(key) + "'" + At(keyStart) +
                             " is byte " + Hex2(p[i]) + ", not 0 or 1",
                         key, keyStart);
                value.boolean = p[i] == 1;
                i += 1;
                break;
            case F::Colour:
                value.colour = Colour{p[i], p[i + 1], p[i + 2]};
                i += 3;
                break;
            case F::Integer:
                value.integer = static_cast<int32_t>(ReadBigEndian32(p + i));
                i += 4;
                break;
            case F::String: {
                const std::uint32_t count = ReadBigEndian32(p + i);
                i += 4;
                if (n - i < count)
                    Fail("the string value of key '" + std::string(key) + "'" + At(keyStart) +
                             " counts " + std::to_string(count) + " bytes from offset " +
                             std::to_string(i) + " but the set ends at offset " +
                             std::to_string(n),
                         key, keyStart);
                if (deferLarge && count >= kDeferredTextBytes) {
                    value.utf8 = bytes.substr(i, count);
                    value.utf8Lasting = lasting;
                }
                else DecodeUtf8Into(bytes.substr(i, count), value.text);
                i += count;
                break;
            }
        }
        if (seen[*number] != kUnseen)
            Fail("key '" + std::string(key) + "' is named twice: at offset " +
                     std::to_string(seen[*number]) + " and" + At(keyStart),
                 key, keyStart);
        seen[*number] = keyStart;
        entries.push_back(PropertyEntry{std::string(key), std::move(value), keyStart, *number});
    }
    return entries;
}
}  // namespace

std::string WritePropertySet(const std::vector<std::pair<std::string, PropertyValue>>& entries) {
    std::string out;
    std::unordered_map<std::string, std::size_t> seen;
    for (const auto& [key, value] : entries) {
        const std::size_t offset = out.size();
        const auto form = FormOfKey(key);
        if (!form) Fail("cannot write unknown key '" + Printable(key) + "'" + At(offset), key, offset);
        if (*form != value.form)
            Fail("key '" + key + "'" + At(offset) + " takes " + WithArticle(*form) +
                     " value, not " + WithArticle(value.form) + " value",
                 key, offset);
        auto [it, fresh] = seen.emplace(key, offset);
        if (!fresh)
            Fail("key '" + key + "' is written twice: at offset " + std::to_string(it->second) +
                     " and" + At(offset),
                 key, offset);
        out += key;
        out += ' ';
        switch (*form) {
            case F::Boolean: out += static_cast<char>(value.boolean ? 1 : 0); break;
            case F::Colour:
                out += static_cast<char>(value.colour.red);
                out += static_cast<char>(value.colour.green);
                out += static_cast<char>(value.colour.blue);
                break;
            case F::Integer: AppendBigEndian32(out, static_cast<std::uint32_t>(value.integer)); break;
            case F::String: {
                const std::string utf8 = value.text.ToUtf8();
                if (utf8.size() > 0xFFFFFFFFu)
                    Fail("the string value of key '" + key + "'" + At(offset) +
                             " is longer than a 32-bit count allows",
                         key, offset);
                AppendBigEndian32(out, static_cast<std::uint32_t>(utf8.size()));
                out += utf8;
                break;
            }
        }
    }
    return out;
}

const PropertyValue* FindProperty(const std::vector<PropertyEntry>& entries, std::string_view key) {
    for (const auto& e : entries)
        if (e.key == key) return &e.value;
    return nullptr;
}

void SetProperties(PropertyTarget& target, std::string_view bytes, SetBytes bytesAre) {
    // Read the whole set first: a broken set changes nothing on the target.
    // Not const: a target may take a large value over (see Listbox).
    auto entries = ReadPropertySetDeferred(bytes, bytesAre);
    const PropertyBatch batch(target);
    for (const auto& e : entries) {
        if (!target.SetNumberedProperty(e.number, e.key, e.value))
            Fail("an object of class '" + target.PropertyClassName() + "' has no property '" +
                     e.key + "' (key '" + e.key + "'" + At(e.offset) + ")",
                 e.key, e.offset);
    }
}

bool ClassTakesKey(std::string_view frameworkClass, std::string_view key) {
    const auto number = KeyNumber(key);
    const PropertyClass* cls = FindPropertyClass(frameworkClass);
    return number && cls && PropertyClassTakes(*cls, *number);
}

const PropertyClass* FindPropertyClass(std::string_view frameworkClass) {
    const auto& table = ClassTable();
    auto it = table.find(frameworkClass);
    return it == table.end() ? nullptr : &it->second;
}

bool PropertyClassTakes(const PropertyClass& cls, std::size_t keyNumber) {
    return keyNumber < cls.takes.size() && cls.takes[keyNumber];
}

const std::vector<std::string>& KeysOfClass(std::string_view frameworkClass) {
    static const std::vector<std::string> none;
    const auto& table = ClassTable();
    auto it = table.find(frameworkClass);
    return it == table.end() ? none : it->second.names;
}

std::span<const ClassKey> ClassKeys(std::string_view frameworkClass) {
    const auto& table = ClassKeyTable();
    auto it = table.find(frameworkClass);
    if (it == table.end()) return {};
    return it->second;
}

const std::vector<std::string>& PropertyClasses() {
    static const std::vector<std::string> classes = [] {
        std::vector<std::string> v;
        for (const auto& [name, keys] : ClassTable()) v.push_back(name);
        return v;
    }();
    return classes;
}

}  // namespace fw

namespace fw {

std::optional<PropertyValue> ParsePropertyLiteral(PropertyForm form, std::string_view text, std::string* error) {
    auto fail = [&](const std::string& why) -> std::optional<PropertyValue> {
        if (error) *error = why;
        return std::nullopt;
    };
    auto wrong = [&](const std::string& expected) { return fail("takes " + expected + ", not '" + std::string(text) + "'"); };
    switch (form) {
        case F::Boolean:
            if (text == "true") return PropertyValue::Bool(true);
            if (text == "false") return PropertyValue::Bool(false);
            return wrong("a Boolean value (true or false)");
        case F::Integer: {
            int64_t v = 0;
            const char* end = text.data() + text.size();
            auto [ptr, ec] = std::from_chars(text.data(), end, v);
            if (text.empty() || ec != std::errc() || ptr != end || v < INT32_MIN || v > INT32_MAX)
                return wrong("a 32-bit decimal integer");
            return PropertyValue::Int(static_cast<int32_t>(v));
        }
        case F::Colour: {
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
            return PropertyValue::Rgb(Colour{static_cast<std::uint8_t>(d[0] * 16 + d[1]),
                                             static_cast<std::uint8_t>(d[2] * 16 + d[3]),
                                             static_cast<std::uint8_t>(d[4] * 16 + d[5])});
        }
        case F::String: {
            if (text.empty() || text.front() != '"') return wrong("a quoted string");
            std::string out;
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
                        return fail(": unknown escape '\\" + std::string(1, text[i]) +
                                    "' (use \\r, \\n, \\t, \\\" or \\\\)");
                }
            }
            if (i >= text.size()) return fail(": the string has no closing quote");
            if (i + 1 != text.size()) return fail(": text after the closing quote: '" + std::string(text.substr(i + 1)) + "'");
            return PropertyValue::Text(String(out));
        }
    }
    return std::nullopt;
}

}  // namespace fw
