// SPDX-License-Identifier: MIT
// tests/unit/variants_test.cpp: variant tables (grouping, hash chains,
// lookups, the full-group report) and the premapping passes.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "data/nameprep_premap.h"
#include "nameprep/testing.h"
#include "test_support.h"

using namespace nessel;
using nessel::test::show;
using nessel::test::U;

namespace {
std::vector<char16_t> members(const VariantGroup& g) {
    std::vector<char16_t> out;
    for (char16_t m : g.member)
        if (m != 0) out.push_back(m); else break;
    return out;
}

std::u16string fold(void (*pass)(std::span<char16_t>), std::u16string s) {
    pass(s);
    return s;
}

class Variants : public ::testing::Test {
protected:
    static void SetUpTestSuite() { build_variant_slots(); }
};

TEST_F(Variants, ChineseTableShape) {
    const VariantTable* t = g_chinese_variants;
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->bucket_count, 256u);
    size_t pairs = 0;
    while (chinese_variant_pairs()[2 * pairs] != 0) ++pairs;
    EXPECT_EQ(pairs, 4045u);  // 3888 stated; the sources give 4045
    std::map<size_t, int> sizes;
    size_t total = 0;
    for (const VariantGroup& g : t->groups) {
        sizes[members(g).size()]++;
        total += members(g).size();
    }
    EXPECT_EQ(t->groups.size(), 3216u);
    EXPECT_EQ(total, 7261u);
    EXPECT_EQ(sizes, (std::map<size_t, int>{{2, 2601}, {3, 470}, {4, 101}, {5, 26}, {6, 12}, {7, 5}, {8, 1}}));
    EXPECT_EQ(t->nodes.size(), total);  // one node per member: no unit twice

    size_t used = 0, longest = 0;
    for (uint32_t b = 0; b < t->bucket_count; ++b) {
        size_t len = 0;
        for (const VariantNode* n = t->buckets[b]; n; n = n->next) {
            ++len;
            EXPECT_EQ(variant_hash(n->key), b);
            EXPECT_GE(n->key, 0x4E00);
            EXPECT_LE(n->key, 0xFA2D);
        }
        used += len > 0;
        longest = std::max(longest, len);
    }
    EXPECT_EQ(used, 256u);
    EXPECT_EQ(longest, 52u);  // 50 with the stated list
}

TEST_F(Variants, ExampleGroups) {
    const std::vector<std::vector<char16_t>> expected = {
        {0x5251, 0x91D6, 0x91FC, 0x5263, 0x5271, 0x528D, 0x5292, 0x5294},
        {0x5386, 0x66A6, 0x66C6, 0xF98B, 0xF98C, 0x6B74, 0x6B77},
        {0x53D1, 0x5F42, 0x767A, 0x767C, 0x9AEA, 0x9AEE},
    };
    for (const auto& want : expected) {
        bool found = false;
        for (const VariantGroup& g : g_chinese_variants->groups)
            if (members(g) == want) found = true;
        EXPECT_TRUE(found) << show(std::u16string(want.begin(), want.end()));
        for (char16_t m : want) EXPECT_EQ(variant_lookup(g_chinese_variants, m), want[0]);
    }
    int full = 0;
    for (const VariantGroup& g : g_chinese_variants->groups) full += members(g).size() == 8;
    EXPECT_EQ(full, 1);
    // The last four pairs of the list.
    const char16_t* p = chinese_variant_pairs();
    EXPECT_EQ(std::u16string(p + 2 * 4041, 8), U("U+8518 U+53C2 U+8460 U+53C2 U+53C1 U+4E09 U+5F0E U+4E09"));
}

TEST_F(Variants, FoldingExamples) {
    struct {
        void (*pass)(std::span<char16_t>);
        const char* in;
        const char* out;
        const char* note;
    } const cases[] = {
        {fold_chinese_variants, "U+6C17 U+96B1 U+9ECC U+96B4 U+96B7 U+96B8",
         "U+6C14 U+9690 U+9EC9 U+9647 U+96B6 U+96B6", "stated pairs"},
        {fold_chinese_variants, "U+5263 U+767C U+8518 U+8460 U+53C1 U+5F0E",
         "U+5251 U+53D1 U+53C2 U+53C2 U+4E09 U+4E09", "members to representatives"},
        {fold_chinese_variants, "U+4E01 U+5C71 U+6C14 U+0061", "U+4E01 U+5C71 U+6C14 U+0061",
         "not in a group, or already the representative"},
        {fold_arabic_variants, "U+0649 U+064A U+0628", "U+064A U+064A U+0628", "alef maksura"},
        {premap_to_traditional, "U+4E1C U+6771 U+4E13 U+4E1A U+4E1D U+4E24 U+9F99 U+9F9F",
         "U+6771 U+6771 U+5C08 U+696D U+7D72 U+5169 U+9F8D U+9F9C", "simplified to traditional"},
        {premap_japanese, "U+2212 U+309B U+309C U+3099", "U+FF0D U+3099 U+309A U+3099", "Japanese"},
        {premap_korean, "U+FFA1 U+3260 U+326D U+FFA0 U+FFBE U+FFC2 U+FFDC U+FFDD",
         "U+3131 U+3131 U+314E U+3164 U+314E U+314F U+3163 U+FFDD", "Korean"},
        {premap_ideographic_stop, "U+0061 U+3002 U+0062 U+FF0E", "U+0061 U+002E U+0062 U+FF0E", "stop"},
        {premap_at_signs, "U+FE6B U+FF20 U+0040 U+FF0E", "U+0040 U+0040 U+0040 U+FF0E", "at signs"},
    };
    for (const auto& c : cases) EXPECT_EQ(show(fold(c.pass, U(c.in))), show(U(c.out))) << c.note;
    for (auto pass : {fold_chinese_variants, fold_arabic_variants, premap_korean})
        EXPECT_EQ(fold(pass, u""), u"");
}

// The direct lookup answers what a walk of the bucket chain answers, for
// every unit, in both built-in tables and in one with a repeated unit.
TEST_F(Variants, DirectLookupMatchesChainWalk) {
    const char16_t twice[] = {0x0101, 0x0102, 0x0101, 0x0103, 0x0201, 0x0101, 0, 0};
    auto repeated = build_variant_table(256, twice);
    ASSERT_NE(repeated, nullptr);
    for (const VariantTable* t : {g_chinese_variants, g_arabic_variants, static_cast<const VariantTable*>(repeated.get())})
        for (uint32_t c = 0; c < 0x10000; ++c)
            ASSERT_EQ(variant_lookup(t, static_cast<char16_t>(c)), variant_lookup_chain(t, static_cast<char16_t>(c)))
                << std::hex << c;
    // U+0101 gets a second node with the group of U+0103; standing first in
    // its chain, it wins, and U+0201 joins that group.
    EXPECT_EQ(variant_lookup(repeated.get(), 0x0101), 0x0103);
    EXPECT_EQ(variant_lookup(repeated.get(), 0x0201), 0x0103);
    EXPECT_EQ(variant_lookup(repeated.get(), 0x0102), 0x0102);
    EXPECT_EQ(variant_lookup(nullptr, 0x0649), 0xFFFD);
    EXPECT_EQ(variant_lookup(g_arabic_variants, 0xFFFD), 0xFFFD);
    EXPECT_EQ(variant_lookup(g_arabic_variants, 0x0649), 0x064A);
    EXPECT_EQ(variant_lookup(g_arabic_variants, 0x064A), 0x064A);
    EXPECT_EQ(variant_lookup(g_arabic_variants, 0x0648), 0xFFFD);
}

TEST_F(Variants, NinthMemberIsReportedAndNotStored) {
    std::vector<char16_t> list;
    for (char16_t a = 0x4E01; a <= 0x4E08; ++a) list.insert(list.end(), {a, 0x4E00});
    list.insert(list.end(), {0, 0});
    testing::internal::CaptureStdout();
    auto t = build_variant_table(256, list.data());
    std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(printed, "4e00\n4e01\n4e02\n4e03\n4e04\n4e05\n4e06\n4e07\n");
    ASSERT_EQ(t->groups.size(), 1u);
    EXPECT_EQ(members(t->groups[0]).size(), 8u);
    EXPECT_EQ(variant_lookup(t.get(), 0x4E08), 0x4E00);  // still folds

    testing::internal::CaptureStdout();
    build_variant_slots();
    EXPECT_NE(build_variant_table(256, chinese_variant_pairs()), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // built-in data never fill a group
}

TEST_F(Variants, OddArguments) {
    auto empty = build_variant_table(256, nullptr);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(variant_lookup(empty.get(), 0x4E00), 0xFFFD);
    // Fewer heads than the hash can address are never allocated.
    const char16_t one[] = {0xFFFF, 0xF0F0, 0, 0};
    auto small = build_variant_table(4, one);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->bucket_count, 256u);
    EXPECT_EQ(variant_lookup(small.get(), 0xFFFF), 0xF0F0);
    // A zero representative is ignored rather than folded into a string.
    const char16_t zero_b[] = {0x4E00, 0, 0, 0};
    EXPECT_EQ(variant_lookup(build_variant_table(256, zero_b).get(), 0x4E00), 0xFFFD);
}

TEST(Premap, TablesAndDirectLookups) {
    EXPECT_EQ(data::kJapaneseCount, 3u);
    EXPECT_EQ(data::kKoreanCount, 66u);
    EXPECT_EQ(data::kS2TCount, 2059u);  // 2064 stated; the sources give 2059
    std::set<char16_t> targets;
    for (auto& p : data::kS2TPairs) {
        EXPECT_GE(p[0], 0x4E13);
        EXPECT_LE(p[0], 0x9F9F);
        EXPECT_TRUE(targets.insert(p[1]).second) << "two to " << std::hex << unsigned(p[1]);
    }
    // The direct lookup of each pass equals a binary search of its sorted pairs.
    auto search = [](const char16_t (*pairs)[2], unsigned count, char16_t u) -> char16_t {
        int low = 1, high = static_cast<int>(count);
        while (low <= high) {
            int mid = (low + high) / 2;
            if (u < pairs[mid - 1][0]) high = mid - 1;
            else if (u > pairs[mid - 1][0]) low = mid + 1;
            else return pairs[mid - 1][1];
        }
        return u;
    };
    for (uint32_t c = 1; c < 0x10000; ++c) {
        auto u = static_cast<char16_t>(c);
        ASSERT_EQ(fold(premap_japanese, std::u16string(1, u))[0], search(data::kJapanesePairs, 3, u));
        ASSERT_EQ(fold(premap_korean, std::u16string(1, u))[0], search(data::kKoreanPairs, 66, u));
        ASSERT_EQ(fold(premap_to_traditional, std::u16string(1, u))[0], search(data::kS2TPairs, 2059, u));
    }
}

}  // namespace
