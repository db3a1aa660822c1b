// SPDX-License-Identifier: MIT
// nameprep/nameprep.h: preparing a UTF-16 name for an ACE codec.  Premapping
// and variant folding, mapping (RFC 3454 B.1/B.2), normalization form KC over
// Unicode 3.1 data, and the character checks.  Everything works on single
// 16-bit units; surrogates are never combined and are refused by the checks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/flags.h"
#include "base/limits.h"
#include "base/result_codes.h"
#include "data/paged_table.h"

namespace nessel {

// Longest input name, and the per-call work buffer (name plus terminator).
inline constexpr size_t kPrepMaxInput = kLabelBuffer - 1;
inline constexpr size_t kPrepWorkUnits = kLabelBuffer;

// ------------------------------------------------------------------ pipeline

// Prepares `in` (the units before its terminator; a 0 unit inside the view
// ends the name there) under `flags` into a caller's array: on success
// returns 0, writes the prepared name and a terminator to out (out_capacity
// units, terminator included) and its length to out_len; otherwise returns
// 203..207 and writes nothing.
// Refusals beyond the character checks:
//   206  input longer than 1023 units, a mapped name longer than 1023 units,
//        or the mapping index not built yet (before initialisation);
//   207  a normalized name longer than 1023 units, a result that with its
//        terminator exceeds out_capacity, or the normalization tables not
//        built yet.
[[nodiscard]] uint32_t name_prep_to(std::u16string_view in, char16_t* out, size_t out_capacity,
                                    uint32_t flags, size_t& out_len);
// True when prepared, a name that nameprep accepted under the options 0xA5,
// provably comes out of nameprep under flags accepted and unchanged, so
// that running it again can be left out.
bool name_prep_keeps_prepared(std::u16string_view prepared, uint32_t flags);

// ------------------------------------------------------------------ builders

// Check the compiled-in tables once (sorted, no unit twice, lookups agree
// with the lists) and mark them ready.  0 on success, negative on failure.
[[nodiscard]] int build_normalization_tables();
[[nodiscard]] int build_mapping_index();
bool normalization_ready();
bool mapping_ready();

// ------------------------------------------------------------------ normalization

void canonical_reorder(std::span<char16_t> s, uint32_t flags);
// Pairwise canonical composition (UAX #15) with the exclusion list.
[[nodiscard]] int compose(std::u16string_view s, std::u16string& out);
uint8_t combining_class(char16_t c);
// The primary composite of (first, second), 0 when there is none.  Excluded
// composites are still reported here; compose() skips them.
char16_t compose_pair(char16_t first, char16_t second);
bool composition_excluded(char16_t c);
// True when normalization leaves c unchanged in any name made only of such
// units (decomposition, reordering, the Thai rule and composition together).
bool normalization_keeps_unit(char16_t c);

// ------------------------------------------------------------------ checks

// 0 when no unit is prohibited, else the 1-based position of the first that is.
int check_prohibited(std::u16string_view name, uint32_t flags);
// 1 when the name passes the label character check, 0 otherwise.
int check_label_chars(std::u16string_view name, uint32_t flags);
// Both checks in one walk: 1 when check_prohibited fails, else 2 when
// check_label_chars fails, else 0.
int check_prohibited_and_label_chars(std::u16string_view name, uint32_t flags);
// 0 when every unit is in an allowed range, else the 1-based position of the
// first that is not; negative for an empty name.
int check_allowed(std::u16string_view name, uint32_t flags);
// 0 when no unit is excluded, else the first 1-based position; negative for
// an empty name.
int check_excluded(std::u16string_view name);

// Raw table membership, without the flag exemptions.
bool is_prohibited_unit(char16_t c);
bool is_label_refused_unit(char16_t c);
bool is_allowed_unit(char16_t c);
bool is_excluded_unit(char16_t c);

// ------------------------------------------------------------------ variant tables

struct VariantGroup {
    char16_t member[8];  // in order of addition; 0 ends; member[0] is the representative
};

struct VariantNode {
    char16_t key;
    VariantGroup* group;
    VariantNode* next;
};

struct VariantTable {
    uint32_t bucket_count = 0;
    std::vector<VariantNode*> buckets;
    // Storage for nodes and groups, reserved once so the pointers stay valid.
    std::vector<VariantNode> nodes;
    std::vector<VariantGroup> groups;
    // Direct unit -> representative lookup built from the chains once; it
    // answers exactly what the first matching node of a chain walk answers.
    // Page 0 is all zeros; `representative` reads the two and is empty
    // until the index is built.  The table stays where it was built (it is
    // held through a unique_ptr), so the view's pointers stay valid.
    std::array<uint16_t, 256> rep_page_of{};
    std::unique_ptr<char16_t[][256]> rep_pages;
    data::PagedTable<char16_t, uint16_t> representative{nullptr, nullptr};
};

// The bucket of a unit: low four bits, and bits 8 to 11 as bits 4 to 7.
constexpr uint32_t variant_hash(char16_t c) { return (c & 0x0Fu) ^ ((c >> 4) & 0xF0u); }

// Builds a table from pairs (a, b) ended by a pair whose first unit is 0.
// Null when an allocation fails.  Appending to a full group (8 members)
// prints the members to standard output.
std::unique_ptr<VariantTable> build_variant_table(uint32_t bucket_count, const char16_t* pairs);
// Representative of c's group; U+FFFD when the table is null or c has no node.
inline char16_t variant_lookup(const VariantTable* table, char16_t c) {
    if (table == nullptr || table->representative.page_of == nullptr) return 0xFFFD;
    const char16_t r = table->representative[c];
    return r != 0 ? r : 0xFFFD;
}

// The built-in pair lists, each ended by a (0, 0) pair.
const char16_t* chinese_variant_pairs();
const char16_t* arabic_variant_pairs();

// The process-wide tables, built on first use from any thread and immutable
// after; never released.  Null when a build failed: folding then changes
// nothing.
const VariantTable* chinese_variants();
const VariantTable* arabic_variants();
// The same tables as plain pointers, null until the accessor above first ran
// (on this thread, or published to it by other means).
extern const VariantTable* g_chinese_variants;
extern const VariantTable* g_arabic_variants;
// Builds both tables (Chinese, then Arabic), unchecked.
void build_variant_slots();

// ------------------------------------------------------------------ passes (in place)

void fold_variants(const VariantTable* table, std::span<char16_t> s);
void fold_arabic_variants(std::span<char16_t> s);
void fold_chinese_variants(std::span<char16_t> s);
void premap_japanese(std::span<char16_t> s);
void premap_korean(std::span<char16_t> s);
void premap_to_traditional(std::span<char16_t> s);
void premap_ideographic_stop(std::span<char16_t> s);
void premap_at_signs(std::span<char16_t> s);

}  // namespace nessel
