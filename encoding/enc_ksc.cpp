// SPDX-License-Identifier: MIT
// encoding/enc_ksc.cpp: "ksc" / "EUC-KR" <-> UTF-16 (Unified Hangul Code).
// Table: data/ksc.h (code page 949 without A2E6 and A2E7), indexed by
// lead * 256 + trail - 0x8140 for codes 0x8140..0xFDFF.  Every byte below
// 0x80 passes both ways, controls and space included.
#include "data/ksc.h"
#include "encoding/charsets.h"
#include "encoding/enc_cjk.h"
#include "encoding/encoding.h"

namespace nessel {

int ksc_to_unicode_raw(const char* src, size_t n, char16_t* dst, size_t& written) {
    return cjk::decode_double_byte(src, n, dst, written, data::ksc_to_ucs, 0xFDFF, 0x00, 0x7F);
}

int ksc_from_unicode_raw(const char16_t* src, size_t n, char* dst, size_t& written) {
    return cjk::encode_double_byte(src, n, dst, written, data::ucs_to_ksc);
}

int ksc_to_unicode(std::string_view src, std::u16string& dst) {
    return to_unicode_via_raw<ksc_to_unicode_raw>(until_zero(src), dst);
}

int ksc_from_unicode(std::u16string_view src, std::string& dst) {
    return from_unicode_via_raw<ksc_from_unicode_raw, 2>(until_zero(src), dst);
}

}  // namespace nessel
