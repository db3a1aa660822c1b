// SPDX-License-Identifier: MIT
// encoding/charsets.h: converter pairs of the legacy charsets (CJK,
// single-byte tables, Vietnamese, Tamil, ISCII), as registered in
// encodings.def.  Each follows the converter contract of encoding.h.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nessel {

// Raw forms (encoding.h) of every charset here.
#define NESSEL_RAW_PAIR(fn)                                                              \
    int fn##_to_unicode_raw(const char* src, size_t n, char16_t* dst, size_t& written); \
    int fn##_from_unicode_raw(const char16_t* src, size_t n, char* dst, size_t& written);
NESSEL_RAW_PAIR(iso8859_1)
NESSEL_RAW_PAIR(iso8859_2)
NESSEL_RAW_PAIR(iso8859_3)
NESSEL_RAW_PAIR(iso8859_4)
NESSEL_RAW_PAIR(iso8859_5)
NESSEL_RAW_PAIR(iso8859_6)
NESSEL_RAW_PAIR(iso8859_7)
NESSEL_RAW_PAIR(iso8859_8)
NESSEL_RAW_PAIR(iso8859_9)
NESSEL_RAW_PAIR(thai)
NESSEL_RAW_PAIR(cp1250)
NESSEL_RAW_PAIR(cp1251)
NESSEL_RAW_PAIR(cp1252)
NESSEL_RAW_PAIR(cp1253)
NESSEL_RAW_PAIR(cp1254)
NESSEL_RAW_PAIR(cp1255)
NESSEL_RAW_PAIR(cp1256)
NESSEL_RAW_PAIR(cp1257)
NESSEL_RAW_PAIR(cp1258)
NESSEL_RAW_PAIR(big5)
NESSEL_RAW_PAIR(gbk)
NESSEL_RAW_PAIR(sjis)
NESSEL_RAW_PAIR(eucjp)
NESSEL_RAW_PAIR(jis)
NESSEL_RAW_PAIR(ksc)
NESSEL_RAW_PAIR(vni)
NESSEL_RAW_PAIR(tcvn3)
NESSEL_RAW_PAIR(tab)
NESSEL_RAW_PAIR(tam)
NESSEL_RAW_PAIR(dev)
NESSEL_RAW_PAIR(tlg)
NESSEL_RAW_PAIR(knd)
#undef NESSEL_RAW_PAIR

// Single-byte tables (enc_iso8859.cpp, enc_window.cpp) with Thai.
int iso8859_1_to_unicode(std::string_view src, std::u16string& dst);
int iso8859_1_from_unicode(std::u16string_view src, std::string& dst);
int iso8859_2_to_unicode(std::string_view src, std::u16string& dst);
int iso8859_2_from_unicode(std::u16string_view src, std::string& dst);
int iso8859_3_to_unicode(std::string_view src, std::u16string& dst);
int iso8859_3_from_unicode(std::u16string_view src, std::string& dst);
int iso8859_4_to_unicode(std::string_view src, std::u16string& dst);
int iso8859_4_from_unicode(std::u16string_view src, std::string& dst);
int iso8859_5_to_unicode(std::string_view src, std::u16string& dst);
int iso8859_5_from_unicode(std::u16string_view src, std::string& dst);
int iso8859_6_to_unicode(std::string_view src, std::u16string& dst);
int iso8859_6_from_unicode(std::u16string_view src, std::string& dst);
int iso8859_7_to_unicode(std::string_view src, std::u16string& dst);
int iso8859_7_from_unicode(std::u16string_view src, std::string& dst);
int iso8859_8_to_unicode(std::string_view src, std::u16string& dst);
int iso8859_8_from_unicode(std::u16string_view src, std::string& dst);
int iso8859_9_to_unicode(std::string_view src, std::u16string& dst);
int iso8859_9_from_unicode(std::u16string_view src, std::string& dst);
int thai_to_unicode(std::string_view src, std::u16string& dst);
int thai_from_unicode(std::u16string_view src, std::string& dst);
int cp1250_to_unicode(std::string_view src, std::u16string& dst);
int cp1250_from_unicode(std::u16string_view src, std::string& dst);
int cp1251_to_unicode(std::string_view src, std::u16string& dst);
int cp1251_from_unicode(std::u16string_view src, std::string& dst);
int cp1252_to_unicode(std::string_view src, std::u16string& dst);
int cp1252_from_unicode(std::u16string_view src, std::string& dst);
int cp1253_to_unicode(std::string_view src, std::u16string& dst);
int cp1253_from_unicode(std::u16string_view src, std::string& dst);
int cp1254_to_unicode(std::string_view src, std::u16string& dst);
int cp1254_from_unicode(std::u16string_view src, std::string& dst);
int cp1255_to_unicode(std::string_view src, std::u16string& dst);
int cp1255_from_unicode(std::u16string_view src, std::string& dst);
int cp1256_to_unicode(std::string_view src, std::u16string& dst);
int cp1256_from_unicode(std::u16string_view src, std::string& dst);
int cp1257_to_unicode(std::string_view src, std::u16string& dst);
int cp1257_from_unicode(std::u16string_view src, std::string& dst);
int cp1258_to_unicode(std::string_view src, std::u16string& dst);
int cp1258_from_unicode(std::u16string_view src, std::string& dst);

// CJK multibyte charsets.
int big5_to_unicode(std::string_view src, std::u16string& dst);
int big5_from_unicode(std::u16string_view src, std::string& dst);
int gbk_to_unicode(std::string_view src, std::u16string& dst);
int gbk_from_unicode(std::u16string_view src, std::string& dst);
int sjis_to_unicode(std::string_view src, std::u16string& dst);
int sjis_from_unicode(std::u16string_view src, std::string& dst);
int eucjp_to_unicode(std::string_view src, std::u16string& dst);
int eucjp_from_unicode(std::u16string_view src, std::string& dst);
int jis_to_unicode(std::string_view src, std::u16string& dst);
int jis_from_unicode(std::u16string_view src, std::string& dst);
int ksc_to_unicode(std::string_view src, std::u16string& dst);
int ksc_from_unicode(std::u16string_view src, std::string& dst);

// Vietnamese (enc_viet.cpp).
int vni_to_unicode(std::string_view src, std::u16string& dst);
int vni_from_unicode(std::u16string_view src, std::string& dst);
int tcvn3_to_unicode(std::string_view src, std::u16string& dst);
int tcvn3_from_unicode(std::u16string_view src, std::string& dst);

// Tamil (enc_tm99.cpp): the results are counts of units / bytes written.
int tab_to_unicode(std::string_view src, std::u16string& dst);
int tab_from_unicode(std::u16string_view src, std::string& dst);
int tam_to_unicode(std::string_view src, std::u16string& dst);
int tam_from_unicode(std::u16string_view src, std::string& dst);

// ISCII (enc_iscii.cpp).
int dev_to_unicode(std::string_view src, std::u16string& dst);
int dev_from_unicode(std::u16string_view src, std::string& dst);
int tlg_to_unicode(std::string_view src, std::u16string& dst);
int tlg_from_unicode(std::u16string_view src, std::string& dst);
int knd_to_unicode(std::string_view src, std::u16string& dst);
int knd_from_unicode(std::u16string_view src, std::string& dst);

}  // namespace nessel
