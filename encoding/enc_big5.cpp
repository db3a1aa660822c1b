// SPDX-License-Identifier: MIT
// encoding/enc_big5.cpp: "Big5" <-> UTF-16.
// Table: data/big5.h (code page 950 arrangement with its own symbol mappings,
// the ETEN block C6A1..C8FE empty).  A pair (lead 0xA1..0xFE, trail 0x40..0x7E
// or 0xA1..0xFE) indexes (lead - 0xA1) * 157 + trail offset; single bytes must
// be printable ASCII 0x21..0x7E on decoding.
#include <array>
#include <cstdint>

#include "data/big5.h"
#include "encoding/charsets.h"
#include "encoding/enc_cjk.h"
#include "encoding/encoding.h"

namespace nessel {
namespace {
constexpr unsigned kBig5Last = 13938;  // index of 0xF9DC

// The offset of every trail byte in its row, 0xFF for a byte that is no trail.
constexpr auto kTrailOffset = [] {
    std::array<uint8_t, 256> t{};
    for (unsigned b = 0; b < 256; ++b)
        t[b] = b >= 0x40 && b <= 0x7E ? uint8_t(b - 0x40) : b >= 0xA1 && b <= 0xFE ? uint8_t(b - 0x62) : 0xFF;
    return t;
}();
}  // namespace

int big5_to_unicode_raw(const char* src, size_t n, char16_t* dst, size_t& written) {
    const auto* s = reinterpret_cast<const unsigned char*>(src);
    written = 0;
    size_t i = 0, o = 0;
    while (i < n) {
        const unsigned b = s[i];
        if (b < 0x80) {
            // Controls, the space and DEL fail.
            const size_t k = widen_run(s + i, n - i, dst + o, 0x21, 0x7E);
            if (k == 0) return 0;
            i += k;
            o += k;
            continue;
        }
        if (b < 0xA1 || b > 0xFE || i + 1 >= n) return 0;
        const unsigned off = kTrailOffset[s[i + 1]];
        const unsigned index = (b - 0xA1) * 157 + off;
        if (off == 0xFF || index > kBig5Last) return 0;
        const char16_t u = data::big5_to_ucs[index];
        if (u == 0xFFFD) return 0;
        dst[o++] = u;
        i += 2;
    }
    written = o;
    return 1;
}

// Every ASCII unit passes, controls and space included.
int big5_from_unicode_raw(const char16_t* src, size_t n, char* dst, size_t& written) {
    return cjk::encode_double_byte(src, n, dst, written, data::ucs_to_big5);
}

int big5_to_unicode(std::string_view src, std::u16string& dst) {
    return to_unicode_via_raw<big5_to_unicode_raw>(until_zero(src), dst);
}

int big5_from_unicode(std::u16string_view src, std::string& dst) {
    return from_unicode_via_raw<big5_from_unicode_raw, 2>(until_zero(src), dst);
}

}  // namespace nessel
