// SPDX-License-Identifier: MIT
// ace/enc_utf.h: the ACE codecs and Unicode transfer forms.  Each follows the
// converter contract of encoding/encoding.h: to_unicode turns ACE text into
// UTF-16, from_unicode turns UTF-16 into ACE text.
#pragma once

#include <algorithm>
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
template <typename Out>
[[nodiscard]] int split_long_labels(std::string_view encoded, const SplitStyle& style, Out& out);
// Removes every "-0." (and, with a prefix, the prefix length that follows).
// Fails (0) when the input does not fit the 1024-byte working buffer.
template <typename Out>
[[nodiscard]] int join_split_labels(std::string_view text, const SplitStyle& style, Out& out);

// Base32 of "race", "lace" and "cidnuc": "a"-"z" then "2"-"7", MSB first,
// appended to out.
template <typename Out>
void base32_encode(std::string_view bytes, Out& out);
// Value of one base32 character (either letter case), or -1.
int base32_value(char c);
// Reads text as base32 into bytes (appended), most significant bit first.
// Returns false, with bytes unspecified, at the first character outside the
// alphabet.  leftover receives the bits after the last whole byte.
template <typename Out>
[[nodiscard]] bool base32_decode(std::string_view text, Out& bytes, unsigned& leftover);

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

// The converter pair of every codec, declared from the rows of codecs.def;
// a CODEC row declares its raw pair (encoding/encoding.h) too.
#define ENCODING(name, to, from)                         \
    int to(std::string_view src, std::u16string& dst); \
    int from(std::u16string_view src, std::string& dst);
#define CODEC(name, fn)                                                                  \
    ENCODING(name, fn##_to_unicode, fn##_from_unicode)                                   \
    int fn##_to_unicode_raw(const char* src, size_t n, char16_t* dst, size_t& written); \
    int fn##_from_unicode_raw(const char16_t* src, size_t n, char* dst, size_t& written);
#include "ace/codecs.def"
#undef CODEC
#undef ENCODING

// One RACE label (no "." or "@" in it) that holds a unit above 0x7F, at most
// kMaxLabelUnits long: the length of its RACE form with prefix and suffix
// together affixes long, and the form itself appended to out (its length
// returned).
size_t race_label_size(const char16_t* label, size_t len, size_t affixes);
size_t race_label_encode(const char16_t* label, size_t len, std::string_view prefix,
                         std::string_view suffix, std::string& out);

// Definitions of the templates above.

template <typename Out>
void base32_encode(std::string_view bytes, Out& out) {
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz234567";
    // ceil(8n / 5) characters, written in place.
    const size_t old = out.size();
    out.resize(old + (bytes.size() * 8 + 4) / 5);
    char* w = out.data() + old;
    unsigned acc = 0;
    int bits = 0;
    for (char c : bytes) {
        acc = (acc << 8) | static_cast<unsigned char>(c);
        bits += 8;
        while (bits >= 5) {
            bits -= 5;
            *w++ = kAlphabet[(acc >> bits) & 31];
        }
        acc &= (1u << bits) - 1;
    }
    if (bits > 0) *w++ = kAlphabet[(acc << (5 - bits)) & 31];
}

template <typename Out>
bool base32_decode(std::string_view text, Out& bytes, unsigned& leftover) {
    unsigned acc = 0;
    int bits = 0;
    for (char c : text) {
        const int v = base32_value(c);
        if (v < 0) return false;
        acc = (acc << 5) | static_cast<unsigned>(v);
        bits += 5;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<char>((acc >> bits) & 0xFF));
        }
        acc &= (1u << bits) - 1;
    }
    leftover = acc;
    return true;
}

template <typename Out>
int split_long_labels(std::string_view encoded, const SplitStyle& style, Out& out) {
    constexpr size_t kMaxLabel = 63;
    out.clear();
    if (encoded.size() >= kWorkBytes) return 0;  // does not fit the working buffer
    size_t pos = 0;
    while (pos <= encoded.size()) {
        size_t dot = encoded.find('.', pos);
        size_t end = dot == std::string_view::npos ? encoded.size() : dot;
        std::string_view label = encoded.substr(pos, end - pos);
        if (label.size() <= kMaxLabel) {
            out.append(label);
        } else {
            std::string_view prefix;
            if (!style.prefix.empty() && ascii_istarts_with(label, style.prefix)) {
                prefix = label.substr(0, style.prefix.size());
                out.append(prefix);
                label.remove_prefix(prefix.size());
            }
            const size_t c = style.piece;
            const size_t r = label.size() % c, q = label.size() / c;
            out.append(label.substr(0, r));
            out.append("-0.");
            for (size_t i = 0; i < q; ++i) {
                // Continuation pieces carry the family's current prefix.
                out.append(style.prefix);
                out.append(label.substr(r + i * c, c));
                if (i + 1 < q) out.append("-0.");
            }
        }
        if (dot == std::string_view::npos) break;
        out.push_back('.');
        pos = dot + 1;
    }
    return 1;
}

template <typename Out>
int join_split_labels(std::string_view text, const SplitStyle& style, Out& out) {
    out.clear();
    if (text.size() >= kWorkBytes) return 0;  // does not fit the working buffer
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '-' && i + 2 < text.size() && text[i + 1] == '0' && text[i + 2] == '.') {
            i += 3;
            i = std::min(text.size(), i + style.join_skip);
            continue;
        }
        out.push_back(text[i++]);
    }
    return 1;
}

}  // namespace nessel
