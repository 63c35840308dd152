// Shared by the tests of the compiled window definitions: values written as
// in a design's tables, and the check of a whole set against them, entry by
// entry in order.
#pragma once

#include "core/PropertySet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace definition_test {

using fw::PropertyValue;

inline PropertyValue B(bool b) { return PropertyValue::Bool(b); }
inline PropertyValue I(int32_t i) { return PropertyValue::Int(i); }
inline PropertyValue S(std::string_view s) { return PropertyValue::Text(fw::String::FromUtf8(s)); }
inline PropertyValue C(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return PropertyValue::Rgb({r, g, b}); }
inline const PropertyValue kWhite = C(0xFF, 0xFF, 0xFF);
inline const PropertyValue kBlack = C(0, 0, 0);
inline const PropertyValue kNoArray = I(INT_MIN);

inline bool Same(const PropertyValue& a, const PropertyValue& b) {
    if (a.form != b.form) return false;
    switch (a.form) {
        case fw::PropertyForm::Boolean: return a.boolean == b.boolean;
        case fw::PropertyForm::Colour: return a.colour == b.colour;
        case fw::PropertyForm::Integer: return a.integer == b.integer;
        case fw::PropertyForm::String: return a.text.Identical(b.text);
    }
    return false;
}

// Short enough to print even for the word list.
inline std::string Describe(const PropertyValue& v) {
    switch (v.form) {
        case fw::PropertyForm::Boolean: return v.boolean ? "true" : "false";
        case fw::PropertyForm::Integer: return std::to_string(v.integer);
        case fw::PropertyForm::Colour: {
            char buf[16];
            std::snprintf(buf, sizeof buf, "#%02X%02X%02X", v.colour.red, v.colour.green, v.colour.blue);
            return buf;
        }
        case fw::PropertyForm::String: {
            std::string s = v.text.ToUtf8();
            const std::size_t bytes = s.size();
            if (s.size() > 60) s = s.substr(0, 60) + "...";
            return "\"" + s + "\" (" + std::to_string(bytes) + " bytes)";
        }
    }
    return "?";
}

using Entries = std::vector<std::pair<std::string, PropertyValue>>;

// The whole set, in order: same keys in the same places with the same values.
inline void ExpectSet(std::string_view set, const Entries& expected) {
    const auto actual = fw::ReadPropertySet(set);
    const std::size_t n = std::min(actual.size(), expected.size());
    for (std::size_t i = 0; i < n; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i) + " '" + expected[i].first + "'");
        ASSERT_EQ(actual[i].key, expected[i].first);
        EXPECT_TRUE(Same(actual[i].value, expected[i].second))
            << "got " << Describe(actual[i].value) << ", want " << Describe(expected[i].second);
    }
    EXPECT_EQ(actual.size(), expected.size());
}

}  // namespace definition_test
