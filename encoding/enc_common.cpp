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
    const unsigned run_high = t.same_below - 1;
    size_t i = 0;
    // Blocks of 16 widened at once; a block with a byte from the base up is
    // read again through the table (16 reads without a branch cost less
    // than picking out the few bytes that need it).
    for (; i + 16 <= n; i += 16) {
        if (widen_block(s + i, dst + i, 0, run_high) == 0) continue;
        for (size_t k = i; k < i + 16; ++k) dst[k] = decode[s[k]];
    }
    for (; i < n; ++i) dst[i] = decode[s[i]];
    written = n;
    return 1;
}

int table_encode(const char16_t* src, size_t n, char* dst, size_t& written, const SbcsTable& t) {
    const data::PagedTable<uint8_t> rev = t.encode;
    const unsigned run_high = t.same_below - 1;
    // Every unit of src[from, to) through the index, without a branch per
    // unit; false when one has no byte (0: units are never zero here).
    auto block = [&](size_t from, size_t to) {
        unsigned missing = 0;
        for (size_t k = from; k < to; ++k) {
            const char16_t u = src[k];
            const uint8_t b = rev[u];
            dst[k] = static_cast<char>(b);
            missing |= b == 0;
        }
        return missing == 0;
    };
    size_t i = 0;
    // Blocks of 16 narrowed at once; the units from the base up are then
    // looked up one by one when they are few (text in a Latin script), else
    // the whole block.
    for (; i + 16 <= n; i += 16) {
        unsigned others = narrow_block(src + i, dst + i, 0, run_high);
        if (others == 0) continue;
        bool ok = true;
        if (__builtin_popcount(others) <= 4) {
            for (; others != 0; others &= others - 1) {
                const size_t k = i + static_cast<size_t>(__builtin_ctz(others));
                const char16_t u = src[k];
                const uint8_t b = rev[u];
                dst[k] = static_cast<char>(b);
                ok = ok && b != 0;
            }
        } else {
            ok = block(i, i + 16);
        }
        if (!ok) break;
    }
    if (i + 16 > n && block(i, n)) {
        written = n;
        return 1;
    }
    // A unit without a byte: what came before it is kept.
    while (dst[i] != 0) ++i;
    written = i;
    return 0;
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
