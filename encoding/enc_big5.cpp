// SPDX-License-Identifier: MIT
// encoding/enc_big5.cpp: "Big5" <-> UTF-16.
// Table: data/big5.h (code page 950 arrangement with its own symbol mappings,
// the ETEN block C6A1..C8FE empty).  A pair (lead 0xA1..0xFE, trail 0x40..0x7E
// or 0xA1..0xFE) indexes (lead - 0xA1) * 157 + trail offset; single bytes must
// be printable ASCII 0x21..0x7E on decoding.
#include "data/big5.h"
#include "encoding/charsets.h"
#include "encoding/enc_cjk.h"

namespace nessel {
namespace {
constexpr unsigned kBig5Last = 13938;  // index of 0xF9DC
}  // namespace

int big5_to_unicode(std::string_view src, std::u16string& dst) {
    dst.clear();
    src = cjk::before_nul(src);
    dst.reserve(src.size());
    for (size_t i = 0; i < src.size(); ++i) {
        unsigned b = cjk::byte_at(src, i);
        if (b < 0x80) {
            if (b < 0x21 || b > 0x7E) return cjk::fail(dst);  // controls, space, DEL
            dst.push_back(static_cast<char16_t>(b));
            continue;
        }
        if (b < 0xA1 || b > 0xFE || i + 1 >= src.size()) return cjk::fail(dst);
        unsigned t = cjk::byte_at(src, ++i);
        unsigned off;
        if (t >= 0x40 && t <= 0x7E) off = t - 0x40;
        else if (t >= 0xA1 && t <= 0xFE) off = t - 0x62;
        else return cjk::fail(dst);
        unsigned index = (b - 0xA1) * 157 + off;
        if (index > kBig5Last) return cjk::fail(dst);
        char16_t u = data::big5_to_ucs[index];
        if (u == 0xFFFD) return cjk::fail(dst);
        dst.push_back(u);
    }
    return 1;
}

// Every ASCII unit passes, controls and space included.
int big5_from_unicode(std::u16string_view src, std::string& dst) {
    return cjk::encode_double_byte(src, dst, data::ucs_to_big5_page, data::ucs_to_big5);
}

}  // namespace nessel
