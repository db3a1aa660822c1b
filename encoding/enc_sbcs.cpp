// SPDX-License-Identifier: MIT
// encoding/enc_sbcs.cpp: the converters of every SBCS row of charsets.def
// ("iso8859-1" to "iso8859-9", "cp1250" to "cp1258"), each the common table
// converters over the table that its row names.  Tables: data/sbcs_iso8859.h
// and data/sbcs_cp125x.h, generated from the codec mappings in
// tools/gen/sources/sbcs/ with this library's edition differences.
#include "data/sbcs_cp125x.h"
#include "data/sbcs_iso8859.h"
#include "encoding/charsets.h"
#include "encoding/enc_common.h"

#define ENCODING(name, to, from)
#define CHARSET(name, fn)
#define CODEC(name, fn)

namespace nessel {
namespace {

// The converters' index of each table, made at compile time.
#define SBCS(name, t)                                                                         \
    constexpr auto x_##t =                                                                    \
        make_sbcs_index(data::t##_to_ucs, data::t##_base, data::t##_rev, data::t##_rev_pages); \
    constexpr SbcsTable k_##t = sbcs_table(data::t##_to_ucs, data::t##_base, x_##t);
#include "encoding/charsets.def"
#undef SBCS

struct NamedTable {
    const char* name;
    const SbcsTable* table;
};
constexpr NamedTable kTables[] = {
#define SBCS(name, t) {name, &k_##t},
#include "encoding/charsets.def"
#undef SBCS
};

const SbcsTable* table_named(std::string_view name) {
    for (const NamedTable& t : kTables)
        if (name == t.name) return t.table;
    return nullptr;
}

}  // namespace

#define SBCS(name, t)                                                                    \
    int t##_to_unicode(std::string_view src, std::u16string& dst) {                      \
        return table_to_unicode(src, dst, k_##t);                                        \
    }                                                                                    \
    int t##_from_unicode(std::u16string_view src, std::string& dst) {                    \
        return table_from_unicode(src, dst, k_##t);                                      \
    }                                                                                    \
    int t##_to_unicode_raw(const char* src, size_t len, char16_t* dst, size_t& written) { \
        return table_decode(src, len, dst, written, k_##t);                              \
    }                                                                                    \
    int t##_from_unicode_raw(const char16_t* src, size_t len, char* dst, size_t& written) { \
        return table_encode(src, len, dst, written, k_##t);                              \
    }
#include "encoding/charsets.def"
#undef SBCS

const SbcsTable* iso8859_table(unsigned part) {
    char name[] = "iso8859-0";
    name[8] = static_cast<char>('0' + part);
    return part >= 1 && part <= 9 ? table_named(name) : nullptr;
}

const SbcsTable* cp125x_table(unsigned codepage) {
    char name[] = "cp1250";
    name[5] = static_cast<char>('0' + (codepage - 1250));
    return codepage >= 1250 && codepage <= 1258 ? table_named(name) : nullptr;
}

}  // namespace nessel

#undef CODEC
#undef CHARSET
#undef ENCODING
