// SPDX-License-Identifier: MIT
// tests/unit/enc_sbcs_test.cpp: the ISO 8859, Windows code-page and Thai
// charsets: stated mappings, full byte and unit sweeps, the reverse index
// against a first-match search, and a differential run against glibc iconv.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "encoding/charsets.h"
#include "encoding/enc_common.h"
#include "codecs/codecs.h"
#include "test_support.h"

namespace nessel {
namespace {

using test::B;
using test::show;
using test::show_bytes;
using test::U;

class Sbcs : public test::EncodingsTest {};

struct TableInfo {
    const char* name;     // registered name
    const char* iconv;    // glibc iconv name
    const SbcsTable* t;
    unsigned base;
    // Bytes where this table knowingly differs from glibc's current mapping:
    // older editions, no euro sign, own values at unassigned positions.
    std::set<unsigned> differs;
};

std::set<unsigned> range(unsigned a, unsigned b) {
    std::set<unsigned> s;
    for (unsigned i = a; i <= b; ++i) s.insert(i);
    return s;
}
std::set<unsigned> join(std::initializer_list<std::set<unsigned>> parts) {
    std::set<unsigned> s;
    for (const auto& p : parts) s.insert(p.begin(), p.end());
    return s;
}

const std::vector<TableInfo>& tables() {
    static const std::vector<TableInfo> v = {
        {"iso8859-1", "ISO-8859-1", iso8859_table(1), 0xFF, {}},
        {"iso8859-2", "ISO-8859-2", iso8859_table(2), 0xA0, {}},
        {"iso8859-3", "ISO-8859-3", iso8859_table(3), 0xA0, {0xA5, 0xAE, 0xBE, 0xC3, 0xD0, 0xE3, 0xF0}},
        {"iso8859-4", "ISO-8859-4", iso8859_table(4), 0xA0, {}},
        {"iso8859-5", "ISO-8859-5", iso8859_table(5), 0xA0, {}},
        {"iso8859-6", "ISO-8859-6", iso8859_table(6), 0x30,
         join({range(0x30, 0x39), range(0xA1, 0xA3), range(0xA5, 0xAB), range(0xAE, 0xBA),
               range(0xBC, 0xBE), {0xC0}, range(0xDB, 0xDF), range(0xF3, 0xFF)})},
        {"iso8859-7", "ISO-8859-7", iso8859_table(7), 0xA0, {0xA1, 0xA2, 0xA4, 0xA5, 0xAA, 0xAE, 0xD2, 0xFF}},
        {"iso8859-8", "ISO-8859-8", iso8859_table(8), 0xA0,
         join({{0xA1, 0xAF}, range(0xBF, 0xDE), range(0xFB, 0xFF)})},
        {"iso8859-9", "ISO-8859-9", iso8859_table(9), 0xA0, {}},
        {"cp1250", "CP1250", cp125x_table(1250), 0x80, {0x80, 0x81, 0x83, 0x88, 0x90, 0x98}},
        {"cp1251", "CP1251", cp125x_table(1251), 0x80, {0x88, 0x98}},
        {"cp1252", "CP1252", cp125x_table(1252), 0x80, {0x80, 0x81, 0x8D, 0x8E, 0x8F, 0x90, 0x9D, 0x9E}},
        {"cp1253", "CP1253", cp125x_table(1253), 0x80,
         join({{0x80, 0x81, 0x88, 0x8A}, range(0x8C, 0x90), {0x98, 0x9A}, range(0x9C, 0x9F), {0xAA, 0xD2, 0xFF}})},
        {"cp1254", "CP1254", cp125x_table(1254), 0x80, join({{0x80, 0x81}, range(0x8D, 0x90), {0x9D, 0x9E}})},
        {"cp1255", "CP1255", cp125x_table(1255), 0x80,
         join({{0x80, 0x81, 0x8A}, range(0x8C, 0x90), {0x9A}, range(0x9C, 0x9F), {0xAA, 0xBA, 0xCA},
               range(0xD7, 0xDF), {0xFB, 0xFC, 0xFF}})},
        {"cp1256", "CP1256", cp125x_table(1256), 0x80, {0x80, 0x8A, 0x8F, 0x98, 0x9A, 0x9F, 0xAA, 0xC0, 0xFF}},
        {"cp1257", "CP1257", cp125x_table(1257), 0x80,
         {0x80, 0x81, 0x83, 0x88, 0x8A, 0x8C, 0x90, 0x98, 0x9A, 0x9C, 0x9F, 0xA1, 0xA5}},
        {"cp1258", "CP1258", cp125x_table(1258), 0x80,
         join({{0x80, 0x81, 0x8A}, range(0x8D, 0x90), {0x9A, 0x9D, 0x9E, 0xCC, 0xEC}})},
    };
    return v;
}

char16_t decode_byte(const TableInfo& ti, unsigned b) {
    return b < ti.t->base ? static_cast<char16_t>(b) : ti.t->to_ucs[b - ti.t->base];
}

// The reference the reverse index must reproduce: the first table entry, from
// the lowest byte up, that holds u.
unsigned first_match(const SbcsTable& t, char16_t u) {
    for (unsigned b = t.base; b <= 0xFF; ++b)
        if (t.to_ucs[b - t.base] == u) return b;
    return 0;
}

TEST_F(Sbcs, RegisteredInOrderWithConsecutiveEnctypes) {
    const char* names[] = {"iso8859-1", "iso8859-2", "iso8859-3", "iso8859-4", "iso8859-5",
                           "iso8859-6", "iso8859-7", "iso8859-8", "iso8859-9", "iso8859-11",
                           "tsc",       "cp1250",    "cp1251",    "cp1252",    "cp1253",
                           "cp1254",    "cp1255",    "cp1256",    "cp1257",    "cp1258"};
    const uint32_t first = encoding_type("iso8859-1");
    ASSERT_NE(first, 0u);
    for (uint32_t i = 0; i < std::size(names); ++i) EXPECT_EQ(encoding_type(names[i]), first + i) << names[i];
    EXPECT_EQ(encoding_type("ISO8859-1"), first);
    EXPECT_EQ(encoding_type("CP1252"), encoding_type("cp1252"));
    // Once every row of the registration list is built, the place is fixed.
    if (encoding_count() == 54) {
        EXPECT_EQ(first, 28u);
    }
}

TEST_F(Sbcs, TableSizesAndBases) {
    for (const auto& ti : tables()) {
        ASSERT_NE(ti.t, nullptr) << ti.name;
        EXPECT_EQ(ti.t->base, ti.base) << ti.name;
    }
    EXPECT_EQ(iso8859_table(10), nullptr);
    EXPECT_EQ(cp125x_table(1249), nullptr);
    // "iso8859-1" has one entry, U+00FF.
    EXPECT_EQ(iso8859_table(1)->to_ucs[0], u'\u00FF');
}

using Case = test::ConversionCase;

TEST_F(Sbcs, StatedMappings) {
    const Case cases[] = {
        {"iso8859-1", false, "\\xFF", "U+00FF", 1},
        {"iso8859-1", false, "", "U+0100", 0},
        {"iso8859-6", true, "\\x35", "U+0665", 1},
        {"iso8859-6", false, "\\x35", "U+0665", 1},
        {"iso8859-6", false, "", "U+0030", 0},
        {"iso8859-6", false, "", "U+0039", 0},
        {"iso8859-6", false, "AZaz", "U+0041 U+005A U+0061 U+007A", 1},
        {"iso8859-6", true, "AZ", "U+0041 U+005A", 1},
        {"iso8859-8", false, "\\xAA", "U+00D7", 1},
        {"iso8859-8", true, "\\xD7\\xAA", "U+00D7 U+00D7", 1},
        {"iso8859-8", true, "\\xAF", "U+203E", 1},
        {"iso8859-7", true, "\\xA1\\xA2", "U+02BD U+02BC", 1},
        {"iso8859-7", false, "", "U+2018", 0},
        {"iso8859-7", true, "\\xA4\\xAA", "U+00A4 U+00AA", 1},
        {"cp1252", true, "\\x80", "U+0080", 1},
        {"cp1252", false, "", "U+20AC", 0},
        {"cp1252", false, "", "U+0061 U+20AC", 0},
        {"cp1252", true, "\\x93\\x94", "U+201C U+201D", 1},
        {"cp1258", true, "\\xCC\\xEC", "U+0340 U+0341", 1},
        {"cp1258", false, "", "U+0300", 0},
        {"cp1255", true, "\\xCA", "U+05BA", 1},
        {"cp1251", true, "\\xC0\\x88", "U+0410 U+0088", 1},
        {"iso8859-3", true, "\\xA5", "U+00A5", 1},
        {"iso8859-3", false, "\\xA5", "U+00A5", 1},
        {"iso8859-11", true, "\\xA1\\xA0\\xFF", "U+0E01 U+0E00 U+0E5F", 1},
        {"tsc", true, "\\xDB\\xFC", "U+0E3B U+0E5C", 1},
        {"iso8859-11", false, "\\xA1", "U+0E01", 1},
        {"tsc", false, "\\xA0\\xFF", "U+0E00 U+0E5F", 1},
        {"tsc", false, "", "U+0E60", 0},
        {"iso8859-11", false, "", "U+00A0", 0},
        {"tsc", true, "\\x80\\x9F", "U+0080 U+009F", 1},
        {"tsc", false, "\\x80\\x9F", "U+0080 U+009F", 1},
        {"iso8859-2", true, "", "", 1},
        {"iso8859-2", false, "", "", 1},
    };
    test::expect_conversions(cases);
}

// Encoding stops at the first unit without a byte; the converter itself keeps
// what came before (the dispatch then empties it).
TEST_F(Sbcs, EncoderFailureKeepsNothingThroughDispatch) {
    std::string out;
    EXPECT_EQ(cp1252_from_unicode(u"ab\u20ACc", out), 0);
    EXPECT_EQ(out, "ab");
    EXPECT_EQ(unicode_to_encoding(encoding_type("cp1252"), u"ab\u20ACc", out), 0);
    EXPECT_EQ(out, "");
}

// Every byte of every table decodes through the registered converter to its
// table value (or itself below the base); no byte fails.
TEST_F(Sbcs, EveryByteDecodes) {
    std::string all;
    for (unsigned b = 1; b <= 0xFF; ++b) all.push_back(static_cast<char>(b));
    for (const auto& ti : tables()) {
        std::u16string out;
        ASSERT_EQ(encoding_to_unicode(encoding_type(ti.name), all, out), 1) << ti.name;
        ASSERT_EQ(out.size(), all.size()) << ti.name;
        for (unsigned b = 1; b <= 0xFF; ++b) {
            const char16_t want = b < ti.base ? static_cast<char16_t>(b) : ti.t->to_ucs[b - ti.base];
            EXPECT_EQ(out[b - 1], want) << ti.name << " byte " << b;
        }
    }
}

// The reverse index equals the first-match search for every unit, and the
// encoder gives exactly that byte (or the unit itself below the base).
TEST_F(Sbcs, ReverseIndexEqualsFirstMatchSearch) {
    for (const auto& ti : tables()) {
        const uint32_t et = encoding_type(ti.name);
        size_t mismatches = 0;
        for (unsigned u = 1; u <= 0xFFFF; ++u) {
            const char16_t unit = static_cast<char16_t>(u);
            const unsigned want_find = first_match(*ti.t, unit);
            if (table_find(unit, *ti.t) != want_find) ++mismatches;
            const unsigned want = u < ti.base ? u : want_find;
            std::string out;
            const int r = unicode_to_encoding(et, std::u16string(1, unit), out);
            if (want == 0) {
                if (r != 0 || !out.empty()) ++mismatches;
            } else if (r != 1 || out.size() != 1 || static_cast<unsigned char>(out[0]) != want) {
                ++mismatches;
            }
        }
        EXPECT_EQ(mismatches, 0u) << ti.name;
    }
}

// Every character a table holds encodes back to its byte; the only code point
// held twice is U+00D7 in "iso8859-8" (0xAA and 0xD7), which encodes to 0xAA.
TEST_F(Sbcs, RoundTripOfEveryCharacter) {
    for (const auto& ti : tables()) {
        std::map<char16_t, std::vector<unsigned>> where;
        for (unsigned b = 1; b <= 0xFF; ++b) where[decode_byte(ti, b)].push_back(b);
        for (const auto& [u, bytes] : where) {
            std::string out;
            ASSERT_EQ(unicode_to_encoding(encoding_type(ti.name), std::u16string(1, u), out), 1) << ti.name;
            EXPECT_EQ(static_cast<unsigned char>(out[0]), bytes.front()) << ti.name << " " << show(std::u16string(1, u));
            if (bytes.size() > 1) {
                EXPECT_EQ(std::string(ti.name), "iso8859-8");
                EXPECT_EQ(u, u'\u00D7');
                EXPECT_EQ(bytes, (std::vector<unsigned>{0xAA, 0xD7}));
            }
        }
    }
}

// glibc iconv decodes each byte alone; the bytes where we differ are exactly
// the listed edition differences and own-value positions.
TEST_F(Sbcs, DifferentialAgainstIconv) {
    for (const auto& ti : tables()) {
        iconv_t cd = iconv_open("UTF-16LE", ti.iconv);
        ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1)) << ti.iconv;
        std::set<unsigned> differs;
        for (unsigned b = 1; b <= 0xFF; ++b) {
            char in = static_cast<char>(b);
            char outbuf[16];
            char* ip = &in;
            char* op = outbuf;
            size_t il = 1, ol = sizeof outbuf;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const size_t r = iconv(cd, &ip, &il, &op, &ol);
            iconv(cd, nullptr, nullptr, &op, &ol);  // flush a held base letter
            const size_t n = sizeof outbuf - ol;
            const bool ok = r != static_cast<size_t>(-1) && n == 2;
            const char16_t theirs = ok ? static_cast<char16_t>(static_cast<unsigned char>(outbuf[0]) |
                                                               static_cast<unsigned char>(outbuf[1]) << 8)
                                       : 0;
            if (!ok || theirs != decode_byte(ti, b)) differs.insert(b);
        }
        iconv_close(cd);
        EXPECT_EQ(differs, ti.differs) << ti.name;
    }
}

TEST_F(Sbcs, ThaiSweepBothWays) {
    for (const char* name : {"iso8859-11", "tsc"}) {
        const uint32_t et = encoding_type(name);
        for (unsigned b = 1; b <= 0xFF; ++b) {
            std::u16string u;
            ASSERT_EQ(encoding_to_unicode(et, std::string(1, static_cast<char>(b)), u), 1);
            const char16_t want = static_cast<char16_t>(b < 0xA0 ? b : 0x0E00 + b - 0xA0);
            ASSERT_EQ(u, std::u16string(1, want)) << name << " " << b;
            std::string back;
            ASSERT_EQ(unicode_to_encoding(et, u, back), 1);
            EXPECT_EQ(static_cast<unsigned char>(back[0]), b);
        }
        size_t encodable = 0;
        for (unsigned u = 1; u <= 0xFFFF; ++u) {
            std::string out;
            if (unicode_to_encoding(et, std::u16string(1, static_cast<char16_t>(u)), out)) ++encodable;
        }
        EXPECT_EQ(encodable, 0x9Fu + 0x60u) << name;  // U+0001..U+009F and U+0E00..U+0E5F
    }
}

// Random bytes and random units through every single-byte converter: decoding
// always succeeds with one unit per byte; encoding either succeeds with one
// byte per unit that decodes back, or fails with an empty result.
TEST_F(Sbcs, RandomInputNeverFaults) {
    std::mt19937 rng(6);
    std::vector<const char*> names;
    for (const auto& ti : tables()) names.push_back(ti.name);
    names.push_back("iso8859-11");
    names.push_back("tsc");
    for (const char* name : names) {
        const uint32_t et = encoding_type(name);
        for (int round = 0; round < 200; ++round) {
            std::string bytes;
            const int n = static_cast<int>(rng() % 300);
            for (int i = 0; i < n; ++i) bytes.push_back(static_cast<char>(1 + rng() % 255));
            std::u16string units;
            ASSERT_EQ(encoding_to_unicode(et, bytes, units), 1);
            ASSERT_EQ(units.size(), bytes.size());
            std::string again;
            ASSERT_EQ(unicode_to_encoding(et, units, again), 1) << name;
            std::u16string twice;
            ASSERT_EQ(encoding_to_unicode(et, again, twice), 1);
            EXPECT_EQ(twice, units) << name;
            std::u16string random_units;
            for (int i = 0; i < n; ++i) random_units.push_back(static_cast<char16_t>(1 + rng() % 0xFFFF));
            std::string out;
            const int r = unicode_to_encoding(et, random_units, out);
            EXPECT_EQ(out.size(), r ? random_units.size() : 0u) << name;
        }
    }
}

}  // namespace
}  // namespace nessel
