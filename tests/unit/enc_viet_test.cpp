// SPDX-License-Identifier: MIT
// tests/unit/enc_viet_test.cpp: "vni" and "TCVN3": stated mappings, every
// letter record both ways, every byte alone, the working-buffer limits, a
// differential check of TCVN3's one-byte letters against glibc iconv, and
// random input.
#include <gtest/gtest.h>
#include <iconv.h>

#include <random>
#include <set>
#include <string>

#include "data/viet.h"
#include "encoding/charsets.h"
#include "codecs/codecs.h"
#include "test_support.h"

namespace nessel {
namespace {

using test::B;
using test::show;
using test::show_bytes;
using test::U;

class Viet : public test::EncodingsTest {};

using Case = test::ConversionCase;

TEST_F(Viet, StatedMappings) {
    const Case cases[] = {
        {"vni", true, "\\x61\\xF9", "U+00E1", 1},
        {"vni", true, "\\x68\\x6F\\x61", "U+0068 U+006F U+0061", 1},
        {"vni", true, "\\xF4", "U+01A1", 1},
        {"vni", true, "\\xF4\\xF9", "U+1EDB", 1},
        {"vni", true, "\\xF9", "U+00F9", 1},
        {"vni", true, "\\x41\\xD9\\xD4\\xD1\\xCE", "U+00C1 U+01A0 U+0110 U+1EF4", 1},
        {"vni", true, "\\x61\\xF9\\x61", "U+00E1 U+0061", 1},
        {"vni", true, "\\xED\\xEE\\xF1", "U+00ED U+1EF5 U+0111", 1},
        {"vni", false, "\\x41\\xCF", "U+1EA0", 1},
        {"vni", false, "\\x61\\xEA\\x6F\\xE2", "U+0103 U+00F4", 1},
        {"vni", false, "\\xF6\\xEF", "U+1EF1", 1},
        {"TCVN3", true, "\\xB8", "U+00E1", 1},
        {"TCVN3", true, "\\x41\\xB8", "U+00C1", 1},
        {"TCVN3", true, "\\x41\\x62", "U+0041 U+0062", 1},
        {"TCVN3", true, "\\xA1\\xBE\\xA7", "U+1EAE U+0110", 1},
        {"TCVN3", true, "\\x49\\xDD", "U+00CD", 1},
        {"TCVN3", false, "\\xA7", "U+0110", 1},
        {"TCVN3", false, "\\xA1\\xBE", "U+1EAE", 1},
        {"TCVN3", false, "\\x41\\xB8", "U+00C1", 1},
        {"vni", false, "\\xE4", "U+00E4", 1},
        {"TCVN3", false, "\\xE4", "U+00E4", 1},
        {"vni", false, "abc", "abc", 1},
        {"vni", true, "", "", 1},
        {"TCVN3", false, "", "", 1},
        // Units above U+00FF that are no Vietnamese letters fail.
        {"vni", false, "", "U+0061 U+4E2D", 0},
        {"TCVN3", false, "", "U+0100", 0},
        {"TCVN3", false, "", "U+1EFA", 0},
    };
    test::expect_conversions(cases);
}

std::string record_bytes(const uint8_t* col, unsigned i) {
    std::string s(1, static_cast<char>(col[2 * i]));
    if (col[2 * i + 1] != 0) s.push_back(static_cast<char>(col[2 * i + 1]));
    return s;
}

// Every record decodes from its bytes and encodes back to them, alone and
// repeated; letters and byte sequences are all distinct.
TEST_F(Viet, EveryRecordBothWays) {
    ASSERT_EQ(data::viet_records, 134u);
    std::set<char16_t> letters;
    for (const auto& [name, col] : {std::pair{"vni", data::viet_vni}, std::pair{"TCVN3", data::viet_tcvn3}}) {
        const uint32_t et = encoding_type(name);
        std::set<std::string> seqs;
        for (unsigned i = 0; i < data::viet_records; ++i) {
            const char16_t u = data::viet_ucs[i];
            letters.insert(u);
            const std::string bytes = record_bytes(col, i);
            seqs.insert(bytes);
            for (int rep : {1, 2, 10}) {
                std::string in;
                std::u16string want;
                for (int k = 0; k < rep; ++k) {
                    in += bytes;
                    want.push_back(u);
                }
                std::u16string got;
                ASSERT_EQ(encoding_to_unicode(et, in, got), 1);
                EXPECT_EQ(show(got), show(want)) << name << " " << show_bytes(in);
                std::string back;
                ASSERT_EQ(unicode_to_encoding(et, want, back), 1);
                EXPECT_EQ(show_bytes(back), show_bytes(in)) << name;
            }
        }
        EXPECT_EQ(seqs.size(), 134u) << name;
    }
    EXPECT_EQ(letters.size(), 134u);
    // 67 lowercase then 67 capitals, each capital the uppercase of its twin.
    EXPECT_EQ(data::viet_ucs[0], u'\u00E1');
    EXPECT_EQ(data::viet_ucs[66], u'\u0111');
    EXPECT_EQ(data::viet_ucs[67], u'\u00C1');
    EXPECT_EQ(data::viet_ucs[133], u'\u0110');
}

// Every byte alone decodes to its one-byte letter or to itself, never fails.
TEST_F(Viet, EveryByteAlone) {
    for (const auto& [name, col] : {std::pair{"vni", data::viet_vni}, std::pair{"TCVN3", data::viet_tcvn3}}) {
        for (unsigned b = 1; b <= 0xFF; ++b) {
            char16_t want = static_cast<char16_t>(b);
            for (unsigned i = 0; i < data::viet_records; ++i)
                if (col[2 * i] == b && col[2 * i + 1] == 0) want = data::viet_ucs[i];
            std::u16string got;
            ASSERT_EQ(encoding_to_unicode(encoding_type(name), std::string(1, static_cast<char>(b)), got), 1);
            EXPECT_EQ(got, std::u16string(1, want)) << name << " byte " << b;
        }
    }
}

// TCVN3's one-byte letters agree with glibc's TCVN5712-1 decoder.
TEST_F(Viet, Tcvn3SingleBytesAgreeWithIconv) {
    iconv_t cd = iconv_open("UTF-16LE", "TCVN5712-1");
    if (cd == reinterpret_cast<iconv_t>(-1)) GTEST_SKIP() << "glibc lacks TCVN5712-1";
    unsigned checked = 0;
    for (unsigned i = 0; i < data::viet_records; ++i) {
        if (data::viet_tcvn3[2 * i + 1] != 0) continue;
        char in = static_cast<char>(data::viet_tcvn3[2 * i]);
        char out[8];
        char* ip = &in;
        char* op = out;
        size_t il = 1, ol = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(iconv(cd, &ip, &il, &op, &ol), static_cast<size_t>(-1));
        iconv(cd, nullptr, nullptr, &op, &ol);
        ASSERT_EQ(sizeof out - ol, 2u);
        const char16_t theirs = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                                      static_cast<unsigned char>(out[1]) << 8);
        EXPECT_EQ(theirs, data::viet_ucs[i]) << "byte " << static_cast<unsigned>(data::viet_tcvn3[2 * i]);
        ++checked;
    }
    iconv_close(cd);
    EXPECT_EQ(checked, 67u + 7u);  // every lowercase letter and the toneless capitals
}

TEST_F(Viet, WorkingBufferLimits) {
    for (const char* name : {"vni", "TCVN3"}) {
        const uint32_t et = encoding_type(name);
        std::u16string out;
        ASSERT_EQ(encoding_to_unicode(et, std::string(600, 'a'), out), 1);
        EXPECT_EQ(out, std::u16string(511, u'a')) << name;
        std::string bytes;
        ASSERT_EQ(unicode_to_encoding(et, std::u16string(2000, u'b'), bytes), 1);
        EXPECT_EQ(bytes, std::string(1022, 'b')) << name;
        // A two-byte letter that starts at byte 1021 is still written whole.
        ASSERT_EQ(unicode_to_encoding(et, std::u16string(1021, u'b') + u"\u00C1\u00C1", bytes), 1);
        EXPECT_EQ(bytes.size(), 1023u) << name;
    }
    // Decoding counts letters, not bytes: 600 two-byte letters give 511.
    std::u16string out;
    std::string src;
    for (int i = 0; i < 600; ++i) src += "a\xF9";
    ASSERT_EQ(encoding_to_unicode(encoding_type("vni"), src, out), 1);
    EXPECT_EQ(out, std::u16string(511, u'\u00E1'));
}

TEST_F(Viet, RandomInputNeverFaults) {
    std::mt19937 rng(48);
    for (const char* name : {"vni", "TCVN3"}) {
        const uint32_t et = encoding_type(name);
        for (int round = 0; round < 300; ++round) {
            std::string bytes;
            const int n = static_cast<int>(rng() % 1500);
            for (int i = 0; i < n; ++i) bytes.push_back(static_cast<char>(1 + rng() % 255));
            std::u16string units;
            ASSERT_EQ(encoding_to_unicode(et, bytes, units), 1);
            EXPECT_LE(units.size(), 511u);
            std::string again;
            ASSERT_EQ(unicode_to_encoding(et, units, again), 1) << name;
            EXPECT_LE(again.size(), 1023u);
            std::u16string random_units;
            for (int i = 0; i < n; ++i) random_units.push_back(static_cast<char16_t>(1 + rng() % 0xFFFF));
            std::string out;
            const int r = unicode_to_encoding(et, random_units, out);
            EXPECT_TRUE(r == 1 || out.empty());
            EXPECT_LE(out.size(), 1023u);
        }
    }
}

}  // namespace
}  // namespace nessel
