// SPDX-License-Identifier: MIT
// encoding/enc_thai.cpp: "iso8859-11" / "tsc" (Thai), computed without a
// table: bytes 0xA0..0xFF <-> U+0E00..U+0E5F in order (TIS-620 for the
// letters; 0xA0 is U+0E00, not NBSP).
#include <array>

#include "encoding/charsets.h"
#include "encoding/ascii_run.h"
#include "encoding/encoding.h"

namespace nessel {

// Thai: bytes from 0xA0 are U+0E00 + (byte - 0xA0), lower bytes their own
// code point.  Blocks of 16 below 0xA0 are copied at once; other blocks go
// through a 256-unit table (decoding) or the arithmetic (encoding).
constexpr auto kThaiDecode = [] {
    std::array<char16_t, 256> t{};
    for (unsigned b = 0; b < 256; ++b) t[b] = static_cast<char16_t>(b < 0xA0 ? b : 0x0E00 + (b - 0xA0));
    return t;
}();

int thai_to_unicode_raw(const char* src, size_t n, char16_t* dst, size_t& written) {
    const auto* s = reinterpret_cast<const unsigned char*>(src);
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        if (widen_run(s + i, 16, dst + i, 0, 0x9F) == 16) continue;
        for (size_t k = i; k < i + 16; ++k) dst[k] = kThaiDecode[s[k]];
    }
    for (; i < n; ++i) dst[i] = kThaiDecode[s[i]];
    written = n;
    return 1;
}

int thai_from_unicode_raw(const char16_t* src, size_t n, char* dst, size_t& written) {
    // Every unit of src[from, to), without a branch per unit; false when one
    // has no byte (0: units are never zero here).
    auto block = [&](size_t from, size_t to) {
        unsigned missing = 0;
        for (size_t k = from; k < to; ++k) {
            const unsigned u = src[k];
            const unsigned b = u < 0xA0 ? u : (u - 0x0E00 < 0x60 ? u - 0x0E00 + 0xA0 : 0);
            dst[k] = static_cast<char>(b);
            missing |= b == 0;
        }
        return missing == 0;
    };
    size_t i = 0;
    for (; i + 16 <= n; i += 16)
        if (narrow_run(src + i, 16, dst + i, 0, 0x9F) != 16 && !block(i, i + 16)) break;
    if (i + 16 > n && block(i, n)) {
        written = n;
        return 1;
    }
    while (dst[i] != 0) ++i;  // the bytes converted before the failing unit
    written = i;
    return 0;
}

int thai_to_unicode(std::string_view src, std::u16string& dst) {
    return to_unicode_via_raw<thai_to_unicode_raw>(src, dst);
}

int thai_from_unicode(std::u16string_view src, std::string& dst) {
    return from_unicode_via_raw<thai_from_unicode_raw, 1>(src, dst);
}

}  // namespace nessel
