// What the process can still get, read from trees laid out as /proc and
// the cgroup file systems lay them out (v1, v2, a limit on the process's
// own group or on one above it), and the step needs against the figures
// they were taken from.
#include "core/Memory.h"
#include "core/String.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <map>
#include <string>

namespace {

constexpr std::uint64_t kMB = 1000 * 1000;
constexpr std::uint64_t kMiB = 1024 * 1024;

TEST(MemoryLeft, IsTheLeastOfTheSystemsAvailableMemoryAndEachCgroupLevelsRoom) {
    const std::string meminfo = "MemTotal:       24000000 kB\nMemFree:         1000 kB\nMemAvailable:   20480000 kB\n";
    const std::uint64_t available = std::uint64_t{20480000} * 1024;
    const std::string v1Mount = "36 32 0:33 / /sys/fs/cgroup/memory rw,relatime - cgroup cgroup rw,memory\n"
                                "37 32 0:34 / /sys/fs/cgroup/cpu rw,relatime - cgroup cgroup rw,cpu\n";
    const std::string v2Mount = "30 25 0:26 / /sys/fs/cgroup rw,nosuid - cgroup2 cgroup2 rw\n";
    const std::string v1 = "/sys/fs/cgroup/memory", v2 = "/sys/fs/cgroup";
    const std::string unlimited = "9223372036854771712\n";
    const struct {
        const char* what;
        std::string cgroup, mountinfo;
        std::map<std::string, std::string> files;  // under the root
        std::uint64_t left;
    } cases[] = {
        {"no memory cgroup", "0::/\n", "", {}, available},
        {"v1, a limit on the own group, its inactive page cache not counted as used",
         "4:memory:/jobs/one\n1:cpu:/\n", v1Mount,
         {{v1 + "/jobs/one/memory.limit_in_bytes", "1000000000\n"},
          {v1 + "/jobs/one/memory.usage_in_bytes", "600000000\n"},
          {v1 + "/jobs/one/memory.stat", "cache 200000000\ninactive_file 7\ntotal_inactive_file 100000000\n"},
          {v1 + "/jobs/memory.limit_in_bytes", unlimited},
          {v1 + "/memory.limit_in_bytes", unlimited}},
         500 * kMB},
        {"v1, a limit on the group above only", "4:memory:/jobs/one\n", v1Mount,
         {{v1 + "/jobs/one/memory.limit_in_bytes", unlimited},
          {v1 + "/jobs/one/memory.usage_in_bytes", "50000000\n"},
          {v1 + "/jobs/memory.limit_in_bytes", "2000000000\n"},
          {v1 + "/jobs/memory.usage_in_bytes", "1900000000\n"}},
         100 * kMB},
        {"v1, more used than the limit", "4:memory:/one\n", v1Mount,
         {{v1 + "/one/memory.limit_in_bytes", "100000000\n"}, {v1 + "/one/memory.usage_in_bytes", "150000000\n"}},
         0},
        {"v1 mounted at the group itself, as in a container", "4:memory:/jobs/one/inner\n",
         "36 32 0:33 /jobs/one /sys/fs/cgroup/memory rw - cgroup cgroup rw,memory\n",
         {{v1 + "/inner/memory.limit_in_bytes", "300000000\n"}, {v1 + "/inner/memory.usage_in_bytes", "100000000\n"}},
         200 * kMB},
        {"v2, no limit of its own, one above", "0::/user.slice/app.scope\n", v2Mount,
         {{v2 + "/user.slice/app.scope/memory.max", "max\n"},
          {v2 + "/user.slice/app.scope/memory.current", "10\n"},
          {v2 + "/user.slice/memory.max", "3000000000\n"},
          {v2 + "/user.slice/memory.current", "1500000000\n"},
          {v2 + "/user.slice/memory.stat", "anon 1000000000\ninactive_file 500000000\n"}},
         2000 * kMB},
        {"v2, the system has less than the group allows", "0::/big\n", v2Mount,
         {{v2 + "/big/memory.max", "100000000000\n"}, {v2 + "/big/memory.current", "0\n"}},
         available},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const std::string root = dir.path().toStdString();
        auto put = [&](const std::string& path, const std::string& text) {
            const std::string full = root + path;
            QDir().mkpath(QString::fromStdString(full.substr(0, full.rfind('/'))));
            std::ofstream(full) << text;
        };
        put("/proc/meminfo", meminfo);
        put("/proc/self/cgroup", c.cgroup);
        put("/proc/self/mountinfo", c.mountinfo);
        for (const auto& [path, text] : c.files) put(path, text);
        EXPECT_EQ(fw::detail::MemoryLeftUnder(root), c.left);
    }
}

TEST(MemoryLeft, CanBeMadeShortForTests) {
    fw::OverrideMemoryLeft(12345);
    EXPECT_EQ(fw::MemoryLeft(), 12345u);
    fw::OverrideMemoryLeft(std::nullopt);
    EXPECT_GT(fw::MemoryLeft(), 12345u);
}

// The figures of bench/bigtext_memory_compare, per byte of a 100 MB file
// of prose with a line end every 400 characters or so (ASCII or Latin-1)
// and of a 20 MB file of one line: with their margin the needs cover each
// measured peak, and without it they are not much more.
TEST(MemoryNeed, CoversWhatEachStepWasMeasuredToTake) {
    struct Case {
        const char* step;
        std::uint64_t need;
        double measured;  // bytes per byte
    };
    const auto check = [](const char* text, std::uint64_t n, std::initializer_list<Case> cases) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(text) + ", " + c.step);
            const auto perByte = [&](std::uint64_t b) { return static_cast<double>(b) / static_cast<double>(n); };
            EXPECT_GE(perByte(fw::WithMargin(c.need)), c.measured);
            EXPECT_LE(perByte(c.need), c.measured * 1.2);
        }
    };
    for (const bool oneLine : {false, true}) {
        // One line of 20 MB: Qt lays it out whole when it shows it.
        const std::uint64_t n = oneLine ? 20 * kMB : 100 * kMB;
        fw::TextMeasure text;
        text.chars = text.units = n;
        text.lines = oneLine ? 0 : n / 400;
        text.longest = oneLine ? n : 400;
        const std::uint64_t document = fw::DocumentBytes(text);
        fw::EngineHeld loaded;
        loaded.plain = document;
        fw::EngineHeld scrambled;
        scrambled.scrambled = scrambled.kept = document;
        scrambled.inputRoom = scrambled.outputRoom = n;
        fw::EngineHeld restored = scrambled;
        restored.plain = document;
        if (!oneLine) {
            check("prose", n,
                  {{"load", fw::LoadNeed(n, text, 0), 4.28},
                   {"save", fw::SaveNeed(text, n, 0), 2.06},
                   {"scramble", fw::ScrambleNeed(text, true, loaded), 6.24},
                   {"exact unscramble", fw::RestoreNeed(text, scrambled), 4.30},
                   {"rebuilding unscramble", fw::RebuildNeed(text, restored), 2.08}});
        } else {
            check("one line", n,
                  {{"load", fw::LoadNeed(n, text, 0), 42.54},
                   {"save", fw::SaveNeed(text, n, 0), 38.73},
                   {"scramble", fw::ScrambleNeed(text, true, loaded), 45.13},
                   {"exact unscramble", fw::RestoreNeed(text, scrambled), 41.67}});
        }
    }
    // A line costs Qt's document its records whatever its length: a file
    // in lines of ten bytes takes some 20 bytes a byte (measured: 20.3 at
    // the peak of its load).
    fw::TextMeasure shortLines;
    shortLines.chars = shortLines.units = 20 * kMB;
    shortLines.lines = 2 * kMB;
    shortLines.longest = 9;
    check("lines of ten bytes", 20 * kMB, {{"load", fw::LoadNeed(20 * kMB, shortLines, 0), 20.31}});
}

TEST(MemoryNeed, ASaveThatKeepsTheOldFileInMemoryNeedsItToo) {
    fw::TextMeasure text;
    text.chars = text.units = 10 * kMiB;
    EXPECT_EQ(fw::SaveNeed(text, 10 * kMiB, 0), 20 * kMiB);
    // The text goes once it is encoded, before the old file is read.
    EXPECT_EQ(fw::SaveNeed(text, 10 * kMiB, 30 * kMiB), 40 * kMiB);
}

TEST(MemoryNeed, SizeOfCountsLineEndsAsTheDocumentDoes) {
    const fw::TextMeasure m = fw::SizeOf(fw::String(std::u32string_view(U"a\r\nb\rc\nd\u2029e\U0001F600")));
    EXPECT_EQ(m.chars, 11u);
    EXPECT_EQ(m.units, 11u);  // the CR LF one unit, the emoji two
    EXPECT_EQ(m.lines, 4u);
    EXPECT_EQ(m.longest, 3u);  // "e" and the emoji
    EXPECT_TRUE(m.wide);
    EXPECT_FALSE(fw::SizeOf(fw::String("caf\xC3\xA9\n")).wide);
}

TEST(MemoryInWords, SaysSizesAsAUserReadsThem) {
    EXPECT_EQ(fw::BytesInWords(999), "999 bytes");
    EXPECT_EQ(fw::BytesInWords(1000), "1.0 KB");
    EXPECT_EQ(fw::BytesInWords(640 * kMB + 123), "640 MB");
    EXPECT_EQ(fw::BytesInWords(4'460 * kMB), "4.5 GB");
    EXPECT_EQ(fw::BytesInWords(999'600 * kMB), "1.0 TB");
    EXPECT_EQ(fw::CountInWords(1234567), "1,234,567");
    EXPECT_EQ(fw::CountInWords(100), "100");
}

}  // namespace
