// SPDX-License-Identifier: MIT
// tests/unit/variants_test.cpp: variant tables (grouping, hash chains,
// lookups, the full-group report) and the premapping passes, whose rows are
// in tests/vectors/variants/folding.tsv.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "data/nameprep_premap.h"
#include "nameprep/testing.h"
#include "test_support.h"
#include "vectors.h"

using namespace nessel;
using nessel::test::show;
using nessel::test::U;

namespace {
size_t members(const VariantGroup& g) {
    size_t n = 0;
    while (n < std::size(g.member) && g.member[n] != 0) ++n;
    return n;
}

std::u16string fold(void (*pass)(std::span<char16_t>), std::u16string s) {
    pass(s);
    return s;
}

class Variants : public ::testing::Test {
protected:
    static void SetUpTestSuite() { build_variant_slots(); }
};

TEST_F(Variants, FoldingRows) {
    const std::map<std::string, void (*)(std::span<char16_t>)> passes = {
        {"chinese", fold_chinese_variants}, {"arabic", fold_arabic_variants}, {"traditional", premap_to_traditional},
        {"japanese", premap_japanese},      {"korean", premap_korean},        {"stop", premap_ideographic_stop},
        {"at", premap_at_signs}};
    const auto rows = test::read_rows("variants/folding.tsv", 3);
    for (const auto& r : rows)
        EXPECT_EQ(show(fold(passes.at(r[0]), U(test::text(r[1])))), show(U(test::text(r[2])))) << r.where;
    EXPECT_GT(rows.size(), 10u);
}

// In both built-in tables and in one with a repeated unit: each node sits in
// the bucket of its key, one node per member, and the direct lookup answers
// what a walk of the bucket chain answers, for every unit.
TEST_F(Variants, DirectLookupMatchesChainWalk) {
    const char16_t twice[] = {0x0101, 0x0102, 0x0101, 0x0103, 0x0201, 0x0101, 0, 0};
    auto repeated = build_variant_table(256, twice);
    ASSERT_NE(repeated, nullptr);
    ASSERT_NE(g_chinese_variants, nullptr);
    for (const VariantTable* t : {g_chinese_variants, g_arabic_variants, static_cast<const VariantTable*>(repeated.get())}) {
        size_t total = 0;
        for (const VariantGroup& g : t->groups) total += members(g);
        EXPECT_EQ(t->nodes.size(), total);
        for (uint32_t b = 0; b < t->bucket_count; ++b)
            for (const VariantNode* n = t->buckets[b]; n; n = n->next) EXPECT_EQ(variant_hash(n->key), b);
        for (uint32_t c = 0; c < 0x10000; ++c)
            ASSERT_EQ(variant_lookup(t, static_cast<char16_t>(c)), variant_lookup_chain(t, static_cast<char16_t>(c)))
                << std::hex << c;
    }
    // U+0101 gets a second node with the group of U+0103; standing first in
    // its chain, it wins, and U+0201 joins that group.
    EXPECT_EQ(variant_lookup(repeated.get(), 0x0101), 0x0103);
    EXPECT_EQ(variant_lookup(repeated.get(), 0x0201), 0x0103);
    EXPECT_EQ(variant_lookup(repeated.get(), 0x0102), 0x0102);
    EXPECT_EQ(variant_lookup(nullptr, 0x0649), 0xFFFD);
    EXPECT_EQ(variant_lookup(g_arabic_variants, 0xFFFD), 0xFFFD);
    EXPECT_EQ(variant_lookup(g_arabic_variants, 0x0648), 0xFFFD);
    // Odd lists: none, fewer heads than the hash can address (never
    // allocated), a zero representative (ignored, not folded into a string).
    EXPECT_EQ(variant_lookup(build_variant_table(256, nullptr).get(), 0x4E00), 0xFFFD);
    const char16_t one[] = {0xFFFF, 0xF0F0, 0, 0};
    auto small = build_variant_table(4, one);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->bucket_count, 256u);
    EXPECT_EQ(variant_lookup(small.get(), 0xFFFF), 0xF0F0);
    const char16_t zero_b[] = {0x4E00, 0, 0, 0};
    EXPECT_EQ(variant_lookup(build_variant_table(256, zero_b).get(), 0x4E00), 0xFFFD);
}

TEST_F(Variants, NinthMemberIsReportedAndNotStored) {
    std::vector<char16_t> list;
    for (char16_t a = 0x4E01; a <= 0x4E08; ++a) list.insert(list.end(), {a, 0x4E00});
    list.insert(list.end(), {0, 0});
    testing::internal::CaptureStdout();
    auto t = build_variant_table(256, list.data());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "4e00\n4e01\n4e02\n4e03\n4e04\n4e05\n4e06\n4e07\n");
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->groups.size(), 1u);
    EXPECT_EQ(members(t->groups[0]), 8u);
    EXPECT_EQ(variant_lookup(t.get(), 0x4E08), 0x4E00);  // still folds
    testing::internal::CaptureStdout();
    build_variant_slots();
    EXPECT_NE(build_variant_table(256, chinese_variant_pairs()), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // built-in data never fill a group
}

// The direct lookup of each premapping pass equals a binary search of its
// sorted pairs, for every unit; no two simplified forms share a traditional one.
TEST(Premap, TablesAndDirectLookups) {
    std::set<char16_t> targets;
    for (auto& p : data::kS2TPairs) EXPECT_TRUE(targets.insert(p[1]).second) << "two to " << std::hex << unsigned(p[1]);
    auto search = [](const char16_t (*pairs)[2], unsigned count, char16_t u) -> char16_t {
        const auto* end = pairs + count;
        const auto* it = std::lower_bound(pairs, end, u, [](const char16_t* p, char16_t k) { return p[0] < k; });
        return it != end && (*it)[0] == u ? (*it)[1] : u;
    };
    for (uint32_t c = 1; c < 0x10000; ++c) {
        auto u = static_cast<char16_t>(c);
        ASSERT_EQ(fold(premap_japanese, std::u16string(1, u))[0], search(data::kJapanesePairs, data::kJapaneseCount, u));
        ASSERT_EQ(fold(premap_korean, std::u16string(1, u))[0], search(data::kKoreanPairs, data::kKoreanCount, u));
        ASSERT_EQ(fold(premap_to_traditional, std::u16string(1, u))[0], search(data::kS2TPairs, data::kS2TCount, u));
    }
}

}  // namespace
