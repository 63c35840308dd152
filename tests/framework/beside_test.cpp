#include "core/Beside.h"
#include "core/Yield.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace {
std::atomic<int> g_hookCalls{0};
std::thread::id g_hookThread;
}  // namespace

// Work beside this thread: its counted yields are taken here as if made
// here, the hook (which repaints) runs on this thread while it waits, and
// the first exception in starting order comes back after all have ended.
TEST(Beside, YieldsHookAndExceptions) {
    g_hookCalls = 0;
    g_hookThread = {};
    const fw::YieldHook old = fw::SetYieldHook([] {
        ++g_hookCalls;
        g_hookThread = std::this_thread::get_id();
    });
    std::atomic<bool> thirdDone{false};
    const auto before = fw::YieldCount();
    fw::Beside beside;
    beside.Start([] { return std::uint64_t{40000}; });
    beside.Start([]() -> std::uint64_t {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        throw std::runtime_error("second");
    });
    beside.Start([&]() -> std::uint64_t {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        thirdDone = true;
        throw std::logic_error("third");
    });
    try {
        beside.Wait();
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "second");
    }
    EXPECT_TRUE(thirdDone);
    EXPECT_EQ(fw::YieldCount() - before, 40000u);
    // 40,000 yields make at most three of the hook's calls; 200 ms of
    // waiting made several more.
    EXPECT_GE(g_hookCalls.load(), 6);
    EXPECT_EQ(g_hookThread, std::this_thread::get_id());
    fw::SetYieldHook(old);
}

// A caller left by an exception does not leave the work running on.
TEST(Beside, LeavingWithoutWaitJoins) {
    std::atomic<bool> done{false};
    try {
        fw::Beside beside;
        beside.Start([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            done = true;
            return std::uint64_t{0};
        });
        throw std::runtime_error("alongside failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(done);
}
