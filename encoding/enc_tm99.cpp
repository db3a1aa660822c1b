// SPDX-License-Identifier: MIT
// encoding/enc_tm99.cpp: "tab" (bilingual) and "tam" (monolingual) Tamil
// glyph encodings <-> UTF-16.  A glyph byte may be a ligature, and the signs
// e, ee, ai (and the first parts of o, oo, au) are written before their
// consonant, so both directions go through an internal code of one byte per
// character (data/tamil.h) and reorder, split or join glyphs on the way.
// Both pairs return the count of units / bytes written; 0 is failure, also
// for an empty source.
#include "data/tamil.h"
#include "encoding/charsets.h"
#include "encoding/out_sink.h"

namespace nessel {
namespace {

enum Class : uint8_t { kNone = 0, kVowel = 1, kConsonant = 2, kSign = 3, kVirama = 4 };
enum Kind : uint8_t { kAfter = 1, kBefore = 2, kTwoPart = 3 };

constexpr uint8_t kRa = 0xAE, kTta = 0x9C, kKa = 0x92, kSsa = 0xE6, kSa = 0xE7;
constexpr uint8_t kSignI = 0xEB, kSignIi = 0xEC, kSignE = 0xF1;
constexpr uint8_t kSignO = 0xF5, kSignOo = 0xF6, kSignAu = 0xF7, kViramaCode = 0xF9, kVowelAu = 0x90;

// Sizes of the internal buffers: a longer text is refused (result 0) rather
// than cut, since a cut text would still look like a complete conversion.
constexpr size_t kMaxDecodeCodes = 2000;
constexpr size_t kMaxEncodeCodes = 1000;
// One glyph byte adds at most five codes (a four-code glyph and a sign)
// after the check against kMaxDecodeCodes, so this buffer always holds them.
using DecodeCodes = FixedSink<uint8_t, kMaxDecodeCodes + 8>;

struct Layout {
    const uint8_t* glyph;  // 4 internal codes per byte, 0-terminated
    const uint8_t* lig;    // (sign slot, consonant) -> ligature byte
};
constexpr Layout kTab{data::tab_glyph, data::tab_lig};
constexpr Layout kTam{data::tam_glyph, data::tam_lig};

uint8_t cls(uint8_t code) { return data::tamil_class[code]; }
uint8_t kind(uint8_t code) { return data::tamil_kind[code]; }
bool is_sign(uint8_t code) { return cls(code) == kSign; }
size_t entry_size(const Layout& l, uint8_t b) {
    size_t n = 0;
    while (n < 4 && l.glyph[b * 4 + n] != 0) ++n;
    return n;
}
// A byte after 0xA3 that makes the 0xA3 the letter RA carrying that sign.
bool ra_carrier(unsigned b) { return b == 0xA2 || b == 0xA4 || b == 0xA6; }

// Step 1 of decoding: glyph bytes to internal codes.
bool glyphs_to_codes(std::string_view src, const Layout& l, DecodeCodes& codes) {
    const size_t n = src.size();
    auto at = [&](size_t i) -> unsigned { return i < n ? static_cast<unsigned char>(src[i]) : 0u; };
    auto first = [&](size_t i) -> uint8_t { return i < n ? l.glyph[at(i) * 4] : uint8_t{0}; };
    auto append_entry = [&](unsigned b) {
        for (size_t k = 0; k < entry_size(l, static_cast<uint8_t>(b)); ++k) codes.push_back(l.glyph[b * 4 + k]);
    };
    // 0xA3 as the current byte is the letter RA, elsewhere the sign aa.
    auto append_current = [&](unsigned b) {
        if (b == 0xA3) codes.push_back(kRa);
        else append_entry(b);
    };
    size_t i = 0;
    while (i < n) {
        if (codes.size() > kMaxDecodeCodes) return false;
        const unsigned b = at(i);
        const size_t size = entry_size(l, static_cast<uint8_t>(b));
        if (size == 0) return false;
        // KA + virama + SSA (0xFE) is a consonant cluster: a following sign
        // belongs to it like to a single consonant.
        const bool cluster = size > 1 && cls(l.glyph[b * 4 + size - 1]) == kConsonant;
        if (size > 1 && !cluster) {
            append_entry(b);
            ++i;
            continue;
        }
        const uint8_t c = b == 0xA3 ? kRa : l.glyph[b * 4 + size - 1];
        const unsigned b1 = at(i + 1);
        const uint8_t c1 = first(i + 1);
        if (cls(c) == kConsonant && is_sign(c1) && kind(c1) != kBefore) {
            append_current(b);
            if (b1 == 0xA3 && ra_carrier(at(i + 2))) {
                ++i;
            } else {
                codes.push_back(c1);
                i += 2;
            }
        } else if (is_sign(c) && cls(c1) == kConsonant) {
            // The sign is written before its consonant.  A consonant cluster
            // glyph is taken whole, a single consonant as its first code.
            const size_t size1 = entry_size(l, static_cast<uint8_t>(b1));
            const bool cluster1 = size1 > 1 && cls(l.glyph[b1 * 4 + size1 - 1]) == kConsonant;
            auto consonant = [&] {
                if (cluster1) append_entry(b1);
                else codes.push_back(c1);
            };
            consonant();
            const unsigned b2 = at(i + 2), b3 = at(i + 3);
            const bool second_part = i + 2 < n && b2 == 0xA3 && !ra_carrier(b3);
            if (b == 0xAB && second_part) {
                codes.push_back(kSignOo);
                i += 3;
            } else if (b == 0xAA && i + 2 < n && b2 == 0xF7) {
                if (ra_carrier(b3)) {
                    codes.push_back(kSignE);
                    i += 2;
                } else {
                    codes.push_back(kSignAu);
                    i += 3;
                }
            } else if (b == 0xAA && second_part) {
                codes.push_back(kSignO);
                i += 3;
            } else {
                codes.push_back(c);
                i += 2;
            }
        } else {
            append_current(b);
            ++i;
        }
    }
    return codes.size() <= kMaxDecodeCodes && !codes.overflowed();
}

template <typename Out>
int tamil_decode(std::string_view src, Out& dst, const Layout& l) {
    dst.clear();
    DecodeCodes codes;
    if (src.empty() || !glyphs_to_codes(src, l, codes)) return 0;
    dst.reserve(codes.size());
    for (size_t i = 0; i < codes.size(); ++i) dst.push_back(data::tamil_ucs[codes[i]]);
    return static_cast<int>(dst.size());
}

// Step 2 of encoding: internal codes to glyph bytes.  A code without a glyph
// (a two-part sign with nothing before it) fails the conversion.
template <typename Out>
bool codes_to_glyphs(const uint8_t* codes, size_t n, const Layout& l, Out& dst) {
    auto at = [&](size_t i) -> uint8_t { return i < n ? codes[i] : uint8_t{0}; };
    auto put = [&](uint8_t g) {
        if (g == 0) return false;
        dst.push_back(static_cast<char>(g));
        return true;
    };
    size_t i = 0;
    while (i < n) {
        const uint8_t c = at(i);
        uint8_t c1 = at(i + 1);
        if (c == kSa && c1 == kViramaCode && at(i + 2) == kRa && at(i + 3) == kSignIi) {  // SRI
            put(0xFF);
            i += 4;
            continue;
        }
        if (c == kVowelAu) {  // vowel o + au length mark
            put(0xE5);
            put(0xF7);
            ++i;
            continue;
        }
        if (c == kTta && (c1 == kSignI || c1 == kSignIi)) {
            put(c1 == kSignI ? 0xAE : 0xAF);
            i += 2;
            continue;
        }
        const unsigned slot = data::tamil_lig_slot[c1];
        if (slot != 0 && cls(c) == kConsonant) {
            const uint8_t lig = l.lig[(slot - 1) * 256 + c];
            if (lig != 0) {
                put(lig);
                i += 2;
                continue;
            }
        }
        uint8_t glyph = data::tamil_glyph_of[c];
        size_t used = 1;
        if (c == kKa && c1 == kViramaCode && at(i + 2) == kSsa) {  // the KSSA ligature
            glyph = 0xFE;
            c1 = at(i + 3);
            used = 3;
        }
        if (!is_sign(c1) && cls(c1) != kVirama) {
            if (!put(glyph)) return false;
            i += used;
            continue;
        }
        bool ok = true;
        switch (kind(c1)) {
            case kBefore:
                ok = put(data::tamil_glyph_of[c1]) && put(glyph);
                break;
            case kTwoPart:
                ok = put(c1 == kSignOo ? 0xAB : 0xAA) && put(glyph) && put(c1 == kSignAu ? 0xF7 : 0xA3);
                break;
            default:
                ok = put(glyph) && put(data::tamil_glyph_of[c1]);
                break;
        }
        if (!ok) return false;
        i += used + 1;
    }
    return true;
}

template <typename Out>
int tamil_encode(std::u16string_view src, Out& dst, const Layout& l) {
    dst.clear();
    if (src.empty() || src.size() > kMaxEncodeCodes) return 0;
    uint8_t codes[kMaxEncodeCodes];
    size_t n = 0;
    for (char16_t u : src) {
        // Only the low byte picks the code: the Tamil block's low bytes
        // (0x80..0xFF) and ASCII's never collide.
        const uint8_t c = data::tamil_code_of_low[u & 0xFF];
        if (c == 0) return 0;
        codes[n++] = c;
    }
    if (!codes_to_glyphs(codes, n, l, dst)) {
        dst.clear();
        return 0;
    }
    return static_cast<int>(dst.size());
}

}  // namespace

NESSEL_SINK_CONVERTERS(tab, tamil_decode(src, dst, kTab), tamil_encode(src, dst, kTab))
NESSEL_SINK_CONVERTERS(tam, tamil_decode(src, dst, kTam), tamil_encode(src, dst, kTam))

}  // namespace nessel
