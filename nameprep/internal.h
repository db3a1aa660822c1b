// SPDX-License-Identifier: MIT
// nameprep/internal.h: the buffer-level steps behind the string functions of
// nameprep.h.  The pipeline runs them on fixed per-call arrays; each refuses
// (returns kOverflow) instead of writing past the capacity it is given.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace nessel::prep_detail {

inline constexpr size_t kOverflow = SIZE_MAX;

// One bit per BMP unit, set for the units that the mapping, normalization
// and ideographic-stop steps leave as they are: no mapping entry, stable
// under normalization, not U+3002.
extern const std::array<uint64_t, 0x10000 / 64> kUntouchedUnits;
inline bool steps_leave_unit(char16_t c) { return (kUntouchedUnits[c >> 6] >> (c & 63)) & 1; }

// Mapping of n units into out (capacity cap units, no terminator written).
size_t map_units(const char16_t* in, size_t n, char16_t* out, size_t cap);
// Full decomposition of n units into out, then canonical reordering.
size_t decompose_units(const char16_t* in, size_t n, char16_t* out, size_t cap, uint32_t flags);
// Canonical composition in place; returns the new length (never longer).
size_t compose_units(char16_t* s, size_t n);
// The pipeline behind name_prep_to; shortcut false runs every step even
// where they provably leave the name unchanged (for tests).
uint32_t prepare(std::u16string_view in, char16_t* out, size_t out_capacity, uint32_t flags,
                 size_t& out_len, bool shortcut);

}  // namespace nessel::prep_detail
