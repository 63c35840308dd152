// The update file as the checker reads it: the tag functions, the version
// comparison against a running 2.2.0, the free flag and the texts.
#include "update/Reply.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

using fw::String;

std::string U(const String& s) { return s.ToUtf8(); }

String File(const std::string& version, const std::string& description = "Fixes.", const std::string& free = "Yes") {
    return String("<CurrentVersion>" + version + "</CurrentVersion>\n<Description>" + description +
                  "</Description>\n<Free>" + free + "</Free>\n");
}

TEST(UpdateReply, TagsAreBuiltFromTheName) {
    EXPECT_EQ(U(update::startTag("Free")), "<Free>");
    EXPECT_EQ(U(update::endTag("Free")), "</Free>");
    EXPECT_EQ(U(update::startTag("")), "<>");
}

TEST(UpdateReply, ReturnValueCutsTheFirstElement) {
    struct Case {
        const char* what;
        std::string reply;
        const char* tag;
        std::string value;
    };
    const Case cases[] = {
        {"plain", "<Free>Yes</Free>", "Free", "Yes"},
        {"text around the tags", "junk <b>x</b>\r\n<Free>No</Free> trailing </Free>", "Free", "No"},
        {"second element ignored", "<CurrentVersion>2.2.0</CurrentVersion><CurrentVersion>9.9.9</CurrentVersion>",
         "CurrentVersion", "2.2.0"},
        {"closing tag before the opening one", "</Free><Free>Yes</Free>", "Free", "Yes"},
        {"tag names ignore letter case", "<free>yes</FREE>", "Free", "yes"},
        {"value kept as it stands", "<Description>  two\r\nlines &amp; <i>tags</i> \n</Description>", "Description",
         "  two\r\nlines &amp; <i>tags</i> \n"},
        {"empty element", "<Free></Free>", "Free", ""},
        {"opening tag without a closing one", "<Free>Yes", "Free", ""},
        {"opening tag with the closing one of another tag", "<Free>Yes</Description>", "Free", ""},
        {"no tags", "<html><body>404 Not Found</body></html>", "CurrentVersion", ""},
        {"tag with a blank is no tag", "<Free >Yes</Free>", "Free", ""},
        {"closing tag without an opening one", "0123456789</Free>", "Free", ""},
        {"empty body", "", "Free", ""},
        {"non-ASCII value", "<Description>Überall ✓ 😀</Description>", "Description", "Überall ✓ 😀"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(U(update::returnValue(String(c.reply), c.tag)), c.value) << c.what;
}

// Only the first three fields count, as numbers; the running version is 2.2.0.
TEST(UpdateReply, VersionComparedFieldByFieldAsNumbers) {
    struct Case {
        const char* version;
        bool current;
    };
    const Case cases[] = {
        {"2.2.0", true},  {"2.2", true},    {"2.2.0.9", true}, {"02.2.0", true},  {"2.2.00", true},
        {"2.2.1", false}, {"2.3.0", false}, {"3.0.0", false},  {"2.1.9", false},  {"1.0.0", false},
        {"10.0.0", false}, {"", false},     {"a.b.c", false},  {"2.2.0a", true},  {"2.20", false},
    };
    for (const auto& c : cases) EXPECT_EQ(update::IsCurrentVersion(c.version, 2, 2, 0), c.current) << c.version;
    // A version that reads as zeros is current only for a running 0.0.0.
    EXPECT_TRUE(update::IsCurrentVersion("", 0, 0, 0));
}

// The version without the blanks and line ends around it; only a 2xx reply
// that names one is the update file.
TEST(UpdateReply, TheVersionIsTrimmedAndOnlyA2xxReplyNamingOneIsTheFile) {
    struct Case {
        const char* reply;
        const char* version;
    };
    const Case cases[] = {
        {"<CurrentVersion>2.2.0</CurrentVersion>", "2.2.0"},
        {"<CurrentVersion>\n  2.2.0\n</CurrentVersion>", "2.2.0"},
        {"<CurrentVersion>\t2.3.0 \r\n</CurrentVersion>", "2.3.0"},
        {"<CurrentVersion> 2. 2 </CurrentVersion>", "2. 2"},
        {"<CurrentVersion> \r\n </CurrentVersion>", ""},
        {"<html>404 Not Found</html>", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(U(update::CurrentVersion(String(c.reply))), c.version) << c.reply;
    EXPECT_TRUE(update::IsCurrentVersion(update::CurrentVersion("<CurrentVersion>\n  2.2.0\n</CurrentVersion>"), 2, 2, 0));

    const std::pair<int32_t, bool> statuses[] = {{200, true}, {203, true}, {299, true}, {0, false},  {199, false},
                                                 {301, false}, {304, false}, {404, false}, {500, false}};
    for (const auto& [status, file] : statuses) {
        EXPECT_EQ(update::IsUpdateFile(status, "2.2.0"), file) << status;
        EXPECT_FALSE(update::IsUpdateFile(status, "")) << status;
    }
    EXPECT_EQ(update::NoUpdateFileCode(), 9);
}

TEST(UpdateReply, FreeOnlyForYes) {
    struct Case {
        const char* value;
        bool free;
    };
    const Case cases[] = {{"Yes", true}, {"yes", true}, {"YES", true}, {" Yes", false},
                          {"Yes ", false}, {"No", false}, {"", false},  {"Y", false}};
    for (const auto& c : cases) EXPECT_EQ(update::IsFreeUpgrade(c.value), c.free) << '"' << c.value << '"';
}

// The values the reply handler reads out of a whole update file.
TEST(UpdateReply, WholeFileGivesItsThreeValues) {
    const String file = File("2.3.0", "\n  New: more words.\n", " Yes");
    EXPECT_EQ(U(update::returnValue(file, "CurrentVersion")), "2.3.0");
    EXPECT_EQ(U(update::returnValue(file, "Description")), "\n  New: more words.\n");
    EXPECT_FALSE(update::IsFreeUpgrade(update::returnValue(file, "Free")));
    EXPECT_FALSE(update::IsCurrentVersion(update::returnValue(file, "CurrentVersion"), 2, 2, 0));
    const String lower = String("<currentversion>2.2</currentversion><free>yes</free>");
    EXPECT_TRUE(update::IsCurrentVersion(update::returnValue(lower, "CurrentVersion"), 2, 2, 0));
    EXPECT_TRUE(update::IsFreeUpgrade(update::returnValue(lower, "Free")));
}

TEST(UpdateReply, Texts) {
    EXPECT_EQ(U(update::CommunicationErrorMessage(2)),
              "There was a communication error with the website. Please try again later. (Code: 2)");
    EXPECT_EQ(U(update::CommunicationErrorMessage(-1)),
              "There was a communication error with the website. Please try again later. (Code: -1)");
    EXPECT_EQ(U(update::UpgradeMessage("2.3.0", "2.2.0", true)),
              "Version 2.3.0 is now available. (You are using version 2.2.0.) This is a free upgrade. "
              "Would you like to automatically download this update (using your web browser)?");
    EXPECT_EQ(U(update::UpgradeMessage("", "2.2.0", false)),
              "Version  is now available. (You are using version 2.2.0.) This is a paid upgrade. "
              "Would you like to automatically download the trial version (using your web browser)?");
    // The version text goes in unchanged, markup and line ends included.
    EXPECT_EQ(U(update::UpgradeMessage("<b>3</b>\n", "2.2.0", false)).substr(0, 28), "Version <b>3</b>\n is now ava");
}

}  // namespace

namespace {

// The update file published with this build names this build's version, so
// that this very build reports itself current against it.
TEST(UpdateReply, PublishedFileNamesThisVersion) {
    std::ifstream in(SCRANDLE_RESOURCES_DIR "/update/scrandle.xml", std::ios::binary);
    ASSERT_TRUE(in) << "resources/update/scrandle.xml";
    const fw::String file = fw::String(std::string(std::istreambuf_iterator<char>(in), {}));
    EXPECT_TRUE(update::IsCurrentVersion(update::returnValue(file, "CurrentVersion"), SCRANDLE_VERSION_MAJOR,
                                         SCRANDLE_VERSION_MINOR, SCRANDLE_VERSION_PATCH));
    EXPECT_EQ(update::returnValue(file, "CurrentVersion").ToUtf8(), "2.2.0");
    EXPECT_FALSE(update::returnValue(file, "Description").IsEmpty());
    EXPECT_TRUE(update::IsFreeUpgrade(update::returnValue(file, "Free")));
}

}  // namespace
