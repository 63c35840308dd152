// Applying one key of a property set with the setter its row names
// (core/PropertyKeys.def). For each class the rows give a table of appliers,
// one per key: the row's setter when the class has it, taking the value in
// the key's form, else nothing. Which keys a class takes is the class-key
// table's business (ClassTakesKey); this only finds the setter.
#pragma once

#include "core/PropertySet.h"

#include <string_view>

namespace fw {

namespace property_rows {

template <PropertyForm F>
struct Arg;
template <>
struct Arg<PropertyForm::Boolean> {
    static bool Of(const PropertyValue& v) { return v.boolean; }
};
template <>
struct Arg<PropertyForm::Integer> {
    static int32_t Of(const PropertyValue& v) { return v.integer; }
};
template <>
struct Arg<PropertyForm::Colour> {
    static const Colour& Of(const PropertyValue& v) { return v.colour; }
};
template <>
struct Arg<PropertyForm::String> {
    static const String& Of(const PropertyValue& v) { return v.text; }
};

template <class T>
using Applier = bool (*)(T&, const PropertyValue&);

// A setter that takes the PropertyValue itself may take a large text over
// still undecoded (a set's values are dropped right after they are applied);
// any other setter gets it decoded.
#define FW_PROPERTY_KEY(Key, Form, Default, Setter)                                           \
    template <class T>                                                                        \
    bool Apply_##Key(T& t, const PropertyValue& v) {                                          \
        using A = Arg<PropertyForm::Form>;                                                    \
        if constexpr (requires { t.Setter(const_cast<PropertyValue&>(v)); }) {                \
            t.Setter(const_cast<PropertyValue&>(v));                                          \
            return true;                                                                      \
        } else if constexpr (requires { t.Setter(A::Of(v)); }) {                              \
            if (v.utf8.empty()) t.Setter(A::Of(v));                                           \
            else t.Setter(A::Of(v.Decoded()));                                                \
            return true;                                                                      \
        } else {                                                                              \
            return false;                                                                     \
        }                                                                                     \
    }
#include "core/PropertyKeys.def"
#undef FW_PROPERTY_KEY

template <class T>
constexpr Applier<T> kAppliers[] = {
#define FW_PROPERTY_KEY(Key, Form, Default, Setter) &Apply_##Key<T>,
#include "core/PropertyKeys.def"
#undef FW_PROPERTY_KEY
};

}  // namespace property_rows

// Applies the key (by its number in the key table) to the target with the
// setter of the key's row; false for a value of another form than the
// key's or a key T has no setter for.
template <class T>
bool ApplyPropertyRow(T& target, std::size_t key, const PropertyValue& value) {
    return key < std::size(property_rows::kAppliers<T>) && PropertyKeyTable()[key].form == value.form &&
           property_rows::kAppliers<T>[key](target, value);
}

}  // namespace fw
