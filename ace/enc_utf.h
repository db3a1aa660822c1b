// SPDX-License-Identifier: MIT
// ace/enc_utf.h: the ACE codecs and Unicode transfer forms.  Each follows the
// converter contract of encoding/encoding.h: to_unicode turns ACE text into
// UTF-16, from_unicode turns UTF-16 into ACE text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

#include "base/ascii.h"
#include "base/limits.h"

namespace nessel {

// The prefixed codecs (RACE, LACE, DUDE, Punycode) use their prefix setting
// as it stands: a setting shorter than four characters is written, compared
// and skipped with its own length, and an empty one makes every label count
// as encoded on decoding.

// Working limits shared by the codecs.
inline constexpr size_t kWorkBytes = kLabelBuffer;  // working buffers of the "x" variants
inline constexpr size_t kMaxLabelUnits = kLabelBuffer - 1;  // one label on encoding
inline constexpr size_t kMaxLabelBytes = kLabelBuffer - 1;  // one label on decoding
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
// Reads text as base32 into bytes (appended), most significant bit first.
// Returns false, with bytes unspecified, at the first character outside the
// alphabet.  leftover receives the bits after the last whole byte.
[[nodiscard]] bool base32_decode(std::string_view text, std::string& bytes, unsigned& leftover);

// Calls fn(label, sep) for every label of text cut at "." and "@"; with
// wide_separators also at U+3002 (written ".") and U+FF20 (written "@").
// sep is the separator byte that ended the label, or 0 after the last one.
// Stops at the first fn that returns 0 and returns 0; else returns 1.
template <class CharT, class Fn>
int for_each_label(std::basic_string_view<CharT> text, bool wide_separators, Fn&& fn) {
    size_t pos = 0;
    for (;;) {
        size_t end = pos;
        char sep = 0;
        for (; end < text.size(); ++end) {
            const auto c = static_cast<std::make_unsigned_t<CharT>>(text[end]);
            if (c == '.' || (wide_separators && c == 0x3002)) sep = '.';
            else if (c == '@' || (wide_separators && c == 0xFF20)) sep = '@';
            if (sep != 0) break;
        }
        if (fn(text.substr(pos, end - pos), sep) == 0) return 0;
        if (sep == 0) return 1;
        pos = end + 1;
    }
}

// The converter pair of every codec, declared from the rows of codecs.def.
#define ENCODING(name, to, from)                         \
    int to(std::string_view src, std::u16string& dst); \
    int from(std::u16string_view src, std::string& dst);
#include "ace/codecs.def"
#undef ENCODING

}  // namespace nessel
