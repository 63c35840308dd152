#include "core/Dispatch.h"
#include "core/RuntimeCore.h"
#include "core/Files.h"
#include "core/TextCodec.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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

TEST_F(FilesTest, ReadingTellsHowTheTextWasEncoded) {
    auto f = Folder()->Child("legacy.txt");
    Put(f, "caf\xE9 \x93quoted\x94\r\n");
    auto in = TextInputStream::Open(f);
    EXPECT_EQ(in->Encoding(), fw::TextEncoding::Utf8);
    EXPECT_EQ(in->ReadAll().ToUcs4(), std::u32string(U"caf\u00e9 \u201cquoted\u201d\r\n"));
    EXPECT_EQ(in->Encoding(), fw::TextEncoding::Windows1252);
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
    // Closing does not turn the failure into a success.
    EXPECT_EQ(ExpectIO([&] { out->Close(); }).ErrorNumber, ENOSPC);

    // Using a closed stream is an error too, not a silent no-op.
    out->Close();
    EXPECT_EQ(ExpectIO([&] { out->Write("late"); }).ErrorNumber, EBADF);

    // Nor can a folder be replaced by a file.
    EXPECT_EQ(ExpectIO([&] { TextOutputStream::Create(Folder()); }).ErrorNumber, EISDIR);

    EXPECT_THROW(TextInputStream::Open(nullptr), fw::NilObjectException);
    EXPECT_THROW(TextOutputStream::Create(nullptr), fw::NilObjectException);
}

TEST_F(FilesTest, AStreamCutShortByAnExceptionLeavesTheOldFileAndNoOther) {
    auto f = Folder()->Child("m.txt");
    Put(f, "old content");
    try {
        auto out = f->CreateTextFile();
        out->Write("the new content, half written");
        throw std::runtime_error("cut short");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Bytes(f), "old content");
    EXPECT_EQ(QDir(tmp_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"m.txt"});
    // Until Close the old file is what others see.
    auto out = f->CreateTextFile();
    out->Write("new");
    EXPECT_EQ(Bytes(f), "old content");
    out->Close();
    EXPECT_EQ(Bytes(f), "new");
    EXPECT_EQ(QDir(tmp_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"m.txt"});
}

TEST_F(FilesTest, AReplacedFileKeepsItsModeAndANewOneGetsTheUmasks) {
    const mode_t oldMask = ::umask(027);
    auto fresh = Folder()->Child("new.txt");
    TextOutputStream::Create(fresh)->Close();
    auto kept = Folder()->Child("kept.txt");
    Put(kept, "old");
    ASSERT_EQ(::chmod(kept->NativePath().c_str(), 0604), 0);
    auto out = TextOutputStream::Create(kept);
    out->Write("new");
    out->Close();
    // The word-list export is a new file each time, as if deleted first.
    auto export_ = Folder()->Child("export.txt");
    Put(export_, "old");
    ASSERT_EQ(::chmod(export_->NativePath().c_str(), 0444), 0);
    export_->CreateTextFile()->Close();
    ::umask(oldMask);

    const auto mode = [](const Ref<FolderItem>& f) {
        struct stat st {};
        EXPECT_EQ(::stat(f->NativePath().c_str(), &st), 0);
        return st.st_mode & 07777;
    };
    EXPECT_EQ(mode(fresh), 0640u);
    EXPECT_EQ(mode(kept), 0604u);
    EXPECT_EQ(Bytes(kept), "new");
    EXPECT_EQ(mode(export_), 0640u);
    EXPECT_EQ(Bytes(export_), "");
}

TEST_F(FilesTest, ASaveWritesWhereALinkPointsWhileTheExportReplacesTheLinkItself) {
    const auto isLink = [](const Ref<FolderItem>& f) {
        struct stat st {};
        return ::lstat(f->NativePath().c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    };
    auto real = Folder()->Child("real.txt");
    auto link = Folder()->Child("link.txt");
    Put(real, "old");
    ASSERT_EQ(::symlink(real->NativePath().c_str(), link->NativePath().c_str()), 0);
    auto out = TextOutputStream::Create(link);
    out->Write("new");
    out->Close();
    EXPECT_TRUE(isLink(link));
    EXPECT_EQ(Bytes(real), "new");

    // A dangling link (relative, through a second link) makes the file it
    // names, and stays a link.
    auto dangling = Folder()->Child("dangling.txt");
    auto hop = Folder()->Child("hop.txt");
    ASSERT_EQ(::symlink("hop.txt", dangling->NativePath().c_str()), 0);
    ASSERT_EQ(::symlink("made.txt", hop->NativePath().c_str()), 0);
    out = TextOutputStream::Create(dangling);
    out->Write("made");
    out->Close();
    EXPECT_TRUE(isLink(dangling));
    EXPECT_TRUE(isLink(hop));
    EXPECT_EQ(Bytes(Folder()->Child("made.txt")), "made");

    // A loop of links is an error, not a hang.
    ASSERT_EQ(::symlink("loop.txt", Folder()->Child("loop.txt")->NativePath().c_str()), 0);
    EXPECT_EQ(ExpectIO([&] { TextOutputStream::Create(Folder()->Child("loop.txt")); }).ErrorNumber, ELOOP);

    // The export puts a file in the link's place; the file it named stays.
    out = link->CreateTextFile();
    out->Write("export");
    out->Close();
    EXPECT_FALSE(isLink(link));
    EXPECT_EQ(Bytes(link), "export");
    EXPECT_EQ(Bytes(real), "new");
}

TEST_F(FilesTest, AFileWithOtherLinksIsWrittenInPlaceAndAFailedWritePutsTheOldBytesBack) {
    auto f = Folder()->Child("shared.txt");
    auto other = Folder()->Child("other-name.txt");
    Put(f, "the old content, longer than the new");
    ASSERT_EQ(::link(f->NativePath().c_str(), other->NativePath().c_str()), 0);
    const auto entries = [&] { return QDir(tmp_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); };

    auto out = TextOutputStream::Create(f);
    EXPECT_TRUE(out->WritesInPlace());
    out->Write("new");
    out->Close();
    EXPECT_EQ(Bytes(f), "new");
    EXPECT_EQ(Bytes(other), "new");

    // A stream cut short, and a write the device refuses part-way, both
    // leave the old bytes, whole, under both names.
    try {
        auto cut = TextOutputStream::Create(f);
        cut->Write("half of the next text");
        throw std::runtime_error("cut short");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Bytes(other), "new");
    {
        rlimit old{};
        ::getrlimit(RLIMIT_FSIZE, &old);
        rlimit limit = old;
        limit.rlim_cur = 4096;
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        auto big = TextOutputStream::Create(f);
        const auto e = ExpectIO([&] { big->Write(String(std::string(3 * 4096, 'x'))); });
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
        EXPECT_EQ(e.ErrorNumber, EFBIG);
        EXPECT_EQ(big->WhatIsLeft(), TextOutputStream::Left::OldContent);
    }
    EXPECT_EQ(Bytes(f), "new");
    EXPECT_EQ(Bytes(other), "new");
    struct stat st {};
    ASSERT_EQ(::stat(f->NativePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_nlink, 2u);
    EXPECT_EQ(entries(), (QStringList{"other-name.txt", "shared.txt"}));
}

TEST_F(FilesTest, ALoneSurrogateIsWrittenAsTheReplacementCharacter) {
    // As the clipboard's text can hold one.
    const QString withLone = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b");
    auto f = Folder()->Child("lone.txt");
    auto out = f->CreateTextFile();
    out->Write(String::FromQString(withLone));
    out->Close();
    EXPECT_EQ(Bytes(f), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(TextInputStream::Open(f)->ReadAll().ToUcs4(), std::u32string(U"a\uFFFDb"));
}

TEST(Strings, ATextTooLongForAStringRaisesTheFrameworksException) {
    String s("short");
    EXPECT_THROW(s.Resize(std::size_t{1} << 32), fw::RuntimeException);
    EXPECT_THROW(s.Append(U"x", std::size_t{0xFFFFFFFF}), fw::RuntimeException);
    EXPECT_TRUE(s.Identical("short"));
    // A handler that meets one ends with the report; the program goes on.
    EXPECT_FALSE(fw::RunProgramCode([] { String t; t.Resize(std::size_t{5} << 30); }));
}

// ---- the codec -------------------------------------------------------------------

struct DecodeCase {
    const char* what;
    std::string bytes;
    fw::TextEncoding encoding;
    std::u32string text;
};

TEST(TextCodec, DecodesByTheRulesAndEncodesTheSameBytesBack) {
    using E = fw::TextEncoding;
    const DecodeCase cases[] = {
        {"empty", "", E::Utf8, U""},
        {"ASCII", "plain\r\n", E::Utf8, U"plain\r\n"},
        {"UTF-8", "na\xC3\xAFve \xF0\x9F\x98\x80 \xC2\x85", E::Utf8, U"na\u00efve \U0001F600 \u0085"},
        {"UTF-8 with a mark", "\xEF\xBB\xBFx\xE2\x80\x94", E::Utf8Bom, U"x\u2014"},
        {"a mark alone", "\xEF\xBB\xBF", E::Utf8Bom, U""},
        {"two marks", "\xEF\xBB\xBF\xEF\xBB\xBF", E::Utf8Bom, U"\uFEFF"},
        {"a mark before bad UTF-8", "\xEF\xBB\xBF\xE9", E::Windows1252, U"\u00ef\u00bb\u00bf\u00e9"},
        {"UTF-16 LE", std::string("\xFF\xFEh\0\x3D\xD8\x00\xDE", 8), E::Utf16LE, U"h\U0001F600"},
        {"UTF-16 BE", std::string("\xFE\xFF\0h\0\0", 6), E::Utf16BE, std::u32string(U"h\0", 2)},
        {"a UTF-16 mark alone", "\xFF\xFE", E::Utf16LE, U""},
        {"UTF-16 of odd length", "\xFF\xFEh", E::Windows1252, U"\u00ff\u00feh"},
        {"UTF-16 with a lone surrogate", std::string("\xFE\xFF\xD8\x00", 4), E::Windows1252,
         std::u32string(U"\u00fe\u00ff\u00d8\0", 4)},
        {"an overlong form", "\xC0\xAF", E::Windows1252, U"\u00c0\u00af"},
        {"an encoded surrogate", "\xED\xA0\x80", E::Windows1252, U"\u00ed\u00a0\u20ac"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", E::Windows1252, U"\u00f4\u0090\u20ac\u20ac"},
        {"a sequence cut short", "ab\xE2\x80", E::Windows1252, U"ab\u00e2\u20ac"},
        {"Windows-1252", "\x93q\x94 \x96 caf\xE9", E::Windows1252, U"\u201cq\u201d \u2013 caf\u00e9"},
        {"the unassigned bytes", "\x81\x8D\x8F\x90\x9D\x80\x9F", E::Windows1252,
         U"\u0081\u008d\u008f\u0090\u009d\u20ac\u0178"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fw::DecodedText d = fw::DecodeText(c.bytes);
        EXPECT_EQ(d.encoding, c.encoding);
        EXPECT_EQ(d.text.ToUcs4(), c.text);
        std::string back;
        EXPECT_TRUE(fw::EncodeText(d.text, d.encoding, back));
        EXPECT_EQ(back, c.bytes);
    }
    // Every byte has its own character.
    std::string every;
    for (int b = 0; b < 256; ++b) every.push_back(static_cast<char>(b));
    const fw::DecodedText d = fw::DecodeText(every);
    EXPECT_EQ(d.encoding, E::Windows1252);
    std::string back;
    EXPECT_TRUE(fw::EncodeText(d.text, d.encoding, back));
    EXPECT_EQ(back, every);
}

// A large text decodes as its pieces do one by one: one byte per character
// unless a character needs more, and Windows-1252 for the whole text when
// one byte anywhere is not UTF-8, even the last one.
TEST(TextCodec, ALargeTextDecodesAsItsPiecesDo) {
    using E = fw::TextEncoding;
    // Characters of one or two bytes, taken whole.
    const std::vector<std::string> latin1 = {"c", "a", "f", "\xC3\xA9", " ", "n", "a", "\xC3\xAF", "v", "e", " ",
                                             "\xC3\xBF", "\xC2\xB5", " ", "a", "b", "c", "\r", "\n"};
    const std::string wide = "\xE2\x80\x9Cq\xE2\x80\x9D \xF0\x9F\x98\x80 \xE4\xB8\xAD.\n";
    const struct {
        const char* what;
        std::string mark, rest, last;
        E encoding;
        bool isWide;
    } cases[] = {
        {"Latin-1 only", "", "", "", E::Utf8, false},
        {"with a mark", "\xEF\xBB\xBF", "", "", E::Utf8Bom, false},
        {"wide at the end", "", "", wide, E::Utf8, true},
        {"wide throughout", "", wide, "", E::Utf8, true},
        {"just past Latin-1 throughout", "", "\xC4\x85", "", E::Utf8, true},
        {"one bad byte at the end", "", "", "\xE9", E::Windows1252, false},
        {"a sequence cut short at the end", "\xEF\xBB\xBF", "", "\xE2\x80", E::Windows1252, true},
    };
    // What bytes read as alone: a bad byte after them makes them
    // Windows-1252.
    const auto alone = [](const std::string& bytes, bool cp1252) {
        return cp1252 ? fw::DecodeText(bytes + "\xE9").text.ToUcs4().substr(0, bytes.size())
                      : fw::DecodeText(bytes).text.ToUcs4();
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const bool cp1252 = c.encoding == E::Windows1252;
        std::string bytes = c.mark;
        std::u32string expected = cp1252 ? alone(c.mark, true) : U"";
        // Pieces of 7 to 31 characters: the decoder's eight-byte steps meet
        // every offset of a sequence somewhere.
        for (std::size_t i = 0; bytes.size() < 2'500'000; ++i) {
            std::string piece = i % 2 ? c.rest : std::string();
            for (std::size_t k = 0; k < 7 + i % 25; ++k) piece += latin1[k % latin1.size()];
            bytes += piece;
            expected += alone(piece, cp1252);
        }
        bytes += c.last;
        expected += alone(c.last, cp1252);
        const fw::DecodedText d = fw::DecodeText(bytes);
        EXPECT_EQ(d.encoding, c.encoding);
        EXPECT_EQ(d.text.IsWide(), c.isWide);
        EXPECT_TRUE(d.text.ToUcs4() == expected);
    }
}

TEST(TextCodec, ATextThatCannotBeWrittenSoOrWouldReadBackOtherwiseIsRefused) {
    using E = fw::TextEncoding;
    const struct {
        const char* what;
        std::u32string text;
        E encoding;
        bool ok;
        std::string bytes;  // when ok
    } cases[] = {
        {"a character outside Windows-1252", U"\u4e2d", E::Windows1252, false, ""},
        {"a C1 character Windows-1252 assigns otherwise", U"\u0080", E::Windows1252, false, ""},
        {"Windows-1252 bytes that read as UTF-8", U"\u00c3\u00a9", E::Windows1252, false, ""},
        {"Windows-1252 bytes that read as UTF-16", std::u32string(U"\u00ff\u00fea\0", 4), E::Windows1252, false, ""},
        {"ASCII in Windows-1252", U"abc", E::Windows1252, true, "abc"},
        {"a lone surrogate in UTF-16", U"a\xD800", E::Utf16LE, false, ""},
        {"a lone surrogate in UTF-8", U"a\xDC00", E::Utf8, true, "a\xEF\xBF\xBD"},
        {"a leading U+FEFF without a mark", U"\uFEFFx", E::Utf8, true, "\xEF\xBB\xBF\xEF\xBB\xBFx"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string out;
        EXPECT_EQ(fw::EncodeText(String(c.text), c.encoding, out), c.ok);
        if (c.ok) {
            EXPECT_EQ(out, c.bytes);
        }
    }
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
