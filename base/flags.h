// SPDX-License-Identifier: MIT
// base/flags.h: the nameprep option bits, as the library uses them inside.
// The public header repeats them for its callers; api/ checks the two agree.
#pragma once

#include <cstdint>

namespace nessel {

inline constexpr uint32_t kPrepLocalRules = 0x0001;         // local character rules
inline constexpr uint32_t kPrepToSimplified = 0x0002;       // fold to Simplified Chinese
inline constexpr uint32_t kPrepMapIdeographicStop = 0x0004; // ideographic full stops become "."
inline constexpr uint32_t kPrepCheckAllowed = 0x0008;       // check the allowed ranges
inline constexpr uint32_t kPrepJapanesePremap = 0x0010;     // Japanese pre-mapping
inline constexpr uint32_t kPrepDelimiters = 0x0020;         // keep "." and "@" as delimiters
inline constexpr uint32_t kPrepAllowUnderscore = 0x0080;    // "_" allowed in labels
inline constexpr uint32_t kPrepKoreanPremap = 0x0100;       // Korean pre-mapping
inline constexpr uint32_t kPrepToTraditional = 0x0200;      // fold to Traditional Chinese

}  // namespace nessel
