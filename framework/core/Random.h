// The framework's one random generator, behind the array shuffle.
//
// Seeded from the operating system on first use; tests may seed it to make a
// run reproducible. Not thread-safe: all program code runs on the UI thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

namespace fw {

class Random {
public:
    // xoshiro256**: fast, small, and good enough for shuffling letters.
    std::uint64_t Next() {
        if (!seeded_) SeedFromSystem();
        const std::uint64_t result = Rotl(s_[1] * 5, 7) * 9;
        const std::uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = Rotl(s_[3], 45);
        return result;
    }
    // Uniform in [0, bound), bound > 0, without modulo bias (Lemire).
    std::uint32_t Below(std::uint32_t bound) {
        std::uint64_t m = static_cast<std::uint64_t>(static_cast<std::uint32_t>(Next() >> 32)) * bound;
        auto low = static_cast<std::uint32_t>(m);
        if (low < bound) {
            const std::uint32_t threshold = static_cast<std::uint32_t>(-bound) % bound;
            while (low < threshold) {
                m = static_cast<std::uint64_t>(static_cast<std::uint32_t>(Next() >> 32)) * bound;
                low = static_cast<std::uint32_t>(m);
            }
        }
        return static_cast<std::uint32_t>(m >> 32);
    }
    void Seed(std::uint64_t seed);
    void SeedFromSystem();

private:
    static std::uint64_t Rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    std::uint64_t s_[4] = {0, 0, 0, 0};
    bool seeded_ = false;
};

Random& TheRandom();

// The array shuffle: a uniformly random order, in place; each call is a new
// draw and may give back the order it started from. The generator's state
// is worked on in a local copy: stores into the elements (characters may
// alias anything) would otherwise reload it at every step.
template <class T>
void Shuffle(Random& random, T* elements, std::size_t n) {
    Random r = random;
    for (std::size_t i = n; i > 1; --i) {
        const std::size_t j = r.Below(static_cast<std::uint32_t>(i));
        using std::swap;
        swap(elements[i - 1], elements[j]);
    }
    random = r;
}

// The same with the framework's generator.
template <class T>
void Shuffle(T* elements, std::size_t n) {
    Shuffle(TheRandom(), elements, n);
}

}  // namespace fw
