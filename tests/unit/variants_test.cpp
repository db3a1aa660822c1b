// SPDX-License-Identifier: MIT
// tests/unit/variants_test.cpp: variant tables (grouping, hash chains,
// lookups, the full-group report) and the premapping passes, whose rows are
// in tests/vectors/variants/folding.tsv.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "data/nameprep_premap.h"
#include "nameprep/testing.h"
#include "test_support.h"
#include "vectors.h"

using namespace nessel;
using namespace nessel::test;

namespace {
size_t members(const VariantGroup& g) { return std::ranges::find(g.member, 0) - std::begin(g.member); }

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

// Each row's lookup, in a table built from its pairs or a built-in one, and
// the structure of every such table.
TEST_F(Variants, LookupRows) {
    for (const auto& r : test::read_rows("variants/tables.tsv", 4)) {
        SCOPED_TRACE(r.where);
        const std::u16string pairs = U(test::text(r[1])) + u'\0' + u'\0';
        std::unique_ptr<VariantTable> built;
        const VariantTable* t = r[0] == "chinese" ? g_chinese_variants : r[0] == "arabic" ? g_arabic_variants : nullptr;
        if (std::isdigit(static_cast<unsigned char>(r[0][0])))
            t = (built = build_variant_table(std::stoul(r[0]), r[1] == "-" ? nullptr : pairs.c_str())).get();
        EXPECT_EQ(variant_lookup(t, U(r[2])[0]), U(r[3])[0]);
        ASSERT_EQ(t == nullptr, r[0] == "null");
        if (t == nullptr) continue;
        size_t total = 0;
        for (const VariantGroup& g : t->groups) total += members(g);
        EXPECT_EQ(t->nodes.size(), total);
        ASSERT_GE(t->bucket_count, 256u);
        for (uint32_t b = 0; b < t->bucket_count; ++b)
            for (const VariantNode* n = t->buckets[b]; n; n = n->next) EXPECT_EQ(variant_hash(n->key), b);
        for (uint32_t c = 0; c < 0x10000; ++c)
            ASSERT_EQ(variant_lookup(t, static_cast<char16_t>(c)), variant_lookup_chain(t, static_cast<char16_t>(c)))
                << std::hex << c;
    }
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
