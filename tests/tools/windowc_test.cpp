#include "core/PropertySet.h"
#include "scrandle_test_windows.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <fstream>
#include <sstream>

using namespace std::string_literals;

namespace {

const std::string kWindows = SCRANDLE_TESTDATA_DIR "/windows";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct Run {
    int exitCode;
    std::string err;
};

// Runs the compiler on the files, writing into dir.
Run Compile(const QString& dir, const std::vector<std::string>& files) {
    QStringList args = {"--header", dir + "/out.h", "--source", dir + "/out.cpp", "--depfile", dir + "/out.d"};
    for (const auto& f : files) args << QString::fromStdString(f);
    QProcess p;
    p.start(SCRANDLE_WINDOWC, args);
    if (!p.waitForFinished(30000)) return {-1, "did not finish"};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardError().toStdString()};
}

fw::String TextOf(std::string_view set, std::string_view key) {
    const auto entries = fw::ReadPropertySet(set);
    const fw::PropertyValue* v = fw::FindProperty(entries, key);
    return v ? v->text : fw::String("<missing>");
}

}  // namespace

TEST(WindowDefinitions, SampleWindowCompilesToReadableSets) {
    const fw::WindowDefinition& w = testwindows::SampleWindow;
    EXPECT_EQ(w.name, "SampleWindow");
    EXPECT_EQ(testwindows::FindWindowDefinition("SampleWindow"), &w);
    EXPECT_EQ(testwindows::FindWindowDefinition("Window1"), nullptr);
    ASSERT_EQ(testwindows::AllWindowDefinitions().size(), 1u);

    const auto windowSet = fw::ReadPropertySet(w.set);
    EXPECT_EQ(windowSet.size(), fw::KeysOfClass("Window").size());
    EXPECT_TRUE(fw::FindProperty(windowSet, "Title")->text.Identical("Sample \"window\""));
    EXPECT_EQ(fw::FindProperty(windowSet, "Width")->integer, 400);

    // Creation order, classes, and each set holding every key of its class.
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"TextArea", "Notes"},   {"PushButton", "OkButton"}, {"Label", "Caption1"},
        {"Listbox", "Rows"},     {"PopupMenu", "Choices"},   {"TextField", "Entry"},
        {"ProgressBar", "Progress"}, {"Timer", "Ticker"},    {"HTTPSocket", "Socket"}};
    ASSERT_EQ(w.controls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& c = w.controls[i];
        SCOPED_TRACE(std::string(c.name));
        EXPECT_EQ(c.frameworkClass, expected[i].first);
        EXPECT_EQ(c.name, expected[i].second);
        EXPECT_EQ(w.FindControl(c.name), &c);
        const auto entries = fw::ReadPropertySet(c.set);
        EXPECT_EQ(entries.size(), fw::KeysOfClass(c.frameworkClass).size());
        for (const auto& e : entries) EXPECT_TRUE(fw::ClassTakesKey(c.frameworkClass, e.key)) << e.key;
        if (const auto* name = fw::FindProperty(entries, "Name")) {
            EXPECT_TRUE(name->text.Identical(fw::String(c.name)));
        }
    }

    // The text area lists its keys in reverse.
    EXPECT_EQ(fw::ReadPropertySet(w.controls[0].set).front().key, "InitialParent");
    // @file values: line ends become CRs, none after the last line.
    EXPECT_EQ(TextOf(w.FindControl("Notes")->set, "Text").ToUtf8(),
              "Notes for the sample window.\r\rA second paragraph with \"quotes\" and a back\\slash.");
    EXPECT_EQ(TextOf(w.FindControl("Rows")->set, "InitialValue").ToUtf8(), "apple\rbanana\rcherry");
    // Escapes, a CR before a digit and question marks survive the emitted literal.
    EXPECT_EQ(TextOf(w.FindControl("Choices")->set, "InitialValue").ToUtf8(), "1st\r2nd\r?\?=?\\");
    EXPECT_EQ(fw::Len(TextOf(w.FindControl("Entry")->set, "Text")), 4);  // "café": 5 bytes
    // The timer's set is exactly the twenty bytes of Mode 0 and Period 2000.
    EXPECT_EQ(w.FindControl("Ticker")->set, "Mode \x00\x00\x00\x00Period \x00\x00\x07\xD0"s);

    const auto& presets = w.FindControl("Notes")->presets;
    ASSERT_EQ(presets.size(), 2u);
    EXPECT_EQ(presets[0].key, "TextUnit");
    EXPECT_EQ(presets[0].value, 0.0);
    EXPECT_EQ(presets[1].key, "LineSpacing");
    EXPECT_EQ(presets[1].value, 1.0);
    EXPECT_EQ(w.FindControl("OkButton")->presets[0].value, 12.0);
    // Keys the block leaves out take their defaults, in the class's order.
    const auto ok = fw::ReadPropertySet(w.FindControl("OkButton")->set);
    EXPECT_EQ(ok.front().key, "Name");
    EXPECT_TRUE(fw::FindProperty(ok, "Name")->text.Identical("OkButton"));
    EXPECT_EQ(fw::FindProperty(ok, "Index")->integer, INT32_MIN);
    EXPECT_FALSE(fw::FindProperty(ok, "Cancel")->boolean);
    EXPECT_TRUE(fw::FindProperty(ok, "Default")->boolean);
    EXPECT_TRUE(w.FindControl("Socket")->presets.empty());
}

TEST(WindowDefinitions, CompilerListsInputsInTheDepfile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto r = Compile(dir.path(), {kWindows + "/Sample.window"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(QFile::exists(dir.path() + "/out.h"));
    const std::string dep = ReadFile((dir.path() + "/out.d").toStdString());
    EXPECT_EQ(dep.rfind((dir.path() + "/out.cpp:").toStdString(), 0), 0u) << dep;
    for (const char* input : {"/Sample.window", "/texts/notes.txt", "/texts/rows.txt"})
        EXPECT_NE(dep.find(kWindows + input), std::string::npos) << input << " not in\n" << dep;
}

TEST(WindowDefinitions, BrokenDefinitionsFailWithFileLineAndKey) {
    struct Case {
        const char* file;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"unknown_key", 4, "unknown key 'Colour'"},
        {"key_of_other_class", 6, "class 'Timer' does not take key 'Name'"},
        {"scrollbar_spelling", 6, "class 'TextArea' does not take key 'ScrollBarVertical'"},
        {"wrong_form", 3, "key 'Width' takes a 32-bit decimal integer, not '\"700\"'"},
        {"integer_range", 5, "key 'Top' takes a 32-bit decimal integer"},
        {"bad_boolean", 3, "key 'Visible' takes a Boolean value"},
        {"bad_colour", 2, "key 'BackColor' takes a colour #RRGGBB"},
        {"duplicate_key", 5, "key 'Width' is named twice in control 'Button1' (first on line 3)"},
        {"duplicate_control", 5, "control 'Button1' is added twice to window 'Broken' (first on line 2)"},
        {"missing_file", 3, "key 'Text': cannot read @file 'texts/no-such-file.txt'"},
        {"name_mismatch", 4, "key 'Name' is \"Button2\" but the control is added as 'Button1'"},
        {"unterminated_string", 3, "key 'Caption': the string has no closing quote"},
        {"out_of_order", 2,
         "control 'Button1' names its keys in another order than class 'PushButton' does, so it must name them all; "
         "it leaves out Name, Index, Left, Top, Height"},
        {"event_of_window", 2, "event 'Open' in the window's own block: only controls raise events"},
        {"not_utf8_value", 3, "key 'Caption': the text is not valid UTF-8 (byte 4 of the value)"},
        {"not_utf8_file", 3, "key 'Text': the text is not valid UTF-8 (byte 6 of the file)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const std::string path = kWindows + "/broken/" + c.file + ".window";
        const auto r = Compile(dir.path(), {path});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(path + ":" + std::to_string(c.line) + ": " + c.message), std::string::npos) << r.err;
        EXPECT_FALSE(QFile::exists(dir.path() + "/out.cpp"));
    }
}

TEST(WindowDefinitions, EveryBadFileIsReportedInOneRun) {
    // A good file beside broken ones does not hide their errors, and a
    // window defined twice is refused.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string sample = kWindows + "/Sample.window";
    auto r = Compile(dir.path(), {sample, kWindows + "/broken/bad_colour.window", kWindows + "/broken/bad_boolean.window"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("bad_colour.window:2:"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("bad_boolean.window:3:"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("2 errors"), std::string::npos) << r.err;

    r = Compile(dir.path(), {sample, sample});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(sample + ":5: window 'SampleWindow' is defined twice (first at " + sample + ":5)"),
              std::string::npos)
        << r.err;
}
