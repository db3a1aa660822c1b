// SPDX-License-Identifier: MIT
// encoding/enc_gb.cpp: "gb" / "GBK" <-> UTF-16 (the double-byte part of GBK).
// Table: data/gbk.h (code page 936, user-defined areas empty), indexed by
// lead * 256 + trail - 0x8140 for codes 0x8140..0xFE4F.  No separate lead or
// trail test: positions without a character hold 0xFFFD.  Single bytes must
// be 0x20..0x7E on decoding (the space is accepted, unlike Big5).
#include "data/gbk.h"
#include "encoding/charsets.h"
#include "encoding/enc_cjk.h"
#include "encoding/encoding.h"

namespace nessel {

int gbk_to_unicode_raw(const char* src, size_t n, char16_t* dst, size_t& written) {
    return cjk::decode_double_byte(src, n, dst, written, data::gbk_to_ucs, 0xFE4F, 0x20, 0x7E);
}

int gbk_from_unicode_raw(const char16_t* src, size_t n, char* dst, size_t& written) {
    return cjk::encode_double_byte(src, n, dst, written, data::ucs_to_gbk);
}

int gbk_to_unicode(std::string_view src, std::u16string& dst) {
    return to_unicode_via_raw<gbk_to_unicode_raw>(until_zero(src), dst);
}

int gbk_from_unicode(std::u16string_view src, std::string& dst) {
    return from_unicode_via_raw<gbk_from_unicode_raw, 2>(until_zero(src), dst);
}

}  // namespace nessel
