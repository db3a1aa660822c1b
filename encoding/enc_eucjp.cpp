// SPDX-License-Identifier: MIT
// encoding/enc_eucjp.cpp: "euc" / "EUC-JP" <-> UTF-16: JIS X 0208 (data/
// jisx0208.h) as row and cell bytes with the top bit set, the JIS X 0201
// katakana after the single shift 0x8E.  Decoding reads a pair's bytes
// without their top bit; a pair or byte that is no row and cell goes through
// its Shift_JIS rewrite (enc_japan.h), which is how such text is defined.
#include "data/jisx0208.h"
#include "encoding/charsets.h"
#include "encoding/enc_japan.h"
#include "encoding/encoding.h"

namespace nessel {

int eucjp_to_unicode_raw(const char* src, size_t n, char16_t* dst, size_t& written) {
    const auto* s = reinterpret_cast<const unsigned char*>(src);
    written = 0;
    japan::SjisDecoder sj(dst);
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

// Printable ASCII as itself, halfwidth katakana after 0x8E, JIS X 0208 as
// its row and cell bytes with the top bit set.  Controls, the space, DEL and
// units without a code fail.
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
        if (u < 0x21) {
            return 0;  // controls and space have no EUC-JP form here
        } else if (u >= 0xFF61 && u <= 0xFF9F) {  // halfwidth katakana
            dst[o++] = '\x8E';
            dst[o++] = static_cast<char>(0xA1 + (u - 0xFF61));
            continue;
        }
        const unsigned code = data::ucs_to_jisx0208[u];
        if (code == 0) return 0;
        dst[o++] = static_cast<char>((code >> 8) | 0x80);
        dst[o++] = static_cast<char>((code & 0xFF) | 0x80);
    }
    written = o;
    return 1;
}

int eucjp_to_unicode(std::string_view src, std::u16string& dst) {
    return to_unicode_via_raw<eucjp_to_unicode_raw>(until_zero(src), dst);
}
int eucjp_from_unicode(std::u16string_view src, std::string& dst) {
    return from_unicode_via_raw<eucjp_from_unicode_raw, 2>(until_zero(src), dst);
}

}  // namespace nessel
