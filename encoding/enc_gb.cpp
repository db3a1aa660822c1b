// SPDX-License-Identifier: MIT
// encoding/enc_gb.cpp: "gb" / "GBK" <-> UTF-16 (the double-byte part of GBK).
// Table: data/gbk.h (code page 936, user-defined areas empty), indexed by
// lead * 256 + trail - 0x8140 for codes 0x8140..0xFE4F.  No separate lead or
// trail test: positions without a character hold 0xFFFD.  Single bytes must
// be 0x20..0x7E on decoding (the space is accepted, unlike Big5).
#include "data/gbk.h"
#include "encoding/charsets.h"
#include "encoding/enc_cjk.h"

namespace nessel {

int gbk_to_unicode(std::string_view src, std::u16string& dst) {
    dst.clear();
    src = cjk::before_nul(src);
    dst.reserve(src.size());
    for (size_t i = 0; i < src.size(); ++i) {
        unsigned b = cjk::byte_at(src, i);
        if (b < 0x80) {
            if (b < 0x20 || b > 0x7E) return cjk::fail(dst);
            dst.push_back(static_cast<char16_t>(b));
            continue;
        }
        if (i + 1 >= src.size()) return cjk::fail(dst);
        unsigned code = b << 8 | cjk::byte_at(src, ++i);
        if (code < 0x8140 || code > 0xFE4F) return cjk::fail(dst);
        char16_t u = data::gbk_to_ucs[code - 0x8140];
        if (u == 0xFFFD) return cjk::fail(dst);
        dst.push_back(u);
    }
    return 1;
}

int gbk_from_unicode(std::u16string_view src, std::string& dst) {
    dst.clear();
    src = cjk::before_nul(src);
    dst.reserve(src.size() * 2);
    for (char16_t u : src) {
        if (u < 0x80) {
            dst.push_back(static_cast<char>(u));
            continue;
        }
        uint16_t code = u == 0xFFFD ? 0 : cjk::reverse_lookup(data::ucs_to_gbk_page, data::ucs_to_gbk, u);
        if (code == 0) return cjk::fail(dst);
        dst.push_back(static_cast<char>(code >> 8));
        dst.push_back(static_cast<char>(code & 0xFF));
    }
    return 1;
}

}  // namespace nessel
