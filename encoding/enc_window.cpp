// SPDX-License-Identifier: MIT
// encoding/enc_window.cpp: "cp1250" to "cp1258"
// through the common table converters.  Tables: data/sbcs_cp125x.h, generated from
// the codec mappings in tools/gen/sources/sbcs/ with this library's edition differences.
#include "data/sbcs_cp125x.h"
#include "encoding/charsets.h"
#include "encoding/enc_common.h"

namespace nessel {
namespace {

#define NESSEL_SBCS(n)                                                                     \
    constexpr auto x_##n =                                                                 \
        make_sbcs_index(data::n##_to_ucs, data::n##_base, data::n##_rev_page, data::n##_rev); \
    constexpr SbcsTable k_##n{data::n##_to_ucs, data::n##_base, data::n##_rev_page,       \
                              data::n##_rev,    x_##n.decode,   x_##n.page,              \
                              x_##n.rev,        x_##n.same_below};
NESSEL_SBCS(cp1250)
NESSEL_SBCS(cp1251)
NESSEL_SBCS(cp1252)
NESSEL_SBCS(cp1253)
NESSEL_SBCS(cp1254)
NESSEL_SBCS(cp1255)
NESSEL_SBCS(cp1256)
NESSEL_SBCS(cp1257)
NESSEL_SBCS(cp1258)
#undef NESSEL_SBCS

}  // namespace

#define NESSEL_SBCS(n)                                                                \
    int n##_to_unicode(std::string_view src, std::u16string& dst) {                   \
        return table_to_unicode(src, dst, k_##n);                                     \
    }                                                                                 \
    int n##_from_unicode(std::u16string_view src, std::string& dst) {                 \
        return table_from_unicode(src, dst, k_##n);                                   \
    }                                                                                 \
    int n##_to_unicode_raw(const char* src, size_t len, char16_t* dst, size_t& written) { \
        return table_decode(src, len, dst, written, k_##n);                           \
    }                                                                                 \
    int n##_from_unicode_raw(const char16_t* src, size_t len, char* dst, size_t& written) { \
        return table_encode(src, len, dst, written, k_##n);                           \
    }
NESSEL_SBCS(cp1250)
NESSEL_SBCS(cp1251)
NESSEL_SBCS(cp1252)
NESSEL_SBCS(cp1253)
NESSEL_SBCS(cp1254)
NESSEL_SBCS(cp1255)
NESSEL_SBCS(cp1256)
NESSEL_SBCS(cp1257)
NESSEL_SBCS(cp1258)
#undef NESSEL_SBCS

const SbcsTable* cp125x_table(unsigned codepage) {
    switch (codepage) {
        case 1250: return &k_cp1250;
        case 1251: return &k_cp1251;
        case 1252: return &k_cp1252;
        case 1253: return &k_cp1253;
        case 1254: return &k_cp1254;
        case 1255: return &k_cp1255;
        case 1256: return &k_cp1256;
        case 1257: return &k_cp1257;
        case 1258: return &k_cp1258;
        default: return nullptr;
    }
}

}  // namespace nessel
