// SPDX-License-Identifier: MIT
// encoding/enc_common.cpp: the table converters shared by the ISO 8859 and
// Windows code-page charsets.  Decoding is one comparison and one table read
// per byte; encoding one reverse-index lookup per unit.  Runs of bytes (units)
// below the table's base that are also below 0x80 are copied in wide steps.
#include "encoding/enc_common.h"

#include "encoding/ascii_run.h"
#include "encoding/encoding.h"

namespace nessel {

int table_decode(const char* src, size_t n, char16_t* dst, size_t& written, const SbcsTable& t) {
    const auto* s = reinterpret_cast<const unsigned char*>(src);
    const char16_t* decode = t.decode;
    const unsigned run_high = (t.base < 0x80 ? t.base : 0x80) - 1;
    size_t i = 0;
    // Blocks of 16: bytes below the base and 0x80 at once, else every byte of
    // the block through the table (which maps those bytes to themselves too).
    for (; i + 16 <= n; i += 16) {
        if (widen_run(s + i, 16, dst + i, 0, run_high) == 16) continue;
        for (size_t k = i; k < i + 16; ++k) dst[k] = decode[s[k]];
    }
    for (; i < n; ++i) dst[i] = decode[s[i]];
    written = n;
    return 1;
}

int table_encode(const char16_t* src, size_t n, char* dst, size_t& written, const SbcsTable& t) {
    const uint8_t* page = t.enc_page;
    const uint8_t* rev = t.enc_rev;
    const unsigned run_high = (t.base < 0x80 ? t.base : 0x80) - 1;
    // A unit's byte, 0 when it has none (units are never zero here).
    auto one = [&](size_t k) {
        const char16_t u = src[k];
        const uint8_t b = rev[page[u >> 8] * 256u + (u & 0xFFu)];
        dst[k] = static_cast<char>(b);
        return b != 0;
    };
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        if (narrow_run(src + i, 16, dst + i, 0, run_high) == 16) continue;
        for (size_t k = i; k < i + 16; ++k)
            if (!one(k)) {
                written = k;  // the bytes converted before it
                return 0;
            }
    }
    for (; i < n; ++i)
        if (!one(i)) {
            written = i;
            return 0;
        }
    written = n;
    return 1;
}

int table_to_unicode(std::string_view src, std::u16string& dst, const SbcsTable& t) {
    dst.resize(src.size() + 1);
    size_t written = 0;
    const int r = table_decode(src.data(), src.size(), dst.data(), written, t);
    dst.resize(written);
    return r;
}

int table_from_unicode(std::u16string_view src, std::string& dst, const SbcsTable& t) {
    dst.resize(src.size() + 1);
    size_t written = 0;
    const int r = table_encode(src.data(), src.size(), dst.data(), written, t);
    dst.resize(written);
    return r;
}

}  // namespace nessel
