// SPDX-License-Identifier: MIT
// nameprep/variants.cpp: variant tables (256-bucket hash of groups of up to 8
// equivalent units, each folding to its first member) and the one-for-one
// premapping passes.  The Chinese pair list and the premapping tables are
// generated (data/variants_zh.h, data/nameprep_premap.h).
#include <algorithm>
#include <cstdio>
#include <new>

#include "data/nameprep_premap.h"
#include "data/variants_zh.h"
#include "nameprep/nameprep.h"
#include "nameprep/testing.h"

namespace nessel {

const VariantTable* g_chinese_variants = nullptr;
const VariantTable* g_arabic_variants = nullptr;

namespace {

// The tables stay for the life of the process; they are released only when
// the library itself is unloaded (dlclose or process exit), after which no
// call can reach them.
struct SlotRelease {
    ~SlotRelease() {
        delete g_chinese_variants;
        delete g_arabic_variants;
        g_chinese_variants = g_arabic_variants = nullptr;
    }
} g_slot_release;

// ALEF MAKSURA folds to YEH.
constexpr char16_t kArabicPairs[] = {0x0649, 0x064A, 0, 0};

constexpr size_t kGroupSize = 8;

VariantNode* find_node(const VariantTable& t, char16_t c) {
    for (VariantNode* n = t.buckets[variant_hash(c)]; n != nullptr; n = n->next)
        if (n->key == c) return n;
    return nullptr;
}

void insert_node(VariantTable& t, char16_t key, VariantGroup* group) {
    VariantNode*& head = t.buckets[variant_hash(key)];
    t.nodes.push_back(VariantNode{key, group, head});
    head = &t.nodes.back();
}

void append_member(VariantGroup& g, char16_t c) {
    size_t count = 0;
    while (count < kGroupSize && g.member[count] != 0) ++count;
    if (count == kGroupSize) {
        // A ninth member is reported and not stored; its node still points to
        // the group, so it folds to the representative like the others.
        for (char16_t m : g.member) std::printf("%x\n", static_cast<unsigned>(m));
        return;
    }
    g.member[count] = c;
}

// Fills the direct lookup from the chains.  Chains are walked from their
// heads, so the first node seen for a key is the one a lookup would find.
void build_direct_index(VariantTable& t) {
    // One page per high byte that a key has, numbered from 1; page 0 stays
    // all zeros for every other high byte.
    uint16_t pages = 1;
    for (VariantNode* head : t.buckets)
        for (VariantNode* n = head; n != nullptr; n = n->next)
            if (t.rep_page_of[n->key >> 8] == 0) t.rep_page_of[n->key >> 8] = pages++;
    t.rep_pages = std::make_unique<char16_t[][256]>(pages);
    for (VariantNode* head : t.buckets) {
        for (VariantNode* n = head; n != nullptr; n = n->next) {
            char16_t& slot = t.rep_pages[t.rep_page_of[n->key >> 8]][n->key & 0xFF];
            if (slot == 0) slot = n->group->member[0];
        }
    }
    t.representative = {t.rep_page_of.data(), t.rep_pages.get()};
}

void premap(std::span<char16_t> s, data::PagedTable<char16_t> map) {
    for (char16_t& u : s) {
        char16_t r = map[u];
        if (r != 0) u = r;
    }
}

}  // namespace

std::unique_ptr<VariantTable> build_variant_table(uint32_t bucket_count, const char16_t* pairs) {
    try {
        auto t = std::make_unique<VariantTable>();
        // The hash always yields a bucket below 256, so fewer heads than that
        // would be indexed out of range: never allocate fewer.
        t->bucket_count = std::max<uint32_t>(bucket_count, 256);
        t->buckets.assign(t->bucket_count, nullptr);
        size_t count = 0;
        if (pairs != nullptr)
            while (pairs[2 * count] != 0) ++count;
        t->nodes.reserve(2 * count);
        t->groups.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            char16_t a = pairs[2 * i], b = pairs[2 * i + 1];
            // A zero representative would end the string it is folded into.
            if (b == 0) continue;
            if (VariantNode* nb = find_node(*t, b)) {
                append_member(*nb->group, a);
                insert_node(*t, a, nb->group);
            } else {
                t->groups.push_back(VariantGroup{});
                VariantGroup* g = &t->groups.back();
                append_member(*g, b);
                append_member(*g, a);
                insert_node(*t, b, g);
                insert_node(*t, a, g);
            }
        }
        build_direct_index(*t);
        return t;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}


char16_t variant_lookup_chain(const VariantTable* table, char16_t c) {
    if (table == nullptr) return 0xFFFD;
    const VariantNode* n = find_node(*table, c);
    return n != nullptr ? n->group->member[0] : 0xFFFD;
}

const char16_t* chinese_variant_pairs() { return data::kZhVariantPairs; }
const char16_t* arabic_variant_pairs() { return kArabicPairs; }

namespace {

const VariantTable* fill_slot(const VariantTable*& slot, const char16_t* pairs) {
    slot = build_variant_table(256, pairs).release();
    return slot;
}

}  // namespace

// Each table is built on its first use, under the thread-safe initialisation
// of a local static, and never changes after; a start that converts no
// Chinese name never pays for the Chinese table.  A failed build leaves the
// slot empty and its folding pass then changes nothing.
const VariantTable* chinese_variants() {
    static const VariantTable* const table = fill_slot(g_chinese_variants, chinese_variant_pairs());
    return table;
}

const VariantTable* arabic_variants() {
    static const VariantTable* const table = fill_slot(g_arabic_variants, arabic_variant_pairs());
    return table;
}

void build_variant_slots() {
    chinese_variants();
    arabic_variants();
}

void fold_variants(const VariantTable* table, std::span<char16_t> s) {
    if (table == nullptr) return;
    for (char16_t& u : s) {
        char16_t r = variant_lookup(table, u);
        if (r != 0xFFFD) u = r;
    }
}

void fold_arabic_variants(std::span<char16_t> s) { fold_variants(arabic_variants(), s); }
void fold_chinese_variants(std::span<char16_t> s) { fold_variants(chinese_variants(), s); }

void premap_japanese(std::span<char16_t> s) {
    premap(s, data::kJapaneseMap);
}
void premap_korean(std::span<char16_t> s) {
    premap(s, data::kKoreanMap);
}
void premap_to_traditional(std::span<char16_t> s) {
    premap(s, data::kS2TMap);
}

void premap_ideographic_stop(std::span<char16_t> s) {
    std::replace(s.begin(), s.end(), char16_t{0x3002}, u'.');
}

void premap_at_signs(std::span<char16_t> s) {
    for (char16_t& u : s)
        if (u == 0xFE6B || u == 0xFF20) u = u'@';
}

}  // namespace nessel
