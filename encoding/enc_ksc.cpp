// SPDX-License-Identifier: MIT
// encoding/enc_ksc.cpp: "ksc" / "EUC-KR" <-> UTF-16 (Unified Hangul Code).
// Table: data/ksc.h (code page 949 without A2E6 and A2E7), indexed by
// lead * 256 + trail - 0x8140 for codes 0x8140..0xFDFF.  Every byte below
// 0x80 passes both ways, controls and space included.
#include "data/ksc.h"
#include "encoding/charsets.h"
#include "encoding/enc_cjk.h"

namespace nessel {

int ksc_to_unicode(std::string_view src, std::u16string& dst) {
    dst.clear();
    src = cjk::before_nul(src);
    dst.reserve(src.size());
    for (size_t i = 0; i < src.size(); ++i) {
        unsigned b = cjk::byte_at(src, i);
        if (b < 0x80) {
            dst.push_back(static_cast<char16_t>(b));
            continue;
        }
        if (i + 1 >= src.size()) return cjk::fail(dst);
        unsigned code = b << 8 | cjk::byte_at(src, ++i);
        if (code < 0x8140 || code > 0xFDFF) return cjk::fail(dst);
        char16_t u = data::ksc_to_ucs[code - 0x8140];
        if (u == 0xFFFD) return cjk::fail(dst);
        dst.push_back(u);
    }
    return 1;
}

int ksc_from_unicode(std::u16string_view src, std::string& dst) {
    dst.clear();
    src = cjk::before_nul(src);
    dst.reserve(src.size() * 2);
    for (char16_t u : src) {
        if (u < 0x80) {
            dst.push_back(static_cast<char>(u));
            continue;
        }
        // Nothing below U+00A1 or above U+FFE6 is in the table.
        if (u < 0xA1 || u > 0xFFE6 || u == 0xFFFD) return cjk::fail(dst);
        uint16_t code = cjk::reverse_lookup(data::ucs_to_ksc_page, data::ucs_to_ksc, u);
        if (code == 0) return cjk::fail(dst);
        dst.push_back(static_cast<char>(code >> 8));
        dst.push_back(static_cast<char>(code & 0xFF));
    }
    return 1;
}

}  // namespace nessel
