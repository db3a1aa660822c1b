// SPDX-License-Identifier: MIT
// base/units.h: searching UTF-16 text four units at a time, for the scans
// that every name passes through (its end, its "@").
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace nessel {

// Position of the first unit c in s, npos when there is none: the same
// answer as s.find(c).
inline size_t find_unit(std::u16string_view s, char16_t c) {
    constexpr uint64_t kOnes = 0x0001000100010001u, kHighs = 0x8000800080008000u;
    const uint64_t pattern = kOnes * c;
    const char16_t* p = s.data();
    const size_t n = s.size();
    size_t i = 0;
    // A lane of x is zero exactly where a unit equals c; the test is exact
    // for the lowest such lane, so the walk below starts no later than it.
    for (; i + 4 <= n; i += 4) {
        uint64_t x;
        std::memcpy(&x, p + i, sizeof x);
        x ^= pattern;
        if (((x - kOnes) & ~x & kHighs) != 0) break;
    }
    for (; i < n; ++i)
        if (p[i] == c) return i;
    return std::u16string_view::npos;
}

}  // namespace nessel
