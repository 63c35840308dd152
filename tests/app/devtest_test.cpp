// The two developer buttons: Dev Test prunes the word list to its rows of
// five or more characters and shows the count; Save Dict exports the list
// to the Documents folder, which the tests point at a temporary folder.
#include "app_test_util.h"

#include "core/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class DevTestTest : public app_test::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        ASSERT_TRUE(dir_.isValid());
    }
    void TearDown() override {
        fw::SpecialFolder::OverrideDocuments("");
        ProgramFixture::TearDown();
    }

    std::string Path(const std::string& name) const { return dir_.path().toStdString() + "/" + name; }

    void SetRows(const std::vector<std::string>& rows) {
        std::vector<fw::String> texts;
        for (const auto& r : rows) texts.emplace_back(r);
        W().Wordwell()->AssignRows(std::move(texts));
    }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (int32_t i = 0; i < W().Wordwell()->ListCount(); ++i) rows.push_back(W().Wordwell()->Cell(i, 0).ToUtf8());
        return rows;
    }
    // Exports into a Documents folder that does not exist yet; the file's
    // content, or nothing.
    std::optional<std::string> SaveDict(const std::string& documents) {
        fw::SpecialFolder::OverrideDocuments(documents);
        W().SaveDict()->Push();
        return app_test::FileBytes(documents + "/ScrandleDictionary.txt");
    }

    QTemporaryDir dir_;
};

TEST_F(DevTestTest, OnTheShippedListDevTestRemovesNothingAndShowsTheCount) {
    W().DevTest()->Push();
    EXPECT_EQ(W().Wordwell()->ListCount(), 68928);
    EXPECT_EQ(W().NoWords()->Text().ToUtf8(), "68928");
}

TEST_F(DevTestTest, DevTestKeepsRowsOfFiveOrMoreCharactersAndASecondRunChangesNothing) {
    const struct {
        std::vector<std::string> rows, kept;
        const char* count;
    } cases[] = {
        {{"cat", "horse", "ox"}, {"horse"}, "1"},
        {{"four", "fives", "a", "isn't", "zz", "sixths"}, {"fives", "isn't", "sixths"}, "3"},
        {{}, {}, "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        SetRows(c.rows);
        for (int run = 1; run <= 2; ++run) {
            W().DevTest()->Push();
            EXPECT_EQ(Rows(), c.kept) << "run " << run;
            EXPECT_EQ(W().NoWords()->Text().ToUtf8(), c.count) << "run " << run;
        }
    }
}

TEST_F(DevTestTest, FindPossibleWordsSeesThePrunedList) {
    // The last row is never examined, so after pruning "beard" is out of reach.
    SetRows({"bared", "bead", "beard", "zz"});
    W().EditField1()->SetText("Baerd");
    W().EditField1()->SelectAll();
    W().FindWords()->Push();
    EXPECT_EQ(W().AlternateWords()->ListCount(), 4);  // heading, Bared, Beard, end
    W().UseWord()->Push();

    W().DevTest()->Push();
    W().EditField1()->SelectAll();
    W().FindWords()->Push();
    ASSERT_EQ(W().AlternateWords()->ListCount(), 3);
    EXPECT_EQ(W().AlternateWords()->List(1).ToUtf8(), "Bared");
}

TEST_F(DevTestTest, SaveDictWritesEveryRowOnALineInOrderIntoANewDocumentsFolder) {
    const auto content = SaveDict(Path("not/yet/there"));
    ASSERT_TRUE(content) << "no export written";
    // The shipped list is one word per line with LF, in list order.
    EXPECT_EQ(*content, app_test::WordListFile());
    EXPECT_EQ(std::count(content->begin(), content->end(), '\n'), 68928);
    EXPECT_EQ(desktop_.Count(fw::ScriptedDesktop::Kind::MsgBox), 0u);
}

TEST_F(DevTestTest, SaveDictAfterPruningWritesThePrunedListAndTwiceLeavesOneFile) {
    const std::string docs = Path("Documents");
    SetRows({"cat", "horse", "ox", "zebras"});
    W().DevTest()->Push();
    EXPECT_EQ(SaveDict(docs).value_or("<no file>"), "horse\nzebras\n");
    EXPECT_EQ(SaveDict(docs).value_or("<no file>"), "horse\nzebras\n");
    EXPECT_EQ(QDir(QString::fromStdString(docs)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"ScrandleDictionary.txt"});

    // An older, longer export is replaced, not appended to or left in part.
    app_test::WriteFileBytes(docs + "/ScrandleDictionary.txt", std::string(1000, 'x'));
    SetRows({"apple"});
    EXPECT_EQ(SaveDict(docs).value_or("<no file>"), "apple\n");
    SetRows({});
    EXPECT_EQ(SaveDict(docs).value_or("<no file>"), "");
}

// The export takes the place of whatever has its name, and never writes
// through it: a link to a file elsewhere stays pointing at that file, which
// keeps its text; a read-only older export is replaced.
TEST_F(DevTestTest, SaveDictReplacesALinkOrAReadOnlyOlderExportAndWritesNowhereElse) {
    const std::string docs = Path("Documents");
    const std::string outside = Path("outside.txt");
    const std::string exportFile = docs + "/ScrandleDictionary.txt";
    const struct {
        const char* what;
        std::function<void()> make;
    } cases[] = {
        {"a link to a file outside Documents",
         [&] { ASSERT_EQ(::symlink(outside.c_str(), exportFile.c_str()), 0); }},
        {"a read-only older export",
         [&] {
             app_test::WriteFileBytes(exportFile, "an older export");
             ASSERT_EQ(::chmod(exportFile.c_str(), 0444), 0);
         }},
    };
    SetRows({"horse", "zebras"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(QString::fromStdString(docs)).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(docs)));
        app_test::WriteFileBytes(outside, "keep me");
        c.make();
        desktop_.ClearCalls();
        EXPECT_EQ(SaveDict(docs).value_or("<no file>"), "horse\nzebras\n");
        EXPECT_EQ(desktop_.Count(fw::ScriptedDesktop::Kind::MsgBox), 0u);
        EXPECT_TRUE(QFileInfo(QString::fromStdString(exportFile)).isFile());
        EXPECT_FALSE(QFileInfo(QString::fromStdString(exportFile)).isSymLink());
        EXPECT_EQ(app_test::FileBytes(outside).value_or("<no file>"), "keep me");
        EXPECT_EQ(QDir(QString::fromStdString(docs)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList{"ScrandleDictionary.txt"});
    }
}

TEST_F(DevTestTest, AnUnwritableDocumentsFolderIsToldToTheUserAndChangesNothingElse) {
    const std::string regular = Path("regular.txt");
    app_test::WriteFileBytes(regular, "keep me");
    // A folder in the place of the export file cannot be deleted or created.
    const std::string blocked = Path("blocked");
    QDir().mkpath(QString::fromStdString(blocked + "/ScrandleDictionary.txt/inside"));
    const struct {
        const char* what;
        std::string documents;
        std::string reason;
    } cases[] = {
        {"under a regular file", regular + "/Documents", "a part of its path is not a folder"},
        {"the export's name taken by a folder", blocked, "it is a folder"},
    };
    SetRows({"cat", "horse"});
    W().DevTest()->Push();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        desktop_.ClearCalls();
        fw::SpecialFolder::OverrideDocuments(c.documents);
        W().SaveDict()->Push();

        const auto texts = app_test::MessageBoxTexts(desktop_);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0], "The word list could not be saved to \u201c" + c.documents + "/ScrandleDictionary.txt\u201d: " +
                                c.reason + ".");
        EXPECT_EQ(Rows(), std::vector<std::string>{"horse"});
        EXPECT_EQ(W().NoWords()->Text().ToUtf8(), "1");
        EXPECT_EQ(app_test::FileBytes(regular).value_or("<no file>"), "keep me");
        EXPECT_EQ(desktop_.Calls().size(), 1u);
    }
    EXPECT_TRUE(QDir(QString::fromStdString(blocked + "/ScrandleDictionary.txt/inside")).exists());
}

}  // namespace
