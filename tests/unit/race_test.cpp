// "race" and "racex": examples, compression forms, failure modes, suffixes,
// long-label splitting, and round trips.
#include <gtest/gtest.h>

#include <random>

#include "ace/convert.h"
#include "ace/enc_utf.h"
#include "test_support.h"

namespace nessel {
namespace {

using test::U;
using test::utf16;

class Race : public ::testing::Test {
protected:
    void SetUp() override { reset_ace_settings(); }
    void TearDown() override { reset_ace_settings(); }
};

TEST_F(Race, EncodesAndDecodesExamples) {
    struct Case {
        std::u16string in;
        std::string ace;
    } cases[] = {
        {utf16("ü"), "ra--ad6a"},
        {utf16("bücher"), "ra--abrpyy3imvza"},
        {utf16("abc.bücher"), "abc.ra--abrpyy3imvza"},
        {utf16("日本語"), "ra--3bs6kzzmrkpa"},           // two rows: no compression
        {U("U+00FF"), "ra--ad7zs"},                      // 0xFF escaped as FF 99
        {U("U+00FF U+044F"), "ra--at776ty"},             // row 4 with a row-0 unit
        {utf16("ü@bücher"), "ra--ad6a@ra--abrpyy3imvza"},
        {u"ab..c", "ab..c"},
        {u"", ""},
    };
    for (const auto& c : cases) {
        std::string ace;
        ASSERT_EQ(race_from_unicode(c.in, ace), 1) << test::show(c.in);
        EXPECT_EQ(ace, c.ace) << test::show(c.in);
        std::u16string back;
        ASSERT_EQ(race_to_unicode(c.ace, back), 1) << c.ace;
        EXPECT_EQ(back, c.in) << c.ace;
    }
}

TEST_F(Race, IdeographicStopIsNotASeparator) {
    std::string ace;
    ASSERT_EQ(race_from_unicode(utf16("a。b"), ace), 1);
    EXPECT_EQ(ace.find('.'), std::string::npos);
}

TEST_F(Race, DecoderEdges) {
    struct Case {
        std::string ace;
        int result;
        std::u16string out;
    } cases[] = {
        {"RA--AD6A", 1, utf16("ü")},
        {"Ra--ad6a", 1, utf16("ü")},
        {"ra--", 1, u""},
        {"ra--abc", 0, u""},         // 3 characters cannot come from base32
        {"xyz.ra--abc", 0, u""},     // the output is emptied, not cut
        {"ra--ab1c", 1, u"ra--ab1c"},  // outside the alphabet: copied unchanged
        {"ra--ad6b", 0, u""},        // non-zero leftover bits
        {"ra--74", 1, u""},          // U1 = 0xFF and no units
        {"ra--ad7q", 0, u""},        // one-row form ending in a lone 0xFF escape
        {"abc.ra--aaaaaaaa", 1, u"abc." + U("U+0000 U+0000 U+0000 U+0000")},
        {"ab.ra--ad6a", 1, u"ab." + utf16("ü")},
    };
    for (const auto& c : cases) {
        std::u16string out = u"junk";
        EXPECT_EQ(race_to_unicode(c.ace, out), c.result) << c.ace;
        EXPECT_EQ(out, c.out) << c.ace << " -> " << test::show(out);
    }
}

TEST_F(Race, SurrogateRowUsesNoCompression) {
    // Row 0xD8 would read as the no-compression marker.
    const std::u16string s = U("U+D800 U+D8FF");
    std::string ace;
    ASSERT_EQ(race_from_unicode(s, ace), 1);
    std::u16string back;
    ASSERT_EQ(race_to_unicode(ace, back), 1);
    EXPECT_EQ(back, s);
}

TEST_F(Race, SuffixFollowsEveryEncodedLabel) {
    set_ace_suffix("race", "zz");
    std::string ace;
    ASSERT_EQ(race_from_unicode(utf16("ü.ab.ü"), ace), 1);
    EXPECT_EQ(ace, "ra--ad6azz.ab.ra--ad6azz");
    // The decoder does not strip it: "zz" is read as base32 like the rest.
    std::u16string out;
    EXPECT_EQ(race_to_unicode("ra--ad6azz", out), 0);
}

TEST_F(Race, LabelLimitIsEnforced) {
    std::u16string label(1023, 0x4E00), too_long(1024, 0x4E00);
    std::string ace;
    EXPECT_EQ(race_from_unicode(label, ace), 1);
    EXPECT_EQ(race_from_unicode(too_long, ace), 0);
    std::u16string out;
    EXPECT_EQ(race_to_unicode("ra--" + std::string(1020, 'a'), out), 0);  // 1024 bytes
}

TEST_F(Race, RacexSplitsAndJoins) {
    // 33 units of one row: 34 compressed bytes, 55 base32 characters... use
    // enough units for a label of 70 characters with its prefix.
    std::u16string s(40, 0x0430);  // 41 bytes -> 66 characters
    std::string race, racex;
    ASSERT_EQ(race_from_unicode(s, race), 1);
    ASSERT_EQ(race.size(), 70u);
    ASSERT_EQ(racex_from_unicode(s, racex), 1);
    EXPECT_EQ(racex, race.substr(0, 13) + "-0.ra--" + race.substr(13));
    std::u16string back;
    ASSERT_EQ(racex_to_unicode(racex, back), 1);
    EXPECT_EQ(back, s);
    // Joining removes "-0." and four characters wherever they stand.
    ASSERT_EQ(racex_to_unicode("ab-0.wxyzcd", back), 1);
    EXPECT_EQ(back, u"abcd");
}

TEST_F(Race, RandomRoundTrips) {
    std::mt19937 rng(1166);
    std::uniform_int_distribution<int> len(1, 30), row(0, 255), low(0, 255), pick(0, 3);
    for (int i = 0; i < 3000; ++i) {
        std::u16string s;
        const int n = len(rng);
        const int r = row(rng);
        for (int k = 0; k < n; ++k) {
            // Mostly one row, sometimes row 0 or a random other row.
            int rr = pick(rng) == 0 ? 0 : (pick(rng) == 0 ? row(rng) : r);
            auto u = static_cast<char16_t>((rr << 8) | low(rng));
            // U+0099 beside another row reads back as the row's 0xFF escape.
            if (u == 0 || u == '.' || u == '@' || u == 0x0099) u = 0x0101;
            s.push_back(u);
        }
        std::string ace;
        ASSERT_EQ(racex_from_unicode(s, ace), 1);
        std::u16string back;
        ASSERT_EQ(racex_to_unicode(ace, back), 1) << ace;
        bool ascii = true;
        for (char16_t u : s) ascii = ascii && u < 0x80;
        if (!ascii) {
            EXPECT_EQ(back, s) << ace;
        }
    }
}

TEST_F(Race, EveryByteValueDecodesOrFailsCleanly) {
    for (int b = 1; b < 256; ++b) {
        for (std::string s : {"ra--", "ra--aa", "ra--aaaaaaa"}) {
            s.push_back(static_cast<char>(b));
            std::u16string out;
            const int r = race_to_unicode(s, out);
            EXPECT_TRUE(r == 0 || r == 1);
            EXPECT_EQ(racex_to_unicode(s, out) == 0, r == 0) << s;
        }
    }
}

}  // namespace
}  // namespace nessel

namespace nessel {
namespace {

// A prefix setting shorter than four characters is used as it stands: the
// encoders write it, the decoders compare and skip exactly its length, and an
// empty prefix makes every label count as encoded.
TEST(ShortPrefixes, UsedAsTheyStand) {
    reset_ace_settings();
    set_ace_prefix("race", "r-");
    set_ace_prefix("punycode", "p");
    std::string ace;
    ASSERT_EQ(race_from_unicode(test::utf16("ü"), ace), 1);
    EXPECT_EQ(ace, "r-ad6a");
    std::u16string out;
    ASSERT_EQ(race_to_unicode("r-ad6a.ra--ad6a", out), 1);
    EXPECT_EQ(out, test::utf16("ü.ra--ad6a"));
    ASSERT_EQ(punycode_from_unicode(test::utf16("bücher"), ace), 1);
    EXPECT_EQ(ace, "pbcher-kva");
    ASSERT_EQ(punycode_to_unicode("pbcher-kva", out), 1);
    EXPECT_EQ(out, test::utf16("bücher"));

    set_ace_prefix("race", "");
    ASSERT_EQ(race_from_unicode(test::utf16("ü.ab"), ace), 1);
    EXPECT_EQ(ace, "ad6a.ab");
    ASSERT_EQ(race_to_unicode("ad6a", out), 1);
    EXPECT_EQ(out, test::utf16("ü"));
    EXPECT_EQ(race_to_unicode("ad6a.abc", out), 0);  // "abc" is read as base32 too
    reset_ace_settings();
}

}  // namespace
}  // namespace nessel
