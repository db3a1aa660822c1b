// SPDX-License-Identifier: MIT
// tests/unit/enc_iscii_test.cpp: "dev", "tlg", "knd": stated mappings, every
// byte and every unit of each script's range, the tables against the ISCII-91
// layout written out independently here, and random input.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>

#include "codecs/codecs.h"
#include "test_support.h"

namespace nessel {
namespace {

using test::B;
using test::show;
using test::show_bytes;
using test::U;

class Iscii : public test::EncodingsTest {};

using Case = test::ConversionCase;

TEST_F(Iscii, StatedMappings) {
    const Case cases[] = {
        {"dev", true, "\\xB3", "U+0915", 1},
        {"dev", false, "\\xB3", "U+0915", 1},
        {"dev", true, "\\xEA", "U+0964", 1},
        {"dev", true, "\\xB3\\xD9", "", 0},  // the dispatch empties the partial result
        {"dev", true, "\\xEB", "", 0},
        {"dev", true, "\\xA0", "", 0},
        {"dev", true, "\\x01A~\\x7F", "U+0001 U+0041 U+007E U+007F", 1},
        {"dev", false, "\\x01A~\\x7F", "U+0001 U+0041 U+007E U+007F", 1},
        {"dev", true, "\\xB3\\xE9", "U+0915 U+093C", 1},
        {"dev", true, "\\xCE\\xAE\\xB2", "U+095F U+090D U+0911", 1},
        {"tlg", true, "\\xEA", "", 0},
        {"tlg", false, "\\xB3", "U+0C15", 1},
        {"tlg", false, "", "U+0915", 0},
        {"tlg", true, "\\xA1\\xF1", "U+0C01 U+0C66", 1},
        {"knd", true, "\\xA1", "", 0},
        {"knd", false, "", "U+0C81", 0},
        {"knd", false, "\\xF1", "U+0CE6", 1},
        {"knd", true, "\\xA2\\xB3", "U+0C82 U+0C95", 1},
        {"knd", false, "", "U+00E9", 0},
        {"dev", false, "", "U+0970", 0},
        {"dev", true, "\\xFB", "", 0},
    };
    test::expect_conversions(cases);
}

// The Devanagari layout of ISCII-91 as ranges, and the positions that Telugu
// and Kannada lack; the Telugu and Kannada code points are Devanagari's plus
// 0x300 and 0x380.
std::map<unsigned, char16_t> layout(int script) {
    const struct { unsigned first, last; char16_t u; } ranges[] = {
        {0xA1, 0xA3, 0x0901}, {0xA4, 0xAA, 0x0905}, {0xAB, 0xAD, 0x090E}, {0xAE, 0xAE, 0x090D},
        {0xAF, 0xB1, 0x0912}, {0xB2, 0xB2, 0x0911}, {0xB3, 0xCD, 0x0915}, {0xCE, 0xCE, 0x095F},
        {0xCF, 0xD8, 0x0930}, {0xDA, 0xDF, 0x093E}, {0xE0, 0xE2, 0x0946}, {0xE3, 0xE3, 0x0945},
        {0xE4, 0xE6, 0x094A}, {0xE7, 0xE7, 0x0949}, {0xE8, 0xE8, 0x094D}, {0xE9, 0xE9, 0x093C},
        {0xEA, 0xEA, 0x0964}, {0xF1, 0xFA, 0x0966}};
    const std::set<unsigned> lacks[3] = {
        {}, {0xAE, 0xB2, 0xC7, 0xCE, 0xD3, 0xE3, 0xE7, 0xE9, 0xEA},
        {0xA1, 0xAE, 0xB2, 0xC7, 0xCE, 0xD3, 0xE3, 0xE7, 0xE9, 0xEA}};
    const char16_t offset[3] = {0, 0x300, 0x380};
    std::map<unsigned, char16_t> m;
    for (const auto& r : ranges)
        for (unsigned b = r.first; b <= r.last; ++b)
            if (!lacks[script].count(b)) m[b] = static_cast<char16_t>(r.u + (b - r.first) + offset[script]);
    return m;
}

// Every byte decodes to the layout's character or fails; every unit of the
// script's range (and beyond) encodes to the layout's byte or fails; the
// tables are exact inverses (no code point twice).
TEST_F(Iscii, ExhaustiveBothWays) {
    const char* names[3] = {"dev", "tlg", "knd"};
    const size_t counts[3] = {83, 74, 73};
    for (int s = 0; s < 3; ++s) {
        const uint32_t et = encoding_type(names[s]);
        const auto m = layout(s);
        EXPECT_EQ(m.size(), counts[s]) << names[s];
        std::map<char16_t, unsigned> inverse;
        for (const auto& [b, u] : m) {
            EXPECT_TRUE(inverse.emplace(u, b).second) << names[s];
        }
        for (unsigned b = 1; b <= 0xFF; ++b) {
            std::u16string out;
            const int r = encoding_to_unicode(et, std::string(1, static_cast<char>(b)), out);
            if (b < 0x80) {
                EXPECT_EQ(out, std::u16string(1, static_cast<char16_t>(b)));
            } else if (m.count(b)) {
                EXPECT_EQ(r, 1) << names[s] << " " << b;
                EXPECT_EQ(out, std::u16string(1, m.at(b))) << names[s] << " " << b;
            } else {
                EXPECT_EQ(r, 0) << names[s] << " " << b;
            }
        }
        for (unsigned u = 1; u <= 0xFFFF; ++u) {
            std::string out;
            const int r = unicode_to_encoding(et, std::u16string(1, static_cast<char16_t>(u)), out);
            if (u < 0x80) {
                EXPECT_EQ(out, std::string(1, static_cast<char>(u)));
            } else if (inverse.count(static_cast<char16_t>(u))) {
                ASSERT_EQ(r, 1) << names[s] << " " << u;
                EXPECT_EQ(static_cast<unsigned char>(out[0]), inverse.at(static_cast<char16_t>(u)));
            } else {
                ASSERT_EQ(r, 0) << names[s] << " U+" << std::hex << u;
            }
        }
    }
}

TEST_F(Iscii, RandomInputNeverFaults) {
    std::mt19937 rng(52);
    for (const char* name : {"dev", "tlg", "knd"}) {
        const uint32_t et = encoding_type(name);
        for (int round = 0; round < 300; ++round) {
            std::string bytes;
            const int n = static_cast<int>(rng() % 200);
            for (int i = 0; i < n; ++i) bytes.push_back(static_cast<char>(1 + rng() % 255));
            std::u16string units;
            if (encoding_to_unicode(et, bytes, units)) {
                std::string back;
                ASSERT_EQ(unicode_to_encoding(et, units, back), 1);
                EXPECT_EQ(back, bytes) << name;
            } else {
                EXPECT_TRUE(units.empty());
            }
            std::u16string random_units;
            for (int i = 0; i < n; ++i) random_units.push_back(static_cast<char16_t>(1 + rng() % 0xFFFF));
            std::string out;
            const int r = unicode_to_encoding(et, random_units, out);
            EXPECT_TRUE(r == 1 || out.empty());
        }
    }
}

}  // namespace
}  // namespace nessel
