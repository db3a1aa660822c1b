// The ACE prefix and suffix settings, the LDH test, base32, and the
// splitting and joining of long labels.
#include <gtest/gtest.h>

#include "ace/convert.h"
#include "ace/enc_utf.h"
#include "test_support.h"

namespace nessel {
namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override { reset_ace_settings(); }
    void TearDown() override { reset_ace_settings(); }
};

TEST_F(Settings, Defaults) {
    const AceSettings& s = ace_settings();
    EXPECT_STREQ(s.race_prefix, "ra--");
    EXPECT_STREQ(s.lace_prefix, "lq--");
    EXPECT_STREQ(s.dude_prefix, "dq--");
    EXPECT_STREQ(s.punycode_prefix, "xn--");
    EXPECT_STREQ(s.race_suffix, "");
    EXPECT_STREQ(s.lace_suffix, "");
    EXPECT_STREQ(s.dude_suffix, "");
}

TEST_F(Settings, CodecNameSelectsTheSetting) {
    struct PrefixCase {
        const char* codec;
        std::string_view (*read)();
    } prefixes[] = {
        {"race", race_prefix},   {"RACEX", race_prefix},      {"lace", lace_prefix},
        {"Dude", dude_prefix},   {"dudex", dude_prefix},      {"amc-z", punycode_prefix},
        {"AMC-ZX", punycode_prefix}, {"punycode", punycode_prefix},
    };
    for (const auto& c : prefixes) {
        reset_ace_settings();
        set_ace_prefix(c.codec, "zz--");
        EXPECT_EQ(c.read(), "zz--") << c.codec;
    }
    // Other names and null arguments change nothing.
    reset_ace_settings();
    for (const char* other : {"utf5", "cidnuc", "none", "", "racexx"}) set_ace_prefix(other, "zz--");
    set_ace_prefix(nullptr, "zz--");
    set_ace_prefix("race", nullptr);
    set_ace_suffix("amc-z", "zz");
    set_ace_suffix("punycode", "zz");
    set_ace_suffix(nullptr, "zz");
    const AceSettings& s = ace_settings();
    EXPECT_STREQ(s.race_prefix, "ra--");
    EXPECT_STREQ(s.lace_prefix, "lq--");
    EXPECT_STREQ(s.dude_prefix, "dq--");
    EXPECT_STREQ(s.punycode_prefix, "xn--");
    EXPECT_STREQ(s.race_suffix, "");

    set_ace_suffix("RaceX", "-s");
    EXPECT_EQ(race_suffix(), "-s");
    set_ace_suffix("lace", "-l");
    EXPECT_STREQ(s.lace_suffix, "-l");
    set_ace_suffix("dudex", "-d");
    EXPECT_STREQ(s.dude_suffix, "-d");
}

TEST_F(Settings, ValuesAreCutToFourCharacters) {
    set_ace_prefix("race", "abcdef");
    EXPECT_EQ(race_prefix(), "abcd");
    set_ace_prefix("race", "ab");
    EXPECT_EQ(race_prefix(), "ab");
    set_ace_prefix("race", "");
    EXPECT_EQ(race_prefix(), "");
}

TEST(Ldh, ExactlyLettersDigitsHyphenUnderscore) {
    for (unsigned u = 0; u < 0x10000; ++u) {
        const bool expected = (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') ||
                              (u >= 'a' && u <= 'z') || u == '-' || u == '_';
        ASSERT_EQ(is_ldh_char(static_cast<char16_t>(u)) != 0, expected) << u;
    }
}

TEST(Base32, KnownValuesAndValueTable) {
    struct Case {
        std::string bytes, text;
    } cases[] = {
        {"", ""},
        {std::string("\x00\xFC", 2), "ad6a"},
        {std::string("\x00\xFF\x99", 3), "ad7zs"},
        {"\xFF", "74"},
    };
    for (const auto& c : cases) {
        std::string out;
        base32_encode(c.bytes, out);
        EXPECT_EQ(out, c.text);
    }
    for (int c = 0; c < 256; ++c) {
        int expected = -1;
        if (c >= 'a' && c <= 'z') expected = c - 'a';
        if (c >= 'A' && c <= 'Z') expected = c - 'A';
        if (c >= '2' && c <= '7') expected = c - '2' + 26;
        EXPECT_EQ(base32_value(static_cast<char>(c)), expected) << c;
    }
}

std::string chars(size_t n, char c = 'x') { return std::string(n, c); }

TEST(SplitLabels, PieceLayout) {
    const SplitStyle utf5{"", 61, 0};
    const SplitStyle race{"ra--", 57, 4};
    struct Case {
        const char* what;
        SplitStyle style;
        std::string in, out;
    } cases[] = {
        {"63 stays", utf5, chars(63), chars(63)},
        {"62 stays", utf5, chars(62), chars(62)},
        {"64 splits 3+61", utf5, chars(3, 'a') + chars(61), chars(3, 'a') + "-0." + chars(61)},
        {"122 = 2 full pieces", utf5, chars(122), "-0." + chars(61) + "-0." + chars(61)},
        {"short labels around", utf5, "a." + chars(64) + ".b",
         "a." + chars(3) + "-0." + chars(61) + ".b"},
        {"racex 70 with prefix", race, "ra--" + chars(9, 'a') + chars(57),
         "ra--" + chars(9, 'a') + "-0.ra--" + chars(57)},
        {"racex r = 0", race, "ra--" + chars(114), "ra---0.ra--" + chars(57) + "-0.ra--" + chars(57)},
        {"prefix compared without case", race, "RA--" + chars(66),
         "RA--" + chars(9) + "-0.ra--" + chars(57)},
        {"long label without prefix", race, chars(66), chars(9) + "-0.ra--" + chars(57)},
        {"empty", utf5, "", ""},
        {"trailing dot", utf5, chars(64) + ".", chars(3) + "-0." + chars(61) + "."},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(split_long_labels(c.in, c.style, out), 1) << c.what;
        EXPECT_EQ(out, c.out) << c.what;
    }
}

TEST(SplitLabels, WorkingBufferIsALimit) {
    const SplitStyle utf5{"", 61, 0};
    std::string out;
    EXPECT_EQ(split_long_labels(chars(1023), utf5, out), 1);
    EXPECT_EQ(split_long_labels(chars(1024), utf5, out), 0);
    EXPECT_EQ(join_split_labels(chars(1023), utf5, out), 1);
    EXPECT_EQ(join_split_labels(chars(1024), utf5, out), 0);
}

TEST(JoinLabels, RemovesMarkersAndFollowingPrefix) {
    const SplitStyle utf5{"", 61, 0};
    const SplitStyle race{"ra--", 57, 4};
    struct Case {
        SplitStyle style;
        std::string in, out;
    } cases[] = {
        {utf5, "abc-0.def", "abcdef"},
        {utf5, "abc-0", "abc-0"},
        {utf5, "-0.-0.x", "x"},
        {race, "ra--abc-0.ra--def", "ra--abcdef"},
        {race, "abc-0.xyzwq", "abcq"},  // any four characters go, as the next prefix
        {race, "abc-0.xy", "abc"},      // never past the end
        {race, "a.b", "a.b"},
    };
    for (const auto& c : cases) {
        std::string out;
        EXPECT_EQ(join_split_labels(c.in, c.style, out), 1);
        EXPECT_EQ(out, c.out) << c.in;
    }
}

TEST(SplitLabels, JoinUndoesSplit) {
    const SplitStyle utf5{"", 61, 0};
    const SplitStyle race{"ra--", 57, 4};
    for (size_t len : {1, 63, 64, 100, 122, 123, 183, 300}) {
        std::string label;
        for (size_t i = 0; i < len; ++i) label.push_back(char('a' + i % 26));
        std::string split, joined;
        ASSERT_EQ(split_long_labels(label + ".b", utf5, split), 1);
        ASSERT_EQ(join_split_labels(split, utf5, joined), 1);
        EXPECT_EQ(joined, label + ".b") << len;
        ASSERT_EQ(split_long_labels("ra--" + label, race, split), 1);
        ASSERT_EQ(join_split_labels(split, race, joined), 1);
        EXPECT_EQ(joined, "ra--" + label) << len;
    }
}

}  // namespace
}  // namespace nessel
