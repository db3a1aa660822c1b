// SPDX-License-Identifier: MIT
// encoding/enc_window.cpp: "cp1250" to "cp1258"
// through the common table converters.  Tables: data/sbcs_cp125x.h, generated from
// the codec mappings in tools/gen/sources/sbcs/ with this library's edition differences.
#include "data/sbcs_cp125x.h"
#include "encoding/charsets.h"
#include "encoding/enc_common.h"

namespace nessel {
namespace {

#define NESSEL_SBCS(n) NESSEL_SBCS_TABLE(n)
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

#define NESSEL_SBCS(n) NESSEL_SBCS_CONVERTERS(n)
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
