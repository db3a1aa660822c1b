// SPDX-License-Identifier: MIT
// encoding/enc_sjis.cpp: "sjis" / "Shift_JIS" <-> UTF-16: JIS X 0208
// (data/jisx0208.h, no vendor rows) in Shift_JIS arrangement, and the JIS X
// 0201 katakana as the single bytes 0xA1..0xDF.  The arrangement's views of
// the table (code -> character, character -> code) are made at compile time.
#include "data/jisx0208.h"
#include "encoding/charsets.h"
#include "encoding/enc_japan.h"
#include "encoding/encoding.h"

namespace nessel {
namespace japan {

namespace {

// The Shift_JIS code of the JIS X 0208 code j (7-bit row and cell bytes).
constexpr uint16_t sjis_code(unsigned j) {
    return static_cast<uint16_t>(jis_to_sjis_lead(j >> 8) << 8 | jis_to_sjis_trail(j >> 8, j & 0xFF));
}

// The reverse index of the table with Shift_JIS codes in place of JIS codes.
constexpr size_t kReversePages = std::size(data::ucs_to_jisx0208_pages);
struct SjisReverse {
    uint16_t pages[kReversePages][256];
};
constexpr SjisReverse kSjisReverse = [] {
    SjisReverse r{};
    for (size_t p = 0; p < kReversePages; ++p)
        for (unsigned lo = 0; lo < 256; ++lo) {
            const unsigned j = data::ucs_to_jisx0208_pages[p][lo];
            r.pages[p][lo] = j == 0 ? 0 : sjis_code(j);
        }
    return r;
}();
constexpr data::PagedTable<uint16_t> kUcsToSjis{data::ucs_to_jisx0208_page_of, kSjisReverse.pages};

}  // namespace

// Every row and cell, written at its Shift_JIS code.
constexpr std::array<char16_t, kSjisLast - kSjisFirst + 1> kSjisToUcsTable = [] {
    std::array<char16_t, kSjisLast - kSjisFirst + 1> t{};
    for (auto& u : t) u = 0xFFFD;
    for (unsigned j1 = 0x21; j1 <= 0x7E; ++j1)
        for (unsigned j2 = 0x21; j2 <= 0x7E; ++j2) {
            const unsigned code = sjis_code(j1 << 8 | j2);
            if (code <= kSjisLast) t[code - kSjisFirst] = data::jisx0208_to_ucs[jisx0208_index(j1, j2)];
        }
    return t;
}();
const std::array<char16_t, kSjisLast - kSjisFirst + 1> kSjisToUcs = kSjisToUcsTable;

unsigned sjis_encode_unit(char16_t u) {
    if (u < 0x7F) return u;  // 0x7F itself is not passed through
    // Halfwidth katakana are written as the single bytes 0xA1..0xDF that the
    // decoder reads them from, so decoded text always encodes back.
    if (u >= 0xFF61 && u <= 0xFF9F) return 0xA1 + (u - 0xFF61);
    if (u == 0xFFFD) return 0;
    return kUcsToSjis[u];
}

}  // namespace japan

int sjis_to_unicode_raw(const char* src, size_t n, char16_t* dst, size_t& written) {
    const auto* s = reinterpret_cast<const unsigned char*>(src);
    written = 0;
    japan::SjisDecoder sj(dst);
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
        const unsigned code = japan::sjis_encode_unit(src[i++]);
        if (code == 0) return 0;
        if (code > 0xFF) dst[o++] = static_cast<char>(code >> 8);
        dst[o++] = static_cast<char>(code & 0xFF);
    }
    written = o;
    return 1;
}

int sjis_to_unicode(std::string_view src, std::u16string& dst) {
    return to_unicode_via_raw<sjis_to_unicode_raw>(until_zero(src), dst);
}
int sjis_from_unicode(std::u16string_view src, std::string& dst) {
    return from_unicode_via_raw<sjis_from_unicode_raw, 2>(until_zero(src), dst);
}

}  // namespace nessel
