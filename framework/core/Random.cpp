#include "core/Random.h"

#include <random>

namespace fw {

namespace {
std::uint64_t SplitMix(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}
Random g_random;
}  // namespace

void Random::Seed(std::uint64_t seed) {
    for (auto& s : s_) s = SplitMix(seed);
    seeded_ = true;
}

void Random::SeedFromSystem() {
    std::random_device dev;
    const std::uint64_t seed = (static_cast<std::uint64_t>(dev()) << 32) ^ dev();
    Seed(seed);
}

Random& TheRandom() { return g_random; }

}  // namespace fw
