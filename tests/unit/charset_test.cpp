// SPDX-License-Identifier: MIT
// tests/unit/charset_test.cpp: the registry (tests/vectors/charsets/
// registry.tsv), the conversion rows of every charset (conversions.tsv, and
// the CJK examples in tests/vectors/cjk/) through the dispatch and the
// registered converters, the dispatch on odd arguments, and the UTF-16
// string helpers.
#include <gtest/gtest.h>

#include <cstring>

#include "api/lifecycle.h"
#include "encoding/encoding.h"
#include "nessel.h"
#include "test_support.h"
#include "vectors.h"

namespace nessel {
namespace {

using test::B;
using test::show;
using test::show_bytes;
using test::U;

int fake_to(std::string_view, std::u16string& dst) {
    dst = u"fake";
    return 1;
}
int fake_from(std::u16string_view, std::string& dst) {
    dst = "fake";
    return 1;
}

TEST(Registry, EmptyBeforeInitialisation) {
    // Runs first in this program: nothing registered yet.
    EXPECT_EQ(str2enctype("ascii"), 0u);
    nessel_unit out[4] = {9, 9, 9, 9};
    EXPECT_EQ(encoding2unicode(1, "a", out), 0);
    EXPECT_EQ(out[0], 0);
}

class Charset : public ::testing::Test {
protected:
    void SetUp() override {
        free_encodings();
        ASSERT_EQ(register_all_encodings(), 1);
    }
    void TearDown() override { free_encodings(); }
};

TEST_F(Charset, RegistryRows) {
    const auto rows = test::read_rows("charsets/registry.tsv", 2);
    ASSERT_EQ(encoding_count(), 54u);
    for (size_t i = 0; i < rows.size(); ++i) {
        const uint32_t type = std::stoul(rows[i][1]);
        EXPECT_EQ(str2enctype(rows[i][0].c_str()), type) << rows[i].where;
        if (i < 54) {  // the whole registry in order: the place is the enctype
            ASSERT_EQ(type, i + 1) << rows[i].where;
            const EncodingEntry* e = find_encoding_by_type(type);
            ASSERT_NE(e, nullptr);
            EXPECT_EQ(e->name, rows[i][0]);
            EXPECT_EQ(e->enctype, type);
            EXPECT_EQ(find_encoding(rows[i][0]), e);
        }
    }
    EXPECT_EQ(str2enctype(nullptr), 0u);
    EXPECT_EQ(find_encoding_by_type(0), nullptr);
    EXPECT_EQ(find_encoding_by_type(55), nullptr);
    // Names of one charset share its converters.
    for (auto [a, b] : {std::pair{"gb", "GBK"}, {"sjis", "Shift_JIS"}, {"euc", "EUC-JP"}, {"ksc", "EUC-KR"}}) {
        EXPECT_EQ(find_encoding(a)->to_unicode, find_encoding(b)->to_unicode) << a;
        EXPECT_EQ(find_encoding(a)->from_unicode, find_encoding(b)->from_unicode) << a;
    }
}

TEST_F(Charset, ReRegisteringKeepsTheFirstConvertersAndRefusesHalfEntries) {
    const uint32_t before = encoding_count();
    EXPECT_EQ(register_encoding("ASCII", fake_to, fake_from), 1u);
    EXPECT_EQ(register_all_encodings(), 1);
    EXPECT_EQ(encoding_count(), before);
    std::u16string out;
    EXPECT_EQ(encoding_to_unicode(1, "ab", out), 1);
    EXPECT_EQ(out, u"ab");
    EXPECT_EQ(register_encoding("", fake_to, fake_from), 0u);
    EXPECT_EQ(register_encoding("x-fake", nullptr, fake_from), 0u);
    EXPECT_EQ(register_encoding("x-fake", fake_to, nullptr), 0u);
    EXPECT_EQ(register_encoding("x-fake", fake_to, fake_from), before + 1);
}

// Each row through the dispatch, and through the registered converter with a
// stale output, which it must replace.
TEST_F(Charset, ConversionRows) {
    auto rows = test::read_rows("cjk/examples.tsv", 5);
    for (auto& r : test::read_rows("charsets/conversions.tsv", 5)) rows.push_back(std::move(r));
    for (const auto& r : rows) {
        SCOPED_TRACE(r.where);
        const EncodingEntry* e = find_encoding(r[0]);
        ASSERT_NE(e, nullptr) << r[0];
        const std::string in = test::text(r[2]), want = test::text(r[3]);
        const int result = std::stoi(r[4]);
        if (r[1] == "dec") {
            std::u16string out = u"stale", raw = u"stale";
            EXPECT_EQ(encoding_to_unicode(e->enctype, B(in), out), result);
            EXPECT_EQ(show(out), show(U(want)));
            EXPECT_EQ(e->to_unicode(B(in), raw), result);
            if (result != 0) { EXPECT_EQ(show(raw), show(U(want))); }
            // A text that encodes back to its bytes holds three times over
            // (no state carried from one character to the next).
            std::string back;
            if (result == 0 || e->from_unicode(U(want), back) == 0 || back != B(in)) continue;
            const bool counts = r[0] == "tab" || r[0] == "tam";
            EXPECT_EQ(encoding_to_unicode(e->enctype, B(in + in + in), out), counts ? 3 * result : 1);
            EXPECT_EQ(show(out), show(U(want) + U(want) + U(want)));
        } else {
            ASSERT_EQ(r[1], "enc");
            std::string out = "stale", raw = "stale";
            EXPECT_EQ(unicode_to_encoding(e->enctype, U(in), out), result);
            EXPECT_EQ(show_bytes(out), show_bytes(B(want)));
            EXPECT_EQ(e->from_unicode(U(in), raw), result);
            if (result != 0) { EXPECT_EQ(show_bytes(raw), show_bytes(B(want))); }
        }
    }
    EXPECT_GT(rows.size(), 300u);
}

TEST_F(Charset, ExportsEmptyTheDestinationOnFailure) {
    nessel_unit units[8] = {7, 7, 7, 7, 7, 7, 7, 7};
    char bytes[8] = "zzzzzzz";
    const nessel_unit src[] = {'a', 0}, mixed[] = {'a', 'b', 0xE9, 'c', 0};
    for (uint32_t t : {0u, 55u, 1000u}) {
        units[0] = 7;
        bytes[0] = 'z';
        EXPECT_EQ(encoding2unicode(t, "abc", units), 0) << t;
        EXPECT_EQ(units[0], 0);
        EXPECT_EQ(unicode2encoding(t, src, bytes), 0) << t;
        EXPECT_EQ(bytes[0], 0);
    }
    std::memset(bytes, 'z', sizeof bytes);
    EXPECT_EQ(unicode2encoding(1, mixed, bytes), 0);  // "ascii" stops at U+00E9
    EXPECT_EQ(bytes[0], 0);
    units[0] = 7;
    EXPECT_EQ(encoding2unicode(1, nullptr, units), 0);
    EXPECT_EQ(units[0], 0);
    EXPECT_EQ(encoding2unicode(1, "a", nullptr), 0);
    EXPECT_EQ(unicode2encoding(1, nullptr, bytes), 0);
    EXPECT_EQ(unicode2encoding(1, mixed, nullptr), 0);
    // "none" writes zero bytes: the export copies the whole result.
    const nessel_unit wide[] = {0x4E2D, 'A', 0};
    std::memset(bytes, 'z', sizeof bytes);
    EXPECT_EQ(unicode2encoding(2, wide, bytes), 1);
    EXPECT_EQ(std::string(bytes, 5), std::string("\x4E\x2D\0A\0", 5));
}

TEST(Utf16Strings, CStyleFunctions) {
    EXPECT_EQ(wcs_length(nullptr), 0u);
    EXPECT_EQ(wcs_length(u""), 0u);
    EXPECT_EQ(wcs_length(u"abc"), 3u);
    char16_t buf[16] = {};
    EXPECT_EQ(wcs_copy(nullptr, u"a"), nullptr);
    EXPECT_EQ(wcs_copy(buf, nullptr), nullptr);
    EXPECT_EQ(wcs_copy(buf, u"ab"), buf);
    EXPECT_EQ(std::u16string(buf), u"ab");
    EXPECT_EQ(wcs_append(buf, u"cd"), buf);
    EXPECT_EQ(std::u16string(buf), u"abcd");
    EXPECT_EQ(wcs_append(buf, nullptr), nullptr);
    EXPECT_EQ(widen_copy(buf, "\xC3\xBC"), buf);
    EXPECT_EQ(std::u16string(buf), U("U+00C3 U+00BC"));  // zero-extended, not sign-extended
    EXPECT_EQ(widen_copy(nullptr, "a"), nullptr);
    char bytes[8] = {};
    const char16_t units[] = {0x4E2D, 0x0041, 0x01FF, 0};
    EXPECT_EQ(narrow_copy(bytes, units), bytes);
    EXPECT_EQ(std::string(bytes), "\x2D\x41\xFF");
    EXPECT_EQ(narrow_copy(bytes, nullptr), nullptr);
}

}  // namespace
}  // namespace nessel
