#include "core/PropertySet.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <map>
#include <set>

using namespace std::string_literals;
using fw::Colour;
using fw::PropertyForm;
using fw::PropertySetException;
using fw::PropertyValue;

namespace {

using Entries = std::vector<std::pair<std::string, PropertyValue>>;

// Runs f, which must throw PropertySetException; returns it.
template <typename Fn>
PropertySetException Expect(Fn f) {
    try {
        f();
    } catch (const PropertySetException& e) {
        return e;
    }
    ADD_FAILURE() << "no PropertySetException";
    return PropertySetException("", "", 0);
}

// A valid set holding every form, used by the truncation checks.
std::string MixedSet() {
    return fw::WritePropertySet({
        {"Name", PropertyValue::Text("EditField1")},
        {"Index", PropertyValue::Int(INT32_MIN)},
        {"Visible", PropertyValue::Bool(true)},
        {"BackColor", PropertyValue::Rgb({255, 255, 255})},
        {"Text", PropertyValue::Text("line one\rline two \xC3\xA9")},
        {"HelpTag", PropertyValue::Text("")},
        {"Width", PropertyValue::Int(700)},
    });
}

}  // namespace

TEST(PropertySet, TimerSetOfTwentyBytes) {
    const std::string timer = "Mode \x00\x00\x00\x00Period \x00\x00\x07\xD0"s;
    ASSERT_EQ(timer.size(), 20u);
    const auto entries = fw::ReadPropertySet(timer);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].key, "Mode");
    EXPECT_EQ(entries[0].value.integer, 0);
    EXPECT_EQ(entries[0].offset, 0u);
    EXPECT_EQ(entries[1].key, "Period");
    EXPECT_EQ(entries[1].value.integer, 2000);
    EXPECT_EQ(entries[1].offset, 9u);
    EXPECT_EQ(fw::WritePropertySet({{"Mode", PropertyValue::Int(0)}, {"Period", PropertyValue::Int(2000)}}),
              timer);
}

TEST(PropertySet, EntryBytesOfEachForm) {
    struct Case {
        const char* key;
        PropertyValue value;
        std::string bytes;
    };
    const Case cases[] = {
        {"Visible", PropertyValue::Bool(true), "\x56\x69\x73\x69\x62\x6C\x65\x20\x01"s},
        {"Visible", PropertyValue::Bool(false), "Visible \x00"s},
        {"BackColor", PropertyValue::Rgb({0xFF, 0xFF, 0xFF}), "BackColor\x20\xFF\xFF\xFF"s},
        {"TextColor", PropertyValue::Rgb({0x12, 0x34, 0x56}), "TextColor \x12\x34\x56"s},
        {"Name", PropertyValue::Text("EditField1"), "\x4E\x61\x6D\x65\x20\x00\x00\x00\x0A" "EditField1"s},
        {"HelpTag", PropertyValue::Text(""), "HelpTag \x00\x00\x00\x00"s},
        // The count is of bytes: "é" is one character and two bytes.
        {"Caption", PropertyValue::Text("\xC3\xA9"), "Caption \x00\x00\x00\x02\xC3\xA9"s},
        {"Index", PropertyValue::Int(INT32_MIN), "Index \x80\x00\x00\x00"s},
        {"HeadingIndex", PropertyValue::Int(-1), "HeadingIndex \xFF\xFF\xFF\xFF"s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(fw::WritePropertySet({{c.key, c.value}}), c.bytes);
        const auto read = fw::ReadPropertySet(c.bytes);
        ASSERT_EQ(read.size(), 1u);
        EXPECT_EQ(read[0].key, c.key);
        EXPECT_EQ(read[0].value.form, c.value.form);
        EXPECT_EQ(read[0].value.boolean, c.value.boolean);
        EXPECT_EQ(read[0].value.colour, c.value.colour);
        EXPECT_TRUE(read[0].value.text.Identical(c.value.text));
        EXPECT_EQ(read[0].value.integer, c.value.integer);
    }
    EXPECT_EQ(fw::Len(fw::ReadPropertySet("Caption \x00\x00\x00\x02\xC3\xA9"s)[0].value.text), 1);
}

TEST(PropertySet, RoundTripOverEveryKeyAndEdgeValues) {
    // Every key of the table with a value of its form, in table order.
    Entries all;
    int n = 0;
    for (const auto& [key, form] : fw::PropertyKeyTable()) {
        ++n;
        switch (form) {
            case PropertyForm::Boolean: all.emplace_back(key, PropertyValue::Bool(n % 2 == 0)); break;
            case PropertyForm::Colour: all.emplace_back(key, PropertyValue::Rgb({1, 128, 255})); break;
            case PropertyForm::String: all.emplace_back(key, PropertyValue::Text(fw::Str(n))); break;
            case PropertyForm::Integer: all.emplace_back(key, PropertyValue::Int(-n * 1000)); break;
        }
    }
    const auto read = fw::ReadPropertySet(fw::WritePropertySet(all));
    ASSERT_EQ(read.size(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(all[i].first);
        EXPECT_EQ(read[i].key, all[i].first);
        EXPECT_EQ(read[i].value.boolean, all[i].second.boolean);
        EXPECT_EQ(read[i].value.colour, all[i].second.colour);
        EXPECT_TRUE(read[i].value.text.Identical(all[i].second.text));
        EXPECT_EQ(read[i].value.integer, all[i].second.integer);
    }

    // Edge values of the integer and string forms.
    for (int32_t v : {INT32_MIN, -1, 0, 1, 2000, INT32_MAX}) {
        const auto r = fw::ReadPropertySet(fw::WritePropertySet({{"Left", PropertyValue::Int(v)}}));
        EXPECT_EQ(r[0].value.integer, v);
    }
    const fw::String texts[] = {"", "\r", "a\rb\r\rc", "\"quoted\" \\ back", "\xF0\x9F\x98\x80 emoji",
                                fw::String(std::u32string(70000, U'x'))};
    for (const auto& t : texts) {
        const auto r = fw::ReadPropertySet(fw::WritePropertySet({{"Text", PropertyValue::Text(t)}}));
        EXPECT_TRUE(r[0].value.text.Identical(t));
    }
}

TEST(PropertySet, AnyKeyOrderGivesTheSameValues) {
    Entries forward = {
        {"Name", PropertyValue::Text("TextArea1")}, {"Index", PropertyValue::Int(INT32_MIN)},
        {"Left", PropertyValue::Int(20)},           {"Visible", PropertyValue::Bool(true)},
        {"TextColor", PropertyValue::Rgb({0, 0, 0})}, {"InitialParent", PropertyValue::Text("")},
    };
    Entries backward(forward.rbegin(), forward.rend());
    const auto a = fw::ReadPropertySet(fw::WritePropertySet(forward));
    const auto b = fw::ReadPropertySet(fw::WritePropertySet(backward));
    ASSERT_EQ(a.size(), b.size());
    for (const auto& e : a) {
        const PropertyValue* other = fw::FindProperty(b, e.key);
        ASSERT_NE(other, nullptr) << e.key;
        EXPECT_EQ(other->integer, e.value.integer);
        EXPECT_EQ(other->boolean, e.value.boolean);
        EXPECT_TRUE(other->text.Identical(e.value.text));
    }
    EXPECT_EQ(fw::FindProperty(a, "Width"), nullptr);
}

TEST(PropertySet, MalformedSetsNameKeyAndOffset) {
    struct Case {
        const char* what;
        std::string bytes;
        std::string key;
        std::size_t offset;
        const char* inMessage;
    };
    const std::string ok = "Visible \x01"s;  // 9 bytes, so the bad entry begins at 9
    const Case cases[] = {
        {"unknown key", ok + "Colour \x01\x02\x03"s, "Colour", 9, "unknown key 'Colour'"},
        {"key case matters", ok + "visible \x01"s, "visible", 9, "unknown key 'visible'"},
        {"no blank, set ends", ok + "Width", "Width", 9, "not followed by a blank"},
        {"no blank, other byte", ok + "Width\x01\x00\x00\x00\x00"s, "Width", 9, "not followed by a blank"},
        {"integer past end", ok + "Width \x00\x00\x02"s, "Width", 9, "needs 4 bytes"},
        {"colour past end", ok + "BackColor \xFF\xFF"s, "BackColor", 9, "needs 3 bytes"},
        {"boolean missing", ok + "Bold "s, "Bold", 9, "needs 1 bytes"},
        {"string count past end", ok + "Text \x00\x00\x00\x05" "abcd"s, "Text", 9, "counts 5 bytes"},
        {"huge string count", ok + "Text \xFF\xFF\xFF\xFF" "abcd"s, "Text", 9, "counts 4294967295 bytes"},
        {"key named twice", ok + "Visible \x00"s, "Visible", 9, "named twice: at offset 0 and at offset 9"},
        {"bad boolean byte", ok + "Bold \x02"s, "Bold", 9, "not 0 or 1"},
        {"no key at all", ok + "\x01"s, "", 9, "does not begin a key"},
        {"blank first", ok + " Bold \x01"s, "", 9, "does not begin a key"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto e = Expect([&] { fw::ReadPropertySet(c.bytes); });
        EXPECT_EQ(e.Key, c.key);
        EXPECT_EQ(e.Offset, c.offset);
        const std::string msg = e.what();
        EXPECT_NE(msg.find(c.inMessage), std::string::npos) << msg;
        EXPECT_NE(msg.find("offset " + std::to_string(c.offset)), std::string::npos) << msg;
    }
}

TEST(PropertySet, TruncatedAndCorruptedSetsNeverReadOutOfBounds) {
    const std::string set = MixedSet();
    // Entry boundaries: the only prefixes that are whole sets.
    std::set<std::size_t> boundaries = {0};
    for (const auto& e : fw::ReadPropertySet(set)) boundaries.insert(e.offset);
    boundaries.insert(set.size());
    for (std::size_t len = 0; len <= set.size(); ++len) {
        // A copy of exactly len bytes, so a sanitizer sees any overrun.
        const std::string prefix = set.substr(0, len);
        bool threw = false;
        try {
            fw::ReadPropertySet(prefix);
        } catch (const PropertySetException& e) {
            threw = true;
            EXPECT_LE(e.Offset, len);
        }
        EXPECT_EQ(threw, boundaries.count(len) == 0) << "prefix of " << len << " bytes";
    }
    // Every single-byte corruption either reads or raises the one exception.
    for (std::size_t i = 0; i < set.size(); ++i) {
        for (unsigned char b : {0x00, 0x20, 0x7F, 0xFF}) {
            std::string bad = set;
            bad[i] = static_cast<char>(b);
            try {
                fw::ReadPropertySet(bad);
            } catch (const PropertySetException&) {
            }
        }
    }
}

TEST(PropertySet, WriterRefusesWhatTheReaderCannotRead) {
    auto e = Expect([] { fw::WritePropertySet({{"Width", PropertyValue::Int(1)}, {"Colour", PropertyValue::Int(1)}}); });
    EXPECT_EQ(e.Key, "Colour");
    EXPECT_EQ(e.Offset, 10u);
    e = Expect([] { fw::WritePropertySet({{"Width", PropertyValue::Text("700")}}); });
    EXPECT_EQ(e.Key, "Width");
    EXPECT_NE(std::string(e.what()).find("takes an integer value, not a string"), std::string::npos) << e.what();
    e = Expect([] { fw::WritePropertySet({{"Top", PropertyValue::Int(1)}, {"Top", PropertyValue::Int(2)}}); });
    EXPECT_EQ(e.Key, "Top");
    EXPECT_EQ(e.Offset, 8u);
}

namespace {

// A target that takes a fixed list of keys and records what it was given.
class Recorder : public fw::PropertyTarget {
public:
    explicit Recorder(std::set<std::string> takes) : takes_(std::move(takes)) {}
    bool SetProperty(std::string_view key, const PropertyValue& value) override {
        if (!takes_.count(std::string(key))) return false;
        applied.emplace_back(std::string(key), value.integer);
        return true;
    }
    std::string PropertyClassName() const override { return "Timer"; }
    std::vector<std::pair<std::string, int32_t>> applied;

private:
    std::set<std::string> takes_;
};

}  // namespace

TEST(PropertySet, SetPropertiesAppliesInOrderAndNamesARefusedKey) {
    Recorder timer({"Mode", "Period"});
    fw::SetProperties(timer, "Period \x00\x00\x00\x64Mode \x00\x00\x00\x01"s);
    EXPECT_EQ(timer.applied, (std::vector<std::pair<std::string, int32_t>>{{"Period", 100}, {"Mode", 1}}));

    Recorder strict({"Mode", "Period"});
    const std::string set = "Mode \x00\x00\x00\x00Name \x00\x00\x00\x06Timer1"s;
    const auto e = Expect([&] { fw::SetProperties(strict, set); });
    EXPECT_EQ(e.Key, "Name");
    EXPECT_EQ(e.Offset, 9u);
    const std::string msg = e.what();
    EXPECT_NE(msg.find("'Timer'"), std::string::npos) << msg;
    EXPECT_NE(msg.find("'Name'"), std::string::npos) << msg;
    EXPECT_NE(msg.find("offset 9"), std::string::npos) << msg;

    // A set that cannot be read changes nothing, not even its good entries.
    Recorder untouched({"Mode", "Period"});
    EXPECT_THROW(fw::SetProperties(untouched, "Mode \x00\x00\x00\x01Period \x00\x00"s), PropertySetException);
    EXPECT_TRUE(untouched.applied.empty());
}

TEST(PropertySet, KeyTableHasTheFormsOfEveryKey) {
    std::map<PropertyForm, int> count;
    for (const auto& [key, form] : fw::PropertyKeyTable()) {
        ++count[form];
        EXPECT_EQ(fw::FormOfKey(key), form) << key;
    }
    EXPECT_EQ(count[PropertyForm::Boolean], 44);
    EXPECT_EQ(count[PropertyForm::Colour], 2);
    EXPECT_EQ(count[PropertyForm::String], 15);
    EXPECT_EQ(count[PropertyForm::Integer], 32);
    EXPECT_EQ(fw::FormOfKey("ScrollbarVertical"), PropertyForm::Boolean);
    EXPECT_EQ(fw::FormOfKey("ScrollBarVertical"), PropertyForm::Boolean);
    EXPECT_EQ(fw::FormOfKey("yield"), PropertyForm::Boolean);
    EXPECT_EQ(fw::FormOfKey("_ScrollOffset"), PropertyForm::Integer);
    EXPECT_FALSE(fw::FormOfKey("TextSize"));
    EXPECT_FALSE(fw::FormOfKey("visible"));
}

TEST(PropertySet, ClassKeyTable) {
    // Entry counts of each class's sets, the Label's including TabStop.
    const std::map<std::string, std::size_t> sizes = {
        {"Window", 21}, {"TextArea", 41}, {"TextField", 38}, {"Listbox", 45}, {"PopupMenu", 26},
        {"PushButton", 26}, {"Label", 30}, {"ProgressBar", 20}, {"Timer", 2}, {"HTTPSocket", 3}};
    std::set<std::string> used;
    for (const auto& cls : fw::PropertyClasses()) {
        SCOPED_TRACE(cls);
        ASSERT_TRUE(sizes.count(cls));
        const auto& keys = fw::KeysOfClass(cls);
        EXPECT_EQ(keys.size(), sizes.at(cls));
        EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), keys.size());
        for (const auto& k : keys) {
            EXPECT_TRUE(fw::FormOfKey(k)) << k;
            used.insert(k);
        }
    }
    EXPECT_EQ(fw::PropertyClasses().size(), sizes.size());
    // Every key of the table is used by some class.
    EXPECT_EQ(used.size(), fw::PropertyKeyTable().size());

    EXPECT_TRUE(fw::ClassTakesKey("TextArea", "ScrollbarVertical"));
    EXPECT_FALSE(fw::ClassTakesKey("TextArea", "ScrollBarVertical"));
    EXPECT_TRUE(fw::ClassTakesKey("Listbox", "ScrollBarVertical"));
    EXPECT_FALSE(fw::ClassTakesKey("Listbox", "ScrollbarVertical"));
    EXPECT_TRUE(fw::ClassTakesKey("Label", "TabStop"));
    EXPECT_FALSE(fw::ClassTakesKey("Timer", "Name"));
    EXPECT_FALSE(fw::ClassTakesKey("Window", "Name"));
    EXPECT_TRUE(fw::ClassTakesKey("HTTPSocket", "yield"));
    EXPECT_FALSE(fw::ClassTakesKey("Canvas", "Left"));
    EXPECT_TRUE(fw::KeysOfClass("Canvas").empty());
}

namespace {
// A set whose one string is long enough to be handed over undecoded, kept
// in the program's constant data as a compiled definition is.
constexpr std::size_t kLongText = fw::kDeferredTextBytes + 10;
constexpr auto kConstantSet = [] {
    std::array<char, 13 + 4 + kLongText> set{};
    const char key[] = "InitialValue ";
    for (std::size_t i = 0; i < 13; ++i) set[i] = key[i];
    for (int b = 0; b < 4; ++b) set[13 + b] = static_cast<char>((kLongText >> (8 * (3 - b))) & 0xFF);
    for (std::size_t i = 0; i < kLongText; ++i) set[17 + i] = i % 7 == 6 ? '\r' : 'w';
    return set;
}();
}  // namespace

TEST(PropertySet, LongStringsAreHandedOverAsViewsThatLastOnlyInConstantData) {
    const std::string_view constant(kConstantSet.data(), kConstantSet.size());
    const std::string copy(constant);
    for (const auto& [bytes, are] : {std::pair{constant, fw::SetBytes::Constant},
                                     std::pair{std::string_view(copy), fw::SetBytes::Passing}}) {
        const bool lasting = are == fw::SetBytes::Constant;
        auto entries = fw::ReadPropertySetDeferred(bytes, are);
        ASSERT_EQ(entries.size(), 1u);
        const PropertyValue& v = entries[0].value;
        EXPECT_EQ(v.utf8.size(), kLongText);
        EXPECT_EQ(v.utf8.data(), bytes.data() + 17);  // a view, not a copy
        EXPECT_EQ(v.utf8Lasting, lasting);
        EXPECT_TRUE(v.text.IsEmpty());
        const PropertyValue decoded = v.Decoded();
        EXPECT_TRUE(decoded.utf8.empty());
        EXPECT_FALSE(decoded.utf8Lasting);
        EXPECT_EQ(decoded.text.ToUtf8(), std::string(bytes.substr(17)));
    }
    // Read the plain way, the same set decodes at once.
    EXPECT_FALSE(fw::ReadPropertySet(constant)[0].value.utf8Lasting);
}
