// Work on other threads while this one goes on: a long engine pass beside
// the controls' own work, or one pass cut into parts.
//
// Only this thread may repaint, so work started here must not call the
// background-task yield: it counts the yields it owes and returns the count.
// Wait takes them as if made here (YieldCount stays what one thread doing
// everything would give) and, while it waits, runs the yield hook so that
// the windows keep repainting.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace fw {

class Beside {
public:
    Beside();
    // Waits for what still runs, without throwing: a caller left by an
    // exception does not leave work touching its state behind.
    ~Beside();
    Beside(const Beside&) = delete;
    Beside& operator=(const Beside&) = delete;

    // Starts work on a thread of its own; it returns the yields it owes.
    void Start(std::function<std::uint64_t()> work);
    // Waits for every piece of work started, then takes their yields and
    // throws the exception of the first one (in starting order) that threw.
    void Wait();

    // How many threads are worth starting for work that parts well.
    static unsigned Threads();
    // Runs part(0) .. part(parts - 1), part 0 on this thread and each other
    // on a thread of its own, and waits for all (work that owes no yield).
    static void ForParts(std::size_t parts, const std::function<void(std::size_t)>& part);

    // Cuts [0, n) for work in parts: whole below partedFrom, else in up to
    // Threads() parts of about partAtLeast or more. A cut moves on to the
    // first place c where canCut(c) allows it. Gives the starts of the
    // parts, then n.
    template <class CanCut>
    static std::vector<std::size_t> Cuts(std::size_t n, std::size_t partedFrom, std::size_t partAtLeast,
                                         CanCut canCut) {
        const std::size_t parts = n < partedFrom ? 1 : std::min<std::size_t>(Threads(), n / partAtLeast);
        std::vector<std::size_t> cuts{0};
        for (std::size_t k = 1; k < parts; ++k) {
            std::size_t c = std::max(cuts.back() + 1, n / parts * k);
            while (c < n && !canCut(c)) ++c;
            if (c >= n) break;
            cuts.push_back(c);
        }
        cuts.push_back(n);
        return cuts;
    }

private:
    struct Piece;
    std::vector<std::unique_ptr<Piece>> pieces_;
};

}  // namespace fw
