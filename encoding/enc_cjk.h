// SPDX-License-Identifier: MIT
// encoding/enc_cjk.h: small helpers shared by the CJK converters
// (enc_big5, enc_gb, enc_japan, enc_ksc).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nessel::cjk {

// A converter's source ends at its terminator: a zero inside a view ends the
// text there, exactly as it would in the zero-terminated string of the C API.
inline std::string_view before_nul(std::string_view s) {
    size_t n = s.find('\0');
    return n == std::string_view::npos ? s : s.substr(0, n);
}
inline std::u16string_view before_nul(std::u16string_view s) {
    size_t n = s.find(u'\0');
    return n == std::u16string_view::npos ? s : s.substr(0, n);
}

// Two-level reverse index of the generated tables: the lowest code that
// holds u, or 0 when no code does.
template <typename PageMap>
inline uint16_t reverse_lookup(const PageMap& page_map, const uint16_t* pages, char16_t u) {
    return pages[static_cast<size_t>(page_map[u >> 8]) * 256 + (u & 0xFF)];
}

// Failure of a converter: the destination is left empty.
template <typename Out>
[[nodiscard]] inline int fail(Out& dst) {
    dst.clear();
    return 0;
}

inline unsigned byte_at(std::string_view s, size_t i) { return static_cast<unsigned char>(s[i]); }

// Decoder of the tables indexed by lead * 256 + trail - 0x8140 (GBK, UHC):
// a byte below 0x80 is one unit when it lies in ascii_low..ascii_high, any
// other byte leads a pair whose code must lie in 0x8140..last_code and hold a
// character (positions without one hold 0xFFFD).
inline int decode_double_byte(std::string_view src, std::u16string& dst, const uint16_t* to_ucs,
                              unsigned last_code, unsigned ascii_low, unsigned ascii_high) {
    dst.clear();
    src = before_nul(src);
    dst.reserve(src.size());
    for (size_t i = 0; i < src.size(); ++i) {
        unsigned b = byte_at(src, i);
        if (b < 0x80) {
            if (b < ascii_low || b > ascii_high) return fail(dst);
            dst.push_back(static_cast<char16_t>(b));
            continue;
        }
        if (i + 1 >= src.size()) return fail(dst);
        unsigned code = b << 8 | byte_at(src, ++i);
        if (code < 0x8140 || code > last_code) return fail(dst);
        char16_t u = static_cast<char16_t>(to_ucs[code - 0x8140]);
        if (u == 0xFFFD) return fail(dst);
        dst.push_back(u);
    }
    return 1;
}

// Encoder of the double-byte tables (GBK, UHC, Big5): every unit below 0x80
// as its byte, any other unit as the lowest code that holds it, lead byte
// first.  U+FFFD, the tables' mark of an empty position, and units without a
// code fail.
template <typename PageMap>
int encode_double_byte(std::u16string_view src, std::string& dst, const PageMap& page_map,
                       const uint16_t* pages) {
    dst.clear();
    src = before_nul(src);
    dst.reserve(src.size() * 2);
    for (char16_t u : src) {
        if (u < 0x80) {
            dst.push_back(static_cast<char>(u));
            continue;
        }
        uint16_t code = u == 0xFFFD ? 0 : reverse_lookup(page_map, pages, u);
        if (code == 0) return fail(dst);
        dst.push_back(static_cast<char>(code >> 8));
        dst.push_back(static_cast<char>(code & 0xFF));
    }
    return 1;
}

}  // namespace nessel::cjk
