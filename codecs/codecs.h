// SPDX-License-Identifier: MIT
// codecs/codecs.h: the list of every encoding and ACE codec the library
// registers, and the conversions through the registry that hold the ACE
// settings steady for a whole call.
//
// This sits above both the charsets (encoding/) and the ACE codecs (ace/):
// the registry itself (encoding/encoding.h) knows no converter by name, so
// the codecs can look entries up in it without a cycle.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "encoding/encoding.h"

namespace nessel {

// Registers every encoding of encodings.def in order; 1 when all succeeded.
[[nodiscard]] int register_all_encodings();

// Converts through the registry like the exported dispatch: 0 and an empty
// dst for an unknown enctype or a failing converter.
[[nodiscard]] int encoding_to_unicode(uint32_t enctype, std::string_view src, std::u16string& dst);
[[nodiscard]] int unicode_to_encoding(uint32_t enctype, std::u16string_view src, std::string& dst);

}  // namespace nessel
