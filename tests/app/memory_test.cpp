// Steps on a text too large for the memory left: each is refused before it
// changes anything, and the user is told over the window how large the
// text is, what it would need and what is free. The memory left is made
// short here; memory_limit_test gives the real program a real limit.
#include "app_test_util.h"

#include "core/Memory.h"

#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <string>

namespace {

using Kind = fw::ScriptedDesktop::Kind;

constexpr std::uint64_t kMB = 1000 * 1000;
constexpr const char* kKept = "The plain message";
constexpr const char* kLeft = "left\r\ntext";

class MemoryTest : public app_test::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        ASSERT_TRUE(dir_.isValid());
    }
    void TearDown() override {
        fw::OverrideMemoryLeft(std::nullopt);
        ProgramFixture::TearDown();
    }
    std::string Path(const std::string& name) const { return dir_.path().toStdString() + "/" + name; }

    QTemporaryDir dir_;
};

struct Snapshot {
    std::string left, right, kept;
    bool flag, scrambleEnabled, unscrambleEnabled;
    std::string unscrambleCaption;
    int32_t timerMode;
    bool operator==(const Snapshot&) const = default;
};

TEST_F(MemoryTest, AStepTheMemoryLeftCannotHoldIsRefusedAndChangesNothing) {
    std::string prose;
    while (prose.size() < kMB) prose += "Words of a plain message, and a line end now and then.\n";
    app_test::WriteFileBytes(Path("prose.txt"), prose);
    app_test::WriteFileBytes(Path("empty-lines.txt"), std::string(kMB, '\n'));
    // An en dash now and then: decoded at four bytes a character.
    std::string wide;
    while (wide.size() < 20 * kMB) wide += "A long text \xE2\x80\x93 with dashes, decoded wide.\n";
    app_test::WriteFileBytes(Path("wide.txt"), wide);
    app_test::WriteFileBytes(Path("old.txt"), "the old content");
    const std::string plain = fw::CountInWords(10);  // kLeft's characters

    const struct {
        const char* what;
        std::uint64_t memoryLeft;
        std::function<void()> prepare;  // queues dialog answers
        const char* button;
        std::string message;  // its start and its end, the figures between
        std::string ending;
        bool flagAfter;
    } cases[] = {
        {"a load, seen from the file's size", 1 * kMB,
         [this] { desktop_.QueueFileToOpen(Path("prose.txt")); }, "LoadFile1",
         "The file \u201cprose.txt\u201d is too large to load: its 1.0 MB would need about ",
         " of memory, but only 1.0 MB is free. The text shown is unchanged.", true},
        {"a load of short lines, seen once it is read", 100 * kMB,
         [this] { desktop_.QueueFileToOpen(Path("empty-lines.txt")); }, "LoadFile2",
         "The file \u201cempty-lines.txt\u201d is too large to load: its 1.0 MB would need about ",
         " of memory, but only 100 MB is free. The text shown is unchanged.", false},
        {"a load whose text widens as it is decoded", 78 * kMB,
         [this] { desktop_.QueueFileToOpen(Path("wide.txt")); }, "LoadFile1",
         "The file \u201cwide.txt\u201d could not be loaded: it is too large to hold in memory.",
         " The text shown is unchanged.", true},
        {"a save to a new file", 1 * kMB, [this] { desktop_.QueueSavePath(Path("new.txt")); },
         "SaveFile1", "The text is too large to save to \u201cnew.txt\u201d: its " + plain + " characters would need about ",
         " of memory, but only 1.0 MB is free. Nothing was written.", true},
        {"a save over a file", 1 * kMB, [this] { desktop_.QueueSavePath(Path("old.txt")); },
         "SaveFile1", "The text is too large to save to \u201cold.txt\u201d: its " + plain + " characters would need about ",
         " of memory, but only 1.0 MB is free. The file on disk is unchanged.", true},
        {"a scramble", 1 * kMB, nullptr, "Scramble",
         "The text is too large to scramble: its " + plain + " characters would need about ",
         " of memory, but only 1.0 MB is free. Nothing was changed.", true},
        {"an exact unscramble", 1 * kMB, nullptr, "Unscramble",
         "The text is too large to unscramble: its " + fw::CountInWords(17) + " characters would need about ",
         " of memory, but only 1.0 MB is free. Nothing was changed.", true},
        {"a rebuilding unscramble", 1 * kMB, [this] { W().EditField2()->SetFocus(); }, "Unscramble",
         "The text is too large to unscramble: its ", " of memory, but only 1.0 MB is free. Nothing was changed.",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        W().EditField1()->SetText(kKept);
        W().Scramble()->Push();
        W().Timer1()->SetMode(0);
        W().Scramble()->SetEnabled(true);
        W().EditField1()->SetText(kLeft);
        W().ThisWord()->SetFocus();
        if (c.prepare) c.prepare();
        desktop_.ClearCalls();
        const auto snapshot = [&] {
            return Snapshot{W().EditField1()->Text().ToUtf8(), W().EditField2()->Text().ToUtf8(),
                            W().EditField3()->Text().ToUtf8(), Module1::NewScrambledMessageFlag,
                            W().Scramble()->Enabled(), W().Unscramble()->Enabled(),
                            W().Unscramble()->Caption().ToUtf8(), W().Timer1()->Mode()};
        };
        Snapshot before = snapshot();
        before.flag = c.flagAfter;

        fw::OverrideMemoryLeft(c.memoryLeft);
        W().ControlAs<fw::PushButton>(c.button)->Push();
        fw::OverrideMemoryLeft(std::nullopt);

        const auto boxes = desktop_.CallsOf(Kind::MsgBox);
        ASSERT_EQ(boxes.size(), 1u);
        const std::string text = boxes[0].text.ToUtf8();
        EXPECT_EQ(text.substr(0, c.message.size()), c.message) << text;
        ASSERT_GE(text.size(), c.ending.size());
        EXPECT_EQ(text.substr(text.size() - c.ending.size()), c.ending) << text;
        EXPECT_EQ(boxes[0].owner.window, &W());
        EXPECT_TRUE(snapshot() == before);
        EXPECT_EQ(app_test::FileBytes(Path("old.txt")).value_or("<no file>"), "the old content");
        EXPECT_FALSE(app_test::FileBytes(Path("new.txt")));
    }
}

}  // namespace
