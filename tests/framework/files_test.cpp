#include "Dispatch.h"
#include "Files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iterator>

using fw::FolderItem;
using fw::Ref;
using fw::String;
using fw::TextInputStream;
using fw::TextOutputStream;

using namespace std::string_literals;

namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tmp_.isValid()); }

    Ref<FolderItem> Folder() const { return fw::New<FolderItem>(tmp_.path().toStdString()); }

    static std::string Bytes(const Ref<FolderItem>& f) {
        std::ifstream in(f->NativePath(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void Put(const Ref<FolderItem>& f, const std::string& bytes) {
        std::ofstream(f->NativePath(), std::ios::binary) << bytes;
    }

    QTemporaryDir tmp_;
};

// Runs op, which must raise IOException; returns it.
template <class Op>
fw::IOException ExpectIO(Op op) {
    try {
        op();
    } catch (const fw::IOException& e) {
        return e;
    }
    ADD_FAILURE() << "no IOException was raised";
    return fw::IOException("", 0);
}

TEST_F(FilesTest, WrittenTextReadsBackExactly) {
    const String texts[] = {
        "",
        "one line, no line end",
        "CR\rLF\nCRLF\r\nend\r",
        String(U"\u00e9\u4e2d\U0001F600 and a NUL \0 inside"s),
        String("\xEF\xBB\xBF" "a byte-order mark stays"),
        String(std::string(300000, 'x') + "\r\n"),
    };
    for (const String& t : texts) {
        auto f = Folder()->Child("m.txt");
        auto out = TextOutputStream::Create(f);
        out->Write(t);
        out = nullptr;  // the last reference closes the file
        auto in = TextInputStream::Open(f);
        EXPECT_TRUE(in->ReadAll().Identical(t)) << "text of " << t.Size() << " characters";
        EXPECT_TRUE(in->AtEnd());
        EXPECT_EQ(Bytes(f), t.ToUtf8());
    }
}

TEST_F(FilesTest, ReadingKeepsEveryByteOfInvalidUtf8AsLatin1) {
    auto f = Folder()->Child("latin1.txt");
    Put(f, "caf\xE9\r\n\xFF\xC3" "ok \xC3\xA9");
    const String got = TextInputStream::Open(f)->ReadAll();
    EXPECT_EQ(got.CodePoints(), std::u32string(U"caf\u00e9\r\n\u00ff\u00c3ok \u00e9"));
}

TEST_F(FilesTest, CreateReplacesAnExistingFileAndWriteLineEndsWithLf) {
    auto f = Folder()->Child("dict.txt");
    Put(f, "an older and much longer content\n");
    {
        auto out = f->CreateTextFile();
        out->WriteLine("aback");
        out->WriteLine("");
        out->Write("zygote");
        out->Close();
        out->Close();  // a second close is harmless
    }
    EXPECT_EQ(Bytes(f), "aback\n\nzygote");
}

TEST_F(FilesTest, FailuresRaiseIOExceptionWithTheErrnoAndTheFileName) {
    auto missing = Folder()->Child("missing.txt");
    auto e = ExpectIO([&] { TextInputStream::Open(missing); });
    EXPECT_EQ(e.ErrorNumber, ENOENT);
    EXPECT_NE(std::string(e.what()).find(missing->NativePath()), std::string::npos) << e.what();
    EXPECT_EQ(missing->LastErrorCode(), ENOENT);

    // A folder is not a text file.
    EXPECT_EQ(ExpectIO([&] { TextInputStream::Open(Folder()); }).ErrorNumber, EISDIR);

    // Nothing can be created below a regular file.
    auto plain = Folder()->Child("plain.txt");
    Put(plain, "x");
    auto below = plain->Child("new.txt");
    e = ExpectIO([&] { TextOutputStream::Create(below); });
    EXPECT_EQ(e.ErrorNumber, ENOTDIR);
    EXPECT_NE(std::string(e.what()).find(below->NativePath()), std::string::npos) << e.what();
    EXPECT_EQ(ExpectIO([&] { below->CreateTextFile(); }).ErrorNumber, ENOTDIR);
    EXPECT_EQ(below->LastErrorCode(), ENOTDIR);

    // A device that takes nothing: the write itself must fail, not be lost.
    auto full = fw::New<FolderItem>("/dev/full");
    auto out = TextOutputStream::Create(full);
    e = ExpectIO([&] { out->Write("anything"); });
    EXPECT_EQ(e.ErrorNumber, ENOSPC);
    EXPECT_NE(std::string(e.what()).find("/dev/full"), std::string::npos) << e.what();
    EXPECT_EQ(ExpectIO([&] { out->WriteLine("x"); }).ErrorNumber, ENOSPC);

    // Using a closed stream is an error too, not a silent no-op.
    out->Close();
    EXPECT_EQ(ExpectIO([&] { out->Write("late"); }).ErrorNumber, EBADF);

    EXPECT_THROW(TextInputStream::Open(nullptr), fw::NilObjectException);
    EXPECT_THROW(TextOutputStream::Create(nullptr), fw::NilObjectException);
}

TEST_F(FilesTest, ChildNamesAnItemThatNeedNotExistAndCannotLeaveTheFolder) {
    auto child = Folder()->Child("Documents");
    EXPECT_EQ(child->NativePath(), tmp_.path().toStdString() + "/Documents");
    EXPECT_TRUE(child->Name().Identical("Documents"));
    EXPECT_FALSE(child->Exists());
    EXPECT_TRUE(Folder()->Exists());
    EXPECT_TRUE(Folder()->Directory());
    EXPECT_EQ(child->Parent()->NativePath(), Folder()->NativePath());
    for (const char* bad : {"", ".", "..", "a/b"})
        EXPECT_EQ(ExpectIO([&] { Folder()->Child(bad); }).ErrorNumber, EINVAL) << bad;
}

TEST_F(FilesTest, DeleteRemovesTheFileAndAMissingOneIsHarmless) {
    auto f = Folder()->Child("old.txt");
    Put(f, "x");
    EXPECT_TRUE(f->Delete());
    EXPECT_EQ(f->LastErrorCode(), 0);
    EXPECT_FALSE(f->Exists());
    EXPECT_FALSE(f->Delete());
    EXPECT_EQ(f->LastErrorCode(), ENOENT);
}

TEST(SpecialFolders, VolumeZeroIsTheRootAndDocumentsIsNotCreated) {
    auto root = fw::Volume(0);
    ASSERT_TRUE(root);
    EXPECT_EQ(root->NativePath(), "/");
    EXPECT_EQ(root->Child("Documents")->NativePath(), "/Documents");
    EXPECT_FALSE(fw::Volume(1));
    EXPECT_EQ(root->Parent().Get(), nullptr);

    QTemporaryDir home;
    const QByteArray realHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    auto docs = fw::SpecialFolder::Documents();
    ASSERT_TRUE(docs);
    EXPECT_EQ(docs->NativePath(), home.path().toStdString() + "/Documents");
    EXPECT_FALSE(docs->Exists());

    fw::SpecialFolder::OverrideDocuments("/somewhere/else");
    EXPECT_EQ(fw::SpecialFolder::Documents()->NativePath(), "/somewhere/else");
    fw::SpecialFolder::OverrideDocuments("");
    EXPECT_EQ(fw::SpecialFolder::Documents()->NativePath(), docs->NativePath());
    qputenv("HOME", realHome);
}

}  // namespace
