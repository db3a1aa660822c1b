// SPDX-License-Identifier: MIT
// tests/unit/nameprep_checks_test.cpp: the prohibited-range, label
// character, allowed-range and excluded-character checks.  This program never
// initialises the library, so it also pins what nameprep answers before that.
#include <gtest/gtest.h>

#include "nameprep/testing.h"
#include "nessel.h"
#include "test_support.h"

using namespace nessel;
using nessel::test::M;
using nessel::test::U;

namespace {

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

struct CheckCase {
    const char* name;
    uint32_t flags;
    int prohibited;  // check_prohibited
    int label;       // check_label_chars
    int allowed;     // check_allowed
    int excluded;    // check_excluded
    const char* note;
};

TEST(NameprepChecks, Table) {
    constexpr uint32_t D = PREP_DELIMITERS, US = PREP_ALLOW_UNDERSCORE;
    const CheckCase cases[] = {
        {"abc-123", 0, 0, 1, 0, 0, "plain label"},
        {"a U+0020 b", 0, 2, 0, 2, 0, "space"},
        {"U+0061 U+0009", 0, 2, 0, 2, 0, "tab"},
        {"U+0061 U+00A0", 0, 2, 1, 2, 0, "no-break space"},
        {"U+3000", 0, 1, 1, 1, 0, "ideographic space"},
        {"U+0061 U+2000", 0, 2, 1, 2, 0, "en quad"},
        {"U+200F", 0, 1, 1, 1, 0, "end of U+2000..U+200F"},
        {"U+3002", 0, 1, 0, 1, 0, "ideographic full stop"},
        {"U+D800 U+DC00", 0, 1, 1, 1, 0, "surrogate pair"},
        {"U+E000", 0, 1, 1, 1, 0, "private use"},
        {"U+FFFF", 0, 1, 1, 1, 0, "noncharacter"},
        {"U+0221", 0, 0, 1, 0, 0, "unassigned in 3.1, inside an allowed range"},
        {"U+0378", 0, 0, 1, 1, 0, "unassigned, outside the allowed ranges"},
        {"a.b", 0, 0, 0, 2, 0, "dot without delimiters"},
        {"a.b@c", D, 0, 1, 0, 0, "dot and at with delimiters"},
        {"a_b", 0, 0, 0, 2, 0, "underscore refused"},
        {"a_b", US, 0, 1, 0, 0, "underscore allowed"},
        {"a_b", D, 0, 0, 2, 0, "delimiters do not exempt underscore"},
        {"U+064E", 0, 0, 0, 0, 0, "fatha"},
        {"U+0589", 0, 0, 0, 1, 0, "Armenian full stop"},
        {"U+058A", 0, 0, 0, 1, 0, "Armenian hyphen"},
        {"U+064A", 0, 0, 1, 0, 0, "yeh"},
        {"U+00D7", 0, 0, 1, 0, 1, "multiplication sign"},
        {"U+0061 U+0387", 0, 0, 0, 0, 2, "ano teleia"},
        {"U+00F7", 0, 0, 0, 0, 1, "division sign"},
        {"U+4E00 U+AC00", 0, 0, 1, 0, 0, "ideograph and syllable"},
        {"U+FF04", 0, 0, 0, 1, 0, "fullwidth dollar, inside FF01..FF0A"},
        {"U+2060", 0, 0, 1, 1, 0, "word joiner: mapped away before checks"},
        {"U+0041", 0, 0, 1, 1, 0, "uppercase never reaches the checks"},
    };
    for (const CheckCase& c : cases) {
        std::u16string s = M(c.name);
        EXPECT_EQ(check_prohibited(s, c.flags), c.prohibited) << c.note;
        EXPECT_EQ(check_label_chars(s, c.flags), c.label) << c.note;
        EXPECT_EQ(check_allowed(s, c.flags), c.allowed) << c.note;
        EXPECT_EQ(check_excluded(s), c.excluded) << c.note;
    }
}

TEST(NameprepChecks, EmptyName) {
    EXPECT_EQ(check_prohibited(u"", 0), 0);
    EXPECT_EQ(check_label_chars(u"", 0), 1);
    EXPECT_LT(check_allowed(u"", 0), 0);
    EXPECT_LT(check_excluded(u""), 0);
}

// Sizes of the tables, counted unit by unit.
TEST(NameprepChecks, TableSizes) {
    int prohibited = 0, label_ascii = 0, label_other = 0, allowed = 0, excluded = 0;
    for (uint32_t c = 0; c < 0x10000; ++c) {
        auto u = static_cast<char16_t>(c);
        prohibited += is_prohibited_unit(u);
        if (is_label_refused_unit(u)) (c < 0x80 ? label_ascii : label_other)++;
        allowed += is_allowed_unit(u);
        excluded += is_excluded_unit(u);
    }
    // 23 ranges: U+0000..U+0020 and U+007F..U+00A0, the RFC 3454 C tables,
    // U+3002, surrogates, private use, noncharacters.
    EXPECT_EQ(prohibited, 33 + 34 + 2 + 1 + 1 + 1 + 1 + 16 + 2 + 6 + 1 + 3 + 6 + 12 + 1 + 1 +
                              2048 + 6400 + 32 + 1 + 7);
    EXPECT_EQ(label_ascii, 64);
    EXPECT_EQ(label_other, 305);
    EXPECT_EQ(excluded, 7);
    for (char16_t c : {u'-', u'0', u'9', u'a', u'z'}) EXPECT_TRUE(is_allowed_unit(c));
    for (char16_t c : {u'A', u'.', u'@', u'_', char16_t{0x0385}, char16_t{0xA000}})
        EXPECT_FALSE(is_allowed_unit(c));
    // 45 ranges holding 43878 units; three of them touch (U+00C0..U+0233 and
    // U+1100..U+137C), leaving 42 separate runs.
    EXPECT_EQ(allowed, 43878);
    int runs = 0;
    for (uint32_t c = 0; c < 0x10000; ++c)
        runs += is_allowed_unit(static_cast<char16_t>(c)) && (c == 0 || !is_allowed_unit(static_cast<char16_t>(c - 1)));
    EXPECT_EQ(runs, 42);
}

// Each walk reports the first failing position, counting skipped units.
TEST(NameprepChecks, PositionsCountSkippedUnits) {
    EXPECT_EQ(check_prohibited(M("a.b U+0020"), PREP_DELIMITERS), 4);
    EXPECT_EQ(check_allowed(M("a_b.c"), PREP_ALLOW_UNDERSCORE), 4);
    EXPECT_EQ(check_excluded(M("ab U+00D7 U+00F7")), 3);
}

}  // namespace
