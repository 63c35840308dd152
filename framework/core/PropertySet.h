// Property sets: the serialized form of a window's or a control's
// definition. An entry is a key, one blank, and a value whose form the key
// alone fixes (see the key-form table in PropertySet.cpp). The same table
// serves the reader, the writer and the build-time generator.
#pragma once

#include "Exceptions.h"
#include "String.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

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
    int32_t integer = 0;

    static PropertyValue Bool(bool b) { PropertyValue v; v.form = PropertyForm::Boolean; v.boolean = b; return v; }
    static PropertyValue Int(int32_t i) { PropertyValue v; v.form = PropertyForm::Integer; v.integer = i; return v; }
    static PropertyValue Text(String s) { PropertyValue v; v.form = PropertyForm::String; v.text = std::move(s); return v; }
    static PropertyValue Rgb(Colour c) { PropertyValue v; v.form = PropertyForm::Colour; v.colour = c; return v; }
};

// The form of a key's value, or nothing for a key outside the table.
std::optional<PropertyForm> FormOfKey(std::string_view key);

struct PropertyEntry {
    std::string key;
    PropertyValue value;
    std::size_t offset;  // byte offset of the entry's key in the set
};

// Reads a whole set, accepting any key order. Throws PropertySetException
// (naming key and byte offset) for an unknown key, a missing blank, a value
// running past the end, or a key named twice. Never reads out of bounds.
std::vector<PropertyEntry> ReadPropertySet(std::string_view bytes);

// Writes entries in the order given. Throws PropertySetException for a key
// outside the table or a value of the wrong form.
std::string WritePropertySet(const std::vector<std::pair<std::string, PropertyValue>>& entries);

// Something a set can be applied to: a window or a control.
class PropertyTarget {
public:
    virtual ~PropertyTarget() = default;
    // Gives the named property the value; false when the object has no such
    // property.
    virtual bool SetProperty(std::string_view key, const PropertyValue& value) = 0;
    // The class name used in error messages and in the class-key table.
    virtual std::string PropertyClassName() const = 0;
};

// Reads the set and applies each entry in order; an entry the target does not
// take raises PropertySetException naming the key, its offset and the class.
void SetProperties(PropertyTarget& target, std::string_view bytes);

// The keys each framework class takes in its sets ("Window", "TextArea",
// "TextField", "Listbox", "PopupMenu", "PushButton", "Label", "ProgressBar",
// "Timer"). The generator checks definitions against it and every control
// must accept every key listed for its class.
bool ClassTakesKey(std::string_view frameworkClass, std::string_view key);
const std::vector<std::string>& KeysOfClass(std::string_view frameworkClass);

}  // namespace fw
