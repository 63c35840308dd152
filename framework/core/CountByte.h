// Counting one byte value in a buffer, sixteen bytes a step.
//
// Lists of tens of thousands of rows are counted when they are set; a
// byte-by-byte loop (std::count is not vectorised at -O2) costs several
// instructions a byte. Header-only and free of the rest of the framework.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace fw {

inline std::size_t CountByte(const char* p, std::size_t n, char c) {
    using Lanes = unsigned char __attribute__((vector_size(16)));
    const Lanes needle = Lanes{} + static_cast<unsigned char>(c);
    std::size_t count = 0;
    std::size_t i = 0;
    while (n - i >= 16) {
        // Each lane counts up to 255 matches before the lanes are summed.
        Lanes lanes{};
        const std::size_t end = i + 16 * std::min<std::size_t>((n - i) / 16, 255);
        for (; i < end; i += 16) {
            Lanes block;
            std::memcpy(&block, p + i, sizeof block);
            lanes -= (Lanes)(block == needle);  // a match is all ones: -1
        }
        for (int k = 0; k < 16; ++k) count += lanes[k];
    }
    for (; i < n; ++i) count += p[i] == c;
    return count;
}

}  // namespace fw
