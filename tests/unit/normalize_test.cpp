// SPDX-License-Identifier: MIT
// tests/unit/normalize_test.cpp: the Unicode 3.1 tables behind NFKC, the
// normalization examples, and mapping + NFKC against vectors computed with
// an independent implementation (tools/make_nameprep_vectors.py).
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <vector>

#include "data/nameprep_map.h"
#include "nameprep/testing.h"
#include "nessel.h"
#include "test_support.h"

using namespace nessel;
using nessel::test::show;
using nessel::test::U;

namespace {
class Normalize : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(build_normalization_tables(), 0);
        ASSERT_EQ(build_mapping_index(), 0);
    }
};

// Composite -> one-level decomposition, read back from a compiled source list.
std::map<char16_t, std::u16string> read_list(std::u16string_view list) {
    std::map<char16_t, std::u16string> out;
    size_t i = 0;
    while (list[i] != 0) {
        size_t end = list.find(u'\0', i);
        out[list[i]] = std::u16string(list.substr(i + 1, end - i - 1));
        i = end + 1;
    }
    return out;
}

std::u16string nfkc(std::u16string_view s, uint32_t flags = 0) {
    std::u16string out;
    EXPECT_EQ(normalize_nfkc(s, out, flags), 1);
    return out;
}

TEST_F(Normalize, SourceListCountsAndVersionRows) {
    auto canonical = read_list(canonical_list());
    auto compat = read_list(compatibility_list());
    std::map<size_t, int> canon_hist, compat_hist;
    for (auto& [k, v] : canonical) canon_hist[v.size()]++;
    for (auto& [k, v] : compat) compat_hist[v.size()]++;
    EXPECT_EQ(canonical.size(), 1311u);
    EXPECT_EQ(canon_hist, (std::map<size_t, int>{{1, 323}, {2, 988}}));
    EXPECT_EQ(compat.size(), 2174u);
    EXPECT_EQ(compat_hist, (std::map<size_t, int>{
                               {1, 1149}, {2, 584}, {3, 360}, {4, 62}, {5, 15}, {6, 2}, {8, 1}, {18, 1}}));
    for (auto& [k, v] : canonical) EXPECT_EQ(compat.count(k), 0u) << show(std::u16string(1, k));

    EXPECT_EQ(compat[0x03F4], U("U+0398"));
    EXPECT_EQ(compat[0x03F5], U("U+03B5"));
    EXPECT_EQ(canonical[0xF951], U("U+96FB"));
    EXPECT_EQ(compat[0xFDFA].size(), 18u);
    // Nothing added in Unicode 3.2.
    for (char16_t c : {0x2ADC, 0x2047}) EXPECT_EQ(canonical.count(c) + compat.count(c), 0u);
    for (char16_t c = 0xFA30; c <= 0xFA6A; ++c) EXPECT_EQ(canonical.count(c) + compat.count(c), 0u);
    for (char16_t c = 0x3251; c <= 0x325F; ++c) EXPECT_EQ(canonical.count(c) + compat.count(c), 0u);
    // Hangul syllables decompose algorithmically, not through the lists.
    EXPECT_EQ(canonical.count(0xAC00), 0u);

    EXPECT_EQ(composition_first_count(), 415);
    EXPECT_EQ(composition_second_count(), 69);
}

// The compiled full decompositions are exactly the recursive expansion of the
// one-level lists, canonical before compatibility at every level.
TEST_F(Normalize, FullDecompositionsExpandTheLists) {
    auto canonical = read_list(canonical_list());
    auto compat = read_list(compatibility_list());
    std::function<std::u16string(char16_t)> expand = [&](char16_t c) -> std::u16string {
        auto it = canonical.find(c);
        if (it == canonical.end()) it = compat.find(c);
        if (it == compat.end()) return std::u16string(1, c);
        std::u16string out;
        for (char16_t u : it->second) out += expand(u);
        return out;
    };
    int decomposing = 0;
    for (uint32_t c = 0; c < 0x10000; ++c) {
        auto u = static_cast<char16_t>(c);
        bool listed = canonical.count(u) || compat.count(u);
        std::u16string_view full = full_decomposition(u);
        if (!listed) {
            EXPECT_TRUE(full.empty()) << show(std::u16string(1, u));
            continue;
        }
        ++decomposing;
        EXPECT_EQ(std::u16string(full), expand(u)) << show(std::u16string(1, u));
    }
    EXPECT_EQ(decomposing, 1311 + 2174);
    EXPECT_EQ(std::u16string(full_decomposition(0x01D5)), U("U+0055 U+0308 U+0304"));
}

// Every pair of the canonical list composes back through compose_pair.
TEST_F(Normalize, PairIndexCoversEveryCanonicalPair) {
    int pairs = 0;
    for (auto& [composite, dec] : read_list(canonical_list())) {
        if (dec.size() != 2) continue;
        ++pairs;
        EXPECT_EQ(compose_pair(dec[0], dec[1]), composite) << show(dec);
    }
    EXPECT_EQ(pairs, 988);
    EXPECT_EQ(compose_pair(u'e', 0x0301), 0x00E9);
    EXPECT_EQ(compose_pair(u'e', u'e'), 0);
    EXPECT_EQ(compose_pair(0x0301, u'e'), 0);
}

TEST_F(Normalize, CombiningClasses) {
    const std::pair<char16_t, int> samples[] = {
        {0x0300, 230}, {0x0315, 232}, {0x031B, 216}, {0x0321, 202}, {0x0334, 1},
        {0x0345, 240}, {0x0360, 234}, {0x05B0, 10},  {0x064B, 27},  {0x0670, 35},
        {0x0711, 36},  {0x093C, 7},   {0x094D, 9},   {0x0E38, 103}, {0x0E48, 107},
        {0x0F71, 129}, {0x302A, 218}, {0x3099, 8},   {0x0BCD, 9},   {0x0CCD, 9},
        {0x0D4D, 9},   {0x0DCA, 9},   {0x17D2, 9},   {0x18A9, 228}, {0xFB1E, 26},
        // Classes given only in Unicode 3.2, and units without one.
        {0x0363, 0},   {0x036F, 0},   {0x1714, 0},   {0x1734, 0},   {0x20E5, 0},
        {0x20EA, 0},   {u'a', 0},     {0xAC00, 0},   {0xD800, 0},   {0xFFFF, 0},
    };
    for (auto [c, cls] : samples) EXPECT_EQ(combining_class(c), cls) << show(std::u16string(1, c));

    const std::pair<char16_t, char16_t> ranges[] = {
        {0x0300, 0x0362}, {0x0483, 0x0486}, {0x0591, 0x05C4}, {0x064B, 0x06ED}, {0x0711, 0x074A},
        {0x093C, 0x0954}, {0x09BC, 0x09CD}, {0x0A3C, 0x0A4D}, {0x0ABC, 0x0ACD}, {0x0B3C, 0x0B4D},
        {0x0C4D, 0x0C56}, {0x0E38, 0x0E4B}, {0x0EB8, 0x0ECB}, {0x0F18, 0x0FC6}, {0x1037, 0x1039},
        {0x20D0, 0x20E1}, {0x302A, 0x302F}, {0x3099, 0x309A}, {0xFE20, 0xFE23}, {0x0BCD, 0x0BCD},
        {0x0CCD, 0x0CCD}, {0x0D4D, 0x0D4D}, {0x0DCA, 0x0DCA}, {0x17D2, 0x17D2}, {0x18A9, 0x18A9},
        {0xFB1E, 0xFB1E}};
    int nonzero = 0;
    for (uint32_t c = 0; c < 0x10000; ++c) {
        if (combining_class(static_cast<char16_t>(c)) == 0) continue;
        ++nonzero;
        bool inside = false;
        for (auto [lo, hi] : ranges) inside |= c >= lo && c <= hi;
        EXPECT_TRUE(inside) << std::hex << c;
    }
    EXPECT_EQ(nonzero, 276);
}

struct Case {
    const char* in;
    const char* out;
    uint32_t flags;
    const char* note;
};

TEST_F(Normalize, Examples) {
    const Case cases[] = {
        {"U+0065 U+0301", "U+00E9", 0, "composes"},
        {"U+00E9", "U+00E9", 0, "precomposed stays"},
        {"U+FB01", "U+0066 U+0069", 0, "fi ligature"},
        {"U+2460", "U+0031", 0, "circled one"},
        {"U+0041 U+0323 U+0302", "U+1EAC", 0, "below then above"},
        {"U+0041 U+0302 U+0323", "U+1EAC", 0, "reordered by class before composing"},
        {"U+0958", "U+0915 U+093C", 0, "excluded composite stays decomposed"},
        {"U+05D9 U+05B4", "U+FB1D", 0, "not excluded"},
        {"U+1100 U+1161 U+11A8", "U+AC01", 0, "LV then LVT"},
        {"U+AC00 U+11A8", "U+AC01", 0, "syllable plus trailing consonant"},
        {"U+AC00 U+11A7", "U+AC00 U+11A7", 0, "TBase itself is not a trailing consonant"},
        {"U+AC00 U+11C3", "U+AC00 U+11C3", 0, "past the last trailing consonant"},
        {"U+AC01", "U+AC01", 0, "LVT round trip"},
        {"U+0301 U+0061", "U+0301 U+0061", 0, "leading mark never composes"},
        {"U+0E4D U+0E48 U+0E32", "U+0E48 U+0E4D U+0E32", PREP_LOCAL_RULES, "Thai rule"},
        {"U+0E4D U+0E48 U+0E32", "U+0E4D U+0E48 U+0E32", 0, "Thai rule off"},
        {"U+0E4D U+0E48", "U+0E4D U+0E48", PREP_LOCAL_RULES, "Thai: fewer than 3 units left"},
        {"U+0E4D U+0E4C U+0E32", "U+0E4D U+0E4C U+0E32", PREP_LOCAL_RULES, "Thai: not a tone mark"},
        {"U+F951", "U+96FB", 0, "3.1 value"},
        {"U+01D5", "U+01D5", 0, "full decomposition composes back"},
        {"U+304B U+3099", "U+304C", 0, "kana voicing"},
        {"U+309B", "U+0020 U+3099", 0, "spacing voiced mark"},
        {"U+0061 U+0315 U+0300 U+05AE U+0301", "U+00E0 U+05AE U+0301 U+0315", 0,
         "UAX #15 blocking example, reordered"},
        {"U+0044 U+0307 U+0323", "U+1E0C U+0307", 0, "dot below composes first"},
        {"U+AC00 U+0300 U+11A8", "U+AC00 U+0300 U+11A8", 0, "a mark blocks the trailing consonant"},
        {"U+D800 U+DC00", "U+D800 U+DC00", 0, "surrogates pass through"},
        {"U+FFFF", "U+FFFF", 0, "noncharacter passes through"},
    };
    for (const Case& c : cases) EXPECT_EQ(show(nfkc(U(c.in), c.flags)), show(U(c.out))) << c.note;

    EXPECT_EQ(nfkc(U("U+FDFA")).size(), 18u);
    EXPECT_EQ(nfkc(u""), u"");
}

TEST_F(Normalize, ReorderIsStableByClass) {
    std::u16string s = U("U+0061 U+0301 U+0316 U+0300 U+0317 U+0062");
    canonical_reorder(s, 0);
    EXPECT_EQ(show(s), show(U("U+0061 U+0316 U+0317 U+0301 U+0300 U+0062")));
}

TEST_F(Normalize, ComposeSkipsExclusions) {
    for (char16_t c : {0x0958, 0x095F, 0x09DC, 0x0A33, 0x0F43, 0x0F73, 0x0F81, 0xFB1F, 0xFB4E})
        EXPECT_TRUE(composition_excluded(c)) << std::hex << unsigned(c);
    for (char16_t c : {0xFB1D, 0x0344, 0x00E9, 0xFB37, 0xFB45})
        EXPECT_FALSE(composition_excluded(c)) << std::hex << unsigned(c);
}

// Mapping then NFKC against Python's stringprep and unicodedata.ucd_3_2_0.
TEST_F(Normalize, MapAndNfkcMatchIndependentVectors) {
    std::ifstream in(NESSEL_SOURCE_DIR "/tests/vectors/nameprep/map_nfkc.tsv");
    ASSERT_TRUE(in) << "vector file missing";
    std::string line;
    int rows = 0, failures = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string input, expected, note;
        std::getline(fields, input, '\t');
        std::getline(fields, expected, '\t');
        std::getline(fields, note);
        std::u16string mapped, got;
        ASSERT_EQ(map_name(U(input), mapped), 1);
        ASSERT_EQ(normalize_nfkc(mapped, got, 0), 1);
        std::u16string want = expected == "-" ? u"" : U(expected);
        ++rows;
        if (got != want && ++failures <= 20)
            ADD_FAILURE() << note << ": " << input << " -> " << show(got) << ", expected " << show(want);
    }
    EXPECT_EQ(failures, 0);
    EXPECT_GT(rows, 7000);
}

// The mapping table: RFC 3454 B.1 and B.2 in the BMP plus U+0131.
TEST_F(Normalize, MappingTable) {
    EXPECT_EQ(mapping_table_count(), 913u);  // 911 stated; the sources give 885 B.2 rows
    std::map<size_t, int> lengths;
    std::u16string deleted;
    // The direct lookup finds exactly the keys a binary search over the
    // sorted entries (through the index) finds, with the same replacement.
    auto search = [](char16_t c) -> const char16_t* {
        int low = 0, high = static_cast<int>(data::kMapCount) - 1;
        while (low <= high) {
            int mid = (low + high) / 2;
            char16_t key = data::kMapTable[data::kMapIndex[mid]];
            if (c < key) high = mid - 1;
            else if (c > key) low = mid + 1;
            else return &data::kMapTable[data::kMapIndex[mid] + 1];
        }
        return nullptr;
    };
    for (uint32_t c = 0; c < 0x10000; ++c) {
        auto u = static_cast<char16_t>(c);
        MapEntry e = map_entry(u);
        const char16_t* found = search(u);
        ASSERT_EQ(e.units, found) << std::hex << c;
        if (e.units == nullptr) continue;
        lengths[e.length]++;
        if (e.length == 0) deleted.push_back(u);
    }
    EXPECT_EQ(lengths, (std::map<size_t, int>{{0, 27}, {1, 725}, {2, 133}, {3, 27}, {4, 1}}));
    EXPECT_EQ(show(deleted), show(U("U+00AD U+034F U+1806 U+180B U+180C U+180D U+200B U+200C U+200D "
                                    "U+2060 U+FE00 U+FE01 U+FE02 U+FE03 U+FE04 U+FE05 U+FE06 U+FE07 "
                                    "U+FE08 U+FE09 U+FE0A U+FE0B U+FE0C U+FE0D U+FE0E U+FE0F U+FEFF")));
    const std::pair<char16_t, const char*> examples[] = {
        {0x0041, "U+0061"}, {0x00DF, "U+0073 U+0073"}, {0x0130, "U+0069 U+0307"},
        {0x0390, "U+03B9 U+0308 U+0301"}, {0xFB03, "U+0066 U+0066 U+0069"},
        {0x33C6, "U+0063 U+2215 U+006B U+0067"}, {0xFF21, "U+FF41"}, {0x0131, "U+0069"},
    };
    for (auto [c, want] : examples) {
        MapEntry e = map_entry(c);
        EXPECT_EQ(show(std::u16string(e.units, e.length)), show(U(want)));
    }
    std::u16string once;
    ASSERT_EQ(map_name(U("U+0041 U+0131 U+00AD U+0062"), once), 1);
    EXPECT_EQ(once, u"aib");
}

TEST_F(Normalize, BuilderIsRepeatable) {
    EXPECT_EQ(build_mapping_index(), 0);
    EXPECT_EQ(build_normalization_tables(), 0);
    EXPECT_TRUE(normalization_ready());
}

}  // namespace
