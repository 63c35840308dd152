// Loading, saving and clearing the two messages: each button's effect on the
// focus, on the exact-restore flag and on the kept plain message; exact
// file contents; and failures that are reported without losing the area's
// text. The scripted desktop answers the file dialogs with paths in a
// temporary folder.
#include "app_test_util.h"

#include <QTemporaryDir>

#include <sys/stat.h>

#include <string>

namespace {

using Kind = fw::ScriptedDesktop::Kind;

constexpr const char* kKept = "The plain message";
constexpr const char* kLeft = "left\r\ntext";
constexpr const char* kFileText = "from\r\nthe file\n";

class FilesTest : public app_test::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        ASSERT_TRUE(dir_.isValid());
    }

    std::string Path(const std::string& name) const { return dir_.path().toStdString() + "/" + name; }

    // As after a scramble of kKept, with kLeft typed into the left area
    // since, and the focus in neither area.
    void AfterAScramble() {
        W().EditField1()->SetText(kKept);
        W().Scramble()->Push();
        W().EditField1()->SetText(kLeft);
        W().ThisWord()->SetFocus();
        desktop_.ClearCalls();
        ASSERT_TRUE(Module1::NewScrambledMessageFlag);
    }

    fw::Ref<fw::TextArea> Area(int side) { return side == 1 ? W().EditField1() : W().EditField2(); }

    QTemporaryDir dir_;
};

enum class Action { Load, Save, Clear };

TEST_F(FilesTest, EachButtonActsOnItsAreaWithItsEffectOnFocusFlagAndKeptMessage) {
    const struct {
        const char* button;
        int side;
        Action action;
        bool cancel;
        bool flagAfter;
        const char* keptAfter;
    } cases[] = {
        {"LoadFile1", 1, Action::Load, false, true, kKept},  {"LoadFile1", 1, Action::Load, true, true, kKept},
        {"SaveFile1", 1, Action::Save, false, true, kKept},  {"SaveFile1", 1, Action::Save, true, true, kKept},
        {"Clear1", 1, Action::Clear, false, true, ""},       {"LoadFile2", 2, Action::Load, false, false, kKept},
        {"LoadFile2", 2, Action::Load, true, false, kKept},  {"SaveFile2", 2, Action::Save, false, false, kKept},
        {"SaveFile2", 2, Action::Save, true, false, kKept},  {"Clear2", 2, Action::Clear, false, false, kKept},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.button) + (c.cancel ? " cancelled" : ""));
        AfterAScramble();
        const std::string path = Path("file" + std::to_string(++n) + ".txt");
        if (c.action == Action::Load) app_test::WriteFileBytes(path, kFileText);
        if (c.action == Action::Load) c.cancel ? desktop_.QueueOpenCancel() : desktop_.QueueFileToOpen(path);
        if (c.action == Action::Save) c.cancel ? desktop_.QueueSaveCancel() : desktop_.QueueSavePath(path);
        const std::string before = Area(c.side)->Text().ToUtf8();
        const std::string otherBefore = Area(3 - c.side)->Text().ToUtf8();

        W().ControlAs<fw::PushButton>(c.button)->Push();

        EXPECT_EQ(desktop_.PendingAnswers(), 0u);
        EXPECT_EQ(desktop_.Count(Kind::MsgBox), 0u);
        const std::string after = Area(c.side)->Text().ToUtf8();
        switch (c.action) {
            case Action::Load: EXPECT_EQ(after, c.cancel ? before : kFileText); break;
            case Action::Save:
                EXPECT_EQ(after, before);
                if (c.cancel) EXPECT_FALSE(app_test::FileBytes(path));
                else EXPECT_EQ(app_test::FileBytes(path).value_or("<no file>"), before);
                break;
            case Action::Clear: EXPECT_EQ(after, ""); break;
        }
        EXPECT_EQ(Area(3 - c.side)->Text().ToUtf8(), otherBefore);
        EXPECT_TRUE(Area(c.side)->HasFocus());
        EXPECT_FALSE(Area(3 - c.side)->HasFocus());
        EXPECT_EQ(Module1::NewScrambledMessageFlag, c.flagAfter);
        EXPECT_EQ(W().EditField3()->Text().ToUtf8(), c.keptAfter);
    }
}

TEST_F(FilesTest, TheOpenDialogAsksForATextFile) {
    desktop_.QueueOpenCancel();
    W().LoadFile1()->Push();
    const auto opens = desktop_.CallsOf(Kind::OpenFile);
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].file.title.ToUtf8(), "Select a Text file");
}

TEST_F(FilesTest, ASaveWritesExactlyTheAreasTextAndALoadGivesItBack) {
    // Line ends of every kind kept, no line end added, UTF-8 both ways.
    const std::string text = "first\r\nsecond\rthird\nna\xc3\xafve \xe2\x80\x93 end";
    const std::string path = Path("exact.txt");
    app_test::WriteFileBytes(path, "an older and much longer content that must go");
    W().EditField2()->SetText(fw::String(text));
    desktop_.QueueSavePath(path);
    W().SaveFile2()->Push();
    EXPECT_EQ(app_test::FileBytes(path).value_or("<no file>"), text);

    desktop_.QueueFileToOpen(path);
    W().LoadFile1()->Push();
    EXPECT_TRUE(W().EditField1()->Text().Identical(fw::String(text)));

    // An empty area saves an empty file; an empty file loads as an empty text.
    W().Clear2()->Push();
    desktop_.QueueSavePath(path);
    W().SaveFile2()->Push();
    EXPECT_EQ(app_test::FileBytes(path).value_or("<no file>"), "");
    desktop_.QueueFileToOpen(path);
    W().LoadFile1()->Push();
    EXPECT_EQ(W().EditField1()->Text().ToUtf8(), "");
    EXPECT_EQ(desktop_.Count(Kind::MsgBox), 0u);
}

TEST_F(FilesTest, LoadingAFileThatDoesNotExistEmptiesTheAreaQuietly) {
    W().EditField1()->SetText(kLeft);
    desktop_.QueueFileToOpen(Path("missing.txt"));
    W().LoadFile1()->Push();
    EXPECT_EQ(W().EditField1()->Text().ToUtf8(), "");
    EXPECT_EQ(desktop_.Count(Kind::MsgBox), 0u);
}

TEST_F(FilesTest, AFileThatCannotBeReadIsReportedAndTheAreaKeepsItsText) {
    const std::string fifo = Path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        const char* what;
        std::string path;
        int side;
    } cases[] = {
        {"a folder", dir_.path().toStdString(), 1},
        {"a pipe", fifo, 2},
        {"a device", "/dev/null", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AfterAScramble();
        const std::string before = Area(c.side)->Text().ToUtf8();
        desktop_.QueueFileToOpen(c.path);
        W().ControlAs<fw::PushButton>(c.side == 1 ? "LoadFile1" : "LoadFile2")->Push();

        const auto texts = app_test::MessageBoxTexts(desktop_);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_NE(texts[0].find("IOException"), std::string::npos) << texts[0];
        EXPECT_NE(texts[0].find(c.path), std::string::npos) << texts[0];
        EXPECT_EQ(Area(c.side)->Text().ToUtf8(), before);
        EXPECT_EQ(W().EditField3()->Text().ToUtf8(), kKept);
    }
}

TEST_F(FilesTest, AFileThatCannotBeWrittenIsReportedAndNothingIsLost) {
    const std::string regular = Path("regular.txt");
    app_test::WriteFileBytes(regular, "keep me");
    const struct {
        const char* what;
        std::string path;
        int side;
    } cases[] = {
        {"a full device", "/dev/full", 1},
        {"a path under a regular file", regular + "/child.txt", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AfterAScramble();
        const std::string before = Area(c.side)->Text().ToUtf8();
        desktop_.QueueSavePath(c.path);
        W().ControlAs<fw::PushButton>(c.side == 1 ? "SaveFile1" : "SaveFile2")->Push();

        const auto texts = app_test::MessageBoxTexts(desktop_);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_NE(texts[0].find("IOException"), std::string::npos) << texts[0];
        EXPECT_NE(texts[0].find(c.path), std::string::npos) << texts[0];
        EXPECT_EQ(Area(c.side)->Text().ToUtf8(), before);
        EXPECT_EQ(app_test::FileBytes(regular).value_or("<no file>"), "keep me");
    }
}

}  // namespace
