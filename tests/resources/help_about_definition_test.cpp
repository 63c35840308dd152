// The compiled definitions of the Help window and the About box, read back
// with the framework's reader: each set whole, in its order, against the
// windows' design tables.
#include "definition_entries.h"
#include "help_text.h"
#include "scrandle_windows.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using namespace definition_test;

// The two windows' own sets differ only in size and title: fixed size, a
// close box and neither a minimize nor a maximize box.
Entries FixedWindowSet(int32_t width, int32_t height, const char* title) {
    return {{"Placement", I(0)},         {"Width", I(width)},         {"Height", I(height)},
            {"MinWidth", I(64)},         {"MinHeight", I(64)},        {"MaxWidth", I(32000)},
            {"MaxHeight", I(32000)},     {"Frame", I(0)},             {"Composite", B(false)},
            {"HasBackColor", B(false)},  {"BackColor", kWhite},       {"Title", S(title)},
            {"Visible", B(true)},        {"FullScreen", B(false)},    {"MenuBarVisible", B(true)},
            {"CloseButton", B(true)},    {"Resizeable", B(false)},    {"LiveResize", B(false)},
            {"MaximizeButton", B(false)}, {"MinimizeButton", B(false)}, {"MacProcID", I(0)}};
}

void ExpectPresets(const fw::ControlDefinition& c, const std::vector<fw::PresetProperty>& want) {
    ASSERT_EQ(c.presets.size(), want.size()) << c.name;
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(c.presets[i].key, want[i].key) << c.name;
        EXPECT_EQ(c.presets[i].value, want[i].value) << c.name << " " << want[i].key;
    }
}

TEST(HelpDefinition, WindowWithMenuBar2AndOneTextAreaInTheDesignsOrder) {
    const fw::WindowDefinition& w = resources::Help;
    EXPECT_EQ(resources::FindWindowDefinition("Help"), &w);
    ExpectSet(w.set, FixedWindowSet(500, 300, "Help"));
    EXPECT_EQ(w.menuBar, "MenuBar2");

    ASSERT_EQ(w.controls.size(), 1u);
    const fw::ControlDefinition& area = w.controls[0];
    EXPECT_EQ(area.frameworkClass, "TextArea");
    EXPECT_EQ(area.name, "TextArea1");
    EXPECT_TRUE(area.ownClass.empty());
    EXPECT_TRUE(area.events.empty());
    ExpectPresets(area, {{"TextUnit", 0}, {"LineSpacing", 1.0}});
    // The left pair of columns of the design, then the right pair.
    ExpectSet(area.set, {{"InitialParent", S("")},
                         {"DataField", S("")},
                         {"DataSource", S("")},
                         {"AutomaticallyCheckSpelling", B(true)},
                         {"Alignment", I(0)},
                         {"AcceptTabs", B(false)},
                         {"LimitText", I(0)},
                         {"ReadOnly", B(false)},
                         {"Mask", S("")},
                         {"Text", S(resources::HelpText())},
                         {"Underline", B(false)},
                         {"Italic", B(false)},
                         {"Bold", B(false)},
                         {"TextFont", S("System")},
                         {"HideSelection", B(true)},
                         {"AutoDeactivate", B(true)},
                         {"HelpTag", S("")},
                         {"Visible", B(true)},
                         {"Format", S("")},
                         {"Enabled", B(true)},
                         {"BackColor", kWhite},
                         {"TextColor", kBlack},
                         {"UseFocusRing", B(true)},
                         {"Styled", B(false)},
                         {"ScrollbarVertical", B(true)},
                         {"ScrollbarHorizontal", B(false)},
                         {"Multiline", B(true)},
                         {"Border", B(true)},
                         {"TabStop", B(true)},
                         {"TabIndex", I(0)},
                         {"TabPanelIndex", I(0)},
                         {"LockBottom", B(false)},
                         {"LockRight", B(false)},
                         {"LockTop", B(false)},
                         {"LockLeft", B(false)},
                         {"Height", I(260)},
                         {"Width", I(460)},
                         {"Top", I(20)},
                         {"Left", I(20)},
                         {"Index", kNoArray},
                         {"Name", S("TextArea1")}});
}

// One row per control of the About box, in creation order.
struct AboutRow {
    const char* name;
    const char* cls;
    int32_t left, top, width, height, tab;
    std::string text;  // caption or text
    const char* font;
    double size;  // 0: the framework's default, no preset
    bool bold;
    int32_t align;  // labels only
    bool multiline;
    const char* event;  // "" for none
};

std::vector<AboutRow> AboutRows(const std::string& credits) {
    return {
        {"PushButton1", "PushButton", 107, 180, 120, 21, 0, "Email Author", "System", 0, true, 0, false, "Action"},
        {"PushButton2", "PushButton", 107, 217, 120, 21, 1, "Visit Web Site", "System", 0, true, 0, false, "Action"},
        {"StaticText2", "Label", 115, 86, 104, 87, 2, credits, "System", 0, false, 1, true, ""},
        {"StaticText1", "Label", 20, 20, 294, 45, 3, "Scrandle?", "Arial", 30, true, 1, false, ""},
        {"StaticText3", "Label", 107, 60, 60, 20, 4, "Version:", "Arial", 12, true, 0, false, ""},
        {"StaticText4", "Label", 162, 60, 65, 20, 5, "2.2.0 Intel", "Arial", 12, true, 2, false, "Open"},
    };
}

Entries AboutEntries(const AboutRow& r) {
    const Entries place = {{"Name", S(r.name)},     {"Index", kNoArray},        {"Left", I(r.left)},
                           {"Top", I(r.top)},       {"Width", I(r.width)},      {"Height", I(r.height)},
                           {"LockLeft", B(false)},  {"LockTop", B(false)},      {"LockRight", B(false)},
                           {"LockBottom", B(false)}, {"TabPanelIndex", I(0)},   {"TabIndex", I(r.tab)}};
    const Entries font = {{"TextFont", S(r.font)}, {"Bold", B(r.bold)}, {"Italic", B(false)}, {"Underline", B(false)}};
    Entries e;
    auto add = [&](const Entries& more) { e.insert(e.end(), more.begin(), more.end()); };
    if (std::string_view(r.cls) == "PushButton") {
        add(place);
        add({{"TabStop", B(true)}, {"Caption", S(r.text)}, {"Default", B(false)}, {"Cancel", B(false)},
             {"Enabled", B(true)}, {"Visible", B(true)}, {"HelpTag", S("")}, {"AutoDeactivate", B(true)},
             {"ButtonStyle", I(0)}});
        add(font);
    } else {
        add({{"TabStop", B(true)}});
        add(place);
        add({{"Text", S(r.text)}, {"TextAlign", I(r.align)}, {"TextColor", kBlack}, {"Multiline", B(r.multiline)},
             {"Enabled", B(true)}, {"Visible", B(true)}, {"Selectable", B(false)}, {"Transparent", B(false)},
             {"HelpTag", S("")}, {"AutoDeactivate", B(true)}});
        add(font);
        add({{"DataSource", S("")}, {"DataField", S("")}});
    }
    add({{"InitialParent", S("")}});
    return e;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line, '\r');) lines.push_back(line);
    if (!text.empty() && text.back() == '\r') lines.emplace_back();
    return lines;
}

TEST(AboutBoxDefinition, FixedWindowAndSixControlsWithTheirSetsPresetsAndEvents) {
    const fw::WindowDefinition& w = resources::AboutBox;
    EXPECT_EQ(resources::FindWindowDefinition("AboutBox"), &w);
    ExpectSet(w.set, FixedWindowSet(334, 258, "About..."));
    EXPECT_TRUE(w.menuBar.empty()) << "no menu bar of its own";
    EXPECT_TRUE(w.menuItems.empty());

    // The credits: five lines, the two names being the build's.
    ASSERT_NE(w.FindControl("StaticText2"), nullptr);
    const std::string credits =
        fw::FindProperty(fw::ReadPropertySet(w.FindControl("StaticText2")->set), "Text")->text.ToUtf8();
    const std::vector<std::string> lines = Lines(credits);
    ASSERT_EQ(lines.size(), 5u) << credits;
    EXPECT_EQ(lines[0], "Developed by");
    EXPECT_FALSE(lines[1].empty());
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "Sr. Beta Tester");
    EXPECT_FALSE(lines[4].empty());

    const std::vector<AboutRow> rows = AboutRows(credits);
    ASSERT_EQ(w.controls.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const fw::ControlDefinition& c = w.controls[i];
        const AboutRow& r = rows[i];
        SCOPED_TRACE(r.name);
        EXPECT_EQ(c.name, r.name);
        EXPECT_EQ(c.frameworkClass, r.cls);
        EXPECT_TRUE(c.ownClass.empty());
        ExpectSet(c.set, AboutEntries(r));
        if (r.size > 0) ExpectPresets(c, {{"TextSize", r.size}, {"TextUnit", 0}});
        else ExpectPresets(c, {{"TextUnit", 0}});
        if (*r.event) {
            ASSERT_EQ(c.events.size(), 1u);
            EXPECT_EQ(c.events[0].event, r.event);
            EXPECT_EQ(c.events[0].handler, std::string(r.name) + "_" + r.event);
            EXPECT_EQ(c.events[0].signature, std::string("( ") + r.cls + " )");
        } else {
            EXPECT_TRUE(c.events.empty());
        }
    }
}

}  // namespace
