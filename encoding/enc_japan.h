// SPDX-License-Identifier: MIT
// encoding/enc_japan.h: what the three Japanese schemes share ("sjis" in
// enc_sjis.cpp, "euc" in enc_eucjp.cpp, "jis" in enc_jis.cpp): the JIS X 0201
// katakana, the Shift_JIS arrangement of a JIS X 0208 row and cell, and the
// Shift_JIS byte decoder.  EUC-JP and "jis" decode a pair of two bytes
// 0x21..0x7E (after EUC-JP's top bit is dropped) straight from the JIS X 0208
// table; any other pair is defined as its Shift_JIS rewrite fed to that
// decoder, so they share its state across such pairs.
#pragma once

#include <array>
#include <cstddef>

#include "data/jisx0208.h"
#include "encoding/ascii_run.h"

namespace nessel::japan {

// The 96-position katakana table of bytes 0xA0..0xFF: U+00A0, the halfwidth
// katakana U+FF61..U+FF9F at 0xA1..0xDF, and U+00E0..U+00FF at 0xE0..0xFF.
inline char16_t katakana_to_ucs(unsigned b) {
    if (b >= 0xA1 && b <= 0xDF) return static_cast<char16_t>(0xFF61 + (b - 0xA1));
    return static_cast<char16_t>(b);
}
// Position of u in the katakana table, or 0.  Every unit appears once.
inline unsigned ucs_to_katakana(char16_t u) {
    if (u >= 0xFF61 && u <= 0xFF9F) return 0xA1 + (u - 0xFF61);
    if (u == 0xA0 || (u >= 0xE0 && u <= 0xFF)) return u;
    return 0;
}

// The Shift_JIS arrangement of a 7-bit JIS X 0208 pair (row byte j1, cell
// byte j2).  Bytes outside 0x21..0x7E give whatever the arithmetic gives,
// taken modulo 256.
constexpr unsigned jis_to_sjis_lead(unsigned j1) { return (((j1 + 1) >> 1) + (j1 < 0x5F ? 0x70 : 0xB0)) & 0xFF; }
constexpr unsigned jis_to_sjis_trail(unsigned j1, unsigned j2) {
    return (j2 + ((j1 & 1) == 0 ? 0x7E : (j2 > 0x5F ? 0x20 : 0x1F))) & 0xFF;
}

// The index of row byte j1 and cell byte j2 (both 0x21..0x7E) in the JIS X
// 0208 table.
constexpr unsigned jisx0208_index(unsigned j1, unsigned j2) { return (j1 - 0x21) * 94 + (j2 - 0x21); }

// JIS X 0208 in Shift_JIS arrangement: the character of Shift_JIS code
// 0x8140 + i, 0xFFFD where there is none (enc_sjis.cpp, derived from the JIS
// X 0208 table at compile time).
constexpr unsigned kSjisFirst = 0x8140, kSjisLast = 0xEAA4;
extern const std::array<char16_t, kSjisLast - kSjisFirst + 1> kSjisToUcs;

// Shift_JIS decoding fed one byte at a time, writing to dst at out, so that
// the EUC-JP and "jis" decoders feed their rewritten bytes without a scratch
// copy.  A zero byte ends the text (a "jis" pair can rewrite to one), as
// the zero terminator would end a scratch string.
class SjisDecoder {
public:
    explicit SjisDecoder(char16_t* dst) : dst_(dst) {}

    size_t out = 0;  // units written

    // false at the first byte that cannot be decoded.
    [[nodiscard]] bool feed(unsigned b) {
        if (ended_) return true;
        if (b == 0) {
            ended_ = true;
            return lead_ == 0;  // a pair cut by the end fails
        }
        if (lead_ != 0) {
            unsigned code = lead_ << 8 | b;
            lead_ = 0;
            return put_pair(code);
        } else if (b < 0x80) {
            if (b < 0x21 || b > 0x7E) return false;
            dst_[out++] = static_cast<char16_t>(b);
        } else if (b >= 0xA1 && b <= 0xDF) {
            dst_[out++] = katakana_to_ucs(b);
        } else {
            lead_ = b;
        }
        return true;
    }
    // Two bytes at once; the same as feeding them one by one, with a direct
    // table read when they form a whole pair.
    [[nodiscard]] bool feed_pair(unsigned s1, unsigned s2) {
        if (lead_ != 0 || ended_ || s1 < 0x80 || (s1 >= 0xA1 && s1 <= 0xDF) || s2 == 0)
            return feed(s1) && feed(s2);
        return put_pair(s1 << 8 | s2);
    }
    // A run of plain ASCII bytes (0x21..0x7E) at once: how many it took.
    size_t feed_ascii_run(const unsigned char* s, size_t n) {
        if (lead_ != 0 || ended_) return 0;
        const size_t k = widen_run(s, n, dst_ + out, 0x21, 0x7E);
        out += k;
        return k;
    }
    // A character of a pair read elsewhere, with the checks of a pair: true
    // when the decoder stands between characters and u is one.
    [[nodiscard]] bool between_characters() const { return lead_ == 0 && !ended_; }
    [[nodiscard]] bool put(char16_t u) {
        if (u == 0xFFFD) return false;
        dst_[out++] = u;
        return true;
    }
    // false when the text ended inside a pair.
    [[nodiscard]] bool finish() const { return lead_ == 0; }
    // Starts a new text, writing on after what is there.
    void reset() {
        lead_ = 0;
        ended_ = false;
    }

private:
    [[nodiscard]] bool put_pair(unsigned code) {
        if (code < kSjisFirst || code > kSjisLast) return false;
        return put(kSjisToUcs[code - kSjisFirst]);
    }

    char16_t* dst_;
    unsigned lead_ = 0;
    bool ended_ = false;
};

// A 7-bit JIS X 0208 pair: one table read for two bytes 0x21..0x7E, else
// rewritten in Shift_JIS arrangement and fed to the decoder.
[[nodiscard]] inline bool feed_jis_pair(SjisDecoder& sj, unsigned j1, unsigned j2) {
    if (j1 - 0x21 < 94 && j2 - 0x21 < 94 && sj.between_characters())
        return sj.put(data::jisx0208_to_ucs[jisx0208_index(j1, j2)]);
    return sj.feed_pair(jis_to_sjis_lead(j1), jis_to_sjis_trail(j1, j2));
}

// Shift_JIS code of one unit: a single byte (below 0x100), a two-byte code,
// or 0 when the unit has none (enc_sjis.cpp).
unsigned sjis_encode_unit(char16_t u);

}  // namespace nessel::japan
