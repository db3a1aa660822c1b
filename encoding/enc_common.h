// SPDX-License-Identifier: MIT
// encoding/enc_common.h: the common converters of the single-byte table
// charsets (the SBCS rows of charsets.def).  A table holds the characters of
// the bytes base..0xFF; bytes below the base stand for the code point of the
// same value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/paged_table.h"

namespace nessel {

// The converters' own view of a table, derived from it at compile time: the
// character of every byte, and a reverse index in which the bytes below the
// base stand for themselves, so that encoding a unit is one paged lookup and
// no comparison with the base.  Pages: 0 maps nothing, 1 holds the units
// 0x00..0xFF, then the generated index's pages 1.. follow.
template <size_t Pages>
struct SbcsIndex {
    char16_t decode[256];              // byte -> unit
    uint8_t page_of[256];              // unit >> 8 -> page
    uint8_t pages[Pages + 1][256];     // unit & 0xFF -> byte, 0 = none
    unsigned same_below;               // bytes and units below this stand for themselves
};

// rev is the generated reverse index of to_ucs; rev_pages its page storage
// (page 0 all zeros), which gives the number of pages.
template <size_t Pages>
constexpr SbcsIndex<Pages> make_sbcs_index(const char16_t* to_ucs, unsigned base,
                                           const data::PagedTable<uint8_t>& rev,
                                           const uint8_t (&rev_pages)[Pages][256]) {
    SbcsIndex<Pages> x{};
    for (unsigned b = 0; b < 256; ++b) x.decode[b] = b < base ? char16_t(b) : to_ucs[b - base];
    for (unsigned hi = 1; hi < 256; ++hi) x.page_of[hi] = rev.page_of[hi] == 0 ? 0 : uint8_t(rev.page_of[hi] + 1);
    x.page_of[0] = 1;
    for (unsigned lo = 0; lo < 256; ++lo) x.pages[1][lo] = lo < base ? uint8_t(lo) : rev[char16_t(lo)];
    for (size_t p = 1; p < Pages; ++p)
        for (unsigned lo = 0; lo < 256; ++lo) x.pages[p + 1][lo] = rev_pages[p][lo];
    x.same_below = base;
    while (x.same_below < 256 && x.decode[x.same_below] == x.same_below &&
           x.pages[1][x.same_below] == x.same_below)
        ++x.same_below;
    return x;
}

struct SbcsTable {
    const char16_t* to_ucs;           // 256 - base entries: byte base + i -> to_ucs[i]
    unsigned base;                    // 0x30..0xFF
    const char16_t* decode;           // SbcsIndex::decode
    data::PagedTable<uint8_t> encode; // SbcsIndex::page_of / pages
    unsigned same_below;              // SbcsIndex::same_below
};

template <size_t Pages>
constexpr SbcsTable sbcs_table(const char16_t* to_ucs, unsigned base, const SbcsIndex<Pages>& x) {
    return {to_ucs, base, x.decode, {x.page_of, x.pages}, x.same_below};
}

// The raw forms (encoding.h): one unit per byte, one byte per unit.
int table_decode(const char* src, size_t n, char16_t* dst, size_t& written, const SbcsTable& t);
int table_encode(const char16_t* src, size_t n, char* dst, size_t& written, const SbcsTable& t);
// Decodes every byte; never fails.  Returns 1.
int table_to_unicode(std::string_view src, std::u16string& dst, const SbcsTable& t);
// Encodes through the reverse index; returns 0 at the first unit without a
// byte (dst then holds the bytes converted before it).
int table_from_unicode(std::u16string_view src, std::string& dst, const SbcsTable& t);

// The table of "iso8859-<part>" (1..9) and of "cp<codepage>" (1250..1258);
// nullptr for any other number.
const SbcsTable* iso8859_table(unsigned part);
const SbcsTable* cp125x_table(unsigned codepage);

}  // namespace nessel
