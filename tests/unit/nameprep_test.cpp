// SPDX-License-Identifier: MIT
// tests/unit/nameprep_test.cpp: the nameprep pipeline (mapping, NFKC, the
// checks) against the rows of tests/vectors/nameprep, the option bits, the
// size limits, the tables unit by unit and random strings.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <vector>

#include "api/lifecycle.h"
#include "nameprep/testing.h"
#include "nessel.h"
#include "test_support.h"

using namespace nessel;
using nessel::test::M;
using nessel::test::show;

namespace {

struct Result {
    uint32_t rc;
    std::u16string out;
};

Result prep(std::u16string_view in, uint32_t flags, size_t capacity = 1024) {
    Result r{0, u"untouched"};
    r.rc = name_prep(in, r.out, flags, capacity);
    if (r.rc != 0) { EXPECT_EQ(r.out, u"untouched") << "output written on failure"; }
    return r;
}


// Composite -> one-level decomposition, read back from a compiled source list.
std::map<char16_t, std::u16string> read_list(std::u16string_view list) {
    std::map<char16_t, std::u16string> out;
    for (size_t i = 0; list[i] != 0;) {
        size_t end = list.find(u'\0', i);
        out[list[i]] = std::u16string(list.substr(i + 1, end - i - 1));
        i = end + 1;
    }
    return out;
}

// Runs first: before the library is set up nameprep refuses, untouched.
TEST(NameprepBeforeInit, RefusesWithoutTouchingOutput) {
    std::u16string out = u"unchanged";
    EXPECT_EQ(name_prep(u"abc", out, 0, 1024), PREP_ERR_MAP_FAILED);
    EXPECT_EQ(name_prep(u"", out, 0, 1024), PREP_ERR_PROHIBITED);
    EXPECT_EQ(out, u"unchanged");
    nessel_unit buf[8] = {'x', 0};
    const nessel_unit in[] = {'a', 0};
    EXPECT_EQ(talvex_name_prep_u(in, buf, 8, 0), PREP_ERR_MAP_FAILED);
    EXPECT_EQ(buf[0], 'x');
    std::u16string mapped;
    EXPECT_EQ(map_name(u"A", mapped), 0);
    EXPECT_EQ(normalize_nfkc(u"A", mapped, 0), 0);
}

class Nameprep : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(init_once(), 1); }
};

TEST_F(Nameprep, Vectors) {
    int rows = 0;
    for (const auto& row : test::read_rows("nameprep/cases.tsv", 5)) {
        SCOPED_TRACE(row.where);
        ++rows;
        const std::string& kind = row[0];
        const size_t slash = row[1].find('/');
        const auto flags = static_cast<uint32_t>(std::stoul(row[1].substr(0, slash), nullptr, 16));
        const size_t capacity = slash == std::string::npos ? 1024 : std::stoul(row[1].substr(slash + 1));
        const std::u16string in = M(row[2]);
        if (kind == "prep") {
            Result r = prep(in, flags, capacity);
            EXPECT_EQ(r.rc, std::stoul(row[3]));
            if (row[4] != "*") { EXPECT_EQ(show(r.out), show(M(row[4]))); }
            // Bits outside the defined ones change nothing.
            Result ignored = prep(in, flags | 0x40 | 0xF0000000, capacity);
            EXPECT_EQ(ignored.rc, r.rc);
            EXPECT_EQ(ignored.out, r.out);
        } else if (kind == "export") {
            std::vector<nessel_unit> name(in.begin(), in.end()), out(capacity + 1, 0x7777);
            name.push_back(0);
            EXPECT_EQ(talvex_name_prep_u(name.data(), out.data(), static_cast<uint32_t>(capacity), flags), std::stoul(row[3]));
            // The output and its terminator on success, nothing else written.
            const std::u16string want = row[3] == "0" ? M(row[4]) + u'\0' : u"";
            EXPECT_EQ(show(std::u16string(out.begin(), out.end())),
                      show(want + std::u16string(capacity + 1 - want.size(), 0x7777)));
        } else if (kind == "check") {
            const int got[] = {check_prohibited(in, flags), check_label_chars(in, flags),
                               check_allowed(in, flags), check_excluded(in)};
            std::istringstream want(row[3]);
            for (int g : got) {
                std::string w;
                want >> w;
                if (w != "*") { EXPECT_EQ(g, std::stoi(w)); }
            }
        } else if (kind == "nfkc") {
            std::u16string out;
            EXPECT_EQ(normalize_nfkc(in, out, flags), 1);
            EXPECT_EQ(show(out), show(M(row[4])));
        } else if (kind == "map") {
            MapEntry e = map_entry(in.at(0));
            EXPECT_EQ(show(std::u16string(e.units, e.length)), show(M(row[4])));
        } else if (kind == "ccc") {
            EXPECT_EQ(combining_class(in.at(0)), std::stoi(row[3]));
        } else if (kind == "excl") {
            EXPECT_EQ(composition_excluded(in.at(0)), row[3] == "1");
        } else {
            ADD_FAILURE() << "unknown kind";
        }
    }
    EXPECT_GT(rows, 150);
    nessel_unit out[4] = {0x7777};
    const nessel_unit abc[] = {'a', 0};
    EXPECT_EQ(talvex_name_prep_u(nullptr, out, 4, 0), PREP_ERR_PROHIBITED);
    EXPECT_EQ(talvex_name_prep_u(abc, nullptr, 4, 0), PREP_ERR_PROHIBITED);
    EXPECT_EQ(out[0], 0x7777);
}

// Mapping then NFKC against Python's stringprep and unicodedata.ucd_3_2_0
// (tools/make_nameprep_vectors.py).
TEST_F(Nameprep, MapAndNfkcMatchIndependentVectors) {
    int rows = 0, failures = 0;
    for (const auto& row : test::read_rows("nameprep/map_nfkc.tsv", 2)) {
        std::u16string mapped, got;
        ASSERT_EQ(map_name(M(row[0]), mapped), 1);
        ASSERT_EQ(normalize_nfkc(mapped, got, 0), 1);
        ++rows;
        if (got != (row[1] == "-" ? u"" : M(row[1])) && ++failures <= 20)
            ADD_FAILURE() << row.where << ": got " << show(got);
    }
    EXPECT_EQ(failures, 0);
    EXPECT_GT(rows, 7000);
}

// Every combination of the nine option bits, against the effect each bit is
// documented to have on a probe name.
TEST_F(Nameprep, FlagsMatrix) {
    for (uint32_t bits = 0; bits < 512; ++bits) {
        // Spread the nine bits over 0x01..0x200, skipping the unused 0x40.
        const uint32_t f = (bits & 0x3F) | ((bits & 0x1C0) << 1);
        const bool local = f & PREP_LOCAL_RULES, simp = f & PREP_TO_SIMPLIFIED,
                   stop = f & PREP_MAP_IDEOGRAPHIC_STOP, allowed = f & PREP_CHECK_ALLOWED,
                   ja = f & PREP_JAPANESE_PREMAP, delim = f & PREP_DELIMITERS,
                   under = f & PREP_ALLOW_UNDERSCORE, trad = f & PREP_TO_TRADITIONAL;
        // A delimiter or "_" outside its exemption fails the label check under
        // local rules, else the allowed check, else passes.
        auto punct_rc = [&](bool exempt) -> uint32_t {
            return exempt ? 0 : local ? PREP_ERR_LABEL_CHAR : allowed ? PREP_ERR_NOT_ALLOWED : 0;
        };
        const struct { const char* in; uint32_t rc; const char* out; } probes[] = {
            {"U+0649", 0, local ? "U+064A" : "U+0649"},
            {"a U+3002 b", stop ? punct_rc(delim) : PREP_ERR_PROHIBITED, "a.b"},
            {"a U+FF20 b", punct_rc(delim), "a@b"},
            {"a_b", punct_rc(under), "a_b"},
            {"U+304B U+309B", ja ? 0 : PREP_ERR_PROHIBITED, "U+304C"},
            {"U+3260 U+FFA1", 0, "U+1100 U+1100"},  // Korean premapping ends where NFKC does
            {"U+4E1C", 0, trad && !simp ? "U+6771" : "U+4E1C"},
            {"U+6C17", 0, local && simp && !trad ? "U+6C14" : "U+6C17"},
            {"U+00D7", allowed ? PREP_ERR_NOT_ALLOWED : 0, "U+00D7"},
            {"U+0E4D U+0E48 U+0E32", 0, local ? "U+0E48 U+0E4D U+0E32" : "U+0E4D U+0E48 U+0E32"},
        };
        for (const auto& p : probes) {
            Result r = prep(M(p.in), f);
            ASSERT_EQ(r.rc, p.rc) << p.in << " flags 0x" << std::hex << f;
            if (p.rc == 0) { ASSERT_EQ(show(r.out), show(M(p.out))) << p.in << " flags 0x" << std::hex << f; }
        }
    }
}

// Every BMP unit alone, under three flag words: a defined result, output
// only on success, and a result that passes the checks its flags ask for.
// The Korean premapping goes to compatibility jamo, which normalization
// takes on to the conjoining jamo that the unmapped units reach anyway.
TEST_F(Nameprep, EveryUnitAlone) {
    int passed = 0, korean = 0;
    for (uint32_t c = 1; c < 0x10000; ++c) {
        const std::u16string s = std::u16string(1, static_cast<char16_t>(c));
        for (uint32_t flags : {0u, 0xA5u, 0x3BFu}) {
            Result r = prep(s, flags);
            ASSERT_TRUE(r.rc == 0 || (r.rc >= 203 && r.rc <= 205)) << std::hex << c << " " << r.rc;
            if (r.rc != 0) continue;
            ++passed;
            ASSERT_LE(r.out.size(), 18u);
            ASSERT_EQ(check_prohibited(r.out, flags), 0) << std::hex << c;
            if (flags & PREP_LOCAL_RULES) { ASSERT_EQ(check_label_chars(r.out, flags), 1) << std::hex << c; }
            if (flags & PREP_CHECK_ALLOWED) { ASSERT_EQ(check_allowed(r.out, flags), 0) << std::hex << c; }
        }
        std::u16string premapped = s;
        premap_korean(premapped);
        if (premapped == s) continue;
        ++korean;
        Result with = prep(s, PREP_KOREAN_PREMAP), without = prep(s, 0);
        EXPECT_EQ(with.rc, 0u);
        EXPECT_EQ(with.out, without.out) << std::hex << c;
    }
    EXPECT_GT(passed, 60000);
    EXPECT_EQ(korean, 66);
}

TEST_F(Nameprep, RandomStrings) {
    std::mt19937 rng(4321);
    // Mostly units from busy ranges (Latin, marks, Arabic, Thai, Hangul, kana,
    // ideographs, compatibility and specials), some from anywhere.
    const std::pair<char16_t, char16_t> ranges[] = {
        {0x0041, 0x007A}, {0x00A0, 0x024F}, {0x0300, 0x036F}, {0x0600, 0x06FF}, {0x0E00, 0x0E5F},
        {0x1100, 0x11FF}, {0x3000, 0x33FF}, {0x4E00, 0x4E40}, {0xAC00, 0xAC40}, {0xD7F0, 0xE010},
        {0xFB00, 0xFFFF}, {0x0001, 0xFFFF}};
    std::uniform_int_distribution<size_t> pick(0, std::size(ranges) - 1), len(1, 40);
    std::uniform_int_distribution<uint32_t> flag_word(0, 0x3FF);
    for (int i = 0; i < 20000; ++i) {
        std::u16string s;
        for (size_t n = len(rng); n > 0; --n) {
            auto [lo, hi] = ranges[pick(rng)];
            s.push_back(static_cast<char16_t>(std::uniform_int_distribution<uint32_t>(lo, hi)(rng)));
        }
        const uint32_t flags = flag_word(rng);
        Result r = prep(s, flags);
        ASSERT_TRUE(r.rc == 0 || (r.rc >= 203 && r.rc <= 205)) << show(s) << " " << r.rc;
        if (r.rc == 0) { ASSERT_EQ(check_prohibited(r.out, flags), 0) << show(s); }
    }
}

// The check tables counted unit by unit.
TEST_F(Nameprep, CheckTableSizes) {
    int prohibited = 0, label_ascii = 0, label_other = 0, allowed = 0, excluded = 0, runs = 0;
    for (uint32_t c = 0; c < 0x10000; ++c) {
        auto u = static_cast<char16_t>(c);
        prohibited += is_prohibited_unit(u);
        if (is_label_refused_unit(u)) (c < 0x80 ? label_ascii : label_other)++;
        allowed += is_allowed_unit(u);
        excluded += is_excluded_unit(u);
        runs += is_allowed_unit(u) && (c == 0 || !is_allowed_unit(static_cast<char16_t>(c - 1)));
    }
    EXPECT_EQ(prohibited, 8609);
    EXPECT_EQ(label_ascii, 64);
    EXPECT_EQ(label_other, 305);
    EXPECT_EQ(excluded, 7);
    // 45 ranges holding 43878 units; three of them touch, leaving 42 runs.
    EXPECT_EQ(allowed, 43878);
    EXPECT_EQ(runs, 42);
}

// The normalization tables: the one-level source lists, their recursive
// expansion, the composition pairs, the classes and the mapping table.
TEST_F(Nameprep, NormalizationTables) {
    ASSERT_EQ(build_normalization_tables(), 0);  // again: repeatable
    ASSERT_EQ(build_mapping_index(), 0);
    auto canonical = read_list(canonical_list()), compat = read_list(compatibility_list());
    std::map<size_t, int> canon_hist, compat_hist, map_lengths;
    for (auto& [k, v] : canonical) canon_hist[v.size()]++;
    for (auto& [k, v] : compat) compat_hist[v.size()]++;
    EXPECT_EQ(canon_hist, (std::map<size_t, int>{{1, 323}, {2, 988}}));
    EXPECT_EQ(compat_hist, (std::map<size_t, int>{
                               {1, 1149}, {2, 584}, {3, 360}, {4, 62}, {5, 15}, {6, 2}, {8, 1}, {18, 1}}));
    EXPECT_EQ(compat[0x03F4], M("U+0398"));
    EXPECT_EQ(canonical[0xF951], M("U+96FB"));
    EXPECT_EQ(composition_first_count(), 415);
    EXPECT_EQ(composition_second_count(), 69);
    std::function<std::u16string(char16_t)> expand = [&](char16_t c) -> std::u16string {
        auto it = canonical.find(c);
        if (it == canonical.end()) it = compat.find(c);
        if (it == compat.end()) return std::u16string(1, c);
        std::u16string out;
        for (char16_t u : it->second) out += expand(u);
        return out;
    };
    int nonzero_class = 0;
    std::u16string deleted;
    for (uint32_t c = 0; c < 0x10000; ++c) {
        const auto u = static_cast<char16_t>(c);
        ASSERT_FALSE(canonical.count(u) && compat.count(u)) << std::hex << c;
        const std::u16string_view full = full_decomposition(u);
        const bool listed = canonical.count(u) || compat.count(u);
        EXPECT_EQ(std::u16string(full), listed ? expand(u) : u"") << std::hex << c;
        auto it = canonical.find(u);
        if (it != canonical.end() && it->second.size() == 2) {
            EXPECT_EQ(compose_pair(it->second[0], it->second[1]), u) << std::hex << c;
        }
        nonzero_class += combining_class(u) != 0;
        const MapEntry e = map_entry(u);
        if (e.units != nullptr) map_lengths[e.length]++;
        if (e.units != nullptr && e.length == 0) deleted.push_back(u);
    }
    EXPECT_EQ(nonzero_class, 276);
    EXPECT_EQ(compose_pair(u'e', u'e'), 0);
    EXPECT_EQ(compose_pair(0x0301, u'e'), 0);
    EXPECT_EQ(mapping_table_count(), 913u);
    EXPECT_EQ(map_lengths, (std::map<size_t, int>{{0, 27}, {1, 725}, {2, 133}, {3, 27}, {4, 1}}));
    EXPECT_EQ(show(deleted), show(M("U+00AD U+034F U+1806 U+180B U+180C U+180D U+200B U+200C U+200D "
                                    "U+2060 U+FE00 U+FE01 U+FE02 U+FE03 U+FE04 U+FE05 U+FE06 U+FE07 "
                                    "U+FE08 U+FE09 U+FE0A U+FE0B U+FE0C U+FE0D U+FE0E U+FE0F U+FEFF")));
    std::u16string s = M("U+0061 U+0301 U+0316 U+0300 U+0317 U+0062");
    canonical_reorder(s, 0);  // stable by class
    EXPECT_EQ(show(s), show(M("U+0061 U+0316 U+0317 U+0301 U+0300 U+0062")));
    EXPECT_TRUE(normalization_ready());
}

}  // namespace
