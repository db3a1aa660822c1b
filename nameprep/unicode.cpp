// SPDX-License-Identifier: MIT
// nameprep/unicode.cpp: the nameprep pipeline and its mapping step.
// Mapping: RFC 3454 tables B.1 (to nothing) and B.2 (case folding for NFKC)
// in the BMP, plus U+0131 -> "i"; compiled in from data/nameprep_map.h with a
// direct unit -> entry lookup.  The pipeline runs on fixed per-call arrays
// and allocates only the caller's result.
#include <atomic>
#include <algorithm>

#include "base/units.h"
#include "data/nameprep_map.h"
#include "nameprep/internal.h"
#include "nameprep/nameprep.h"
#include "nameprep/testing.h"

namespace nessel {
namespace {

using namespace nessel::data;

// Set once the index is checked; conversions on other threads read it.
std::atomic<bool> g_mapping_ready{false};

uint16_t entry_number(char16_t c) { return kMapEntry[c]; }

// Room for the full decomposition of a longest input: at most 18 units per
// unit, so 20 per unit plus 21 never runs out.
constexpr size_t kDecomposeUnits = 20 * kPrepMaxInput + 21;

}  // namespace

bool mapping_ready() { return g_mapping_ready.load(std::memory_order_acquire); }

int build_mapping_index() {
    // Walk the entry sequence once: keys strictly ascending, at most four
    // replacement units, and the compiled index and lookup agree with it.
    size_t pos = 0;
    unsigned entries = 0;
    int previous = -1;
    while (pos < std::size(kMapTable) && kMapTable[pos] != 0) {
        char16_t key = kMapTable[pos];
        if (entries >= kMapCount || kMapIndex[entries] != pos || static_cast<int>(key) <= previous ||
            entry_number(key) != entries + 1)
            return -1;
        size_t end = pos + 1;
        while (end < std::size(kMapTable) && kMapTable[end] != 0) ++end;
        if (end >= std::size(kMapTable) || end - pos - 1 > 4) return -1;
        previous = key;
        pos = end + 1;
        ++entries;
    }
    if (entries != kMapCount || pos != std::size(kMapTable) - 1) return -1;
    g_mapping_ready.store(true, std::memory_order_release);
    return 0;
}

MapEntry map_entry(char16_t c) {
    uint16_t n = entry_number(c);
    if (n == 0) return {nullptr, 0};
    const char16_t* units = &kMapTable[kMapIndex[n - 1] + 1];
    size_t len = 0;
    while (units[len] != 0) ++len;
    return {units, len};
}

size_t mapping_table_count() { return kMapCount; }

namespace prep_detail {

size_t map_units(const char16_t* in, size_t n, char16_t* out, size_t cap) {
    size_t w = 0;
    for (size_t i = 0; i < n; ++i) {
        uint16_t e = entry_number(in[i]);
        if (e == 0) {
            if (w == cap) return kOverflow;
            out[w++] = in[i];
            continue;
        }
        for (const char16_t* r = &kMapTable[kMapIndex[e - 1] + 1]; *r != 0; ++r) {
            if (w == cap) return kOverflow;
            out[w++] = *r;
        }
    }
    return w;
}

}  // namespace prep_detail

int map_name(std::u16string_view name, std::u16string& out) {
    out.clear();
    if (!mapping_ready()) return 0;
    out.resize(4 * name.size());  // each unit yields at most four
    out.resize(prep_detail::map_units(name.data(), name.size(), out.data(), out.size()));
    return 1;
}

namespace {

// True when the premapping, mapping, normalization and folding steps give
// in back unchanged under flags: no premapping table or Chinese folding is
// asked for, and every unit has no mapping entry, is none of the units the
// delimiter premapping changes, is not folded by the Arabic table (under
// kPrepLocalRules) and is kept by normalization.
bool steps_keep(std::u16string_view in, uint32_t flags) {
    const bool chinese_folding = (flags & kPrepLocalRules) && (flags & kPrepToSimplified) &&
                                 !(flags & kPrepToTraditional);
    const bool to_traditional = (flags & kPrepToTraditional) && !(flags & kPrepToSimplified);
    if (chinese_folding || to_traditional || (flags & (kPrepJapanesePremap | kPrepKoreanPremap)))
        return false;
    const VariantTable* arabic = (flags & kPrepLocalRules) != 0 ? arabic_variants() : nullptr;
    for (char16_t u : in) {
        if (!prep_detail::steps_leave_unit(u)) return false;
        // Only a unit on a page that the table folds on can fold.
        if (arabic != nullptr && arabic->rep_page_of[u >> 8] != 0) {
            const char16_t folded = variant_lookup(arabic, u);
            if (folded != 0xFFFD && folded != u) return false;
        }
    }
    return true;
}

// The premapping, mapping, normalization and folding steps into result;
// the length, kOverflow when the mapped name outgrows the work buffer,
// kOverflow - 1 when the normalized one does.
size_t transform(std::u16string_view in, char16_t* result, uint32_t flags) {
    using prep_detail::kOverflow;
    char16_t work[kPrepWorkUnits];
    std::span<char16_t> name(work, in.size());
    std::copy(in.begin(), in.end(), work);
    if (flags & kPrepLocalRules) fold_arabic_variants(name);
    if (flags & kPrepJapanesePremap) premap_japanese(name);
    if (flags & kPrepKoreanPremap) premap_korean(name);
    if ((flags & kPrepToTraditional) && !(flags & kPrepToSimplified)) premap_to_traditional(name);
    if (flags & kPrepMapIdeographicStop) premap_ideographic_stop(name);
    if (flags & kPrepDelimiters) premap_at_signs(name);

    char16_t mapped[kPrepWorkUnits];
    size_t mapped_len = prep_detail::map_units(work, name.size(), mapped, kPrepMaxInput);
    if (mapped_len == kOverflow) return kOverflow;

    size_t len = prep_detail::decompose_units(mapped, mapped_len, result, kDecomposeUnits, flags);
    if (len == kOverflow) return kOverflow - 1;
    len = prep_detail::compose_units(result, len);
    if (len > kPrepMaxInput) return kOverflow - 1;
    if (flags & kPrepLocalRules) {
        std::span<char16_t> prepared(result, len);
        fold_arabic_variants(prepared);
        if ((flags & kPrepToSimplified) && !(flags & kPrepToTraditional))
            fold_chinese_variants(prepared);
    }
    return len;
}

// The checks on the transformed name, then the copy into out.
uint32_t check_and_deliver(std::u16string_view view, char16_t* out, size_t out_capacity,
                           uint32_t flags, size_t& out_len) {
    if (flags & kPrepLocalRules) {
        const int failed = check_prohibited_and_label_chars(view, flags);
        if (failed == 1) return kPrepProhibited;
        if (failed == 2) return kPrepLabelChar;
    } else if (check_prohibited(view, flags) != 0) {
        return kPrepProhibited;
    }
    if (flags & kPrepCheckAllowed) {
        if (check_allowed(view, flags) != 0 || check_excluded(view) != 0)
            return kPrepNotAllowed;
    }
    if (view.size() + 1 > out_capacity) return kPrepNormalizeFailed;
    std::copy(view.begin(), view.end(), out);
    out[view.size()] = 0;
    out_len = view.size();
    return 0;
}

}  // namespace

uint32_t name_prep_to(std::u16string_view in, char16_t* out, size_t out_capacity, uint32_t flags,
                      size_t& out_len) {
    return prep_detail::prepare(in, out, out_capacity, flags, out_len, true);
}

namespace prep_detail {

uint32_t prepare(std::u16string_view in, char16_t* out, size_t out_capacity, uint32_t flags,
                 size_t& out_len, bool shortcut) {
    in = in.substr(0, find_unit(in, 0));
    if (in.empty()) return kPrepProhibited;
    // Names longer than the work buffer, or names whose mapping outgrows it,
    // are refused as failures of the mapping step; results that outgrow it
    // after normalization, or that do not fit the caller's capacity, as
    // failures of normalization.  Before initialisation the steps have no
    // tables and fail the same way.
    if (in.size() > kPrepMaxInput || !mapping_ready()) return kPrepMapFailed;
    if (!normalization_ready()) return kPrepNormalizeFailed;

    if (shortcut && steps_keep(in, flags))
        return check_and_deliver(in, out, out_capacity, flags, out_len);
    char16_t result[kDecomposeUnits];
    const size_t len = transform(in, result, flags);
    if (len == kOverflow) return kPrepMapFailed;
    if (len == kOverflow - 1) return kPrepNormalizeFailed;
    return check_and_deliver(std::u16string_view(result, len), out, out_capacity, flags, out_len);
}

}  // namespace prep_detail

uint32_t name_prep(std::u16string_view in, std::u16string& out, uint32_t flags,
                   size_t out_capacity) {
    char16_t result[kPrepWorkUnits];
    size_t len = 0;
    const uint32_t code =
        name_prep_to(in, result, std::min(out_capacity, kPrepWorkUnits), flags, len);
    if (code == 0) out.assign(result, len);
    return code;
}

bool name_prep_keeps_prepared(std::u16string_view prepared, uint32_t flags) {
    // A name prepared with 0xA5 is mapped, normalized, Arabic-folded and free
    // of U+3002, U+FE6B and U+FF20, and it passed the prohibited check and
    // the label character check with ".", "@" and "_" exempt.  Premapping
    // tables, Chinese folding and the allowed-range check can still change
    // or refuse it; the label character check refuses it again unless the
    // same three units are exempt.  Everything else leaves it as it is.
    const bool chinese_folding = (flags & kPrepLocalRules) && (flags & kPrepToSimplified) &&
                                 !(flags & kPrepToTraditional);
    const bool to_traditional = (flags & kPrepToTraditional) && !(flags & kPrepToSimplified);
    if (chinese_folding || to_traditional) return false;
    if (flags & (kPrepJapanesePremap | kPrepKoreanPremap | kPrepCheckAllowed)) return false;
    if ((flags & kPrepLocalRules) &&
        (flags & (kPrepDelimiters | kPrepAllowUnderscore)) != (kPrepDelimiters | kPrepAllowUnderscore))
        return false;
    // The Thai reordering moves a tone mark in front of U+0E4D after the
    // canonical ordering; a mark of a higher class before the tone mark is
    // then out of order, and the next normalization reorders it.
    for (size_t i = find_unit(prepared, 0x0E4D); i != std::u16string_view::npos;) {
        if (i > 0 && prepared[i - 1] >= 0x0E48 && prepared[i - 1] <= 0x0E4B) return false;
        const size_t next = find_unit(prepared.substr(i + 1), 0x0E4D);
        i = next == std::u16string_view::npos ? next : i + 1 + next;
    }
    return true;
}

}  // namespace nessel
