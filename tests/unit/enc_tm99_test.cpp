// SPDX-License-Identifier: MIT
// tests/unit/enc_tm99_test.cpp: "tab" and "tam": glyph reordering, ligatures
// and count results; every glyph byte alone; round trips of letters with
// every sign; the SSA ligatures and the space; the buffer limits; random
// input.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "codecs/codecs.h"
#include "test_support.h"

namespace nessel {
namespace {

using test::B;
using test::show;
using test::show_bytes;
using test::U;

class Tamil : public test::EncodingsTest {};

using Case = test::ConversionCase;

TEST_F(Tamil, StatedMappings) {
    const Case cases[] = {
        {"tab", true, "\\xE8", "U+0B95", 1},
        {"tab", true, "\\xE8\\xA3", "U+0B95 U+0BBE", 2},
        {"tab", true, "\\xAA\\xE8", "U+0B95 U+0BC6", 2},
        {"tab", true, "\\xAA\\xE8\\xA3", "U+0B95 U+0BCA", 2},
        {"tab", true, "\\xAB\\xE8\\xA3", "U+0B95 U+0BCB", 2},
        {"tab", true, "\\xAA\\xE8\\xF7", "U+0B95 U+0BCC", 2},
        {"tab", true, "\\xE8\\xA3\\xA4", "U+0B95 U+0BB0 U+0BBF", 3},
        {"tab", true, "\\xB0", "U+0B95 U+0BC1", 2},
        {"tab", true, "Ab 1", "U+0041 U+0062 U+0020 U+0031", 4},
        {"tab", true, "\\x80", "", 0},
        {"tab", true, "", "", 0},
        {"tab", true, "\\xAC\\xE8", "U+0B95 U+0BC8", 2},
        {"tab", true, "\\xAA\\xE8\\xF7\\xA2", "U+0B95 U+0BC6 U+0BB3 U+0BCD", 4},
        {"tab", true, "\\xAE\\xAF", "U+0B9F U+0BBF U+0B9F U+0BC0", 4},
        {"tab", true, "\\xE5\\xF7", "U+0B92 U+0BB3", 2},
        {"tab", false, "\\xAA\\xE8\\xA3", "U+0B95 U+0BCA", 3},
        {"tab", false, "\\xAC\\xE8", "U+0B95 U+0BC8", 2},
        {"tab", false, "\\xB0", "U+0B95 U+0BC1", 1},
        {"tab", false, "\\xE5\\xF7", "U+0B94", 2},
        {"tab", false, "\\xAE", "U+0B9F U+0BBF", 1},
        {"tab", false, "\\xAB\\xE8\\xA3", "U+0B95 U+0BCB", 3},
        {"tab", false, "\\xAA\\xE8\\xF7", "U+0B95 U+0BCC", 3},
        {"tab", false, "\\xE8\\xA2", "U+0B95 U+0BCD", 2},
        {"tab", false, "", "U+0B80", 0},
        {"tab", false, "", "", 0},
        {"tab", false, "", "U+0BCA", 0},  // a two-part sign with no letter before it
        {"tam", true, "\\x41", "U+0B95 U+0BBF", 2},
        {"tam", true, "\\x82", "U+0B95 U+0BCD", 2},
        {"tam", false, "\\x82", "U+0B95 U+0BCD", 1},
        {"tam", true, "\\x80\\xB8", "U+0020 U+0020", 2},
        {"tam", true, "\\x23", "", 0},
        {"tam", false, "", "U+0B80", 0},
        // No ligature for NA + sign u in "tam": its glyph 0xB8 is a space there.
        {"tam", false, "\\xEF\\xA7", "U+0BA8 U+0BC1", 2},
        {"tab", false, "\\xB8", "U+0BA8 U+0BC1", 1},
        // JA + sign i and SSA + sign i encode to the glyphs that decode to them.
        {"tam", false, "\\x54", "U+0B9C U+0BBF", 1},
        {"tam", true, "\\x54", "U+0B9C U+0BBF", 2},
        {"tam", false, "\\x53", "U+0BB7 U+0BBF", 1},
        {"tam", true, "\\x53", "U+0BB7 U+0BBF", 2},
    };
    test::expect_conversions(cases);
}

// SSA is one letter everywhere: the SSA glyph, the KSSA ligature and the
// "tam" SSA ligatures decode to U+0BB7 and encode back; SRI is built on SA.
TEST_F(Tamil, SsaLigaturesAndSri) {
    const Case cases[] = {
        {"tab", true, "\\xFB", "U+0BB7", 1},
        {"tab", false, "\\xFB", "U+0BB7", 1},
        {"tab", true, "\\xFE", "U+0B95 U+0BCD U+0BB7", 3},
        {"tab", false, "\\xFE", "U+0B95 U+0BCD U+0BB7", 1},
        {"tab", true, "\\xFE\\xA3", "U+0B95 U+0BCD U+0BB7 U+0BBE", 4},
        {"tab", false, "\\xFE\\xA3", "U+0B95 U+0BCD U+0BB7 U+0BBE", 2},
        {"tab", true, "\\xAA\\xFE", "U+0B95 U+0BCD U+0BB7 U+0BC6", 4},
        {"tab", false, "\\xAA\\xFE", "U+0B95 U+0BCD U+0BB7 U+0BC6", 2},
        {"tab", true, "\\xAA\\xFE\\xA3", "U+0B95 U+0BCD U+0BB7 U+0BCA", 4},
        {"tab", false, "\\xAA\\xFE\\xA3", "U+0B95 U+0BCD U+0BB7 U+0BCA", 3},
        {"tab", true, "\\xFF", "U+0BB8 U+0BCD U+0BB0 U+0BC0", 4},
        {"tab", false, "\\xFF", "U+0BB8 U+0BCD U+0BB0 U+0BC0", 1},
        {"tam", false, "\\xFF", "U+0BB8 U+0BCD U+0BB0 U+0BC0", 1},
        {"tam", true, "\\x77", "U+0BB7 U+0BCD", 2},
        {"tam", false, "\\x77", "U+0BB7 U+0BCD", 1},
        {"tam", false, "\\x82\\xFB", "U+0B95 U+0BCD U+0BB7", 2},
        {"tam", true, "\\x82\\xFB", "U+0B95 U+0BCD U+0BB7", 3},
    };
    test::expect_conversions(cases);
}

// A space encodes to the byte 0x20 and the text goes on after it.
TEST_F(Tamil, SpaceIsEncoded) {
    for (const char* name : {"tab", "tam"}) {
        std::string out;
        EXPECT_EQ(unicode_to_encoding(encoding_type(name), U("U+0B95 U+0020 U+0B99"), out), 3) << name;
        EXPECT_EQ(show_bytes(out), show_bytes(B("\\xE8 \\xE9"))) << name;
        std::u16string back;
        EXPECT_EQ(encoding_to_unicode(encoding_type(name), out, back), 3);
        EXPECT_EQ(show(back), show(U("U+0B95 U+0020 U+0B99")));
    }
}

// Every letter alone and with every sign (and the virama) encodes and decodes
// back to the same units, alone and repeated.
TEST_F(Tamil, RoundTripOfLettersAndSigns) {
    const char16_t consonants[] = {0x0B95, 0x0B99, 0x0B9A, 0x0B9C, 0x0B9E, 0x0B9F, 0x0BA3, 0x0BA4,
                                   0x0BA8, 0x0BA9, 0x0BAA, 0x0BAE, 0x0BAF, 0x0BB0, 0x0BB1, 0x0BB2,
                                   0x0BB3, 0x0BB4, 0x0BB5, 0x0BB7, 0x0BB8, 0x0BB9};
    const char16_t signs[] = {0, 0x0BBE, 0x0BBF, 0x0BC0, 0x0BC1, 0x0BC2, 0x0BC6,
                              0x0BC7, 0x0BC8, 0x0BCA, 0x0BCB, 0x0BCC, 0x0BCD};
    const char16_t vowels[] = {0x0B83, 0x0B85, 0x0B86, 0x0B87, 0x0B88, 0x0B89, 0x0B8A,
                               0x0B8E, 0x0B8F, 0x0B90, 0x0B92, 0x0B93};
    for (const char* name : {"tab", "tam"}) {
        const uint32_t et = encoding_type(name);
        std::vector<std::u16string> syllables;
        for (char16_t v : vowels) syllables.push_back(std::u16string(1, v));
        for (char16_t c : consonants)
            for (char16_t s : signs) syllables.push_back(s ? std::u16string{c, s} : std::u16string(1, c));
        for (const auto& syl : syllables) {
            for (int rep : {1, 2, 10}) {
                std::u16string text;
                for (int k = 0; k < rep; ++k) text += syl;
                std::string bytes;
                const int n = unicode_to_encoding(et, text, bytes);
                ASSERT_GT(n, 0) << name << " " << show(text);
                EXPECT_EQ(static_cast<size_t>(n), bytes.size());
                std::u16string back;
                const int m = encoding_to_unicode(et, bytes, back);
                EXPECT_EQ(static_cast<size_t>(m), back.size());
                EXPECT_EQ(show(back), show(text)) << name << " via " << show_bytes(bytes);
            }
        }
    }
}

// Every glyph byte alone either fails or gives one to four units of the
// Tamil block, ASCII or the space; "tab" keeps ASCII in its lower half.
TEST_F(Tamil, EveryGlyphByteAlone) {
    for (const char* name : {"tab", "tam"}) {
        size_t valid = 0;
        for (unsigned b = 1; b <= 0xFF; ++b) {
            std::u16string out;
            const int n = encoding_to_unicode(encoding_type(name), std::string(1, static_cast<char>(b)), out);
            EXPECT_EQ(static_cast<size_t>(n), out.size());
            if (n == 0) continue;
            ++valid;
            EXPECT_LE(n, 4);
            for (char16_t u : out) EXPECT_TRUE(u < 0x80 || (u >= 0x0B00 && u <= 0x0BFF)) << name << " " << b;
            if (std::string(name) == "tab" && b < 0x7F) {
                EXPECT_EQ(out, std::u16string(1, static_cast<char16_t>(b)));
            }
        }
        // "tab": 42 invalid bytes (0x7F..0x90, 0x95..0xA1, 0xA5, 0xA9, 0xAD, 0xB7,
        // 0xCA, 0xD0..0xD5); "tam": 15 in its lower half, 7 in the upper.
        EXPECT_EQ(valid, std::string(name) == "tab" ? 255u - 42u : 255u - 15u - 7u) << name;
    }
}

TEST_F(Tamil, BufferLimitsRefuseLongText) {
    for (const char* name : {"tab", "tam"}) {
        const uint32_t et = encoding_type(name);
        std::string out;
        EXPECT_EQ(unicode_to_encoding(et, std::u16string(1000, u'\u0B95'), out), 1000);
        EXPECT_EQ(unicode_to_encoding(et, std::u16string(1001, u'\u0B95'), out), 0);
        EXPECT_TRUE(out.empty());
        std::u16string units;
        EXPECT_EQ(encoding_to_unicode(et, std::string(2000, '\xE8'), units), 2000);
        EXPECT_EQ(encoding_to_unicode(et, std::string(2001, '\xE8'), units), 0);
        // 0xFF gives four codes: 500 of them fill the buffer, 501 do not fit.
        EXPECT_EQ(encoding_to_unicode(et, std::string(500, '\xFF'), units), 2000);
        EXPECT_EQ(encoding_to_unicode(et, std::string(501, '\xFF'), units), 0);
        EXPECT_TRUE(units.empty());
    }
}

TEST_F(Tamil, RandomInputNeverFaults) {
    std::mt19937 rng(50);
    for (const char* name : {"tab", "tam"}) {
        const uint32_t et = encoding_type(name);
        for (int round = 0; round < 500; ++round) {
            std::string bytes;
            const int n = static_cast<int>(rng() % 600);
            for (int i = 0; i < n; ++i) bytes.push_back(static_cast<char>(0xA0 + rng() % 0x60));
            std::u16string units;
            const int r = encoding_to_unicode(et, bytes, units);
            EXPECT_EQ(static_cast<size_t>(r), units.size());
            std::string again;
            const int r2 = unicode_to_encoding(et, units, again);
            EXPECT_EQ(static_cast<size_t>(r2), again.size());
            std::u16string random_units;
            for (int i = 0; i < n; ++i)
                random_units.push_back(static_cast<char16_t>(rng() % 2 ? 0x0B80 + rng() % 0x80 : 1 + rng() % 0xFFFF));
            std::string out;
            const int r3 = unicode_to_encoding(et, random_units, out);
            EXPECT_EQ(static_cast<size_t>(r3), out.size());
        }
    }
}

}  // namespace
}  // namespace nessel
