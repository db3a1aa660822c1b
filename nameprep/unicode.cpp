// SPDX-License-Identifier: MIT
// nameprep/unicode.cpp: the nameprep pipeline and its mapping step.
// Mapping: RFC 3454 tables B.1 (to nothing) and B.2 (case folding for NFKC)
// in the BMP, plus U+0131 -> "i"; compiled in from data/nameprep_map.h with a
// direct unit -> entry lookup.  The pipeline runs on fixed per-call arrays
// and allocates only the caller's result.
#include <atomic>
#include <algorithm>

#include "data/nameprep_map.h"
#include "nameprep/internal.h"
#include "nameprep/nameprep.h"

namespace nessel {
namespace {

using namespace nessel::data;

// Set once the index is checked; conversions on other threads read it.
std::atomic<bool> g_mapping_ready{false};

uint16_t entry_number(char16_t c) { return kMapEntry_pages[kMapEntry_page_of[c >> 8]][c & 0xFF]; }

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

uint32_t name_prep(std::u16string_view in, std::u16string& out, uint32_t flags,
                   size_t out_capacity) {
    in = in.substr(0, in.find(u'\0'));
    if (in.empty()) return PREP_ERR_PROHIBITED;
    // Names longer than the work buffer, or names whose mapping outgrows it,
    // are refused as failures of the mapping step; results that outgrow it
    // after normalization, or that do not fit the caller's capacity, as
    // failures of normalization.  Before initialisation the steps have no
    // tables and fail the same way.
    if (in.size() > kPrepMaxInput || !mapping_ready()) return PREP_ERR_MAP_FAILED;
    if (!normalization_ready()) return PREP_ERR_NORMALIZE_FAILED;

    char16_t work[kPrepWorkUnits];
    std::span<char16_t> name(work, in.size());
    std::copy(in.begin(), in.end(), work);
    if (flags & PREP_LOCAL_RULES) fold_arabic_variants(name);
    if (flags & PREP_JAPANESE_PREMAP) premap_japanese(name);
    if (flags & PREP_KOREAN_PREMAP) premap_korean(name);
    if ((flags & PREP_TO_TRADITIONAL) && !(flags & PREP_TO_SIMPLIFIED)) premap_to_traditional(name);
    if (flags & PREP_MAP_IDEOGRAPHIC_STOP) premap_ideographic_stop(name);
    if (flags & PREP_DELIMITERS) premap_at_signs(name);

    char16_t mapped[kPrepWorkUnits];
    size_t mapped_len = prep_detail::map_units(work, name.size(), mapped, kPrepMaxInput);
    if (mapped_len == prep_detail::kOverflow) return PREP_ERR_MAP_FAILED;

    char16_t result[kDecomposeUnits];
    size_t len = prep_detail::decompose_units(mapped, mapped_len, result, kDecomposeUnits, flags);
    if (len == prep_detail::kOverflow) return PREP_ERR_NORMALIZE_FAILED;
    len = prep_detail::compose_units(result, len);
    if (len > kPrepMaxInput) return PREP_ERR_NORMALIZE_FAILED;

    std::span<char16_t> prepared(result, len);
    if (flags & PREP_LOCAL_RULES) {
        fold_arabic_variants(prepared);
        if ((flags & PREP_TO_SIMPLIFIED) && !(flags & PREP_TO_TRADITIONAL))
            fold_chinese_variants(prepared);
        std::u16string_view view(result, len);
        if (check_prohibited(view, flags) != 0) return PREP_ERR_PROHIBITED;
        if (check_label_chars(view, flags) == 0) return PREP_ERR_LABEL_CHAR;
    } else if (check_prohibited(std::u16string_view(result, len), flags) != 0) {
        return PREP_ERR_PROHIBITED;
    }
    if (flags & PREP_CHECK_ALLOWED) {
        std::u16string_view view(result, len);
        if (check_allowed(view, flags) != 0 || check_excluded(view) != 0)
            return PREP_ERR_NOT_ALLOWED;
    }
    if (len + 1 > out_capacity) return PREP_ERR_NORMALIZE_FAILED;
    out.assign(result, len);
    return 0;
}

}  // namespace nessel
