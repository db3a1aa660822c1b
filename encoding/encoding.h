// SPDX-License-Identifier: MIT
// encoding/encoding.h: the registry of named encodings and codecs, and the
// UTF-16 string helpers shared by the converters.
//
// Every encoding and ACE codec is a pair of converters.  A converter takes its
// source as a view of the text before the terminator and REPLACES the content
// of dst with its output (no capacity is involved, so nothing can overflow).
// It returns nonzero for success and 0 for failure.  On failure dst holds what
// the converter leaves visible: the partial output for converters that end
// their output where they stopped, or nothing for those that empty it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nessel {

using ToUnicodeFn = int (*)(std::string_view src, std::u16string& dst);
using FromUnicodeFn = int (*)(std::u16string_view src, std::string& dst);

struct EncodingEntry {
    std::string name;
    uint32_t enctype = 0;
    ToUnicodeFn to_unicode = nullptr;
    FromUnicodeFn from_unicode = nullptr;
};

// Registers name with its pair; returns the enctype, or the existing enctype
// when the name is already registered (letter case ignored), or 0 when the
// name is empty or a converter is missing.
[[nodiscard]] uint32_t register_encoding(std::string_view name, ToUnicodeFn to,
                                         FromUnicodeFn from);
// Registers every encoding of encodings.def in order; 1 when all succeeded.
[[nodiscard]] int register_all_encodings();
// Lookups; nullptr when absent.  An empty name finds nothing.
const EncodingEntry* find_encoding(std::string_view name);
const EncodingEntry* find_encoding_by_type(uint32_t enctype);
// enctype of name, 0 when not registered.
uint32_t encoding_type(std::string_view name);
// Releases every entry; the registry is empty afterwards.
void free_encodings();
// Number of registered entries.
uint32_t encoding_count();

// Converts through the registry like the exported dispatch: 0 and an empty
// dst for an unknown enctype or a failing converter.
[[nodiscard]] int encoding_to_unicode(uint32_t enctype, std::string_view src, std::u16string& dst);
[[nodiscard]] int unicode_to_encoding(uint32_t enctype, std::u16string_view src, std::string& dst);

// The text before the first zero of s: what a reader of the zero-terminated
// string sees.  Every registered converter reads its source through this, so
// a zero that one step of a chain produces (an overlong C0 80 in UTF-8, a RACE
// unit 0x0000, "&#0;") ends the text for the next step.
inline std::string_view until_zero(std::string_view s) {
    return s.substr(0, s.find('\0'));
}
inline std::u16string_view until_zero(std::u16string_view s) {
    return s.substr(0, s.find(u'\0'));
}

// ASCII-only case-insensitive comparison, as used for every encoding name.
bool ascii_iequal(std::string_view a, std::string_view b);
inline char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

// The "ascii" and "none" converters.
int ascii_to_unicode(std::string_view src, std::u16string& dst);
int ascii_from_unicode(std::u16string_view src, std::string& dst);
int none_to_unicode(std::string_view src, std::u16string& dst);
int none_from_unicode(std::u16string_view src, std::string& dst);

// UTF-16 string functions on zero-terminated arrays (C-style, as the exports
// see them).  Null pointers give 0 / nullptr.
size_t wcs_length(const char16_t* s);
char16_t* wcs_copy(char16_t* dst, const char16_t* src);
char16_t* wcs_append(char16_t* dst, const char16_t* src);
char16_t* widen_copy(char16_t* dst, const char* src);
char* narrow_copy(char* dst, const char16_t* src);

// Views and conversions used by the core: each byte becomes one unit
// (zero-extended), each unit its low byte.
std::u16string widen(std::string_view s);
std::string narrow(std::u16string_view s);

}  // namespace nessel
