// SPDX-License-Identifier: MIT
// encoding/enc_japan.cpp: "sjis" / "Shift_JIS", "euc" / "EUC-JP" and "jis"
// (7-bit ISO-2022-JP family with JIS X 0212) <-> UTF-16.
// Tables: data/sjis.h (JIS X 0208 in Shift_JIS arrangement, no vendor rows)
// and data/jisx0212.h.  Shift_JIS is the hub: EUC-JP and the JIS X 0208 runs
// of "jis" are rewritten into Shift_JIS bytes and decoded by its decoder, and
// both EUC-JP and "jis" encode JIS X 0208 through the Shift_JIS encoder.
#include <array>
#include <utility>

#include "data/jisx0212.h"
#include "data/sjis.h"
#include "encoding/charsets.h"
#include "encoding/ascii_run.h"
#include "encoding/enc_cjk.h"
#include "encoding/encoding.h"

namespace nessel {
namespace {

constexpr char kEsc = 0x1B;

// A "jis" run between two escape sequences may decode to at most this many
// units (the working buffer of one run).  A longer run is refused, not cut.
constexpr size_t kJisRunUnits = 2049;

// The 96-position katakana table of bytes 0xA0..0xFF: U+00A0, the halfwidth
// katakana U+FF61..U+FF9F at 0xA1..0xDF, and U+00E0..U+00FF at 0xE0..0xFF.
char16_t katakana_to_ucs(unsigned b) {
    if (b >= 0xA1 && b <= 0xDF) return static_cast<char16_t>(0xFF61 + (b - 0xA1));
    return static_cast<char16_t>(b);
}
// Position of u in the katakana table, or 0.  Every unit appears once.
unsigned ucs_to_katakana(char16_t u) {
    if (u >= 0xFF61 && u <= 0xFF9F) return 0xA1 + (u - 0xFF61);
    if (u == 0xA0 || (u >= 0xE0 && u <= 0xFF)) return u;
    return 0;
}

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
        if (code < 0x8140 || code > 0xEAA4) return false;
        const char16_t u = data::sjis_to_ucs[code - 0x8140];
        if (u == 0xFFFD) return false;
        dst_[out++] = u;
        return true;
    }

    char16_t* dst_;
    unsigned lead_ = 0;
    bool ended_ = false;
};

// Shift_JIS code of one unit: a single byte (below 0x100), a two-byte code,
// or 0 when the unit has none.
unsigned sjis_encode_unit(char16_t u) {
    if (u < 0x7F) return u;  // 0x7F itself is not passed through
    // Halfwidth katakana are written as the single bytes 0xA1..0xDF that the
    // decoder reads them from, so decoded text always encodes back.
    if (u >= 0xFF61 && u <= 0xFF9F) return 0xA1 + (u - 0xFF61);
    if (u == 0xFFFD) return 0;
    return data::ucs_to_sjis[u];
}

// The Shift_JIS arrangement of a 7-bit JIS X 0208 pair (row byte j1, cell
// byte j2).  Bytes outside 0x21..0x7E give whatever the arithmetic gives,
// taken modulo 256.
constexpr unsigned jis_to_sjis_lead(unsigned j1) { return (((j1 + 1) >> 1) + (j1 < 0x5F ? 0x70 : 0xB0)) & 0xFF; }
constexpr unsigned jis_to_sjis_trail(unsigned j1, unsigned j2) {
    return (j2 + ((j1 & 1) == 0 ? 0x7E : (j2 > 0x5F ? 0x20 : 0x1F))) & 0xFF;
}

// JIS X 0208 by row and cell (both 0x21..0x7E), read off the Shift_JIS table
// at compile time through that rewrite; 0xFFFD where the Shift_JIS decoder
// refuses the pair.  Every such pair rewrites to a lead byte (0x81..0x9F,
// 0xE0..0xEF) and a non-zero trail, so one read decodes it.
constexpr auto kJis0208 = [] {
    std::array<char16_t, 94 * 94> t{};
    for (unsigned j1 = 0x21; j1 <= 0x7E; ++j1)
        for (unsigned j2 = 0x21; j2 <= 0x7E; ++j2) {
            const unsigned code = jis_to_sjis_lead(j1) << 8 | jis_to_sjis_trail(j1, j2);
            t[(j1 - 0x21) * 94 + (j2 - 0x21)] =
                code < 0x8140 || code > 0xEAA4 ? char16_t(0xFFFD) : data::sjis_to_ucs[code - 0x8140];
        }
    return t;
}();

// A 7-bit JIS X 0208 pair rewritten in Shift_JIS arrangement and fed to the
// decoder (one table read for a pair of two bytes 0x21..0x7E).
[[nodiscard]] inline bool feed_jis_pair(SjisDecoder& sj, unsigned j1, unsigned j2) {
    if (j1 - 0x21 < 94 && j2 - 0x21 < 94 && sj.between_characters())
        return sj.put(kJis0208[(j1 - 0x21) * 94 + (j2 - 0x21)]);
    return sj.feed_pair(jis_to_sjis_lead(j1), jis_to_sjis_trail(j1, j2));
}

// The reverse rewrite: Shift_JIS pair (s1, s2) to 7-bit row and cell bytes.
// The parts of that rewrite by byte, read from tables made at compile time:
// which way its comparisons go changes from character to character, so
// branches would be mispredicted.  row = kRowOfLead[s1] - kRowDownOfTrail[s2].
struct SjisToJisTables {
    uint8_t row_of_lead[256];
    uint8_t row_down_of_trail[256];
    uint8_t cell_of_trail[256];
};
constexpr SjisToJisTables kSjisToJis = [] {
    SjisToJisTables t{};
    for (unsigned b = 0; b < 256; ++b) {
        t.row_of_lead[b] = uint8_t(((b - (b < 0xA0 ? 0x70 : 0xB0)) * 2) & 0xFF);
        t.row_down_of_trail[b] = b < 0x9F ? 1 : 0;
        t.cell_of_trail[b] = uint8_t((b - (b <= 0x7F ? 0x1F : (b < 0x9F ? 0x20 : 0x7E))) & 0xFF);
    }
    return t;
}();

std::pair<unsigned, unsigned> sjis_pair_to_jis(unsigned s1, unsigned s2) {
    return {(kSjisToJis.row_of_lead[s1] - kSjisToJis.row_down_of_trail[s2]) & 0xFFu,
            kSjisToJis.cell_of_trail[s2]};
}

enum class JisSet { kAscii, kRoman, kJis0208, kJis0212, kKatakana };

// Length of the escape sequence at the start of s (which begins with ESC)
// and the set it designates; 0 when it is none of the eight we know.
size_t match_escape(std::string_view s, JisSet& set) {
    auto at = [&](size_t k) { return k < s.size() ? s[k] : '\0'; };  // the text holds no zero
    auto found = [&](JisSet which, size_t length) {
        set = which;
        return length;
    };
    if (at(1) == '(') {
        switch (at(2)) {
        case 'B': return found(JisSet::kAscii, 3);
        case 'J': return found(JisSet::kRoman, 3);     // JIS X 0201 Roman
        case 'H': return found(JisSet::kRoman, 3);     // its old designation
        case 'I': return found(JisSet::kKatakana, 3);  // JIS X 0201 katakana
        default: return 0;
        }
    }
    if (at(1) == '$') {
        if (at(2) == '@' || at(2) == 'B') return found(JisSet::kJis0208, 3);  // 1978, 1983
        if (at(2) == '(' && at(3) == 'D') return found(JisSet::kJis0212, 4);
        return 0;
    }
    // ESC & @ ESC $ B announces JIS X 0208-1990.
    if (at(1) == '&' && at(2) == '@' && at(3) == kEsc && at(4) == '$' && at(5) == 'B')
        return found(JisSet::kJis0208, 6);
    return 0;
}

// One pass over the text.  ESC bytes split it into runs, each decoded in
// the set that the escape sequence before it announced:
//  - ASCII and JIS X 0201 Roman: each byte loses its top bit;
//  - JIS X 0201 katakana: bytes from 0xA0 through the katakana table (so
//    katakana come as 8-bit bytes), lower bytes as they are;
//  - JIS X 0212: pairs in 0x222F..0x6D63, holes giving U+FFFD;
//  - JIS X 0208: pairs rewritten into Shift_JIS and decoded as such; a
//    pair that rewrites to a zero byte ends the run's rewritten text, so
//    what follows it in the run is not decoded.
// In both double-byte sets a lone last byte of a run is dropped.
[[nodiscard]] int jis_decode(const unsigned char* src, size_t n, char16_t* dst, size_t& written) {
    JisSet set = JisSet::kAscii;  // text before any escape sequence is ASCII
    SjisDecoder sj(dst);
    size_t run_units = 0;  // units written when the current run began
    auto run_ends = [&]() {
        if (set == JisSet::kJis0208 && !sj.finish()) return false;
        return sj.out - run_units <= kJisRunUnits;
    };
    const std::string_view text(reinterpret_cast<const char*>(src), n);
    size_t i = 0;
    while (i < n) {
        unsigned b = src[i];
        if (b == 0x1B) {
            if (!run_ends()) return 0;
            // An ESC that starts none of the known sequences (also one in
            // the last two bytes) is refused: the text is not valid "jis",
            // and failing lets a caller try another encoding.
            size_t len = match_escape(text.substr(i), set);
            if (len == 0) return 0;
            i += len;
            run_units = sj.out;
            sj.reset();
            continue;
        }
        switch (set) {
        case JisSet::kAscii:
        case JisSet::kRoman: {
            // Printable bytes in wide steps (never ESC); each byte loses its
            // top bit.
            const size_t k = widen_run(src + i, n - i, dst + sj.out, 0x20, 0x7F);
            sj.out += k;
            i += k;
            if (k == 0) {
                dst[sj.out++] = static_cast<char16_t>(b & 0x7F);
                ++i;
            }
            continue;
        }
        case JisSet::kKatakana:
            dst[sj.out++] = b < 0xA0 ? static_cast<char16_t>(b) : katakana_to_ucs(b);
            ++i;
            continue;
        case JisSet::kJis0212:
        case JisSet::kJis0208:
            break;
        }
        if (i + 1 >= n || src[i + 1] == 0x1B) {  // lone last byte of the run
            ++i;
            continue;
        }
        unsigned b2 = src[i + 1];
        i += 2;
        if (set == JisSet::kJis0212) {
            unsigned code = b << 8 | b2;
            if (code < 0x222F || code > 0x6D63) return 0;
            dst[sj.out++] = data::jisx0212_to_ucs[code - 0x222F];
        } else if (!feed_jis_pair(sj, b, b2)) {
            return 0;
        }
    }
    if (!run_ends()) return 0;
    written = sj.out;
    return 1;
}

[[nodiscard]] int jis_encode(const char16_t* src, size_t n, char* dst, size_t& written) {
    JisSet in_force = JisSet::kAscii;
    size_t o = 0;
    for (size_t i = 0; i < n; ++i) {
        const char16_t u = src[i];
        JisSet set;
        unsigned bytes[2];
        size_t len = 1;
        unsigned code;
        if (u <= 0x7F) {
            set = JisSet::kAscii;
            bytes[0] = u;
        } else if (u < 0xA0 || ucs_to_katakana(u) != 0) {
            set = JisSet::kKatakana;
            bytes[0] = u < 0xA0 ? u : ucs_to_katakana(u);
        } else if (u != 0xFFFD &&
                   (code = data::ucs_to_jisx0212[u]) != 0) {
            set = JisSet::kJis0212;
            bytes[0] = code >> 8;
            bytes[1] = code & 0xFF;
            len = 2;
        } else if ((code = sjis_encode_unit(u)) > 0xFF) {
            set = JisSet::kJis0208;
            auto [row, cell] = sjis_pair_to_jis(code >> 8, code & 0xFF);
            bytes[0] = row;
            bytes[1] = cell;
            len = 2;
        } else {
            return 0;
        }
        if (set != in_force) {
            const char* escape = set == JisSet::kAscii      ? "\x1B(B"
                                 : set == JisSet::kKatakana ? "\x1B(I"
                                 : set == JisSet::kJis0212  ? "\x1B$(D"
                                                            : "\x1B$B";
            while (*escape != 0) dst[o++] = *escape++;
            in_force = set;
        }
        if (set == JisSet::kAscii) {  // the ASCII run in wide steps
            const size_t k = narrow_run(src + i, n - i, dst + o, 0, 0x7F);
            o += k;
            i += k - 1;
            continue;
        }
        for (size_t k = 0; k < len; ++k) dst[o++] = static_cast<char>(bytes[k]);
    }
    // No ESC ( B at the end: the text ends in whatever set it is in.
    written = o;
    return 1;
}

}  // namespace

int sjis_to_unicode_raw(const char* src, size_t n, char16_t* dst, size_t& written) {
    const auto* s = reinterpret_cast<const unsigned char*>(src);
    written = 0;
    SjisDecoder sj(dst);
    for (size_t i = 0; i < n;) {
        const unsigned b = s[i];
        if (b >= 0x80 && i + 1 < n && sj.between_characters() && (b < 0xA1 || b > 0xDF)) {
            if (!sj.feed_pair(b, s[i + 1])) return 0;  // a whole pair at once
            i += 2;
            continue;
        }
        const size_t k = sj.feed_ascii_run(s + i, n - i);
        if (k != 0) {
            i += k;
            continue;
        }
        if (!sj.feed(s[i++])) return 0;
    }
    if (!sj.finish()) return 0;
    written = sj.out;
    return 1;
}

int sjis_from_unicode_raw(const char16_t* src, size_t n, char* dst, size_t& written) {
    written = 0;
    size_t o = 0;
    for (size_t i = 0; i < n;) {
        if (src[i] < 0x7F) {
            const size_t k = narrow_run(src + i, n - i, dst + o, 0, 0x7E);
            i += k;
            o += k;
            continue;
        }
        const unsigned code = sjis_encode_unit(src[i++]);
        if (code == 0) return 0;
        if (code > 0xFF) dst[o++] = static_cast<char>(code >> 8);
        dst[o++] = static_cast<char>(code & 0xFF);
    }
    written = o;
    return 1;
}

// EUC-JP is rewritten byte by byte into Shift_JIS and decoded as such.
int eucjp_to_unicode_raw(const char* src, size_t n, char16_t* dst, size_t& written) {
    const auto* s = reinterpret_cast<const unsigned char*>(src);
    written = 0;
    SjisDecoder sj(dst);
    for (size_t i = 0; i < n; ++i) {
        unsigned b = s[i];
        bool ok;
        if (b == 0x8E) {  // single shift 2: the next byte stands alone
            if (i + 1 >= n) break;
            ok = sj.feed(s[++i]);
        } else if (b < 0x7F) {
            const size_t k = sj.feed_ascii_run(s + i, n - i);
            if (k != 0) {
                i += k - 1;
                continue;
            }
            ok = sj.feed(b);
        } else {
            // Any other byte, 0x8F (single shift 3) included, starts a pair;
            // a pair cut by the end is rewritten with a zero trail.
            unsigned t = i + 1 < n ? s[i + 1] : 0;
            ok = feed_jis_pair(sj, b & 0x7F, t & 0x7F);
            if (t != 0) ++i;
        }
        if (!ok) return 0;
    }
    if (!sj.finish()) return 0;
    // Callers provide one unit per source byte.  A lone last byte
    // 0x80..0x9D rewrites to two ASCII bytes (0x82 gives "q~"), one unit
    // more than that room (it lands on the terminator's place), so such a
    // text is refused.
    if (sj.out > n) return 0;
    written = sj.out;
    return 1;
}

// Encoded as Shift_JIS, then each Shift_JIS byte or pair rewritten.  The
// Shift_JIS step fails or succeeds as a whole, so both steps run per unit.
int eucjp_from_unicode_raw(const char16_t* src, size_t n, char* dst, size_t& written) {
    written = 0;
    size_t o = 0;
    for (size_t i = 0; i < n;) {
        const char16_t u = src[i];
        if (u >= 0x21 && u <= 0x7E) {
            const size_t k = narrow_run(src + i, n - i, dst + o, 0x21, 0x7E);
            i += k;
            o += k;
            continue;
        }
        ++i;
        unsigned code = sjis_encode_unit(u);
        if (code == 0) return 0;
        if (code > 0xFF) {  // a pair: lead 0x81..0x9F or 0xE0..0xEA
            auto [row, cell] = sjis_pair_to_jis(code >> 8, code & 0xFF);
            dst[o++] = static_cast<char>((row + 0x80) & 0xFF);
            dst[o++] = static_cast<char>((cell + 0x80) & 0xFF);
        } else if (code < 0x21) {
            return 0;  // controls and space have no EUC-JP form here
        } else if (code <= 0x7E) {
            dst[o++] = static_cast<char>(code);
        } else {  // halfwidth katakana 0xA1..0xDF
            dst[o++] = '\x8E';
            dst[o++] = static_cast<char>(code);
        }
    }
    written = o;
    return 1;
}

int jis_to_unicode_raw(const char* src, size_t n, char16_t* dst, size_t& written) {
    written = 0;
    return jis_decode(reinterpret_cast<const unsigned char*>(src), n, dst, written);
}

int jis_from_unicode_raw(const char16_t* src, size_t n, char* dst, size_t& written) {
    written = 0;
    const int r = jis_encode(src, n, dst, written);
    if (r == 0) written = 0;
    return r;
}

int sjis_to_unicode(std::string_view src, std::u16string& dst) {
    return to_unicode_via_raw<sjis_to_unicode_raw>(until_zero(src), dst);
}
int sjis_from_unicode(std::u16string_view src, std::string& dst) {
    return from_unicode_via_raw<sjis_from_unicode_raw, 2>(until_zero(src), dst);
}
int eucjp_to_unicode(std::string_view src, std::u16string& dst) {
    return to_unicode_via_raw<eucjp_to_unicode_raw>(until_zero(src), dst);
}
int eucjp_from_unicode(std::u16string_view src, std::string& dst) {
    return from_unicode_via_raw<eucjp_from_unicode_raw, 2>(until_zero(src), dst);
}
int jis_to_unicode(std::string_view src, std::u16string& dst) {
    return to_unicode_via_raw<jis_to_unicode_raw>(until_zero(src), dst);
}
int jis_from_unicode(std::u16string_view src, std::string& dst) {
    return from_unicode_via_raw<jis_from_unicode_raw, 6>(until_zero(src), dst);
}

}  // namespace nessel
