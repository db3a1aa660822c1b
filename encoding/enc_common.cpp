// SPDX-License-Identifier: MIT
// encoding/enc_common.cpp: the table converters shared by the ISO 8859 and
// Windows code-page charsets.  Decoding is one comparison and one table read
// per byte; encoding one reverse-index lookup per unit.
#include "encoding/enc_common.h"

namespace nessel {

int table_to_unicode(std::string_view src, std::u16string& dst, const SbcsTable& t) {
    dst.clear();
    dst.resize(src.size());
    const unsigned base = t.base;
    for (size_t i = 0; i < src.size(); ++i) {
        const unsigned b = static_cast<unsigned char>(src[i]);
        dst[i] = b < base ? static_cast<char16_t>(b) : t.to_ucs[b - base];
    }
    return 1;
}

int table_from_unicode(std::u16string_view src, std::string& dst, const SbcsTable& t) {
    dst.clear();
    dst.resize(src.size());
    const unsigned base = t.base;
    for (size_t i = 0; i < src.size(); ++i) {
        const char16_t u = src[i];
        if (u < base) {
            dst[i] = static_cast<char>(u);
            continue;
        }
        const uint8_t b = table_find(u, t);
        if (b == 0) {
            dst.resize(i);
            return 0;
        }
        dst[i] = static_cast<char>(b);
    }
    return 1;
}

}  // namespace nessel
