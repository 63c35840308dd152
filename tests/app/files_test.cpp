// Loading, saving and clearing the two messages: each button's effect on the
// focus, on the exact-restore flag and on the kept plain message; exact
// file contents; and failures that are reported without losing the area's
// text. The scripted desktop answers the file dialogs with paths in a
// temporary folder.
#include "app_test_util.h"

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

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

// A failed load or save is told in words over the main window, naming the
// file, with what became of the text: no class name, no error number.
TEST_F(FilesTest, AFileThatCannotBeLoadedOrSavedIsToldInWordsOverTheWindow) {
    const std::string fifo = Path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string regular = Path("regular.txt");
    app_test::WriteFileBytes(regular, "keep me");
    const struct {
        const char* what;
        Action action;
        std::string path;
        int side;
        std::string message;
    } cases[] = {
        {"a folder", Action::Load, dir_.path().toStdString(), 1,
         "The file \u201c" + dir_.path().section('/', -1).toStdString() +
             "\u201d could not be loaded: it is a folder. The text shown is unchanged."},
        {"a pipe", Action::Load, fifo, 2,
         "The file \u201cpipe\u201d could not be loaded: it is not an ordinary file. The text shown is unchanged."},
        {"a device", Action::Load, "/dev/null", 1,
         "The file \u201cnull\u201d could not be loaded: it is not an ordinary file. The text shown is unchanged."},
        {"a full device", Action::Save, "/dev/full", 1,
         "The file \u201cfull\u201d could not be saved: there is no space left on the device."},
        {"a path under a regular file", Action::Save, regular + "/child.txt", 2,
         "The file \u201cchild.txt\u201d could not be saved: a part of its path is not a folder."},
        {"a missing folder", Action::Save, Path("missing/new.txt"), 1,
         "The file \u201cnew.txt\u201d could not be saved: the folder it should go in does not exist."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AfterAScramble();
        const std::string before = Area(c.side)->Text().ToUtf8();
        const bool load = c.action == Action::Load;
        load ? desktop_.QueueFileToOpen(c.path) : desktop_.QueueSavePath(c.path);
        const char* button = load ? (c.side == 1 ? "LoadFile1" : "LoadFile2") : (c.side == 1 ? "SaveFile1" : "SaveFile2");
        W().ControlAs<fw::PushButton>(button)->Push();

        const auto boxes = desktop_.CallsOf(Kind::MsgBox);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text.ToUtf8(), c.message);
        EXPECT_EQ(boxes[0].owner.window, &W());
        EXPECT_EQ(Area(c.side)->Text().ToUtf8(), before);
        EXPECT_EQ(W().EditField3()->Text().ToUtf8(), kKept);
        EXPECT_EQ(app_test::FileBytes(regular).value_or("<no file>"), "keep me");
    }
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(Path("missing"))));
}

// Every file comes back byte for byte from a Load and a Save with no edit,
// through either area, and shows its own characters in between.
TEST_F(FilesTest, EveryFileRoundTripsByteForByteThroughEitherArea) {
    using E = fw::TextEncoding;
    const auto fixture = [](const char* name) {
        return app_test::ReadWholeFile(std::string(SCRANDLE_TESTDATA_DIR) + "/files/" + name);
    };
    const std::string program = app_test::FileBytes("/bin/true").value_or("");
    ASSERT_GE(program.size(), 4096u);
    const struct {
        const char* what;
        std::string bytes;
        E encoding;
        std::u32string shows;  // a piece of the text as the area holds it
    } cases[] = {
        {"Windows-1252", fixture("windows-1252.txt"), E::Windows1252,
         U"\u201cCurly\u201d quotes, \u2018single\u2019 ones \u2013 en dash \u2014 em dash\u2026\r\nCaf\u00e9"},
        {"Windows-1252 unassigned bytes", fixture("windows-1252.txt"), E::Windows1252,
         U"non-breaking\u00a0space\r\nUnassigned bytes \u0081\u008d\u008f\u0090\u009d kept"},
        {"UTF-8", fixture("utf-8.txt"), E::Utf8,
         U"no-break\u00a0space, next-line\u0085, line\u2028separator, paragraph\u2029separator, \U0001F600, lone "
         U"CR\rthen"},
        {"UTF-8 with a mark", fixture("utf-8-mark.txt"), E::Utf8Bom, U"With a mark: caf\u00e9 \u2013 \u4e2d"},
        {"UTF-16 LE", fixture("utf-16le.txt"), E::Utf16LE, U"UTF-16: Gr\u00fc\u00dfe \u201cx\u201d \U0001F600"},
        {"UTF-16 BE", fixture("utf-16be.txt"), E::Utf16BE, U"UTF-16: Gr\u00fc\u00dfe \u201cx\u201d \U0001F600"},
        {"mixed line ends", fixture("mixed-line-ends.txt"), E::Utf8, U"CR LF\r\nLF\nCR\rLF CR\n\rtwo CR\r\rCR CR LF\r\r\nend"},
        {"NUL bytes", fixture("nul-bytes.txt"), E::Utf8, std::u32string(U"NUL\0between\0\0and", 16)},
        {"an executable", program.substr(0, 65536), E::Windows1252, U"\u007fELF"},
        {"an empty file", "", E::Utf8, U""},
    };
    int n = 0;
    for (const auto& c : cases) {
        for (const int side : {1, 2}) {
            SCOPED_TRACE(std::string(c.what) + " on side " + std::to_string(side));
            const std::string in = Path("in" + std::to_string(++n));
            const std::string out = Path("out" + std::to_string(n));
            app_test::WriteFileBytes(in, c.bytes);
            desktop_.QueueFileToOpen(in);
            W().ControlAs<fw::PushButton>(side == 1 ? "LoadFile1" : "LoadFile2")->Push();
            EXPECT_EQ(Area(side)->Encoding(), c.encoding);
            EXPECT_NE(Area(side)->Text().ToUcs4().find(c.shows), std::u32string::npos);
            desktop_.QueueSavePath(out);
            W().ControlAs<fw::PushButton>(side == 1 ? "SaveFile1" : "SaveFile2")->Push();
            const std::string saved = app_test::FileBytes(out).value_or("<no file>");
            EXPECT_EQ(saved.size(), c.bytes.size());
            EXPECT_TRUE(saved == c.bytes);
        }
    }
    EXPECT_EQ(desktop_.Count(Kind::MsgBox), 0u);
}

TEST_F(FilesTest, ATextTheLoadedEncodingCannotHoldIsSavedAsUtf8) {
    const std::string in = Path("legacy.txt");
    app_test::WriteFileBytes(in, "caf\xE9 \x93quoted\x94");
    desktop_.QueueFileToOpen(in);
    W().LoadFile1()->Push();
    W().EditField1()->SetSelStart(W().EditField1()->Text().Size());
    W().EditField1()->SetSelText(fw::String(" \xE4\xB8\xAD"));
    desktop_.QueueSavePath(Path("saved.txt"));
    W().SaveFile1()->Push();
    EXPECT_EQ(app_test::FileBytes(Path("saved.txt")).value_or("<no file>"),
              "caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D \xE4\xB8\xAD");
}

// The way a text came in belongs to that text, in whichever area it goes:
// gone with a Clear, carried along when the text is copied whole (the kept
// message, the exact restore), passed from a text to what the engine builds
// from it while every character can be written so, kept by edits.
TEST_F(FilesTest, ATextsEncodingGoesWithItsTextFromAreaToArea) {
    using E = fw::TextEncoding;
    const auto utf16 = [](const std::u16string& text) {
        std::string bytes = "\xFF\xFE";
        for (const char16_t u : text) bytes += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
        return bytes;
    };
    const std::string wide = utf16(u"Nothing is lost when words are scrambled \u2013 or unscrambled");
    const std::string legacy = "Wrods in a \x93legacy\x94 file, caf\xE9";
    // A word the list cannot give back comes back in capitals, and the
    // capital of \xB5 (the micro sign) is no Windows-1252 character.
    const std::string unwritable = "nothing \xB5\xB5\xB5\xB5\xB5 is";
    enum Step { LoadLeft, LoadRight, ClearLeft, ClearRight, TypeLeft, TypeRight, Scramble, Unscramble, TryMe };
    struct Action {
        Step step;
        std::string bytes;  // the file to load, or the keys to type
    };
    const struct {
        const char* what;
        std::vector<Action> actions;
        int saved;  // the area saved
        E encoding;
        std::optional<std::string> bytes;  // the very bytes, where known
    } cases[] = {
        {"Clear forgets it", {{LoadLeft, wide}, {ClearLeft, ""}, {TypeLeft, "hello"}}, 1, E::Utf8, "hello"},
        {"Clear on the right forgets it", {{LoadRight, wide}, {ClearRight, ""}, {TypeRight, "hello"}}, 2, E::Utf8,
         "hello"},
        {"a scramble is written as the text it scrambled, not as the right area's last file",
         {{LoadRight, wide}, {TypeLeft, "plain words to scramble"}, {Scramble, ""}}, 2, E::Utf8, std::nullopt},
        {"a scramble of a UTF-16 text", {{LoadLeft, wide}, {Scramble, ""}}, 2, E::Utf16LE, std::nullopt},
        {"the exact restore of the kept message", {{LoadLeft, wide}, {Scramble, ""}, {Unscramble, ""}}, 1,
         E::Utf16LE, wide},
        {"the kept message keeps it while the left area loads another file",
         {{LoadLeft, wide}, {Scramble, ""}, {LoadLeft, legacy}, {Unscramble, ""}}, 1, E::Utf16LE, wide},
        {"Clear empties the kept message and forgets its encoding too",
         {{LoadLeft, wide}, {Scramble, ""}, {ClearLeft, ""}, {Unscramble, ""}}, 1, E::Utf8, ""},
        {"a rebuilt text is written as the scrambled text was", {{LoadRight, legacy}, {Unscramble, ""}}, 1,
         E::Windows1252, std::nullopt},
        {"unless a character of it cannot be written so", {{LoadRight, unwritable}, {Unscramble, ""}}, 1, E::Utf8,
         "nothing \xCE\x9C\xCE\x9C\xCE\x9C\xCE\x9C\xCE\x9C is"},
        {"an edit keeps it", {{LoadLeft, wide}, {TypeLeft, "more "}}, 1, E::Utf16LE, std::nullopt},
        {"a Try Me sample is a text of its own", {{LoadLeft, wide}, {LoadRight, wide}, {TryMe, ""}}, 2, E::Utf8,
         std::nullopt},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        W().EditField1()->SetText("start");
        W().EditField2()->SetText("start");
        W().EditField3()->SetText("start");
        W().ThisWord()->SetFocus();
        Module1::NewScrambledMessageFlag = false;
        for (const Action& a : c.actions) {
            const std::string file = Path("in" + std::to_string(++n));
            switch (a.step) {
                case LoadLeft:
                case LoadRight:
                    app_test::WriteFileBytes(file, a.bytes);
                    desktop_.QueueFileToOpen(file);
                    (a.step == LoadLeft ? W().LoadFile1() : W().LoadFile2())->Push();
                    break;
                case ClearLeft: W().Clear1()->Push(); break;
                case ClearRight: W().Clear2()->Push(); break;
                case TypeLeft:
                case TypeRight:
                    QTest::keyClicks(Area(a.step == TypeLeft ? 1 : 2)->Editor(), QString::fromStdString(a.bytes));
                    break;
                case Scramble:
                    W().Scramble()->Push();
                    W().Timer1()->SetMode(0);
                    W().Scramble()->SetEnabled(true);
                    break;
                case Unscramble: W().Unscramble()->Push(); break;
                case TryMe:
                    W().ControlAs<fw::PushButton>("TryMe1")->Push();
                    W().Timer1()->SetMode(0);
                    W().Scramble()->SetEnabled(true);
                    break;
            }
        }
        const std::string out = Path("out" + std::to_string(n));
        desktop_.QueueSavePath(out);
        (c.saved == 1 ? W().SaveFile1() : W().SaveFile2())->Push();
        EXPECT_EQ(desktop_.Count(Kind::MsgBox), 0u);
        const std::string saved = app_test::FileBytes(out).value_or("<no file>");
        std::string expected;
        ASSERT_TRUE(fw::EncodeText(Area(c.saved)->Text(), c.encoding, expected));
        EXPECT_TRUE(saved == expected) << saved;
        if (c.bytes) EXPECT_TRUE(saved == *c.bytes) << saved;
    }
}

// Files may grow no larger than this while it lives; a write past the limit
// fails with EFBIG instead of the signal ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(FilesTest, ASaveThatFailsPartWayKeepsTheOldFileAndLeavesNoOther) {
    // Written beside the file and renamed over it; or, for a file with a
    // second hard link, written in place with its old bytes put back.
    const std::string path = Path("precious.txt");
    const std::string link = Path("second-link.txt");
    std::string text;
    while (text.size() < 3 * 4096) text += "a line of the new text\n";
    for (const bool inPlace : {false, true}) {
        for (const int side : {1, 2}) {
            SCOPED_TRACE(std::string(inPlace ? "in place" : "beside") + ", side " + std::to_string(side));
            app_test::WriteFileBytes(path, "the old content");
            if (inPlace) {
                ASSERT_EQ(::link(path.c_str(), link.c_str()), 0);
            }
            Area(side)->SetText(fw::String(text));
            desktop_.ClearCalls();
            desktop_.QueueSavePath(path);
            {
                FileSizeLimit limit(4096);
                W().ControlAs<fw::PushButton>(side == 1 ? "SaveFile1" : "SaveFile2")->Push();
            }
            const auto texts = app_test::MessageBoxTexts(desktop_);
            ASSERT_EQ(texts.size(), 1u);
            EXPECT_EQ(texts[0],
                      "The file \u201cprecious.txt\u201d could not be saved: the file would be larger than the system "
                      "allows. The file on disk is unchanged.");
            EXPECT_EQ(app_test::FileBytes(path).value_or("<no file>"), "the old content");
            if (inPlace) {
                EXPECT_EQ(app_test::FileBytes(link).value_or("<no file>"), "the old content");
            }
            const QStringList left = inPlace ? QStringList{"precious.txt", "second-link.txt"} : QStringList{"precious.txt"};
            EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), left);
            EXPECT_TRUE(Area(side)->Text().Identical(fw::String(text)));
            ::unlink(link.c_str());
        }
    }
}

}  // namespace
