// SPDX-License-Identifier: MIT
// ace/enc_utf.h: the ACE codecs and Unicode transfer forms.  Each follows the
// converter contract of encoding/encoding.h: to_unicode turns ACE text into
// UTF-16, from_unicode turns UTF-16 into ACE text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nessel {

// The prefixed codecs (RACE, LACE, DUDE, Punycode) use their prefix setting
// as it stands: a setting shorter than four characters is written, compared
// and skipped with its own length, and an empty one makes every label count
// as encoded on decoding.

// Working limits shared by the codecs.
inline constexpr size_t kWorkBytes = 1024;     // working buffers of the "x" variants
inline constexpr size_t kMaxLabelUnits = 1023;  // one label on encoding
inline constexpr size_t kMaxLabelBytes = 1023;  // one label on decoding
inline constexpr size_t kMaxCompressed = 4095;  // compressed form of one label

// 1 for "0"-"9", "A"-"Z", "a"-"z", "_" and "-".
int is_ldh_char(char16_t u);

// Which family a split or join works for: the prefix written in front of
// every continuation piece ("" for UTF-5) and the piece size.
struct SplitStyle {
    std::string_view prefix;  // family prefix now in force; empty for UTF-5
    size_t piece;             // 61 for "utf5x", 57 for "racex" and "dudex"
    size_t join_skip;         // characters dropped after "-0." on joining: 0 or 4
};
// Cuts every label of more than 63 characters of an encoded text into pieces
// that end in "-0".  Fails (0) when encoded does not fit the 1024-byte
// working buffer.
[[nodiscard]] int split_long_labels(std::string_view encoded, const SplitStyle& style,
                                    std::string& out);
// Removes every "-0." (and, with a prefix, the prefix length that follows).
// Fails (0) when the input does not fit the 1024-byte working buffer.
[[nodiscard]] int join_split_labels(std::string_view text, const SplitStyle& style,
                                    std::string& out);

// Base32 of "race", "lace" and "cidnuc": "a"-"z" then "2"-"7", MSB first.
void base32_encode(std::string_view bytes, std::string& out);
// Value of one base32 character (either letter case), or -1.
int base32_value(char c);

// Punycode ("AMC-Z", "PUNYCODE").
int punycode_to_unicode(std::string_view src, std::u16string& dst);
int punycode_from_unicode(std::u16string_view src, std::string& dst);

// RACE and RACEX.
int race_to_unicode(std::string_view src, std::u16string& dst);
int race_from_unicode(std::u16string_view src, std::string& dst);
int racex_to_unicode(std::string_view src, std::u16string& dst);
int racex_from_unicode(std::u16string_view src, std::string& dst);

}  // namespace nessel
