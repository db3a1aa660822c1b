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
    const unsigned run_high = t.base - 1;
    size_t i = 0;
    // Blocks of 16: bytes below the base (they stand for themselves) at once,
    // else every byte of the block through the table.
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
    const unsigned run_high = t.base - 1;
    // Every unit of src[from, to) through the index, without a branch per
    // unit; false when one has no byte (0: units are never zero here).
    auto block = [&](size_t from, size_t to) {
        unsigned missing = 0;
        for (size_t k = from; k < to; ++k) {
            const char16_t u = src[k];
            const uint8_t b = rev[page[u >> 8] * 256u + (u & 0xFFu)];
            dst[k] = static_cast<char>(b);
            missing |= b == 0;
        }
        return missing == 0;
    };
    size_t i = 0;
    while (i < n) {
        i += narrow_run(src + i, n - i, dst + i, 0, run_high);
        const size_t end = i + 16 < n ? i + 16 : n;
        if (!block(i, end)) {
            // A unit without a byte: what came before it is kept.
            while (dst[i] != 0) ++i;
            written = i;
            return 0;
        }
        i = end;
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
