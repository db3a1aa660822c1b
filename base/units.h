// SPDX-License-Identifier: MIT
// base/units.h: searching UTF-16 text four units at a time, for the scans
// that every name passes through (its end, its "@"), and the zero scan of
// the length-taking exports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// True when one of the n elements (bytes or UTF-16 units) of s is zero.  No
// call, so that an export can scan without saving its registers, and short
// texts without a loop: from 16 bytes on the first and the last 16-byte
// block (overlapping when the text is shorter than two) and the whole
// blocks between, four at a time; below that two overlapping words of 8 or
// 4 bytes, whose zero lanes show in (x - ones) & ~x & highs.
template <typename T>
inline bool has_zero(const T* s, size_t n) {
    static_assert(sizeof(T) == 1 || sizeof(T) == 2);
    const size_t bytes = n * sizeof(T);
    const auto* p = reinterpret_cast<const unsigned char*>(s);
#if defined(__SSE2__)
    if (bytes >= 16) {
        const __m128i zero = _mm_setzero_si128();
        const auto zeros_at = [&](size_t at) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
            if constexpr (sizeof(T) == 1) return _mm_cmpeq_epi8(v, zero);
            else return _mm_cmpeq_epi16(v, zero);
        };
        __m128i seen = _mm_or_si128(zeros_at(0), zeros_at(bytes - 16));
        if (bytes > 32) [[unlikely]] {
            size_t at = 16;
            for (; at + 64 < bytes; at += 64)
                seen = _mm_or_si128(
                    _mm_or_si128(seen, _mm_or_si128(zeros_at(at), zeros_at(at + 16))),
                    _mm_or_si128(zeros_at(at + 32), zeros_at(at + 48)));
            for (; at + 16 < bytes; at += 16) seen = _mm_or_si128(seen, zeros_at(at));
        }
        return _mm_movemask_epi8(seen) != 0;
    }
#endif
    const auto lanes = [](auto x) {
        using W = decltype(x);
        constexpr W ones = static_cast<W>(~W{0}) / (sizeof(T) == 1 ? 0xFF : 0xFFFF);
        constexpr W highs = ones << (8 * sizeof(T) - 1);
        return ((x - ones) & ~x & highs) != 0;
    };
    if (bytes >= 8) {
        uint64_t first, last;
        std::memcpy(&first, p, 8);
        std::memcpy(&last, p + bytes - 8, 8);
        return lanes(first) || lanes(last);
    }
    if (bytes >= 4) {
        uint32_t first, last;
        std::memcpy(&first, p, 4);
        std::memcpy(&last, p + bytes - 4, 4);
        return lanes(first) || lanes(last);
    }
    for (size_t i = 0; i < n; ++i)
        if (s[i] == 0) return true;
    return false;
}

}  // namespace nessel
