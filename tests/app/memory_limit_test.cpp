// The real program under a real memory limit far smaller than a file
// needs (a sparse file of 4 GB): each load is told in words, both areas
// keep their texts, and the program runs on until the user quits; the
// kernel's out-of-memory kill would end it with both texts instead. The
// limit is a memory cgroup the test makes as root (cgroup v1), and an
// address-space limit (RLIMIT_AS) on the child.
#include "core/Memory.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr off_t kFileBytes = off_t{4} * 1000 * 1000 * 1000;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

struct ChildRun {
    bool exited = false;
    int status = -1;  // the exit status, or the signal that ended it
    std::string output;
};

// Runs the program on the file in a child that first joins the cgroup
// (when one is given) or takes the address-space limit (when one is).
ChildRun RunLimited(const std::string& file, const std::string& cgroupProcs, rlim_t addressSpace) {
    int out[2];
    if (::pipe(out) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only what is safe between fork and exec.
        if (!cgroupProcs.empty()) {
            const int fd = ::open(cgroupProcs.c_str(), O_WRONLY);
            if (fd < 0 || ::write(fd, "0", 1) != 1) ::_exit(121);
            ::close(fd);
        }
        if (addressSpace != 0) {
            const rlimit limit{addressSpace, addressSpace};
            if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(122);
        }
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        const char* program = SCRANDLE_MEMORY_LIMIT_PROGRAM;
        ::execl(program, program, file.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    ChildRun run;
    if (pid < 0) {
        ::close(out[0]);
        return run;
    }
    char buffer[4096];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        run.output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    run.exited = WIFEXITED(status);
    run.status = run.exited ? WEXITSTATUS(status) : WTERMSIG(status);
    return run;
}

class MemoryLimitTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        file_ = dir_.path().toStdString() + "/big.txt";
        const int fd = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, kFileBytes), 0) << std::strerror(errno);
        ::close(fd);
    }

    void ExpectToldAndRunningUntilTheUserQuits(const ChildRun& run) {
        ASSERT_TRUE(run.exited) << "ended by signal " << run.status << "; it printed:\n" << run.output;
        EXPECT_EQ(run.status, 0) << run.output;
        const std::string told = "told: The file \u201cbig.txt\u201d is too large to load: its 4.0 GB would need about ";
        const std::string end = " is free. The text shown is unchanged.\n";
        std::size_t at = 0;
        for (int load = 0; load < 2; ++load) {
            at = run.output.find(told, at);
            ASSERT_NE(at, std::string::npos) << run.output;
            at = run.output.find(end, at);
            ASSERT_NE(at, std::string::npos) << run.output;
        }
        EXPECT_NE(run.output.find("left: the left text\nright: the right text\nthe user quits\n", at), std::string::npos)
            << run.output;
    }

    QTemporaryDir dir_;
    std::string file_;
};

TEST_F(MemoryLimitTest, UnderAMemoryCgroupLimit) {
    std::string own;
    bool v2 = false;
    if (::geteuid() != 0 || !fw::detail::MemoryCgroup("", own, v2) || v2)
        GTEST_SKIP() << "needs root and the cgroup v1 memory controller";
    const std::string group = own + "/scrandle-memory-limit-test-" + std::to_string(::getpid());
    if (::mkdir(group.c_str(), 0755) != 0) GTEST_SKIP() << "cannot make " << group << ": " << std::strerror(errno);
    const std::uint64_t limit = std::uint64_t{1} << 30;
    std::ofstream(group + "/memory.limit_in_bytes") << limit;
    std::uint64_t set = 0;
    std::ifstream(group + "/memory.limit_in_bytes") >> set;
    if (set != limit) {
        ::rmdir(group.c_str());
        FAIL() << "the limit of " << group << " could not be set";
    }
    const ChildRun run = RunLimited(file_, group + "/cgroup.procs", 0);
    // The group is empty once its one process has ended.
    for (int tries = 0; ::rmdir(group.c_str()) != 0 && errno == EBUSY && tries < 50; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ExpectToldAndRunningUntilTheUserQuits(run);
}

TEST_F(MemoryLimitTest, UnderAnAddressSpaceLimit) {
    // The address sanitizer's shadow memory takes more address space than
    // any such limit allows.
    if (kAddressSanitizer) GTEST_SKIP() << "the address sanitizer cannot run under RLIMIT_AS";
    ExpectToldAndRunningUntilTheUserQuits(RunLimited(file_, "", rlim_t{3} << 30));
}

}  // namespace
