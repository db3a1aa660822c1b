// Registry, dispatch, the "ascii" and "none" converters and the UTF-16
// string helpers.
#include <gtest/gtest.h>

#include <cstring>

#include "api/lifecycle.h"
#include "codecs/codecs.h"
#include "nessel.h"
#include "test_support.h"

namespace nessel {
namespace {

using test::B;
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
    EXPECT_EQ(find_encoding("ascii"), nullptr);
    nessel_unit out[4] = {9, 9, 9, 9};
    EXPECT_EQ(encoding2unicode(1, "a", out), 0);
    EXPECT_EQ(out[0], 0);
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        free_encodings();
        ASSERT_EQ(register_all_encodings(), 1);
    }
    void TearDown() override { free_encodings(); }
};

TEST_F(RegistryTest, EnctypeIsThePlaceInRegistrationOrder) {
    const uint32_t n = encoding_count();
    ASSERT_GE(n, 2u);
    for (uint32_t t = 1; t <= n; ++t) {
        const EncodingEntry* e = find_encoding_by_type(t);
        ASSERT_NE(e, nullptr) << t;
        EXPECT_EQ(e->enctype, t);
        EXPECT_EQ(find_encoding(e->name), e);
        EXPECT_EQ(str2enctype(e->name.c_str()), t);
    }
    EXPECT_EQ(find_encoding_by_type(0), nullptr);
    EXPECT_EQ(find_encoding_by_type(n + 1), nullptr);
}

TEST_F(RegistryTest, EveryNameHasItsEnctype) {
    static const char* const kNames[] = {
        "ascii",     "none",      "utf5",      "utf5x",     "utf8",       "gutf8",  "dutf8",
        "cidnuc",    "race",      "racex",     "rawace",    "lace",       "NCR",    "AMC-Z",
        "PUNYCODE",  "dude",      "dudex",     "Big5",      "gb",         "GBK",    "sjis",
        "Shift_JIS", "euc",       "EUC-JP",    "jis",       "ksc",        "EUC-KR", "iso8859-1",
        "iso8859-2", "iso8859-3", "iso8859-4", "iso8859-5", "iso8859-6",  "iso8859-7",
        "iso8859-8", "iso8859-9", "iso8859-11", "tsc",      "cp1250",     "cp1251", "cp1252",
        "cp1253",    "cp1254",    "cp1255",    "cp1256",    "cp1257",     "cp1258", "vni",
        "TCVN3",     "tab",       "tam",       "dev",       "tlg",        "knd",
    };
    ASSERT_EQ(encoding_count(), 54u);
    for (uint32_t t = 1; t <= 54; ++t) {
        EXPECT_EQ(find_encoding_by_type(t)->name, kNames[t - 1]);
        EXPECT_EQ(str2enctype(kNames[t - 1]), t) << kNames[t - 1];
    }
    EXPECT_EQ(str2enctype("big5"), 18u);
    EXPECT_EQ(str2enctype("EUC-kr"), 27u);
    EXPECT_EQ(str2enctype("KND"), 54u);
}

TEST_F(RegistryTest, NamesCompareWithoutLetterCase) {
    struct Case {
        const char* name;
        uint32_t enctype;
    } cases[] = {
        {"ascii", 1}, {"ASCII", 1}, {"Ascii", 1}, {"none", 2}, {"NONE", 2},
        {"", 0},      {"utf-8", 0}, {"ascii ", 0}, {"asci", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(str2enctype(c.name), c.enctype) << c.name;
    EXPECT_EQ(str2enctype(nullptr), 0u);
    EXPECT_EQ(str2enctype("PunyCode"), str2enctype("PUNYCODE"));
    EXPECT_NE(str2enctype("amc-z"), 0u);
}

TEST_F(RegistryTest, ReRegisteringKeepsTheFirstConverters) {
    const uint32_t before = encoding_count();
    EXPECT_EQ(register_encoding("ASCII", fake_to, fake_from), 1u);
    EXPECT_EQ(encoding_count(), before);
    std::u16string out;
    EXPECT_EQ(encoding_to_unicode(1, "ab", out), 1);
    EXPECT_EQ(out, u"ab");
    // A repeated full registration adds nothing either.
    EXPECT_EQ(register_all_encodings(), 1);
    EXPECT_EQ(encoding_count(), before);
}

TEST_F(RegistryTest, RefusedRegistrations) {
    EXPECT_EQ(register_encoding("", fake_to, fake_from), 0u);
    EXPECT_EQ(register_encoding("x-fake", nullptr, fake_from), 0u);
    EXPECT_EQ(register_encoding("x-fake", fake_to, nullptr), 0u);
    const uint32_t n = encoding_count();
    EXPECT_EQ(register_encoding("x-fake", fake_to, fake_from), n + 1);
}

TEST_F(RegistryTest, DispatchEmptiesTheDestinationOnFailure) {
    nessel_unit units[8] = {7, 7, 7, 7, 7, 7, 7, 7};
    char bytes[8] = "zzzzzzz";
    for (uint32_t t : {0u, 55u, 1000u}) {
        units[0] = 7;
        EXPECT_EQ(encoding2unicode(t, "abc", units), 0) << t;
        EXPECT_EQ(units[0], 0);
        bytes[0] = 'z';
        const nessel_unit src[] = {'a', 0};
        EXPECT_EQ(unicode2encoding(t, src, bytes), 0) << t;
        EXPECT_EQ(bytes[0], 0);
    }
    // "ascii" from_unicode stops at U+00E9: the dispatch leaves nothing.
    const nessel_unit mixed[] = {'a', 'b', 0xE9, 'c', 0};
    std::memset(bytes, 'z', sizeof bytes);
    EXPECT_EQ(unicode2encoding(1, mixed, bytes), 0);
    EXPECT_EQ(bytes[0], 0);
    // Null pointers are failures, never faults.
    EXPECT_EQ(encoding2unicode(1, nullptr, units), 0);
    EXPECT_EQ(units[0], 0);
    EXPECT_EQ(encoding2unicode(1, "a", nullptr), 0);
    EXPECT_EQ(unicode2encoding(1, nullptr, bytes), 0);
    EXPECT_EQ(unicode2encoding(1, mixed, nullptr), 0);
}

TEST(AsciiConverter, Decode) {
    struct Case {
        std::string in;
        std::u16string out;
    } cases[] = {
        {"", u""},
        {"abc", u"abc"},
        {B("\\xC3\\xA9"), U("U+0043 U+0029")},  // the top bit is dropped, not refused
        {B("\\x01\\x7F\\x80\\xFF"), U("U+0001 U+007F U+0000 U+007F")},
    };
    for (const auto& c : cases) {
        std::u16string out = u"junk";
        EXPECT_EQ(ascii_to_unicode(c.in, out), 1);
        EXPECT_EQ(out, c.out) << test::show_bytes(c.in);
    }
}

TEST(AsciiConverter, Encode) {
    struct Case {
        std::u16string in;
        int result;
        std::string out;  // what stays visible
    } cases[] = {
        {u"", 1, ""},
        {u"a.b@c", 1, "a.b@c"},
        {U("U+0001 U+007F"), 1, B("\\x01\\x7F")},
        {U("U+0061 U+0062 U+00E9 U+0063"), 0, "ab"},
        {U("U+0080"), 0, ""},
        {U("U+4E2D U+0061"), 0, ""},
    };
    for (const auto& c : cases) {
        std::string out = "junk";
        EXPECT_EQ(ascii_from_unicode(c.in, out), c.result) << test::show(c.in);
        EXPECT_EQ(out, c.out) << test::show(c.in);
    }
}

TEST(NoneConverter, DecodeReadsBigEndianPairs) {
    struct Case {
        std::string in;
        std::u16string out;
    } cases[] = {
        {B("\\x4E\\x2D\\x41"), U("U+4E2D U+4100")},  // odd length: last byte is a high byte
        {B("\\x4E\\x2D"), U("U+4E2D")},
        {std::string("\0\x41", 2), u""},  // the view ends at the zero byte
        {"", u""},
        {B("\\xFF\\xFF\\x01\\x01"), U("U+FFFF U+0101")},
    };
    for (const auto& c : cases) {
        std::u16string out;
        std::string_view in(c.in.c_str());  // as the export sees a C string
        EXPECT_EQ(none_to_unicode(in, out), 1);
        EXPECT_EQ(out, c.out) << test::show_bytes(c.in);
    }
}

TEST(NoneConverter, EncodeWritesTwoBytesPerUnit) {
    std::string out;
    EXPECT_EQ(none_from_unicode(U("U+4E2D"), out), 1);
    EXPECT_EQ(out, B("\\x4E\\x2D"));
    EXPECT_EQ(none_from_unicode(u"A", out), 1);
    EXPECT_EQ(out, std::string("\0A", 2));  // a zero byte inside the output
    // Through the export the whole result is copied, terminator after it.
    free_encodings();
    ASSERT_EQ(register_all_encodings(), 1);
    const nessel_unit src[] = {0x4E2D, 'A', 0};
    char bytes[8];
    std::memset(bytes, 'z', sizeof bytes);
    EXPECT_EQ(unicode2encoding(2, src, bytes), 1);
    EXPECT_EQ(std::string(bytes, 5), std::string("\x4E\x2D\0A\0", 5));
    free_encodings();
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
