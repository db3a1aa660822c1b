// SPDX-License-Identifier: MIT
// tests/unit/nameprep_test.cpp: the nameprep pipeline and the export
// talvex_name_prep_u: examples, every combination of the option bits, the
// size limits, and every BMP unit and random strings for defined results.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "api/lifecycle.h"
#include "nameprep/testing.h"
#include "nessel.h"
#include "test_support.h"

using namespace nessel;
using nessel::test::show;
using nessel::test::M;
using nessel::test::U;

namespace {

class Nameprep : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(init_once(), 1); }
};

struct Result {
    uint32_t rc;
    std::u16string out;
};

Result prep(std::u16string_view in, uint32_t flags, size_t capacity = 1024) {
    Result r{0, u"untouched"};
    r.rc = name_prep(in, r.out, flags, capacity);
    if (r.rc != 0) {
        EXPECT_EQ(r.out, u"untouched") << "output written on failure";
    }
    return r;
}

struct Case {
    const char* in;
    uint32_t flags;
    uint32_t rc;
    const char* out;  // expected on success
    const char* note;
};

TEST_F(Nameprep, Examples) {
    const Case cases[] = {
        {"ABC", 0, 0, "abc", "case folding"},
        {"U+00DF", 0, 0, "ss", "sharp s"},
        {"U+0131", 0, 0, "i", "dotless i, our own entry"},
        {"a U+00AD b", 0, 0, "ab", "soft hyphen deleted"},
        {"a U+200B b", 0, 0, "ab", "zero width space deleted"},
        {"U+FF21", 0, 0, "a", "fullwidth A: mapped, then normalized"},
        {"U+0130", 0, 0, "U+0069 U+0307", "capital I with dot"},
        {"U+FB03", 0, 0, "ffi", "ligature"},
        {"U+33C6", 0, 0, "U+0063 U+2215 U+006B U+0067", "four-unit mapping"},
        {"a U+3002 b", PREP_MAP_IDEOGRAPHIC_STOP, 0, "a.b", "ideographic stop mapped"},
        {"a U+3002 b", 0, PREP_ERR_PROHIBITED, "", "ideographic stop refused"},
        {"a U+0020 b", 0, PREP_ERR_PROHIBITED, "", "space"},
        {"a U+0007", 0, PREP_ERR_PROHIBITED, "", "control character"},
        {"a U+D800 U+DC00", 0, PREP_ERR_PROHIBITED, "", "surrogate pair"},
        {"U+DC00", 0, PREP_ERR_PROHIBITED, "", "lone surrogate"},
        {"U+FFFF", 0, PREP_ERR_PROHIBITED, "", "noncharacter"},
        {"ab_cd.ef@gh", 0xA5, 0, "ab_cd.ef@gh", "NamePrep_U flags"},
        {"ab_cd", PREP_LOCAL_RULES, PREP_ERR_LABEL_CHAR, "", "underscore under local rules"},
        {"ab.cd", PREP_LOCAL_RULES, PREP_ERR_LABEL_CHAR, "", "dot under local rules"},
        {"ab.cd", PREP_CHECK_ALLOWED, PREP_ERR_NOT_ALLOWED, "", "dot under allowed check"},
        {"a U+0020 b", PREP_LOCAL_RULES, PREP_ERR_PROHIBITED, "", "prohibited check runs first"},
        {"U+00AD", 0, 0, "", "everything mapped away"},
        {"U+00AD", PREP_CHECK_ALLOWED, PREP_ERR_NOT_ALLOWED, "", "empty name is not allowed"},
        {"U+4E1C U+6C17", 0x203, 0, "U+4E1C U+6C17", "both Chinese directions: neither runs"},
        {"U+6C17", PREP_TO_SIMPLIFIED, 0, "U+6C17", "no folding without local rules"},
        {"U+6C17 U+5263 U+767C", 0x03, 0, "U+6C14 U+5251 U+53D1", "folding to simplified"},
        {"U+F98B", 0x03, 0, "U+5386", "normalized first, then folded"},
        {"U+4E1C", PREP_TO_TRADITIONAL, 0, "U+6771", "premapping to traditional"},
        {"U+0649", PREP_LOCAL_RULES, 0, "U+064A", "Arabic folding before mapping"},
        {"U+FEEF", PREP_LOCAL_RULES, 0, "U+064A", "Arabic folding after normalization"},
        {"U+FEEF", 0, 0, "U+0649", "no Arabic folding without local rules"},
        {"U+0628 U+064E", PREP_LOCAL_RULES, PREP_ERR_LABEL_CHAR, "", "fatha"},
        {"U+0589", PREP_LOCAL_RULES, PREP_ERR_LABEL_CHAR, "", "Armenian full stop"},
        {"U+0E01 U+0E4D U+0E48 U+0E32", PREP_LOCAL_RULES, 0, "U+0E01 U+0E48 U+0E4D U+0E32", "Thai"},
        {"U+304B U+309B", PREP_JAPANESE_PREMAP, 0, "U+304C", "voiced mark premapped"},
        {"U+304B U+309B", 0, PREP_ERR_PROHIBITED, "", "voiced mark becomes a space"},
        {"U+2212", PREP_JAPANESE_PREMAP, 0, "-", "minus sign"},
        {"U+3260", PREP_KOREAN_PREMAP, 0, "U+1100", "circled Hangul: premapped, then normalized"},
        {"U+3260", 0, 0, "U+1100", "circled Hangul normalized"},
        {"U+2460", PREP_CHECK_ALLOWED, 0, "1", "circled one"},
        {"U+00D7", PREP_CHECK_ALLOWED, PREP_ERR_NOT_ALLOWED, "", "excluded"},
        {"U+0387", PREP_CHECK_ALLOWED, PREP_ERR_NOT_ALLOWED, "", "ano teleia: a middle dot once normalized"},
        {"U+0221", PREP_CHECK_ALLOWED, 0, "U+0221", "unassigned, inside an allowed range"},
        {"U+4E00 U+AC00 -9", PREP_CHECK_ALLOWED, 0, "U+4E00 U+AC00 U+002D U+0039", "allowed"},
        {"a_b", PREP_CHECK_ALLOWED, PREP_ERR_NOT_ALLOWED, "", "underscore not allowed"},
        {"a_b", PREP_CHECK_ALLOWED | PREP_ALLOW_UNDERSCORE, 0, "a_b", "underscore allowed"},
        {"a U+FE6B b", PREP_DELIMITERS, 0, "a@b", "small commercial at"},
        {"ABC", 0xFFFFFC40, 0, "abc", "ignored bits"},
    };
    for (const Case& c : cases) {
        Result r = prep(M(c.in), c.flags);
        EXPECT_EQ(r.rc, c.rc) << c.note;
        if (c.rc == 0 && r.rc == 0) {
            EXPECT_EQ(show(r.out), show(M(c.out))) << c.note;
        }
    }
    Result empty = prep(u"", 0);
    EXPECT_EQ(empty.rc, PREP_ERR_PROHIBITED);
}

// Every combination of the nine option bits, against the effect each bit is
// documented to have on a probe name.
TEST_F(Nameprep, FlagsMatrix) {
    for (uint32_t bits = 0; bits < 512; ++bits) {
        // Spread the nine bits over 0x01..0x200, skipping the unused 0x40.
        uint32_t f = (bits & 0x3F) | ((bits & 0x1C0) << 1);
        const bool local = f & PREP_LOCAL_RULES, simp = f & PREP_TO_SIMPLIFIED,
                   stop = f & PREP_MAP_IDEOGRAPHIC_STOP, allowed = f & PREP_CHECK_ALLOWED,
                   ja = f & PREP_JAPANESE_PREMAP, delim = f & PREP_DELIMITERS,
                   under = f & PREP_ALLOW_UNDERSCORE,
                   trad = f & PREP_TO_TRADITIONAL;
        // A delimiter or "_" outside its exemption fails the label check under
        // local rules, else the allowed check, else passes.
        auto punct_rc = [&](bool exempt) -> uint32_t {
            if (exempt) return 0;
            if (local) return PREP_ERR_LABEL_CHAR;
            if (allowed) return PREP_ERR_NOT_ALLOWED;
            return 0;
        };
        struct Probe {
            const char* in;
            uint32_t rc;
            const char* out;
        } const probes[] = {
            {"ABC", 0, "abc"},
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
        for (const Probe& p : probes) {
            Result r = prep(M(p.in), f);
            ASSERT_EQ(r.rc, p.rc) << p.in << " flags 0x" << std::hex << f;
            if (p.rc == 0) {
                ASSERT_EQ(show(r.out), show(M(p.out))) << p.in << " flags 0x" << std::hex << f;
            }
            Result ignored = prep(M(p.in), f | 0x40 | 0xF0000000);
            ASSERT_EQ(ignored.rc, r.rc);
            ASSERT_EQ(ignored.out, r.out);
        }
    }
}

// The Korean premapping goes to compatibility jamo, which normalization
// takes on to the conjoining jamo that the unmapped units reach anyway.
TEST_F(Nameprep, KoreanPremapIsAbsorbedByNormalization) {
    int changed = 0;
    for (uint32_t c = 1; c < 0x10000; ++c) {
        std::u16string s(1, static_cast<char16_t>(c)), premapped = s;
        premap_korean(premapped);
        if (premapped == s) continue;
        ++changed;
        Result with = prep(s, PREP_KOREAN_PREMAP), without = prep(s, 0);
        EXPECT_EQ(with.rc, 0u);
        EXPECT_EQ(with.out, without.out) << std::hex << c;
    }
    EXPECT_EQ(changed, 66);
}

TEST_F(Nameprep, SizeLimits) {
    auto repeat = [](char16_t c, size_t n) { return std::u16string(n, c); };
    EXPECT_EQ(prep(repeat(u'a', 1023), 0).rc, 0u);
    EXPECT_EQ(prep(repeat(u'a', 1024), 0).rc, PREP_ERR_MAP_FAILED);
    // Mapping doubles U+00DF: 511 of them and one letter fill the work buffer.
    EXPECT_EQ(prep(repeat(0x00DF, 511) + u"a", 0).rc, 0u);
    EXPECT_EQ(prep(repeat(0x00DF, 512), 0).rc, PREP_ERR_MAP_FAILED);
    // U+3300 normalizes to four katakana.
    EXPECT_EQ(prep(repeat(0x3300, 255), 0).out.size(), 1020u);
    EXPECT_EQ(prep(repeat(0x3300, 256), 0).rc, PREP_ERR_NORMALIZE_FAILED);
    // A long decomposition that composes back fits.
    EXPECT_EQ(prep(repeat(0xAC01, 1023), 0).rc, 0u);
    // Capacity counts the terminator.
    EXPECT_EQ(prep(u"ABC", 0, 3).rc, PREP_ERR_NORMALIZE_FAILED);
    EXPECT_EQ(prep(u"ABC", 0, 4).out, u"abc");
    EXPECT_EQ(prep(M("U+00AD"), 0, 0).rc, PREP_ERR_NORMALIZE_FAILED);
    EXPECT_EQ(prep(M("U+00AD"), 0, 1).out, u"");
    // The checks answer before the capacity is looked at.
    EXPECT_EQ(prep(u"a b", 0, 0).rc, PREP_ERR_PROHIBITED);
    // A 0 unit ends the name.
    EXPECT_EQ(prep(std::u16string(u"ab\0 c", 5), 0).out, u"ab");
}

// Every BMP unit alone, under three flag words: a defined result, output
// only on success, and a result that passes the checks its flags ask for.
TEST_F(Nameprep, EveryUnitAlone) {
    int passed = 0;
    for (uint32_t flags : {0u, 0xA5u, 0x3BFu})
        for (uint32_t c = 1; c < 0x10000; ++c) {
            Result r = prep(std::u16string(1, static_cast<char16_t>(c)), flags);
            ASSERT_TRUE(r.rc == 0 || (r.rc >= 203 && r.rc <= 205)) << std::hex << c << " " << r.rc;
            if (r.rc != 0) continue;
            ++passed;
            ASSERT_LE(r.out.size(), 18u);
            ASSERT_EQ(check_prohibited(r.out, flags), 0) << std::hex << c;
            if (flags & PREP_LOCAL_RULES) {
                ASSERT_EQ(check_label_chars(r.out, flags), 1) << std::hex << c;
            }
            if (flags & PREP_CHECK_ALLOWED) {
                ASSERT_EQ(check_allowed(r.out, flags), 0) << std::hex << c;
            }
        }
    EXPECT_GT(passed, 60000);
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
        uint32_t flags = flag_word(rng);
        Result r = prep(s, flags);
        ASSERT_TRUE(r.rc == 0 || (r.rc >= 203 && r.rc <= 205)) << show(s) << " " << r.rc;
        if (r.rc == 0) {
            ASSERT_EQ(check_prohibited(r.out, flags), 0) << show(s);
        }
    }
}

TEST_F(Nameprep, Export) {
    const nessel_unit abc[] = {'A', 'B', 'C', 0};
    nessel_unit out[8];
    std::fill(std::begin(out), std::end(out), 0x7777);
    EXPECT_EQ(talvex_name_prep_u(abc, out, 8, 0), 0u);
    EXPECT_EQ(std::u16string(out, out + 4), std::u16string(u"abc\0", 4));
    EXPECT_EQ(out[4], 0x7777);  // nothing written past the terminator

    std::fill(std::begin(out), std::end(out), 0x7777);
    EXPECT_EQ(talvex_name_prep_u(abc, out, 3, 0), PREP_ERR_NORMALIZE_FAILED);
    EXPECT_EQ(out[0], 0x7777);
    const nessel_unit space[] = {'a', ' ', 0};
    EXPECT_EQ(talvex_name_prep_u(space, out, 8, 0), PREP_ERR_PROHIBITED);
    EXPECT_EQ(out[0], 0x7777);
    const nessel_unit empty[] = {0};
    EXPECT_EQ(talvex_name_prep_u(empty, out, 8, 0), PREP_ERR_PROHIBITED);
    EXPECT_EQ(talvex_name_prep_u(nullptr, out, 8, 0), PREP_ERR_PROHIBITED);
    EXPECT_EQ(talvex_name_prep_u(abc, nullptr, 8, 0), PREP_ERR_PROHIBITED);
    EXPECT_EQ(out[0], 0x7777);

    std::vector<nessel_unit> longest(1023, 'a'), too_long(5000, 'a');
    longest.push_back(0);
    too_long.push_back(0);
    std::vector<nessel_unit> big(1024, 0x7777);
    EXPECT_EQ(talvex_name_prep_u(longest.data(), big.data(), 1024, 0xA5), 0u);
    EXPECT_EQ(big[1023], 0);
    EXPECT_EQ(talvex_name_prep_u(too_long.data(), big.data(), 8192, 0), PREP_ERR_MAP_FAILED);
}

}  // namespace
