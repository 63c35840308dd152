// A large file is read and written in pieces: the long-work hook runs once
// before (the wait cursor at once) and the yield hook between the pieces
// (the windows repaint), without counting as the program's yields; a small
// file runs neither.
#include "core/Files.h"
#include "core/LongWork.h"
#include "core/Yield.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

int g_longWork = 0;
int g_yieldHook = 0;

class FilesPiecesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        previousLong_ = fw::SetLongWorkHook([] { ++g_longWork; });
        previousYield_ = fw::SetYieldHook([] { ++g_yieldHook; });
    }
    void TearDown() override {
        fw::SetLongWorkHook(previousLong_);
        fw::SetYieldHook(previousYield_);
    }
    fw::Ref<fw::FolderItem> File(const char* name) const {
        return fw::New<fw::FolderItem>(tmp_.path().toStdString() + "/" + name);
    }
    static void Reset() { g_longWork = g_yieldHook = 0; }

    QTemporaryDir tmp_;
    fw::LongWorkHook previousLong_ = nullptr;
    fw::YieldHook previousYield_ = nullptr;
};

TEST_F(FilesPiecesTest, ALargeFileComesInAndGoesOutInPiecesASmallOneInOne) {
    struct Case {
        std::size_t bytes;
        bool large;
    };
    for (const Case c : {Case{20 * 1024 * 1024, true}, Case{1000, false}}) {
        std::string text(c.bytes, 'a');
        for (std::size_t i = 7; i < text.size(); i += 8) text[i] = ' ';

        Reset();
        const std::uint64_t yields = fw::YieldCount();
        {
            auto out = fw::TextOutputStream::Create(File("t.txt"));
            out->WriteBytes(text);
            out->Close();
        }
        EXPECT_EQ(g_longWork, c.large ? 1 : 0) << c.bytes << " bytes written";
        EXPECT_EQ(g_yieldHook >= 2, c.large) << c.bytes << " bytes written";

        Reset();
        const fw::String read = fw::TextInputStream::Open(File("t.txt"))->ReadAll();
        EXPECT_EQ(read.ToUtf8(), text) << c.bytes;
        EXPECT_EQ(g_longWork, c.large ? 1 : 0) << c.bytes << " bytes read";
        EXPECT_EQ(g_yieldHook >= 2, c.large) << c.bytes << " bytes read";
        EXPECT_EQ(fw::YieldCount(), yields) << "reading and writing counted as the program's yields";
    }
}

}  // namespace
