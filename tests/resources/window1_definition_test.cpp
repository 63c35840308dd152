// The main window's compiled definition, read back with the framework's own
// reader and checked entry by entry against the layout the rest of the
// program relies on (control names, tab order, hidden controls, word list).
#include "core/PropertySet.h"
#include "scrandle_windows.h"

#include <QByteArrayView>
#include <QCryptographicHash>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace {

using fw::PropertyValue;

const std::string kResources = SCRANDLE_RESOURCES_DIR;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << "cannot open " << path;
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// The shipped word list as a list box's rows: one word per line, joined by
// single CRs with none after the last.
std::string WordListRows() {
    std::istringstream in(ReadFile(SCRANDLE_WORDLIST_FILE));
    std::string line, rows;
    bool first = true;
    while (std::getline(in, line)) {
        if (!first) rows += '\r';
        rows += line;
        first = false;
    }
    return rows;
}

PropertyValue B(bool b) { return PropertyValue::Bool(b); }
PropertyValue I(int32_t i) { return PropertyValue::Int(i); }
PropertyValue S(std::string_view s) { return PropertyValue::Text(fw::String::FromUtf8(s)); }
PropertyValue C(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return PropertyValue::Rgb({r, g, b}); }
const PropertyValue kWhite = C(0xFF, 0xFF, 0xFF);
const PropertyValue kBlack = C(0, 0, 0);
const PropertyValue kNoArray = I(INT_MIN);

bool Same(const PropertyValue& a, const PropertyValue& b) {
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
std::string Describe(const PropertyValue& v) {
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
void ExpectSet(std::string_view set, const Entries& expected) {
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

// What varies from control to control; the rest of each set is fixed by its
// kind (ExpectedEntries below).
struct Row {
    std::string_view name;
    std::string_view frameworkClass;
    int32_t left, top, width, height;
    int32_t tab;                 // -1: no tab index
    std::string_view text;       // caption or text
    std::string_view font;       // "" for the timer
    bool bold;
    bool visible;
    int32_t textAlign = 0;       // labels only
};

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = {
        {"EditField1", "TextArea", 20, 64, 270, 352, 0, "", "System", false, true},  // text: initial.txt
        {"EditField2", "TextArea", 410, 64, 270, 352, 1, "", "System", false, true},
        {"Scramble", "PushButton", 300, 428, 100, 20, 2, "Scramble >>", "Arial", true, true},
        {"LoadFile1", "PushButton", 39, 428, 80, 20, 3, "Load File", "Arial", true, true},
        {"LoadFile2", "PushButton", 435, 428, 80, 20, 4, "Load File", "Arial", true, true},
        {"SaveFile1", "PushButton", 177, 428, 80, 20, 5, "Save File", "Arial", true, true},
        {"SaveFile2", "PushButton", 565, 428, 80, 20, 6, "Save File", "Arial", true, true},
        {"Clear1", "PushButton", 177, 460, 80, 20, 7, "Clear", "Arial", true, true},
        {"Clear2", "PushButton", 495, 460, 80, 20, 8, "Clear", "Arial", true, true},
        {"TryMe1", "PushButton", 308, 69, 80, 20, 9, "Try Me", "Arial", true, true},
        {"TryMe2", "PushButton", 308, 101, 80, 20, 10, "Try Me", "Arial", true, true},
        {"TryMe3", "PushButton", 308, 133, 80, 20, 11, "Try Me", "Arial", true, true},
        {"TryMe4", "PushButton", 308, 165, 80, 20, 12, "Try Me", "Arial", true, true},
        {"TryMe5", "PushButton", 308, 197, 80, 20, 13, "Try Me", "Arial", true, true},
        {"TryMe6", "PushButton", 308, 229, 80, 20, 14, "Try Me", "Arial", true, true},
        {"TryMe7", "PushButton", 308, 261, 80, 20, 15, "Try Me", "Arial", true, true},
        {"TryMe8", "PushButton", 308, 293, 80, 20, 16, "Try Me", "Arial", true, true},
        {"TryMe9", "PushButton", 308, 325, 80, 20, 17, "Try Me", "Arial", true, true},
        {"TryMe10", "PushButton", 308, 357, 80, 20, 18, "Try Me", "Arial", true, true},
        {"TryMe11", "PushButton", 308, 389, 80, 20, 19, "Try Me", "Arial", true, true},
        {"Unscramble", "PushButton", 293, 460, 110, 20, 20, "<< Unscramble", "Arial", true, true},
        {"EditField3", "TextArea", 710, 20, 270, 153, 21, "", "System", false, true},
        {"Wordwell", "Listbox", 710, 185, 262, 187, 22, "", "System", false, true},  // rows: word list
        {"DevTest", "PushButton", 892, 409, 80, 20, 23, "Dev Test", "Arial", true, true},
        {"StaticText1", "Label", 742, 383, 122, 20, 24, "Number of words:", "System", true, true, 0},
        {"NoWords", "Label", 876, 383, 65, 20, 25, "", "System", true, true, 0},
        {"SaveDict", "PushButton", 717, 409, 80, 20, 26, "Save Dict", "Arial", true, true},
        {"AlternateWords", "PopupMenu", 297, 20, 190, 20, 27, "", "Arial", false, false},
        {"FindWords", "PushButton", 80, 20, 140, 20, 28, "Find Possible Words", "Arial", true, true},
        {"ThisWord", "TextField", 715, 453, 80, 22, 29, "", "Arial", false, true},
        {"UseWord", "PushButton", 500, 20, 135, 20, 30, "Use Selected Word", "Arial", true, false},
        {"StaticText2", "Label", 95, 44, 110, 20, 31, "Unscrambled Text", "Arial", false, true, 1},
        {"StaticText3", "Label", 480, 44, 110, 20, 32, "Scrambled Text", "Arial", false, true, 1},
        {"Timer1", "Timer", 0, 0, 0, 0, -1, "", "", false, false},
        {"SupportButton", "PushButton", 24, 460, 110, 20, 34, "Support Tarnwick", "System", true, true},
    };
    return rows;
}

// The full expected set of a control: its kind's entry list in order, filled
// with the row's values and the values every control set shares.
Entries ExpectedEntries(const Row& r) {
    const std::string k = std::string(r.frameworkClass);
    if (k == "Timer") return {{"Mode", I(0)}, {"Period", I(2000)}};

    Entries e = {{"Name", S(r.name)}, {"Index", kNoArray}, {"Left", I(r.left)}, {"Top", I(r.top)},
                 {"Width", I(r.width)}, {"Height", I(r.height)}, {"LockLeft", B(false)},
                 {"LockTop", B(false)}, {"LockRight", B(false)}, {"LockBottom", B(false)},
                 {"TabPanelIndex", I(0)}, {"TabIndex", I(r.tab)}};
    auto add = [&](const Entries& more) { e.insert(e.end(), more.begin(), more.end()); };
    const Entries font = {{"TextFont", S(r.font)}, {"Bold", B(r.bold)}, {"Italic", B(false)},
                          {"Underline", B(false)}};
    const Entries help = {{"HelpTag", S("")}, {"AutoDeactivate", B(true)}};
    const Entries data = {{"DataSource", S("")}, {"DataField", S("")}};
    const Entries parent = {{"InitialParent", S("")}};

    if (k == "TextArea") {
        const std::string text = r.name == "EditField1" ? ReadFile(kResources + "/texts/initial.txt") : "";
        add({{"TabStop", B(true)}, {"Border", B(true)}, {"Multiline", B(true)},
             {"ScrollbarHorizontal", B(false)}, {"ScrollbarVertical", B(true)}, {"Styled", B(false)},
             {"UseFocusRing", B(true)}, {"TextColor", kBlack}, {"BackColor", kWhite},
             {"Enabled", B(true)}, {"Format", S("")}, {"Visible", B(r.visible)}});
        add(help);
        add({{"HideSelection", B(true)}});
        add(font);
        add({{"Text", S(text)}, {"Mask", S("")}, {"ReadOnly", B(false)}, {"LimitText", I(0)},
             {"AcceptTabs", B(false)}, {"Alignment", I(0)}, {"AutomaticallyCheckSpelling", B(true)}});
        add(data);
    } else if (k == "PushButton") {
        add({{"TabStop", B(true)}, {"Caption", S(r.text)}, {"Default", B(false)}, {"Cancel", B(false)},
             {"Enabled", B(true)}, {"Visible", B(r.visible)}});
        add(help);
        add({{"ButtonStyle", I(0)}});
        add(font);
    } else if (k == "Listbox") {
        add({{"TabStop", B(true)}, {"Visible", B(r.visible)}});
        add(help);
        add({{"Enabled", B(true)}, {"Border", B(true)}, {"ColumnCount", I(1)}, {"ColumnWidths", S("")},
             {"HasHeading", B(false)}, {"UseFocusRing", B(true)}, {"InitialValue", S(WordListRows())},
             {"HeadingIndex", I(-1)}, {"ScrollbarHorizontal", B(false)}, {"ScrollBarVertical", B(true)},
             {"GridLinesHorizontal", I(2)}, {"GridLinesVertical", I(0)}, {"DefaultRowHeight", I(-1)},
             {"_ScrollWidth", I(-1)}, {"_ScrollOffset", I(0)}});
        add(font);
        add({{"Hierarchical", B(false)}, {"EnableDrag", B(false)}, {"EnableDragReorder", B(false)},
             {"RequiresSelection", B(false)}, {"SelectionType", I(0)}, {"ColumnsResizable", B(false)},
             {"AutoHideScrollbars", B(true)}});
        add(data);
    } else if (k == "Label") {
        add({{"Text", S(r.text)}, {"TextAlign", I(r.textAlign)}, {"TextColor", kBlack},
             {"Multiline", B(false)}, {"Enabled", B(true)}, {"Visible", B(r.visible)},
             {"Selectable", B(false)}, {"Transparent", B(false)}});
        add(help);
        add(font);
        add(data);
    } else if (k == "PopupMenu") {
        add({{"TabStop", B(true)}, {"Enabled", B(true)}, {"InitialValue", S("")}, {"ListIndex", I(0)},
             {"Visible", B(r.visible)}});
        add(help);
        add(font);
        add(data);
    } else if (k == "TextField") {
        add({{"TabStop", B(true)}, {"Border", B(true)}, {"Password", B(false)}, {"UseFocusRing", B(true)},
             {"TextColor", kBlack}, {"BackColor", kWhite}, {"Enabled", B(true)}, {"Format", S("")},
             {"Visible", B(r.visible)}});
        add(help);
        add(font);
        add({{"CueText", S("")}, {"Text", S(r.text)}, {"Mask", S("")}, {"ReadOnly", B(false)},
             {"LimitText", I(0)}, {"AcceptTabs", B(false)}, {"Alignment", I(0)},
             {"AutomaticallyCheckSpelling", B(false)}});
        add(data);
    } else {
        ADD_FAILURE() << "no entry list for class " << k;
    }
    add(parent);
    return e;
}

// Text areas get their line spacing and font unit; a control in Arial gets
// its size; System-font controls and the list box keep the default size.
std::vector<fw::PresetProperty> ExpectedPresets(const Row& r) {
    if (r.frameworkClass == "Timer") return {};
    if (r.frameworkClass == "TextArea") return {{"LineSpacing", 1.0}, {"TextUnit", 0}};
    if (r.font == "Arial") return {{"TextSize", 12.0}, {"TextUnit", 0}};
    return {{"TextUnit", 0}};
}

const fw::WindowDefinition& W() { return resources::Window1; }

TEST(Window1Definition, IsFoundByName) {
    EXPECT_EQ(W().name, "Window1");
    EXPECT_EQ(resources::FindWindowDefinition("Window1"), &W());
    bool listed = false;
    for (const auto* w : resources::AllWindowDefinitions()) listed |= (w == &W());
    EXPECT_TRUE(listed);
}

TEST(Window1Definition, WindowSetHasItsTwentyOneEntriesInOrder) {
    ExpectSet(W().set, {{"Placement", I(0)},        {"Width", I(700)},           {"Height", I(500)},
                        {"MinWidth", I(64)},         {"MinHeight", I(64)},        {"MaxWidth", I(32000)},
                        {"MaxHeight", I(32000)},     {"Frame", I(0)},             {"Composite", B(false)},
                        {"HasBackColor", B(false)},  {"BackColor", kWhite},       {"Title", S("Scrandle?")},
                        {"Visible", B(true)},        {"FullScreen", B(false)},    {"MenuBarVisible", B(true)},
                        {"CloseButton", B(true)},    {"Resizeable", B(false)},    {"LiveResize", B(false)},
                        {"MaximizeButton", B(false)}, {"MinimizeButton", B(true)}, {"MacProcID", I(0)}});
}

TEST(Window1Definition, ControlsInCreationOrderWithTheirSetsAndPresets) {
    const auto& rows = Rows();
    ASSERT_EQ(W().controls.size(), 35u);
    ASSERT_EQ(rows.size(), 35u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& c = W().controls[i];
        const Row& r = rows[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + " " + std::string(r.name));
        EXPECT_EQ(c.name, r.name);
        EXPECT_EQ(c.frameworkClass, r.frameworkClass);
        EXPECT_EQ(W().FindControl(r.name), &c);
        ExpectSet(c.set, ExpectedEntries(r));

        const auto want = ExpectedPresets(r);
        ASSERT_EQ(c.presets.size(), want.size());
        for (std::size_t p = 0; p < want.size(); ++p) {
            EXPECT_EQ(c.presets[p].key, want[p].key);
            EXPECT_EQ(c.presets[p].value, want[p].value) << want[p].key;
        }
    }
}

// Whole-window facts the other parts of the program depend on, taken from
// the compiled sets alone.
TEST(Window1Definition, TabOrderNamesVisibilityAndEntryCounts) {
    std::vector<int32_t> tabs;
    std::vector<std::string> hidden;
    std::map<std::string, std::set<std::size_t>> countsByClass;
    for (const auto& c : W().controls) {
        SCOPED_TRACE(std::string(c.name));
        const auto entries = fw::ReadPropertySet(c.set);
        countsByClass[std::string(c.frameworkClass)].insert(entries.size());
        if (const auto* t = fw::FindProperty(entries, "TabIndex")) tabs.push_back(t->integer);
        if (const auto* v = fw::FindProperty(entries, "Visible"); v && !v->boolean) hidden.emplace_back(c.name);
        if (c.frameworkClass == "Timer") {
            EXPECT_EQ(fw::FindProperty(entries, "Name"), nullptr);
            EXPECT_EQ(fw::FindProperty(entries, "Index"), nullptr);
            continue;
        }
        const auto* name = fw::FindProperty(entries, "Name");
        ASSERT_NE(name, nullptr);
        EXPECT_TRUE(name->text.Identical(fw::String::FromUtf8(c.name)));
        EXPECT_EQ(fw::FindProperty(entries, "Index")->integer, INT_MIN);
        EXPECT_EQ(fw::FindProperty(entries, "TabStop") != nullptr, c.frameworkClass != "Label");
        EXPECT_TRUE(fw::FindProperty(entries, "Enabled")->boolean);
    }

    std::vector<int32_t> wantTabs;
    for (int32_t t = 0; t <= 32; ++t) wantTabs.push_back(t);
    wantTabs.push_back(34);
    EXPECT_EQ(tabs, wantTabs);
    EXPECT_EQ(hidden, (std::vector<std::string>{"AlternateWords", "UseWord"}));

    const std::map<std::string, std::set<std::size_t>> wantCounts = {
        {"TextArea", {41}}, {"PushButton", {26}}, {"Listbox", {45}}, {"Label", {29}},
        {"PopupMenu", {26}}, {"TextField", {38}}, {"Timer", {2}}};
    EXPECT_EQ(countsByClass, wantCounts);

    // Each kind lists its keys in the framework's order for that class; the
    // main window's labels leave out TabStop.
    for (const auto& c : W().controls) {
        SCOPED_TRACE(std::string(c.name));
        std::vector<std::string> want;
        for (const auto& k : fw::KeysOfClass(c.frameworkClass))
            if (!(c.frameworkClass == "Label" && k == "TabStop")) want.push_back(k);
        std::vector<std::string> got;
        for (const auto& e : fw::ReadPropertySet(c.set)) got.push_back(e.key);
        EXPECT_EQ(got, want);
    }
}

TEST(Window1Definition, TimerSetIsExactlyModeAndPeriod) {
    const auto* timer = W().FindControl("Timer1");
    ASSERT_NE(timer, nullptr);
    const unsigned char want[] = {0x4D, 0x6F, 0x64, 0x65, 0x20, 0x00, 0x00, 0x00, 0x00, 0x50,
                                  0x65, 0x72, 0x69, 0x6F, 0x64, 0x20, 0x00, 0x00, 0x07, 0xD0};
    EXPECT_EQ(timer->set, std::string_view(reinterpret_cast<const char*>(want), sizeof want));
}

// The word list and the initial text come from files; check the bytes that
// reach the sets, not just what the reader makes of them.
TEST(Window1Definition, WordListAndInitialTextReachTheSetsUnchanged) {
    const auto words = fw::ReadPropertySet(W().FindControl("Wordwell")->set);
    const std::string rows = fw::FindProperty(words, "InitialValue")->text.ToUtf8();
    EXPECT_EQ(rows, WordListRows());
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\r') + 1, 68928);
    EXPECT_EQ(rows.find('\n'), std::string::npos);
    EXPECT_EQ(rows.find("\r\r"), std::string::npos);
    EXPECT_TRUE(rows.starts_with("aachen\r"));
    EXPECT_TRUE(rows.ends_with("\rzyuganov"));

    const std::string initial = ReadFile(kResources + "/texts/initial.txt");
    ASSERT_EQ(initial.size(), 550u);
    const std::string_view set = W().FindControl("EditField1")->set;
    // "Text " followed by the big-endian byte count and the bytes themselves.
    std::string entry = "Text ";
    entry += std::string("\x00\x00\x02\x26", 4);
    entry += initial;
    EXPECT_NE(set.find(entry), std::string_view::npos);
}

// The sets as they were compiled when every entry was still written out in
// the definition file, before the file named only what differs from each
// class's defaults: SHA-256 of each set, the window's own first. The word
// list's rows come from the build (and are checked above), so Wordwell's
// digest leaves out the InitialValue entry's count and bytes.
std::string Sha256(std::string_view bytes) {
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

std::string WithoutInitialValue(std::string_view set) {
    std::string s(set);
    const std::size_t at = s.find("InitialValue ");
    if (at == std::string::npos) return s;
    const std::size_t count = static_cast<unsigned char>(s[at + 13]) << 24 | static_cast<unsigned char>(s[at + 14]) << 16 |
                              static_cast<unsigned char>(s[at + 15]) << 8 | static_cast<unsigned char>(s[at + 16]);
    return s.erase(at + 13, 4 + count);
}

TEST(Window1Definition, SetsAreByteForByteThoseCompiledFromTheFullDefinition) {
    const std::vector<std::pair<std::string, std::string>> before = {
        {"", "76dde974eb8662889280bbe52aa03f0d4fdc355b92cd952f7e3ed8915536b149"},
        {"EditField1", "5bda0955ce5c88bb0fdf8cd23cdd7f68f5b04e177a98f3071c6859b613a340b1"},
        {"EditField2", "5b5179ca9045ab30f0584b88605d4269819286ca53b7a61ca99b46257076aa16"},
        {"Scramble", "0f1cd022e72aca0f02f83c3ee47a8153c7be663cb6a38afd6741e99846f1434c"},
        {"LoadFile1", "d4b75193f23b4977d4adc074aed9ae50cbff6f3d779963c6b27e67dda49c87cf"},
        {"LoadFile2", "adf1305c7b6425a381ac6e1053bbe26e8836893cca393d64505f9b0f0147824f"},
        {"SaveFile1", "4e413c54a3e53e714e1910917bdcfadae539e61728da6cccfb0032bced3eb1c2"},
        {"SaveFile2", "51829abf606ac9895d3d58a23061adec339440a475eb5fb8c33d8d413ac6d96f"},
        {"Clear1", "966782b5062d3b2870540d5d591ec664ec9f58c3f31aa1eb2de0cd9656636b62"},
        {"Clear2", "68706ea9c785439bb203d79dd9922d6a578ca5e12ba5616406026b7c352b81e2"},
        {"TryMe1", "0e14568de674f647e77b1e30888a7d60c63faf4573c3598eadbd54bab790c986"},
        {"TryMe2", "3f46d5812df84650190d407e345b9b8bbaba52d96b8e35a45833124a477cfe3d"},
        {"TryMe3", "3c02d11fb3b13c69a695940e285b01628115694f107419f5539ae8194d056746"},
        {"TryMe4", "0088149ad496b2cdc17cd5334fd4f85cb398ed4304ccbda73ec38a4636fc8b08"},
        {"TryMe5", "6cc295cde704ce6c40f388552c428af78df4e33368a8a84062934471f0b0c58c"},
        {"TryMe6", "8494d0c9b7babcfd98efc5d22c708e1d3e0feb2ebb6609e01ac8f686361f4a51"},
        {"TryMe7", "3df1bb1dd40997facdffeb3bd29d892d57593920752b3e7a2368bc1654e460cb"},
        {"TryMe8", "6b08bf52ec6d31bab5f549495c9766025a0b8e0280f27cbbcc5c75d3d6dd004f"},
        {"TryMe9", "8e5573243e81012875cbced02bfdec96735c838a3e3dbc172993f2d220cc492e"},
        {"TryMe10", "14085c8bb70c4ef0a25e11f35e0f26f407687dc9507c2bad2e584c3480c1e045"},
        {"TryMe11", "d3085416e08c649caf7a7b1a4008180dda547fe46d7f10696bfe85afd61804df"},
        {"Unscramble", "7f9a02e90ea22b7a4a741be94b68f6a8e056b77f6a01a253ec17db0bf0efcc0e"},
        {"EditField3", "fc3d6b8cc78645ff9b0c4b7f7eebf22590315e3c64de6c0c08285d9b1d6716b5"},
        {"Wordwell", "6c8a521c6572740a35e6be6caeb868cd78cf49dc82571d61bb160820056d219a"},
        {"DevTest", "349783a45ef339d414b24a8b1aa026b8275ef00d0f7b6b16d7fa02e301573c92"},
        {"StaticText1", "d9f3d4ac1af59809d8687c6c5b4d862d32385545f0962dbd0d5bff82f7527785"},
        {"NoWords", "63c8341309d0e7b775acf669c4aa3be777e3c08c4ac3eb8f330b08758578cb51"},
        {"SaveDict", "b5d5cd0e122b4975374753a9ee924a650ae42dd9a4e9ff65b3018bd951b8b6ff"},
        {"AlternateWords", "3536a563c42592a8799b69d41346918d630fda2eb27dc29ea8e1f4e9fdd28dd4"},
        {"FindWords", "6e646b2e681bfff1fd0532870695b5f5e7279b8a3b0b2be51d1a31fcfdd7ad14"},
        {"ThisWord", "8a63e575c01153b24adf7c1c442bede6e901f54b13de3811fe6fc8cf42a1484a"},
        {"UseWord", "d71e17533507f3a47401e82a5871c82530381188d003cadef6e2298e3ec5b3ca"},
        {"StaticText2", "17dfe00300ef09af12c097b7ea687b383809d1a19438b72e7894abff35105209"},
        {"StaticText3", "aeb66bf14669b7898d2da4b9229d343558ba4133e963caa5dc3248c55bcc76f6"},
        {"Timer1", "5008f0254d50c784d75ae170405f974d1b98afaa4c2220507b70ebae7c439d54"},
        {"SupportButton", "766030cbcc2b6e5aea6f413e4d58fdf611d8a2e920f9bc1e8b7cadfefb03c732"},
    };
    ASSERT_EQ(before.size(), W().controls.size() + 1);
    EXPECT_EQ(Sha256(W().set), before[0].second) << "the window's own set";
    for (std::size_t i = 0; i < W().controls.size(); ++i) {
        const auto& c = W().controls[i];
        EXPECT_EQ(c.name, before[i + 1].first);
        EXPECT_EQ(Sha256(c.name == "Wordwell" ? WithoutInitialValue(c.set) : std::string(c.set)), before[i + 1].second)
            << c.name;
    }
}

}  // namespace
