// Saves as an ordinary user meets them: the test, run as root, prepares each
// case with files of other owners and has the save_as helper save as nobody
// (setpriv), then looks at what is on disk. Skipped when not run as root.
#include <QDir>
#include <QString>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<no file>";
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A file of the given bytes, owner and mode.
void Make(const std::string& path, const std::string& bytes, uid_t uid, gid_t gid, mode_t mode) {
    std::ofstream(path, std::ios::binary) << bytes;
    ASSERT_EQ(::chown(path.c_str(), uid, gid), 0) << path;
    ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
}

void MakeFolder(const std::string& path, uid_t uid, mode_t mode) {
    ASSERT_EQ(::mkdir(path.c_str(), 0700), 0) << path;
    ASSERT_EQ(::chown(path.c_str(), uid, uid == 0 ? 0 : kNogroup), 0) << path;
    ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
}

struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

QStringList Entries(const std::string& folder) {
    return QDir(QString::fromStdString(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                          QDir::NoDotAndDotDot);
}

// Runs the program as nobody; what it printed.
std::string RunAsNobody(std::vector<std::string> args) {
    std::vector<std::string> all = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    if (::pipe(out) != 0) return "<no pipe>";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "setpriv", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string printed;
    char buf[256];
    ssize_t n;
    while ((n = ::read(out[0], buf, sizeof buf)) > 0) printed.append(buf, static_cast<std::size_t>(n));
    ::close(out[0]);
    if (rc != 0) return "<setpriv could not start>";
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) printed += "<exit status " + std::to_string(status) + ">";
    return printed;
}

class FilesAsAnOrdinaryUser : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "acting as another user needs root";
        char tmpl[] = "/tmp/scrandle-as-user-XXXXXX";
        ASSERT_TRUE(::mkdtemp(tmpl));
        base_ = tmpl;
        ASSERT_EQ(::chmod(base_.c_str(), 0755), 0);
        // The helper where nobody may run it.
        helper_ = base_ + "/save_as";
        std::ifstream in(SCRANDLE_SAVE_AS_PROGRAM, std::ios::binary);
        std::ofstream(helper_, std::ios::binary) << in.rdbuf();
        ASSERT_EQ(::chmod(helper_.c_str(), 0755), 0);
    }
    void TearDown() override {
        if (!base_.empty()) QDir(QString::fromStdString(base_)).removeRecursively();
    }

    std::string base_, helper_;
};

TEST_F(FilesAsAnOrdinaryUser, ASaveGoesWhereAnEditorWouldPutItAndKeepsOwnersLinksAndOldBytes) {
    const std::string text = "the new text";
    const std::string big(3 * 4096, 'x');
    struct Case {
        const char* what;
        const char* mode;  // through: a message file; replace: the word-list export
        // Makes the case in its folder; the path to save.
        std::function<std::string(const std::string& folder)> make;
        std::string text;
        const char* fileSizeLimit;
        std::string printed;
        // Looks at the folder afterwards.
        std::function<void(const std::string& folder)> check;
    };
    const Case cases[] = {
        {"a file of the user's in a folder that takes no new file", "through",
         [](const std::string& d) {
             MakeFolder(d, 0, 0755);
             Make(d + "/f.txt", "old", kNobody, kNogroup, 0644);
             return d + "/f.txt";
         },
         text, nullptr, "saved\n",
         [&](const std::string& d) {
             EXPECT_EQ(Bytes(d + "/f.txt"), text);
             EXPECT_EQ(Entries(d), QStringList{"f.txt"});
         }},
        {"another user's file in a sticky folder", "through",
         [](const std::string& d) {
             MakeFolder(d, 0, 01777);
             Make(d + "/f.txt", "old", 0, 0, 0666);
             return d + "/f.txt";
         },
         text, nullptr, "saved\n",
         [&](const std::string& d) {
             EXPECT_EQ(Bytes(d + "/f.txt"), text);
             EXPECT_EQ(StatOf(d + "/f.txt").st_uid, 0u);
             EXPECT_EQ(Entries(d), QStringList{"f.txt"});
         }},
        {"another user's file the group may write, in a folder anyone may add to", "through",
         [](const std::string& d) {
             MakeFolder(d, 0, 0777);
             Make(d + "/f.txt", "old", 0, kNogroup, 0664);
             return d + "/f.txt";
         },
         text, nullptr, "saved\n",
         [&](const std::string& d) {
             EXPECT_EQ(Bytes(d + "/f.txt"), text);
             const struct stat st = StatOf(d + "/f.txt");
             EXPECT_EQ(st.st_uid, 0u);
             EXPECT_EQ(st.st_gid, kNogroup);
             EXPECT_EQ(st.st_mode & 07777, 0664u);
             EXPECT_EQ(Entries(d), QStringList{"f.txt"});
         }},
        {"a file with a second hard link", "through",
         [](const std::string& d) {
             MakeFolder(d, 0, 0777);
             Make(d + "/f.txt", "old", kNobody, kNogroup, 0644);
             EXPECT_EQ(::link((d + "/f.txt").c_str(), (d + "/g.txt").c_str()), 0);
             return d + "/f.txt";
         },
         text, nullptr, "saved\n",
         [&](const std::string& d) {
             EXPECT_EQ(Bytes(d + "/f.txt"), text);
             EXPECT_EQ(Bytes(d + "/g.txt"), text);
             EXPECT_EQ(StatOf(d + "/f.txt").st_nlink, 2u);
         }},
        {"a dangling link", "through",
         [](const std::string& d) {
             MakeFolder(d, 0, 0777);
             EXPECT_EQ(::symlink("made.txt", (d + "/link.txt").c_str()), 0);
             return d + "/link.txt";
         },
         text, nullptr, "saved\n",
         [&](const std::string& d) {
             EXPECT_TRUE(S_ISLNK(StatOf(d + "/link.txt").st_mode));
             EXPECT_EQ(Bytes(d + "/made.txt"), text);
             EXPECT_EQ(StatOf(d + "/made.txt").st_uid, kNobody);
         }},
        {"a write in place that fails part-way", "through",
         [](const std::string& d) {
             MakeFolder(d, 0, 0755);
             Make(d + "/f.txt", "the old content", kNobody, kNogroup, 0644);
             return d + "/f.txt";
         },
         big, "4096", "failed " + std::to_string(EFBIG) + " old\n",
         [&](const std::string& d) {
             EXPECT_EQ(Bytes(d + "/f.txt"), "the old content");
             EXPECT_EQ(Entries(d), QStringList{"f.txt"});
         }},
        {"a write in place that fails part-way, on a file the user may not read", "through",
         [](const std::string& d) {
             MakeFolder(d, 0, 0755);
             Make(d + "/f.txt", "the old content", 0, 0, 0622);
             return d + "/f.txt";
         },
         big, "4096", "failed " + std::to_string(EFBIG) + " part\n",
         [&](const std::string& d) { EXPECT_EQ(Entries(d), QStringList{"f.txt"}); }},
        {"another user's file the user may not write", "through",
         [](const std::string& d) {
             MakeFolder(d, 0, 0777);
             Make(d + "/f.txt", "old", 0, 0, 0644);
             return d + "/f.txt";
         },
         text, nullptr, "failed " + std::to_string(EACCES) + " old\n",
         [&](const std::string& d) {
             EXPECT_EQ(Bytes(d + "/f.txt"), "old");
             EXPECT_EQ(Entries(d), QStringList{"f.txt"});
         }},
        {"the export over a read-only older one", "replace",
         [](const std::string& d) {
             MakeFolder(d, kNobody, 0755);
             Make(d + "/ScrandleDictionary.txt", "old", kNobody, kNogroup, 0444);
             return d + "/ScrandleDictionary.txt";
         },
         text, nullptr, "saved\n",
         [&](const std::string& d) {
             EXPECT_EQ(Bytes(d + "/ScrandleDictionary.txt"), text);
             EXPECT_EQ(Entries(d), QStringList{"ScrandleDictionary.txt"});
         }},
        {"the export over a link to a file outside its folder", "replace",
         [&](const std::string& d) {
             MakeFolder(d, kNobody, 0755);
             Make(base_ + "/outside.txt", "keep me", 0, 0, 0666);
             EXPECT_EQ(::symlink((base_ + "/outside.txt").c_str(), (d + "/ScrandleDictionary.txt").c_str()), 0);
             return d + "/ScrandleDictionary.txt";
         },
         text, nullptr, "saved\n",
         [&](const std::string& d) {
             EXPECT_TRUE(S_ISREG(StatOf(d + "/ScrandleDictionary.txt").st_mode));
             EXPECT_EQ(Bytes(d + "/ScrandleDictionary.txt"), text);
             EXPECT_EQ(Bytes(base_ + "/outside.txt"), "keep me");
         }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = base_ + "/case" + std::to_string(++n);
        const std::string path = c.make(folder);
        std::vector<std::string> args = {helper_, c.mode, path, c.text};
        if (c.fileSizeLimit) args.push_back(c.fileSizeLimit);
        EXPECT_EQ(RunAsNobody(args), c.printed);
        c.check(folder);
    }
}

}  // namespace
