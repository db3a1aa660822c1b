// SPDX-License-Identifier: MIT
// encoding/enc_cjk.h: small helpers shared by the CJK converters
// (enc_big5, enc_gb, enc_ksc).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/paged_table.h"
#include "encoding/ascii_run.h"

namespace nessel::cjk {

// Decoder of the tables indexed by lead * 256 + trail - 0x8140 (GBK, UHC):
// a byte below 0x80 is one unit when it lies in ascii_low..ascii_high, any
// other byte leads a pair whose code must lie in 0x8140..last_code and hold a
// character (positions without one hold 0xFFFD).  Raw form (encoding.h);
// nothing is kept on failure.
inline int decode_double_byte(const char* src, size_t n, char16_t* dst, size_t& written,
                              const uint16_t* to_ucs, unsigned last_code, unsigned ascii_low,
                              unsigned ascii_high) {
    const auto* s = reinterpret_cast<const unsigned char*>(src);
    written = 0;
    size_t i = 0, o = 0;
    while (i < n) {
        const unsigned b = s[i];
        if (b < 0x80) {
            const size_t k = widen_run(s + i, n - i, dst + o, ascii_low, ascii_high);
            if (k == 0) return 0;
            i += k;
            o += k;
            continue;
        }
        if (i + 1 >= n) return 0;
        const unsigned code = b << 8 | s[i + 1];
        if (code < 0x8140 || code > last_code) return 0;
        const char16_t u = static_cast<char16_t>(to_ucs[code - 0x8140]);
        if (u == 0xFFFD) return 0;
        dst[o++] = u;
        i += 2;
    }
    written = o;
    return 1;
}

// Encoder of the double-byte tables (GBK, UHC, Big5): every unit below 0x80
// as its byte, any other unit as the lowest code that holds it, lead byte
// first (rev: the reverse index of the generated table).  U+FFFD, the
// tables' mark of an empty position, and units without a code fail.  Raw
// form, two bytes per unit at most; nothing kept on failure.
template <typename PageIndex>
int encode_double_byte(const char16_t* src, size_t n, char* dst, size_t& written,
                       data::PagedTable<uint16_t, PageIndex> rev) {  // by value: its pointers stay in registers
    written = 0;
    size_t i = 0, o = 0;
    while (i < n) {
        const char16_t u = src[i];
        if (u < 0x80) {
            const size_t k = narrow_run(src + i, n - i, dst + o, 0, 0x7F);
            i += k;
            o += k;
            continue;
        }
        const uint16_t code = u == 0xFFFD ? 0 : rev[u];
        if (code == 0) return 0;
        dst[o] = static_cast<char>(code >> 8);
        dst[o + 1] = static_cast<char>(code & 0xFF);
        o += 2;
        ++i;
    }
    written = o;
    return 1;
}

}  // namespace nessel::cjk
