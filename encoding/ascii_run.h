// SPDX-License-Identifier: MIT
// encoding/ascii_run.h: the copy of a run of single-byte characters in wide
// steps, the part of nearly every legacy-charset text (and of every domain
// name's dots and ASCII labels) that needs no table.  Sixteen bytes or units
// are tested and converted at once with SSE2 on x86-64; elsewhere a plain loop
// does the same.
//
// Both functions read only src[0..n): callers pass the length of the text
// before its terminator, so nothing past the terminator is ever touched.
// Both may write up to 16 elements past the run they report (garbage that
// the caller's next write or the terminator covers), but never at or past
// dst + n.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define NESSEL_ASCII_SSE2 1
#endif

namespace nessel {

// Widens the leading bytes of src that lie in lo..hi into
// dst, one unit each; returns how many it took.
inline size_t widen_run(const unsigned char* src, size_t n, char16_t* dst, unsigned lo,
                        unsigned hi) {
    // A lone byte (a space between words) without the wide machinery.
    if (n == 0 || src[0] < lo || src[0] > hi) return 0;
    if (n == 1 || src[1] < lo || src[1] > hi) {
        dst[0] = src[0];
        return 1;
    }
    size_t i = 0;
#ifdef NESSEL_ASCII_SSE2
    if (lo == 0 && hi == 0xFF) {  // every byte: no test at all
        const __m128i zero = _mm_setzero_si128();
        for (; i + 16 <= n; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_unpacklo_epi8(v, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 8), _mm_unpackhi_epi8(v, zero));
        }
    }
    const __m128i low = _mm_set1_epi8(static_cast<char>(lo));
    const __m128i span = _mm_set1_epi8(static_cast<char>(hi - lo));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        // b - lo <= hi - lo (unsigned) exactly when lo <= b <= hi.
        const __m128i out = _mm_subs_epu8(_mm_sub_epi8(v, low), span);
        const unsigned in = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(out, zero)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_unpacklo_epi8(v, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 8), _mm_unpackhi_epi8(v, zero));
        if (in != 0xFFFF) return i + static_cast<size_t>(__builtin_ctz(~in));
    }
#endif
    for (; i < n; ++i) {
        const unsigned b = src[i];
        if (b < lo || b > hi) break;
        dst[i] = static_cast<char16_t>(b);
    }
    return i;
}

// Narrows the leading units of src that lie in lo..hi (hi at most 0xFF) into
// dst, one byte each; returns how many it took.
inline size_t narrow_run(const char16_t* src, size_t n, char* dst, unsigned lo, unsigned hi) {
    if (n == 0 || src[0] < lo || src[0] > hi) return 0;
    if (n == 1 || src[1] < lo || src[1] > hi) {
        dst[0] = static_cast<char>(src[0]);
        return 1;
    }
    size_t i = 0;
#ifdef NESSEL_ASCII_SSE2
    if (lo == 0 && hi == 0xFF) {  // units below 0x100: no high byte set
        const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF00));
        const __m128i zero = _mm_setzero_si128();
        for (; i + 16 <= n; i += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 8));
            const __m128i over = _mm_and_si128(_mm_or_si128(a, b), high);
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(over, zero)) != 0xFFFF) break;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(a, b));
        }
    }
    const __m128i low = _mm_set1_epi16(static_cast<short>(lo));
    const __m128i span = _mm_set1_epi16(static_cast<short>(hi - lo));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 8));
        const __m128i oa = _mm_subs_epu16(_mm_sub_epi16(a, low), span);
        const __m128i ob = _mm_subs_epu16(_mm_sub_epi16(b, low), span);
        // Each unit in range gives two set mask bits.
        const unsigned in = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(oa, zero))) |
                            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(ob, zero))) << 16;
        if (in == 0xFFFFFFFFu) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(a, b));
            continue;
        }
        const size_t k = static_cast<size_t>(__builtin_ctz(~in)) / 2;
        for (size_t j = 0; j < k; ++j) dst[i + j] = static_cast<char>(src[i + j]);
        return i + k;
    }
#endif
    for (; i < n; ++i) {
        const unsigned u = src[i];
        if (u < lo || u > hi) break;
        dst[i] = static_cast<char>(u);
    }
    return i;
}

// Sixteen bytes widened into dst at once; returns a mask with bit k set for
// every byte src[k] outside lo..hi (whose unit the caller writes again).
inline unsigned widen_block(const unsigned char* src, char16_t* dst, unsigned lo, unsigned hi) {
#ifdef NESSEL_ASCII_SSE2
    const __m128i zero = _mm_setzero_si128();
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i out = _mm_subs_epu8(_mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(lo))),
                                      _mm_set1_epi8(static_cast<char>(hi - lo)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_unpacklo_epi8(v, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 8), _mm_unpackhi_epi8(v, zero));
    return ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(out, zero))) & 0xFFFFu;
#else
    unsigned mask = 0;
    for (unsigned k = 0; k < 16; ++k) {
        dst[k] = src[k];
        if (src[k] < lo || src[k] > hi) mask |= 1u << k;
    }
    return mask;
#endif
}

// Sixteen units narrowed into dst at once (units outside lo..hi give
// garbage); returns a mask with bit k set for every unit outside lo..hi.
inline unsigned narrow_block(const char16_t* src, char* dst, unsigned lo, unsigned hi) {
#ifdef NESSEL_ASCII_SSE2
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = _mm_set1_epi16(static_cast<short>(lo));
    const __m128i span = _mm_set1_epi16(static_cast<short>(hi - lo));
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 8));
    const __m128i ia = _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(a, low), span), zero);
    const __m128i ib = _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(b, low), span), zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_packus_epi16(a, b));
    return ~static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(ia, ib))) & 0xFFFFu;
#else
    unsigned mask = 0;
    for (unsigned k = 0; k < 16; ++k) {
        dst[k] = static_cast<char>(src[k]);
        if (src[k] < lo || src[k] > hi) mask |= 1u << k;
    }
    return mask;
#endif
}

// Length of a zero-terminated UTF-16 text.  With SSE2 the scan reads aligned
// 16-byte blocks, which never cross into the next page, so it does not fault
// on an inaccessible page after the terminator.
// (An address or thread sanitizer would report the bytes of the block past
// the terminator, which may belong to another or a freed allocation, so
// sanitized builds take the plain loop.)
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define NESSEL_UNITS_LENGTH_PLAIN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define NESSEL_UNITS_LENGTH_PLAIN 1
#endif
#endif
inline size_t units_length(const char16_t* s) {
    size_t i = 0;
#if defined(NESSEL_ASCII_SSE2) && !defined(NESSEL_UNITS_LENGTH_PLAIN)
    if ((reinterpret_cast<uintptr_t>(s) & 1) == 0) {
        while ((reinterpret_cast<uintptr_t>(s + i) & 15) != 0) {
            if (s[i] == 0) return i;
            ++i;
        }
        const __m128i zero = _mm_setzero_si128();
        for (;; i += 8) {
            const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i*>(s + i));
            const unsigned z = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(v, zero)));
            if (z != 0) return i + static_cast<size_t>(__builtin_ctz(z)) / 2;
        }
    }
#endif
    while (s[i] != 0) ++i;
    return i;
}

}  // namespace nessel
