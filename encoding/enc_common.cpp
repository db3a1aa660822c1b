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
    const unsigned base = t.base;
    const unsigned run_high = (base < 0x80 ? base : 0x80) - 1;
    size_t i = 0;
    while (i < n) {
        i += widen_run(s + i, n - i, dst + i, 0, run_high);
        // Up to the next ASCII byte, or 16 bytes, through the table.
        for (size_t stop = i + 16 < n ? i + 16 : n; i < stop; ++i) {
            const unsigned b = s[i];
            if (b <= run_high) break;
            dst[i] = b < base ? static_cast<char16_t>(b) : t.to_ucs[b - base];
        }
    }
    written = n;
    return 1;
}

int table_encode(const char16_t* src, size_t n, char* dst, size_t& written, const SbcsTable& t) {
    const unsigned base = t.base;
    const unsigned run_high = (base < 0x80 ? base : 0x80) - 1;
    size_t i = 0;
    while (i < n) {
        i += narrow_run(src + i, n - i, dst + i, 0, run_high);
        for (size_t stop = i + 16 < n ? i + 16 : n; i < stop; ++i) {
            const char16_t u = src[i];
            if (u <= run_high) break;
            if (u < base) {
                dst[i] = static_cast<char>(u);
                continue;
            }
            const uint8_t b = table_find(u, t);
            if (b == 0) {
                written = i;  // the bytes converted before it
                return 0;
            }
            dst[i] = static_cast<char>(b);
        }
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
