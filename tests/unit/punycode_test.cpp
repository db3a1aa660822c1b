// "AMC-Z" / "PUNYCODE": examples, failure modes, and a differential check
// against Python's punycode codec (vectors in tests/vectors/punycode/).
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "ace/convert.h"
#include "ace/enc_utf.h"
#include "test_support.h"

namespace nessel {
namespace {

using test::U;
using test::utf16;

class Punycode : public ::testing::Test {
protected:
    void SetUp() override { reset_ace_settings(); }
    void TearDown() override { reset_ace_settings(); }
};

TEST_F(Punycode, EncodesAndDecodesExamples) {
    struct Case {
        std::u16string in;
        std::string ace;
    } cases[] = {
        {utf16("bücher"), "xn--bcher-kva"},
        {utf16("abc.bücher"), "abc.xn--bcher-kva"},
        {utf16("münchen.de"), "xn--mnchen-3ya.de"},
        {utf16("Bücher"), "xn--Bcher-kva"},  // no case change, no annotation
        {utf16("ü@bücher.de"), "xn--tda@xn--bcher-kva.de"},
        {utf16("日本語"), "xn--wgv71a119e"},
        {utf16("a..b"), "a..b"},
        {u"", ""},
        // RFC 3492 section 7.1 (A) Arabic, (B) Chinese simplified.
        {U("U+0644 U+064A U+0647 U+0645 U+0627 U+0628 U+062A U+0643 U+0644 U+0645 U+0648 "
           "U+0634 U+0639 U+0631 U+0628 U+064A U+061F"),
         "xn--egbpdaj6bu4bxfgehfvwxn"},
        {U("U+4ED6 U+4EEC U+4E3A U+4EC0 U+4E48 U+4E0D U+8BF4 U+4E2D U+6587"),
         "xn--ihqwcrb4cv8a8dqg056pqjye"},
    };
    for (const auto& c : cases) {
        std::string ace;
        ASSERT_EQ(punycode_from_unicode(c.in, ace), 1) << test::show(c.in);
        EXPECT_EQ(ace, c.ace) << test::show(c.in);
        std::u16string back;
        ASSERT_EQ(punycode_to_unicode(c.ace, back), 1) << c.ace;
        EXPECT_EQ(back, c.in) << c.ace;
    }
}

TEST_F(Punycode, AsciiLabelsPassUnchecked) {
    for (const char* s : {"ABC", "a b", "a_b!", "-x-"}) {
        std::string ace;
        ASSERT_EQ(punycode_from_unicode(utf16(s), ace), 1);
        EXPECT_EQ(ace, s);
    }
}

TEST_F(Punycode, FullWidthSeparatorsBecomeAscii) {
    std::string ace;
    ASSERT_EQ(punycode_from_unicode(utf16("bücher。de＠x"), ace), 1);
    EXPECT_EQ(ace, "xn--bcher-kva.de@x");
}

TEST_F(Punycode, DecoderEdges) {
    struct Case {
        std::string ace;
        int result;
        std::u16string out;  // what stays visible
    } cases[] = {
        {"xn--bcher-KVA", 1, utf16("bücher")},  // digits of either case
        {"XN--bcher-kva", 1, u"XN--bcher-kva"},  // prefix compared byte for byte
        {"xn--abc-", 1, u"abc"},
        {"xn--", 1, u""},
        {"a.xn--.b", 1, u"a..b"},
        {"xn---abc", 0, u""},                 // "-" right after the prefix is a digit
        {"xn--bcher-kv", 0, u"bcher"},         // ends inside a number
        {"xn--bcher-k!a", 0, u"bcher"},        // not a digit
        {"xn--ab.xn--bcher-kva", 1, U("U+0078 U+FFC8") + u"." + utf16("bücher")},
        {"xn--99999999999999", 0, u""},        // overflow
    };
    for (const auto& c : cases) {
        std::u16string out = u"junk";
        EXPECT_EQ(punycode_to_unicode(c.ace, out), c.result) << c.ace;
        if (c.ace != "xn--ab.xn--bcher-kva") {
            EXPECT_EQ(out, c.out) << c.ace << " " << test::show(out);
        }
    }
}

TEST_F(Punycode, PrefixSettingIsUsedBothWays) {
    set_ace_prefix("punycode", "zq--");
    std::string ace;
    ASSERT_EQ(punycode_from_unicode(utf16("bücher"), ace), 1);
    EXPECT_EQ(ace, "zq--bcher-kva");
    std::u16string out;
    ASSERT_EQ(punycode_to_unicode("xn--bcher-kva.zq--bcher-kva", out), 1);
    EXPECT_EQ(out, u"xn--bcher-kva." + utf16("bücher"));
}

TEST_F(Punycode, MatchesPythonCodec) {
    std::ifstream in(std::string(NESSEL_SOURCE_DIR) + "/tests/vectors/punycode/python.tsv");
    ASSERT_TRUE(in) << "vector file missing";
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        auto tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos);
        std::u16string units = U(line.substr(0, tab));
        std::string expected = line.substr(tab + 1);
        std::string ace;
        ASSERT_EQ(punycode_from_unicode(units, ace), 1);
        EXPECT_EQ(ace, expected) << line;
        std::u16string back;
        ASSERT_EQ(punycode_to_unicode(expected, back), 1);
        EXPECT_EQ(back, units) << line;
        ++rows;
    }
    EXPECT_EQ(rows, 500);
}

TEST_F(Punycode, RandomBmpRoundTrips) {
    std::mt19937 rng(20260);
    std::uniform_int_distribution<int> len(1, 80), unit(1, 0xFFFF);
    for (int i = 0; i < 2000; ++i) {
        std::u16string s;
        const int n = len(rng);
        for (int k = 0; k < n; ++k) {
            auto u = static_cast<char16_t>(unit(rng));
            if (u == '.' || u == '@' || u == 0x3002 || u == 0xFF20) u = 0x4E00;
            s.push_back(u);
        }
        std::string ace;
        ASSERT_EQ(punycode_from_unicode(s, ace), 1);
        std::u16string back;
        ASSERT_EQ(punycode_to_unicode(ace, back), 1) << ace;
        // Labels of ASCII only pass unchanged and are not recognised as encoded
        // unless they happen to begin with the prefix.
        if (ace.rfind("xn--", 0) == 0) {
            EXPECT_EQ(back, s) << test::show(s);
        }
    }
}

TEST_F(Punycode, LongNamesAndEveryByte) {
    // A 10,000-unit label of distinct code points encodes and decodes.
    std::u16string big;
    for (int i = 0; i < 10000; ++i) big.push_back(static_cast<char16_t>(0x4E00 + i));
    std::string ace;
    ASSERT_EQ(punycode_from_unicode(big, ace), 1);
    std::u16string back;
    ASSERT_EQ(punycode_to_unicode(ace, back), 1);
    EXPECT_EQ(back, big);
    // Every byte value after the prefix ends in success or a clean failure.
    for (int b = 1; b < 256; ++b) {
        std::string s = "xn--a";
        s.push_back(static_cast<char>(b));
        s += "b-c";
        std::u16string out;
        const int r = punycode_to_unicode(s, out);
        EXPECT_TRUE(r == 0 || r == 1);
    }
}

}  // namespace
}  // namespace nessel
