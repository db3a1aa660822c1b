// SPDX-License-Identifier: MIT
// wide_strings.h: zero-terminated UTF-16 helpers for tests that build the
// C exports' arguments by hand.  Null pointers give 0 / nullptr.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nessel {

inline size_t wcs_length(const char16_t* s) {
    size_t n = 0;
    if (s != nullptr)
        while (s[n] != 0) ++n;
    return n;
}

inline char16_t* wcs_copy(char16_t* dst, const char16_t* src) {
    if (dst == nullptr || src == nullptr) return nullptr;
    size_t i = 0;
    do {
        dst[i] = src[i];
    } while (src[i++] != 0);
    return dst;
}

inline char16_t* wcs_append(char16_t* dst, const char16_t* src) {
    if (dst == nullptr || src == nullptr) return nullptr;
    wcs_copy(dst + wcs_length(dst), src);
    return dst;
}

// Each byte becomes one unit (zero-extended).
inline char16_t* widen_copy(char16_t* dst, const char* src) {
    if (dst == nullptr || src == nullptr) return nullptr;
    size_t i = 0;
    for (; src[i] != 0; ++i) dst[i] = static_cast<unsigned char>(src[i]);
    dst[i] = 0;
    return dst;
}

// Each unit becomes its low byte.
inline char* narrow_copy(char* dst, const char16_t* src) {
    if (dst == nullptr || src == nullptr) return nullptr;
    size_t i = 0;
    for (; src[i] != 0; ++i) dst[i] = static_cast<char>(src[i] & 0xFF);
    dst[i] = 0;
    return dst;
}

inline std::u16string widen(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (char c : s) out.push_back(static_cast<unsigned char>(c));
    return out;
}

}  // namespace nessel
