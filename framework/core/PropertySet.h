// Property sets: the serialized form of a window's or a control's
// definition. An entry is a key, one blank, and a value whose form the key
// alone fixes (see the key-form table in PropertySet.cpp). The same table
// serves the reader, the writer and the build-time generator.
#pragma once

#include "core/Exceptions.h"
#include "core/String.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// What a set's bytes are: Passing bytes are valid while the set is applied;
// Constant bytes are the program's own constant data (a compiled window
// definition), which never change and last as long as the process.
enum class SetBytes { Passing, Constant };

enum class PropertyForm { Boolean, Colour, String, Integer };

struct Colour {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Colour&) const = default;
};

struct PropertyValue {
    PropertyForm form = PropertyForm::Integer;
    bool boolean = false;
    Colour colour;
    String text;  // decoded from the set's UTF-8; a line break is a CR
    // Only when a set is applied: a string of kDeferredTextBytes or more is
    // handed over undecoded here, with text left empty (see TextValue). A
    // list of 70,000 rows need not be decoded before anyone reads it. It
    // views the set's bytes, so it is valid while the set is applied; when
    // the set was read as SetBytes::Constant (utf8Lasting) it is valid for
    // good and may be kept without a copy.
    std::string_view utf8;
    bool utf8Lasting = false;
    int32_t integer = 0;

    static PropertyValue Bool(bool b) { PropertyValue v; v.form = PropertyForm::Boolean; v.boolean = b; return v; }
    static PropertyValue Int(int32_t i) { PropertyValue v; v.form = PropertyForm::Integer; v.integer = i; return v; }
    static PropertyValue Text(String s) { PropertyValue v; v.form = PropertyForm::String; v.text = std::move(s); return v; }
    // The text, whichever way it was handed over.
    String TextValue() const { return utf8.empty() ? text : String(utf8); }
    // This value with a text handed over undecoded decoded into text.
    PropertyValue Decoded() const {
        PropertyValue v = *this;
        if (!v.utf8.empty()) {
            v.text = TextValue();
            v.utf8 = {};
            v.utf8Lasting = false;
        }
        return v;
    }
    static PropertyValue Rgb(Colour c) { PropertyValue v; v.form = PropertyForm::Colour; v.colour = c; return v; }
};

// The form of a key's value, or nothing for a key outside the table. Keys
// are matched exactly: ScrollbarVertical and ScrollBarVertical are two keys.
std::optional<PropertyForm> FormOfKey(std::string_view key);

// The whole key-form table, in the table's own order (Boolean keys, then the
// colours, the strings and the integers): the key rows of PropertyKeys.def.
struct PropertyKeyForm {
    std::string_view key;
    PropertyForm form;
};
std::span<const PropertyKeyForm> PropertyKeyTable();
// The key's place in that table, or nothing for a key outside it.
std::optional<std::size_t> KeyNumber(std::string_view key);

// A value as a window definition writes it, in the key's form: true or
// false, a decimal 32-bit integer, #RRGGBB, or a quoted string with the
// escapes \r \n \t \" \\. Nothing when the text is not such a value; error
// then says why, to follow "key 'K'" in a message.
std::optional<PropertyValue> ParsePropertyLiteral(PropertyForm form, std::string_view text,
                                                  std::string* error = nullptr);

// "Boolean", "colour", "string" or "integer", for messages.
std::string_view FormName(PropertyForm form);

struct PropertyEntry {
    std::string key;
    PropertyValue value;
    std::size_t offset;  // byte offset of the entry's key in the set
    std::size_t number;  // the key's place in the key table (KeyNumber)
};

// Reads a whole set, accepting any key order. Throws PropertySetException
// (naming key and byte offset) for an unknown key, a missing blank, a value
// running past the end, or a key named twice. Never reads out of bounds.
std::vector<PropertyEntry> ReadPropertySet(std::string_view bytes);
// The same, leaving string values of at least this many bytes undecoded in
// PropertyValue::utf8, a view of the bytes (SetProperties reads this way),
// lasting for good when the bytes are Constant.
inline constexpr std::size_t kDeferredTextBytes = 64 * 1024;
std::vector<PropertyEntry> ReadPropertySetDeferred(std::string_view bytes, SetBytes bytesAre);

// Writes entries in the order given. Throws PropertySetException for a key
// outside the table, a value of the wrong form or a key named twice (the
// reader would refuse such a set).
std::string WritePropertySet(const std::vector<std::pair<std::string, PropertyValue>>& entries);

// The value of the key in a read set, or nullptr.
const PropertyValue* FindProperty(const std::vector<PropertyEntry>& entries, std::string_view key);

// Something a set can be applied to: a window or a control.
class PropertyTarget {
public:
    virtual ~PropertyTarget() = default;
    // Gives the named property the value; false when the object has no such
    // property.
    virtual bool SetProperty(std::string_view key, const PropertyValue& value) = 0;
    // The same for a key already looked up: number is KeyNumber(key). A set
    // is applied this way, so that a target need not look each key up again.
    virtual bool SetNumberedProperty(std::size_t number, std::string_view key, const PropertyValue& value) {
        (void)number;
        return SetProperty(key, value);
    }
    // The class name used in error messages and in the class-key table.
    virtual std::string PropertyClassName() const = 0;
    // Bracket a run of SetProperty calls (SetProperties makes one per set;
    // callers may nest them): a target may hold back work that each value
    // would redo, such as laying out its font, until the outermost end.
    virtual void BeginPropertyBatch() {}
    virtual void EndPropertyBatch() {}
    // The setter of the keys a class takes and leaves alone (PropertyKeys.def
    // says why for each).
    template <class V>
    void Ignore(const V&) {}
};

// A batch on the target for the scope's lifetime; it ends also when the
// scope is left by an exception, so the values taken so far are in effect.
class PropertyBatch {
public:
    explicit PropertyBatch(PropertyTarget& target) : target_(target) { target_.BeginPropertyBatch(); }
    ~PropertyBatch() { target_.EndPropertyBatch(); }
    PropertyBatch(const PropertyBatch&) = delete;
    PropertyBatch& operator=(const PropertyBatch&) = delete;

private:
    PropertyTarget& target_;
};

// Reads the set and applies each entry in order; an entry the target does not
// take raises PropertySetException naming the key, its offset and the class.
// The whole set is read before anything is applied, so a set that cannot be
// read leaves the target untouched. A target may keep a large value of
// Constant bytes without copying it.
void SetProperties(PropertyTarget& target, std::string_view bytes, SetBytes bytesAre = SetBytes::Passing);

// The keys each framework class takes in its sets ("Window", "TextArea",
// "TextField", "Listbox", "PopupMenu", "PushButton", "Label", "ProgressBar",
// "Timer", and "HTTPSocket" for the socket control's Address, Port and
// yield), in the order the class's sets list them. The generator checks
// definitions against it and every control must accept every key listed for
// its class. An unknown class takes no key and has an empty list.
bool ClassTakesKey(std::string_view frameworkClass, std::string_view key);
const std::vector<std::string>& KeysOfClass(std::string_view frameworkClass);
// The same by key number, for a target taking key after key: the class of
// that name (nullptr for none) and whether it takes the key.
struct PropertyClass;
const PropertyClass* FindPropertyClass(std::string_view frameworkClass);
bool PropertyClassTakes(const PropertyClass& cls, std::size_t keyNumber);
// The same keys with what a definition that leaves one out gets.
struct ClassKey {
    std::string key;
    PropertyValue value;    // the class's default
    bool optional = false;  // left out, the key stays out of the set
};
std::span<const ClassKey> ClassKeys(std::string_view frameworkClass);
// The class names the table knows, in a fixed order.
const std::vector<std::string>& PropertyClasses();

// A window definition compiled into the program by the build-time generator
// (tools/windowc): the window's own set and its controls in creation order.
// The generated objects are constant-initialised; nothing runs at start-up.
// Their sets are constant data (SetBytes::Constant).
struct PresetProperty {
    std::string_view key;  // "TextSize", "TextUnit" or "LineSpacing"
    double value;
};

// One control event bound to a handler, a method of the window.
struct EventDefinition {
    std::string_view event;      // "Action"
    std::string_view handler;    // "Scramble_Action": the control's name, "_", the event
    std::string_view signature;  // "( PushButton )": the handler's parameters
};

struct ControlDefinition {
    std::string_view frameworkClass;  // a class of the class-key table
    std::string_view name;            // the name the control is added under
    std::string_view set;             // its property set
    // Set, in this order, before the set is applied; not part of the set.
    std::span<const PresetProperty> presets;
    // The registered name of the class the definition gives this one control
    // ("Window1.Timer1"), empty when it is made of its framework class.
    std::string_view ownClass = {};
    // Its events bound to handlers, in the order they are bound.
    std::span<const EventDefinition> events = {};
};

// An item of the window's menu bar that the window has an accessor for.
struct MenuItemDefinition {
    std::string_view name;       // the item's Name, and the accessor's
    std::string_view itemClass;  // "MenuItem", "AppleMenuItem", "QuitMenuItem"
};

struct WindowDefinition {
    std::string_view name;  // the window's class
    std::string_view set;
    std::span<const ControlDefinition> controls;
    // The accessor of the menu bar the window installs ("MenuBar1"), empty
    // for none, and the items it has accessors for, in their order.
    std::string_view menuBar = {};
    std::span<const MenuItemDefinition> menuItems = {};

    // The control of that name (exact match), or nullptr.
    const ControlDefinition* FindControl(std::string_view controlName) const {
        for (const auto& c : controls)
            if (c.name == controlName) return &c;
        return nullptr;
    }
};

}  // namespace fw
