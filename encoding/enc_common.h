// SPDX-License-Identifier: MIT
// encoding/enc_common.h: the common converters of the single-byte table
// charsets.  A table holds the characters of the bytes base..0xFF; bytes
// below the base stand for the code point of the same value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nessel {

// The converters' own view of a table, derived from it at compile time: the
// character of every byte, and a reverse index in which the bytes below the
// base stand for themselves, so that encoding a unit is two reads and no
// comparison with the base.
template <size_t RevBytes>
struct SbcsIndex {
    char16_t decode[256];         // byte -> unit
    uint8_t page[256];            // unit >> 8 -> page of rev; page 0 maps nothing
    uint8_t rev[RevBytes + 512];  // page 1: unit 0x00..0xFF; then the table's pages
    unsigned same_below;          // bytes and units below this stand for themselves
};

template <size_t RevBytes>
constexpr SbcsIndex<RevBytes> make_sbcs_index(const char16_t* to_ucs, unsigned base,
                                              const uint8_t* rev_page,
                                              const uint8_t (&rev)[RevBytes]) {
    SbcsIndex<RevBytes> x{};
    for (unsigned b = 0; b < 256; ++b) x.decode[b] = b < base ? char16_t(b) : to_ucs[b - base];
    for (unsigned hi = 1; hi < 256; ++hi) x.page[hi] = rev_page[hi] == 0 ? 0 : uint8_t(rev_page[hi] + 1);
    x.page[0] = 1;
    for (unsigned lo = 0; lo < 256; ++lo)
        x.rev[256 + lo] = lo < base ? uint8_t(lo)
                          : rev_page[0] == 0 ? uint8_t(0)
                                             : rev[(rev_page[0] - 1) * 256u + lo];
    for (size_t i = 0; i < RevBytes; ++i) x.rev[512 + i] = rev[i];
    x.same_below = base;
    while (x.same_below < 256 && x.decode[x.same_below] == x.same_below &&
           x.rev[256 + x.same_below] == x.same_below)
        ++x.same_below;
    return x;
}

struct SbcsTable {
    const char16_t* to_ucs;   // 256 - base entries: byte base + i -> to_ucs[i]
    unsigned base;            // 0x30..0xFF
    const uint8_t* rev_page;  // 256 entries: unit >> 8 -> page number, 0 = none
    const uint8_t* rev;       // pages of 256 bytes: unit & 0xFF -> byte, 0 = none
    const char16_t* decode = nullptr;   // SbcsIndex::decode
    const uint8_t* enc_page = nullptr;  // SbcsIndex::page
    const uint8_t* enc_rev = nullptr;   // SbcsIndex::rev
    unsigned same_below = 0;            // SbcsIndex::same_below
};

// The raw forms (encoding.h): one unit per byte, one byte per unit.
int table_decode(const char* src, size_t n, char16_t* dst, size_t& written, const SbcsTable& t);
int table_encode(const char16_t* src, size_t n, char* dst, size_t& written, const SbcsTable& t);
// Decodes every byte; never fails.  Returns 1.
int table_to_unicode(std::string_view src, std::u16string& dst, const SbcsTable& t);
// Encodes through table_find; returns 0 at the first unit without a byte
// (dst then holds the bytes converted before it).
int table_from_unicode(std::u16string_view src, std::string& dst, const SbcsTable& t);
// The lowest byte whose table entry equals u, or 0 when none does (the bytes
// below the base are not searched).  One lookup in the reverse index.
inline uint8_t table_find(char16_t u, const SbcsTable& t) {
    const unsigned page = t.rev_page[u >> 8];
    return page == 0 ? uint8_t{0} : t.rev[(page - 1) * 256u + (u & 0xFFu)];
}

// The table of "iso8859-<part>" (1..9) and of "cp<codepage>" (1250..1258);
// nullptr for any other number.
const SbcsTable* iso8859_table(unsigned part);
const SbcsTable* cp125x_table(unsigned codepage);

}  // namespace nessel

// A table charset from its generated data (data::NAME_to_ucs, _base,
// _rev_page, _rev): NESSEL_SBCS_TABLE(NAME) defines its table k_NAME (inside
// an unnamed namespace), NESSEL_SBCS_CONVERTERS(NAME) its four converters.
#define NESSEL_SBCS_TABLE(n)                                                               \
    constexpr auto x_##n =                                                                 \
        make_sbcs_index(data::n##_to_ucs, data::n##_base, data::n##_rev_page, data::n##_rev); \
    constexpr SbcsTable k_##n{data::n##_to_ucs, data::n##_base, data::n##_rev_page,       \
                              data::n##_rev,    x_##n.decode,   x_##n.page,              \
                              x_##n.rev,        x_##n.same_below};
#define NESSEL_SBCS_CONVERTERS(n)                                                         \
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
