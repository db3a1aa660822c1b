// SPDX-License-Identifier: MIT
// nameprep/normalize.cpp: normalization form KC over Unicode 3.1 (BMP).
// Decomposition, classes and the composition pair index are compiled in
// (data/nfkc.h); composition follows the pairwise algorithm of UAX #15 with
// this library's exclusion list, and the Thai reordering under kPrepLocalRules.
#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <utility>

#include "data/nameprep_map.h"
#include "data/nfkc.h"
#include "nameprep/internal.h"
#include "nameprep/nameprep.h"
#include "nameprep/testing.h"

namespace nessel {
namespace {

using namespace nessel::data;

constexpr char16_t kSBase = 0xAC00, kLBase = 0x1100, kVBase = 0x1161, kTBase = 0x11A7;
constexpr int kLCount = 19, kVCount = 21, kTCount = 28;
constexpr int kNCount = kVCount * kTCount, kSCount = kLCount * kNCount;

// Set once the tables are built; conversions on other threads read it.
std::atomic<bool> g_ready{false};

// Composites that composition never forms (the script-specific exclusions
// as of Unicode 3.0, plus U+0F73, U+0F75, U+0F81).  U+FB1D stays composable.
constexpr std::pair<char16_t, char16_t> kExclusions[] = {
    {0x0958, 0x095F}, {0x09DC, 0x09DF}, {0x0A33, 0x0A33}, {0x0A36, 0x0A36},
    {0x0A59, 0x0A5B}, {0x0A5E, 0x0A5E}, {0x0B5C, 0x0B5D}, {0x0F43, 0x0F43},
    {0x0F4D, 0x0F4D}, {0x0F52, 0x0F52}, {0x0F57, 0x0F57}, {0x0F5C, 0x0F5C},
    {0x0F69, 0x0F69}, {0x0F73, 0x0F73}, {0x0F75, 0x0F76}, {0x0F78, 0x0F78},
    {0x0F81, 0x0F81}, {0x0F93, 0x0F93}, {0x0F9D, 0x0F9D}, {0x0FA2, 0x0FA2},
    {0x0FA7, 0x0FA7}, {0x0FAC, 0x0FAC}, {0x0FB9, 0x0FB9}, {0xFB1F, 0xFB1F},
    {0xFB2A, 0xFB36}, {0xFB38, 0xFB3C}, {0xFB3E, 0xFB3E}, {0xFB40, 0xFB41},
    {0xFB43, 0xFB44}, {0xFB46, 0xFB4E},
};

constexpr uint16_t decomposition_offset(char16_t c) {
    return kDecomposition[c];
}

constexpr bool is_hangul_syllable(char16_t c) { return c >= kSBase && c < kSBase + kSCount; }

constexpr uint8_t class_of(char16_t c) {
    return kCombiningClass[c];
}

constexpr char16_t pair_of(char16_t first, char16_t second) {
    const uint16_t f = kFirstIndex[first];
    const uint16_t s = kSecondIndex[second];
    if (f == 0 || s == 0) return 0;
    return kCompositionMatrix[(s - 1) * kFirstCount + (f - 1)];
}

constexpr bool excluded(char16_t c) {
    for (auto [lo, hi] : kExclusions)
        if (c >= lo && c <= hi) return true;
    return false;
}

// Can c start a composition with the character before it?  (A second unit
// of a composition pair, or a conjoining vowel or trailing jamo.)
constexpr bool composes_backwards(char16_t c) {
    return kSecondIndex[c] != 0 ||
           (c >= kVBase && c < kVBase + kVCount) || (c > kTBase && c < kTBase + kTCount);
}

// A unit is stable when normalization gives it back unchanged whatever
// stable units stand around it: its class is 0; its full decomposition
// starts with a class-0 unit that composes with nothing before it, is in
// canonical order, holds no Thai tone mark or U+0E4D (the Thai reordering),
// and composes back to the unit alone.  A name of stable units therefore
// decomposes into runs that each begin with a starter blocking composition
// across it, reorders to itself and composes back to itself.
constexpr bool stable_unit(char16_t u) {
    if (class_of(u) != 0) return false;
    if (is_hangul_syllable(u)) return true;  // L V (T), composed back algorithmically
    const uint16_t off = decomposition_offset(u);
    if (off == 0) return !composes_backwards(u);
    const size_t len = kDecompositionPool[off];
    const char16_t* d = &kDecompositionPool[off + 1];
    if (class_of(d[0]) != 0 || composes_backwards(d[0])) return false;
    for (size_t i = 0; i < len; ++i) {
        if ((d[i] >= 0x0E48 && d[i] <= 0x0E4B) || d[i] == 0x0E4D) return false;
        if (i > 0 && class_of(d[i - 1]) > 0 && class_of(d[i]) > 0 &&
            class_of(d[i - 1]) > class_of(d[i]))
            return false;
    }
    // The composition walk of compose_units over d alone.
    char16_t starter = d[0];
    size_t kept = 1;
    int last_class = 0;
    for (size_t i = 1; i < len; ++i) {
        const int ch_class = class_of(d[i]);
        const char16_t composite = pair_of(starter, d[i]);
        if (composite != 0 && !excluded(composite) && (last_class < ch_class || last_class == 0)) {
            starter = composite;
        } else {
            if (ch_class == 0) starter = d[i];
            last_class = ch_class;
            ++kept;
        }
    }
    return kept == 1 && starter == u;
}

// The stable units as a bit set, built at compile time in parts of 2048
// units, each its own constant evaluation so that none grows too long.
constexpr unsigned kStablePart = 2048;
using StableBits = std::array<uint64_t, kStablePart / 64>;
template <unsigned Part>
constexpr StableBits kStablePartBits = [] {
    StableBits bits{};
    for (unsigned i = 0; i < kStablePart; ++i)
        if (stable_unit(static_cast<char16_t>(Part * kStablePart + i)))
            bits[i >> 6] |= uint64_t{1} << (i & 63);
    return bits;
}();
template <unsigned... Parts>
constexpr std::array<StableBits, sizeof...(Parts)> stable_bits(std::integer_sequence<unsigned, Parts...>) {
    return {kStablePartBits<Parts>...};
}
constexpr auto kStable = stable_bits(std::make_integer_sequence<unsigned, 0x10000 / kStablePart>());

// The stable units that also have no mapping entry and are not U+3002: the
// units that the mapping, normalization and ideographic-stop steps all leave
// as they are.  Built part by part like kStable.
template <unsigned Part>
constexpr StableBits kUntouchedPartBits = [] {
    StableBits bits = kStable[Part];
    for (unsigned i = 0; i < kStablePart; ++i) {
        const unsigned c = Part * kStablePart + i;
        if (c == 0x3002 || kMapEntry_pages[kMapEntry_page_of[c >> 8]][c & 0xFF] != 0)
            bits[i >> 6] &= ~(uint64_t{1} << (i & 63));
    }
    return bits;
}();
template <unsigned... Parts>
constexpr std::array<uint64_t, 0x10000 / 64> untouched_bits(std::integer_sequence<unsigned, Parts...>) {
    std::array<uint64_t, 0x10000 / 64> all{};
    size_t w = 0;
    for (const StableBits& part : {kUntouchedPartBits<Parts>...})
        for (uint64_t word : part) all[w++] = word;
    return all;
}

// Checks one source list: strictly ascending composites (so none twice),
// `count` entries, each with a compiled full decomposition.
bool list_sound(const char16_t* list, size_t size, unsigned count) {
    unsigned entries = 0;
    int previous = -1;
    size_t i = 0;
    while (i < size && list[i] != 0) {
        char16_t composite = list[i];
        if (static_cast<int>(composite) <= previous || decomposition_offset(composite) == 0)
            return false;
        previous = composite;
        size_t j = i + 1;
        while (j < size && list[j] != 0) ++j;
        if (j == i + 1 || j >= size) return false;  // empty decomposition or no terminator
        i = j + 1;
        ++entries;
    }
    return entries == count && i == size - 1;
}

// Appends the full decomposition of c to out[w..cap); false when it does not fit.
bool append_decomposition(char16_t c, char16_t* out, size_t& w, size_t cap) {
    uint16_t off = decomposition_offset(c);
    if (off != 0) {
        size_t len = kDecompositionPool[off];
        if (cap - w < len) return false;
        std::copy_n(&kDecompositionPool[off + 1], len, out + w);
        w += len;
        return true;
    }
    if (is_hangul_syllable(c)) {
        int s = c - kSBase;
        size_t len = s % kTCount ? 3 : 2;
        if (cap - w < len) return false;
        out[w++] = static_cast<char16_t>(kLBase + s / kNCount);
        out[w++] = static_cast<char16_t>(kVBase + (s % kNCount) / kTCount);
        if (s % kTCount) out[w++] = static_cast<char16_t>(kTBase + s % kTCount);
        return true;
    }
    if (w == cap) return false;
    out[w++] = c;
    return true;
}

}  // namespace

bool normalization_ready() { return g_ready.load(std::memory_order_acquire); }

int build_normalization_tables() {
    if (!list_sound(kCanonicalList, std::size(kCanonicalList), kCanonicalCount) ||
        !list_sound(kCompatibilityList, std::size(kCompatibilityList), kCompatibilityCount))
        return -1;
    // No unit may appear in both lists: walk the two sorted lists together.
    size_t i = 0, j = 0;
    while (kCanonicalList[i] != 0 && kCompatibilityList[j] != 0) {
        char16_t a = kCanonicalList[i], b = kCompatibilityList[j];
        if (a == b) return -1;
        if (a < b)
            while (kCanonicalList[i++] != 0) {}
        else
            while (kCompatibilityList[j++] != 0) {}
    }
    g_ready.store(true, std::memory_order_release);
    return 0;
}

uint8_t combining_class(char16_t c) { return class_of(c); }

char16_t compose_pair(char16_t first, char16_t second) { return pair_of(first, second); }

bool composition_excluded(char16_t c) { return excluded(c); }

namespace prep_detail {
constinit const std::array<uint64_t, 0x10000 / 64> kUntouchedUnits =
    untouched_bits(std::make_integer_sequence<unsigned, 0x10000 / kStablePart>());
}  // namespace prep_detail

bool normalization_keeps_unit(char16_t c) {
    return (kStable[c / kStablePart][(c % kStablePart) >> 6] >> (c & 63)) & 1;
}

std::u16string_view full_decomposition(char16_t c) {
    uint16_t off = decomposition_offset(c);
    if (off == 0) return {};
    return {&kDecompositionPool[off + 1], kDecompositionPool[off]};
}

std::u16string_view canonical_list() { return {kCanonicalList, std::size(kCanonicalList)}; }
std::u16string_view compatibility_list() {
    return {kCompatibilityList, std::size(kCompatibilityList)};
}
uint16_t composition_first_count() { return kFirstCount; }
uint16_t composition_second_count() { return kSecondCount; }

void canonical_reorder(std::span<char16_t> s, uint32_t flags) {
    // Exchange walk: a mark is moved left past marks of a higher class; marks
    // of equal class keep their order.
    size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        uint8_t a = combining_class(s[i]);
        uint8_t b = i + 1 < n ? combining_class(s[i + 1]) : 0;
        if (a > 0 && b > 0 && a > b) {
            std::swap(s[i], s[i + 1]);
            if (i > 0) --i;
        } else {
            ++i;
        }
    }
    if (flags & kPrepLocalRules) {
        // Thai: NIKHAHIT, tone mark, SARA AA is written tone mark first.
        for (i = 0; i < n; ++i) {
            if (s[i] != 0x0E4D) continue;
            if (n - i < 3) break;
            if (s[i + 2] == 0x0E32 && s[i + 1] >= 0x0E48 && s[i + 1] <= 0x0E4B)
                std::swap(s[i], s[i + 1]);
        }
    }
}

namespace prep_detail {

size_t decompose_units(const char16_t* in, size_t n, char16_t* out, size_t cap, uint32_t flags) {
    size_t w = 0;
    for (size_t i = 0; i < n; ++i)
        if (!append_decomposition(in[i], out, w, cap)) return kOverflow;
    canonical_reorder(std::span<char16_t>(out, w), flags);
    return w;
}

size_t compose_units(char16_t* s, size_t n) {
    if (n < 2) return n;
    char16_t starter = s[0];
    size_t starter_pos = 0;
    int last_class = combining_class(starter);
    if (last_class != 0) last_class = 256;  // a leading mark never takes a composite
    size_t w = 1;
    for (size_t i = 1; i < n; ++i) {
        char16_t ch = s[i];
        int ch_class = combining_class(ch);
        int l_index = starter - kLBase, v_index = ch - kVBase;
        int s_index = starter - kSBase, t_index = ch - kTBase;
        char16_t composite;
        if (l_index >= 0 && l_index < kLCount && v_index >= 0 && v_index < kVCount)
            composite = static_cast<char16_t>(kSBase + (l_index * kVCount + v_index) * kTCount);
        else if (s_index >= 0 && s_index < kSCount && s_index % kTCount == 0 && t_index > 0 &&
                 t_index < kTCount)
            composite = static_cast<char16_t>(starter + t_index);
        else
            composite = compose_pair(starter, ch);
        if (composite != 0 && !composition_excluded(composite) &&
            (last_class < ch_class || last_class == 0)) {
            s[starter_pos] = composite;
            starter = composite;
        } else {
            if (ch_class == 0) {
                starter_pos = w;
                starter = ch;
            }
            last_class = ch_class;
            s[w++] = ch;
        }
    }
    return w;
}

}  // namespace prep_detail

int decompose_full(std::u16string_view name, std::u16string& out, uint32_t flags) {
    out.clear();
    if (!normalization_ready()) return 0;
    // Every unit decomposes to at most 18 units, so 20 per unit plus 21 is
    // always enough.
    out.resize(20 * name.size() + 21);
    size_t len = prep_detail::decompose_units(name.data(), name.size(), out.data(), out.size(), flags);
    if (len == prep_detail::kOverflow) {
        out.clear();
        return 0;
    }
    out.resize(len);
    return 1;
}

int compose(std::u16string_view s, std::u16string& out) {
    out.assign(s);
    out.resize(prep_detail::compose_units(out.data(), out.size()));
    return 1;
}

int normalize_nfkc(std::u16string_view name, std::u16string& out, uint32_t flags) {
    out.clear();
    if (!normalization_ready()) return 0;
    std::u16string decomposed;
    if (!decompose_full(name, decomposed, flags)) return 0;
    return compose(decomposed, out);
}

}  // namespace nessel
