// SPDX-License-Identifier: MIT
// nameprep/testing.h: the string-level forms of the nameprep steps and the
// raw table views.  The library runs the buffer-level pipeline of
// nameprep.h; these exist so that the tests can check each step and each
// table on its own, and only the tests include this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "nameprep/nameprep.h"

namespace nessel {

// name_prep_to into a string: returns 0 and replaces out on success;
// otherwise returns 203..207 and leaves out untouched.  out_capacity counts
// units including the terminator.
[[nodiscard]] uint32_t name_prep(std::u16string_view in, std::u16string& out, uint32_t flags,
                                 size_t out_capacity);

// Appends each unit's mapping-table replacement (none for B.1 entries) or
// the unit itself; one pass, replacements are not mapped again.  1 on
// success, 0 when the mapping index is not built.
[[nodiscard]] int map_name(std::u16string_view name, std::u16string& out);
// The replacement units of c; units is null when c has no entry.
struct MapEntry {
    const char16_t* units;  // null when the unit has no entry
    size_t length;
};
MapEntry map_entry(char16_t c);
size_t mapping_table_count();

// Normalization form KC over Unicode 3.1 (BMP, units treated singly); under
// kPrepLocalRules also the Thai reordering.  1 on success, 0 when the
// tables are not built.  An empty name gives an empty result.
[[nodiscard]] int normalize_nfkc(std::u16string_view name, std::u16string& out, uint32_t flags);
// Full recursive decomposition (canonical before compatibility, Hangul
// algorithmically) followed by canonical_reorder.
[[nodiscard]] int decompose_full(std::u16string_view name, std::u16string& out, uint32_t flags);
// Full decomposition of one unit (Hangul syllables excluded); empty when
// the unit does not decompose.
std::u16string_view full_decomposition(char16_t c);

// The one-level source lists: entries "composite, decomposition..., 0",
// the sequence ended by a lone 0.
std::u16string_view canonical_list();
std::u16string_view compatibility_list();
uint16_t composition_first_count();
uint16_t composition_second_count();

// variant_lookup's answer found by walking c's bucket chain.
char16_t variant_lookup_chain(const VariantTable* table, char16_t c);

}  // namespace nessel
