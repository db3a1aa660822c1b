// SPDX-License-Identifier: MIT
// tests/unit/nameprep_test.cpp: the nameprep pipeline and its tables.
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
using namespace nessel::test;

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
    const auto rows = test::read_rows("nameprep/cases.tsv", 5);
    EXPECT_GT(rows.size(), 150u);
    std::vector<test::Row> flag_rows;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.where);
        const std::string& kind = row[0];
        if (kind == "flags") {  // checked below, under every flag word
            flag_rows.push_back(row);
            continue;
        }
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
            const std::vector<nessel_unit> name(in.c_str(), in.c_str() + in.size() + 1);  // with its terminator
            std::vector<nessel_unit> out(capacity + 1, 0x7777);
            EXPECT_EQ(talvex_name_prep_u(row[2] == "(null)" ? nullptr : name.data(),
                                         row[4] == "(null)" ? nullptr : out.data(), static_cast<uint32_t>(capacity), flags),
                      std::stoul(row[3]));
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
            EXPECT_EQ(e.units == nullptr, row[4] == "none");
            if (e.units != nullptr) { EXPECT_EQ(show(std::u16string(e.units, e.length)), show(M(row[4]))); }
        } else if (kind == "ccc") {
            EXPECT_EQ(combining_class(in.at(0)), std::stoi(row[3]));
        } else if (kind == "excl") {
            EXPECT_EQ(composition_excluded(in.at(0)), row[3] == "1");
        } else {
            ADD_FAILURE() << "unknown kind";
        }
    }
    // Every combination of the nine option bits (spread over 0x01..0x200,
    // skipping the unused 0x40) on the "flags" rows.
    const std::map<std::string, uint32_t> bit = {
        {"local", PREP_LOCAL_RULES}, {"simp", PREP_TO_SIMPLIFIED}, {"stop", PREP_MAP_IDEOGRAPHIC_STOP},
        {"allowed", PREP_CHECK_ALLOWED}, {"ja", PREP_JAPANESE_PREMAP}, {"delim", PREP_DELIMITERS},
        {"under", PREP_ALLOW_UNDERSCORE}, {"trad", PREP_TO_TRADITIONAL}};
    for (uint32_t bits = 0; bits < 512; ++bits) {
        const uint32_t f = (bits & 0x3F) | ((bits & 0x1C0) << 1);
        const auto holds = [&](const std::string& condition) {
            std::istringstream terms(condition);
            bool all = true;
            for (std::string t; std::getline(terms, t, '+');)
                all = all && (t == "-" || ((f & bit.at(t.substr(t[0] == '!'))) != 0) != (t[0] == '!'));
            return all;
        };
        std::string decided;  // the input whose row has applied
        for (const test::Row& row : flag_rows) {
            if (row[2] == decided || !holds(row[1])) continue;
            decided = row[2];
            Result r = prep(M(row[2]), f);
            ASSERT_EQ(r.rc, std::stoul(row[3])) << row.where << " flags 0x" << std::hex << f;
            if (r.rc == 0) { ASSERT_EQ(show(r.out), show(M(row[4]))) << row.where << " flags 0x" << std::hex << f; }
        }
    }
    // Mapping then NFKC against Python's stringprep and
    // unicodedata.ucd_3_2_0 (tools/make_nameprep_vectors.py).
    const auto independent = test::read_rows("nameprep/map_nfkc.tsv", 2);
    EXPECT_GT(independent.size(), 7000u);
    int failures = 0;  // the first 20 reported
    for (const auto& row : independent) {
        std::u16string mapped, got;
        ASSERT_EQ(map_name(M(row[0]), mapped), 1);
        ASSERT_EQ(normalize_nfkc(mapped, got, 0), 1);
        if (got != (row[1] == "-" ? u"" : M(row[1])) && ++failures <= 20)
            ADD_FAILURE() << row.where << ": got " << show(got);
    }
}

// Every BMP unit alone under three flag words (a defined result, output only
// on success, and a result that passes the checks its flags ask for), then
// random strings under random flag words.  The Korean premapping goes to
// compatibility jamo, which normalization takes on to the conjoining jamo
// that the unmapped units reach anyway.
TEST_F(Nameprep, EveryUnitAloneAndRandomStrings) {
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

// The tables unit by unit: the counts of nameprep/tables.tsv (the check
// tables, the one-level source lists by length, the composition pairs, the
// classes and the mapping table by length, whose 27 deleting entries are
// "map" rows); the recursive expansion of the source lists and the
// composition pairs.
TEST_F(Nameprep, NormalizationTables) {
    ASSERT_EQ(build_normalization_tables(), 0);  // again: repeatable
    ASSERT_EQ(build_mapping_index(), 0);
    auto canonical = read_list(canonical_list()), compat = read_list(compatibility_list());
    std::map<std::string, int> units;  // the counts the rows name
    for (auto& [k, v] : canonical) units["canonical of " + std::to_string(v.size())]++;
    for (auto& [k, v] : compat) units["compatibility of " + std::to_string(v.size())]++;
    units["composition firsts"] = composition_first_count();
    units["composition seconds"] = composition_second_count();
    units["mapping entries"] = static_cast<int>(mapping_table_count());
    std::function<std::u16string(char16_t)> expand = [&](char16_t c) -> std::u16string {
        auto it = canonical.find(c);
        if (it == canonical.end()) it = compat.find(c);
        if (it == compat.end()) return std::u16string(1, c);
        std::u16string out;
        for (char16_t u : it->second) out += expand(u);
        return out;
    };
    for (uint32_t c = 0; c < 0x10000; ++c) {
        const auto u = static_cast<char16_t>(c);
        units["prohibited"] += is_prohibited_unit(u);
        units[c < 0x80 ? "label ascii" : "label other"] += is_label_refused_unit(u);
        units["allowed"] += is_allowed_unit(u);
        units["allowed runs"] += is_allowed_unit(u) && (c == 0 || !is_allowed_unit(static_cast<char16_t>(c - 1)));
        units["excluded"] += is_excluded_unit(u);
        units["nonzero class"] += combining_class(u) != 0;
        ASSERT_FALSE(canonical.count(u) && compat.count(u)) << std::hex << c;
        const std::u16string_view full = full_decomposition(u);
        const bool listed = canonical.count(u) || compat.count(u);
        EXPECT_EQ(std::u16string(full), listed ? expand(u) : u"") << std::hex << c;
        auto it = canonical.find(u);
        if (it != canonical.end() && it->second.size() == 2) {
            EXPECT_EQ(compose_pair(it->second[0], it->second[1]), u) << std::hex << c;
        }
        const MapEntry e = map_entry(u);
        if (e.units != nullptr) units["mapping of " + std::to_string(e.length)]++;
    }
    std::map<std::string, int> want;
    for (const auto& row : test::read_rows("nameprep/tables.tsv", 2)) want[row[0]] = std::stoi(row[1]);
    EXPECT_EQ(units, want);
    EXPECT_TRUE(normalization_ready());
}

}  // namespace
