// SPDX-License-Identifier: MIT
// encoding/charsets.h: converter pairs of the legacy charsets (CJK,
// single-byte tables, Vietnamese, Tamil, ISCII), declared from the rows of
// charsets.def.  Each follows the converter contract of encoding.h.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nessel {

// The view pair of every row and, for a CHARSET or CODEC row, the raw pair
// (encoding.h).  A converter listed under two names is declared twice.
#define ENCODING(name, to, from)                         \
    int to(std::string_view src, std::u16string& dst); \
    int from(std::u16string_view src, std::string& dst);
#define CHARSET(name, fn)                                                                \
    ENCODING(name, fn##_to_unicode, fn##_from_unicode)                                   \
    int fn##_to_unicode_raw(const char* src, size_t n, char16_t* dst, size_t& written); \
    int fn##_from_unicode_raw(const char16_t* src, size_t n, char* dst, size_t& written);
#define CODEC(name, fn) CHARSET(name, fn)
#include "encoding/charsets.def"
#undef CODEC
#undef CHARSET
#undef ENCODING

}  // namespace nessel
