#include "core/Beside.h"

#include "core/Yield.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <future>
#include <system_error>
#include <thread>

namespace fw {

struct Beside::Piece {
    std::packaged_task<std::uint64_t()> task;
    std::future<std::uint64_t> result;
    std::thread thread;
};

Beside::Beside() = default;

Beside::~Beside() {
    for (auto& piece : pieces_)
        if (piece->thread.joinable()) piece->thread.join();
}

void Beside::Start(std::function<std::uint64_t()> work) {
    auto piece = std::make_unique<Piece>();
    piece->task = std::packaged_task<std::uint64_t()>(std::move(work));
    piece->result = piece->task.get_future();
    Piece* p = piece.get();
    pieces_.push_back(std::move(piece));
    try {
        p->thread = std::thread([p] { p->task(); });
    } catch (const std::system_error&) {
        // No thread to be had (a limit of the system): the work runs here,
        // later than it might have, but it runs.
        p->task();
    }
}

void Beside::Wait() {
    // Often enough for the hook's own pace (it repaints at most every
    // 100 ms); it returns at once when nothing is due.
    constexpr auto kHookEvery = std::chrono::milliseconds(20);
    std::uint64_t owed = 0;
    std::exception_ptr first;
    for (auto& piece : pieces_) {
        while (piece->result.wait_for(kHookEvery) != std::future_status::ready) RunYieldHook();
        piece->thread.join();
        try {
            owed += piece->result.get();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    pieces_.clear();
    while (owed > 0) {
        const std::uint32_t step = static_cast<std::uint32_t>(std::min<std::uint64_t>(owed, 1u << 30));
        BackgroundYields(step);
        owed -= step;
    }
    if (first) std::rethrow_exception(first);
}

void Beside::ForParts(std::size_t parts, const std::function<void(std::size_t)>& part) {
    Beside beside;
    for (std::size_t i = 1; i < parts; ++i)
        beside.Start([&part, i] {
            part(i);
            return std::uint64_t{0};
        });
    if (parts > 0) part(0);
    beside.Wait();
}

unsigned Beside::Threads() { return std::clamp(std::thread::hardware_concurrency(), 1u, 8u); }

}  // namespace fw
