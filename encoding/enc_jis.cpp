// SPDX-License-Identifier: MIT
// encoding/enc_jis.cpp: "jis" (7-bit ISO-2022-JP family with JIS X 0212)
// <-> UTF-16.  Escape sequences switch between ASCII, JIS X 0201 Roman and
// katakana, JIS X 0208 (data/jisx0208.h) and JIS X 0212 (data/jisx0212.h).
#include <string_view>

#include "data/jisx0208.h"
#include "data/jisx0212.h"
#include "encoding/charsets.h"
#include "encoding/ascii_run.h"
#include "encoding/enc_japan.h"
#include "encoding/encoding.h"

namespace nessel {
namespace {

using japan::SjisDecoder;
using japan::katakana_to_ucs;
using japan::ucs_to_katakana;

constexpr char kEsc = 0x1B;

// A "jis" run between two escape sequences may decode to at most this many
// units (the working buffer of one run).  A longer run is refused, not cut.
constexpr size_t kJisRunUnits = 2049;

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
//  - JIS X 0208: a pair of two bytes 0x21..0x7E from the table, any other
//    pair rewritten into Shift_JIS and decoded as such; a pair that
//    rewrites to a zero byte ends the run's rewritten text, so what follows
//    it in the run is not decoded.
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
        } else if (!japan::feed_jis_pair(sj, b, b2)) {
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
        } else if ((code = data::ucs_to_jisx0208[u]) != 0) {
            set = JisSet::kJis0208;
            bytes[0] = code >> 8;
            bytes[1] = code & 0xFF;
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

int jis_to_unicode(std::string_view src, std::u16string& dst) {
    return to_unicode_via_raw<jis_to_unicode_raw>(until_zero(src), dst);
}
int jis_from_unicode(std::u16string_view src, std::string& dst) {
    return from_unicode_via_raw<jis_from_unicode_raw, 6>(until_zero(src), dst);
}

}  // namespace nessel
