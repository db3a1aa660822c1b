// SPDX-License-Identifier: MIT
// Zone-directed conversion: the suffix matchers, the per-call nameprep
// options, zone choice by branch and table order, codec choice, tails, the
// prefix state a conversion leaves, and the working limits.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ace/convert.h"
#include "api/lifecycle.h"
#include "base/result_codes.h"
#include "config/zone_table.h"
#include "domain/convert_domain.h"
#include "encoding/encoding.h"
#include "test_support.h"
#include "zone_fixture.h"

using namespace nessel;
using nessel::test::show;
using nessel::test::utf16;

namespace {

using nessel::test::install_zones;
using nessel::test::racex_zone;
using nessel::test::Zone;
void install(const std::vector<Zone>& zones) { install_zones(zones); }

struct Outcome {
    int ok;
    uint32_t error;
    std::string ace;
    std::string codec;
};

Outcome convert(std::u16string_view name, std::string_view encoding = "UTF-8") {
    Outcome o{0, 0, {}, {}};
    std::u16string out = u"untouched";
    const char* codec = nullptr;
    o.ok = convert_domain(name, out, codec, encoding, o.error);
    if (o.ok) o.ace = narrow(out);
    else EXPECT_EQ(out, u"untouched") << "output changed on failure";
    if (codec != nullptr) o.codec = codec;
    return o;
}

class ConvertDomain : public test::ZoneTest {};

}  // namespace

TEST(ZoneMatch, IsAllAscii) {
    EXPECT_EQ(is_all_ascii(u""), 1);
    EXPECT_EQ(is_all_ascii(u"abc.\x7F"), 1);
    EXPECT_EQ(is_all_ascii(u"ab\x80"), 0);
    EXPECT_EQ(is_all_ascii(u"\xFC"), 0);
}

TEST(ZoneMatch, SuffixRules) {
    struct Case {
        const char* name;
        const char* zone;
        int expected;
    } cases[] = {
        {"a.zz", ".zz", 1},            {"zz", ".zz", 0},         {".zz", ".zz", 1},
        {"a.ZZ", ".zz", 0},            {"abzz", ".zz", 0},       {"example.zz", "example.zz", 0},
        {"a.example.zz", "example.zz", 1}, {"u@example.zz", "example.zz", 1},
        {"myexample.zz", "example.zz", 0}, {"a.", "", 1},        {"a@", "", 1},
        {"a", "", 0},                  {"", "", 0},              {"z", "zz", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(zone_suffix_match(c.name, c.zone), c.expected) << c.name << " / " << c.zone;
        EXPECT_EQ(zone_suffix_match_w(widen(c.name), c.zone), c.expected)
            << c.name << " / " << c.zone;
    }
    // A zone byte of 0x80 or above never equals a unit, not even U+0080+.
    EXPECT_EQ(zone_suffix_match_w(u"a.\xFC", ".\xFC"), 0);
    EXPECT_EQ(zone_suffix_match_w(u"a.\xFF7C", ".\xFC"), 0);
    EXPECT_EQ(zone_suffix_match("a.\xFC", ".\xFC"), 1);
}

TEST(ZoneMatch, PrepOptions) {
    struct Case {
        int32_t flags;
        const char* encoding;
        bool at;
        uint32_t expected;
    } cases[] = {
        {0x03, "gb", false, 0x03},    {0x03, "GB", false, 0x03},   {0x03, "BIG5", false, 0x03},
        {0x03, "Big5", true, 0xA3},   {0x03, "GBK", false, 0x01},  {0x03, "Shift_JIS", false, 0x01},
        {0x03, "UTF-8", true, 0xA1},  {0x00, "ascii", true, 0xA0}, {-1, "gb", false, 0xFFFFFFFF},
        {-1, "ksc", false, 0xFFFFFFFD},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zone_prep_options(c.flags, c.encoding, c.at), c.expected)
            << c.flags << " " << c.encoding << " " << c.at;
}

TEST_F(ConvertDomain, FirstMatchingZoneInTableOrder) {
    const std::u16string top = utf16("ü");
    install({{".zz", "racex", "bq--"}, {".b.zz", "racex", "cq--"},
             {racex_zone(top), "racex", "dq--"}});
    // A shorter zone earlier in the table wins over a longer one later.
    Outcome o = convert(utf16("ä.b.zz"));
    ASSERT_EQ(o.ok, 1) << o.error;
    EXPECT_EQ(o.ace, "bq--adsa.b.zz");
    // A name whose top-level label is non-ASCII matches its RACEX zone.
    o = convert(utf16("ä.ü"));
    ASSERT_EQ(o.ok, 1) << o.error;
    EXPECT_EQ(o.ace, "dq--adsa.dq--ad6a");
    EXPECT_EQ(o.codec, "racex");
    // Nothing matches: 4001.
    o = convert(utf16("ä.yy"));
    EXPECT_EQ(o.ok, 0);
    EXPECT_EQ(o.error, kErrNoZone);
}

TEST_F(ConvertDomain, MailboxAndDomainBranches) {
    install({{".zz", "racex", "ra--"}, {"example.zz", "race", "mb--"}});
    struct Case {
        const char* name;
        uint32_t error;  // 0 for success
        const char* ace;
    } cases[] = {
        // ASCII domain part: only mailbox zones are considered.
        {"ü@example.zz", 0, "mb--ad6a@example.zz"},
        {"ü@mail.example.zz", 0, "mb--ad6a@mail.example.zz"},
        {"ü@myexample.zz", kErrNoZone, ""},
        {"ü@other.zz", kErrNoZone, ""},
        // A non-ASCII unit after the "@": the domain branch.
        {"ü@ä.zz", 0, "ra--ad6a@ra--adsa.zz"},
        // A mailbox zone is never taken for a name without "@".
        {"ü.example.zz", 0, "ra--ad6a.example.zz"},
    };
    for (const auto& c : cases) {
        reset_ace_settings();
        Outcome o = convert(utf16(c.name));
        EXPECT_EQ(o.ok, c.error == 0) << c.name;
        EXPECT_EQ(o.error, c.error) << c.name;
        EXPECT_EQ(o.ace, c.ace) << c.name;
    }
}

TEST_F(ConvertDomain, CodecChoiceAndSettings) {
    install({{".p", "PUNYCODE", "zq--"},
             {".a", "no-such-codec", "xx--", "", "race", "al--", "-s"},
             {".e", "", "", "", "RACEX", "ex--"},
             {".n", "nothing", "", "", "neither"}});
    Outcome o = convert(utf16("bücher.p"));
    ASSERT_EQ(o.ok, 1);
    EXPECT_EQ(o.ace, "zq--bcher-kva.p");
    EXPECT_EQ(o.codec, "PUNYCODE");  // spelled as the zone table has it
    EXPECT_EQ(std::string(punycode_prefix()), "zq--");

    // An unregistered primary codec: the alternative encodes and is reported.
    o = convert(utf16("ü.a"));
    ASSERT_EQ(o.ok, 1);
    EXPECT_EQ(o.ace, "al--ad6a-s.a");
    EXPECT_EQ(o.codec, "race");
    EXPECT_EQ(std::string(race_suffix()), "-s");

    // An empty primary codec counts as not registered.
    reset_ace_settings();
    o = convert(utf16("ü.e"));
    ASSERT_EQ(o.ok, 1);
    EXPECT_EQ(o.ace, "ex--ad6a.e");
    EXPECT_EQ(o.codec, "RACEX");

    // Neither codec registered: 6001.
    o = convert(utf16("ü.n"));
    EXPECT_EQ(o.ok, 0);
    EXPECT_EQ(o.error, kErrConversion);
}

TEST_F(ConvertDomain, EmptyPrefixFieldEmptiesTheSetting) {
    install({{".zz", "racex"}});
    Outcome o = convert(utf16("ü.zz"));
    ASSERT_EQ(o.ok, 1);
    EXPECT_EQ(o.ace, "ad6a.zz");
    EXPECT_EQ(std::string(race_prefix()), "");
    // The lookup sets "ra--" again before the next RACEX form is made.
    o = convert(utf16("ä.zz"));
    ASSERT_EQ(o.ok, 1);
    EXPECT_EQ(o.ace, "adsa.zz");
}

TEST_F(ConvertDomain, RaceSuffixLeftByAConversionStaysForMatching) {
    // A zone that sets a RACE suffix changes the RACEX form of later names,
    // so a RACEX zone written without it no longer matches.
    const std::string plain = racex_zone(utf16("ü"));
    install({{".s", "race", "ra--", "-x"}, {plain, "PUNYCODE", "xn--"}});
    Outcome o = convert(utf16("a.ü"));
    ASSERT_EQ(o.ok, 1);
    EXPECT_EQ(o.ace, "a.xn--tda");
    ASSERT_EQ(convert(utf16("ä.s")).ok, 1);
    o = convert(utf16("a.ü"));
    EXPECT_EQ(o.ok, 0);
    EXPECT_EQ(o.error, kErrNoZone);
}

TEST_F(ConvertDomain, StripAndAppendTails) {
    install({{".zz", "race", "ra--", "-zz", "", "", "", "-ZZ"},
             {".yy", "race", "ra--", "", "", "", "", "-ZZ", ".tail"},
             {".ww", "race", "ra--", "", "", "", "", "", "-end"}});
    struct Case {
        const char* name;
        const char* ace;
    } cases[] = {
        // Cut at the last occurrence, letter case ignored, wherever it stands.
        {"ü.zz", "ra--ad6a"},                // "ra--ad6a-zz.zz" cut at "-zz"
        {"ü.yy", "ra--ad6a.yy.tail"},        // no occurrence: nothing cut
        {"ü.ww", "ra--ad6a.ww-end"},
    };
    for (const auto& c : cases) {
        reset_ace_settings();
        Outcome o = convert(utf16(c.name));
        ASSERT_EQ(o.ok, 1) << c.name;
        EXPECT_EQ(o.ace, c.ace) << c.name;
    }
    // The last occurrence wins, also when an earlier one exists.
    install({{".b-zz", "race", "ra--", "", "", "", "", "-ZZ"}});
    Outcome o = convert(utf16("a-zz.ü.b-zz"));
    ASSERT_EQ(o.ok, 1);
    EXPECT_EQ(o.ace, "a-zz.ra--ad6a.b");
}

TEST_F(ConvertDomain, NameprepWithZoneOptions) {
    // Under LOCAL_RULES without DELIMITERS the "." between labels is refused.
    install({{".zz", "racex", "ra--", "", "", "", "", "", "", 0x01}});
    Outcome o = convert(utf16("ü.zz"));
    EXPECT_EQ(o.ok, 0);
    EXPECT_EQ(o.error, kErrNameprep);
    EXPECT_TRUE(o.codec.empty()) << "codec reported before nameprep passed";
    // With "@" in the name DELIMITERS and ALLOW_UNDERSCORE are added.
    install({{"example.zz", "race", "ra--", "", "", "", "", "", "", 0x01}});
    o = convert(utf16("ü_x@example.zz"));
    ASSERT_EQ(o.ok, 1) << o.error;
    EXPECT_EQ(o.codec, "race");
}

TEST_F(ConvertDomain, EmptyOrMissingTable) {
    install({});
    EXPECT_EQ(convert(utf16("ü.zz")).error, kErrNoZone);
    release_zone_table();  // as after DeinitSDK
    EXPECT_EQ(convert(utf16("ü.zz")).error, kErrNoZone);
}

TEST_F(ConvertDomain, WorkingLimits) {
    install({{".zz", "racex"}, {"example.zz", "NCR"}});
    // The work name holds 8191 units: a mailbox of that length reaches its
    // zone and is refused by nameprep (input over 1023 units); one unit more
    // is refused before the lookup.
    std::u16string name = u"\xFC" + std::u16string(8191 - 12, u'a') + u"@example.zz";
    ASSERT_EQ(name.size(), kMaxNameUnits);
    EXPECT_EQ(convert(name).error, kErrNameprep);
    name.insert(name.begin(), u'a');
    EXPECT_EQ(convert(name).error, kErrConversion);
    // A RACEX form beyond the codec's working buffer fails the lookup.
    std::u16string mixed;
    for (int label = 0; label < 4; ++label) {
        for (int i = 0; i < 200; ++i) mixed += (i % 2) ? u'\x4E00' : u'\x00FC';
        mixed += u'.';
    }
    mixed += u"zz";
    Outcome o = convert(mixed);
    EXPECT_EQ(o.ok, 0);
    EXPECT_EQ(o.error, kErrConversion);
}

TEST_F(ConvertDomain, AceBufferLimitWithAppendTail) {
    const EncodingEntry* ncr = find_encoding("NCR");
    if (ncr == nullptr) GTEST_SKIP() << "no codec with a long enough output is registered";
    // A mailbox long enough that its NCR form plus a 255-byte tail passes
    // the 8191-byte ACE buffer, while the form alone fits.
    std::u16string local(1000, u'\x4E00');
    std::string form;
    ASSERT_EQ(ncr->from_unicode(local + u"@example.zz", form), 1);
    if (form.size() + 255 <= kMaxAceBytes || form.size() > kMaxAceBytes)
        GTEST_SKIP() << "NCR form of " << form.size() << " bytes does not straddle the limit";
    const std::string tail(255, 't');
    install({{"example.zz", "NCR", "", "", "", "", "", "", tail}});
    Outcome o = convert(local + u"@example.zz");
    EXPECT_EQ(o.ok, 0);
    EXPECT_EQ(o.error, kErrConversion);
    install({{"example.zz", "NCR"}});
    o = convert(local + u"@example.zz");
    EXPECT_EQ(o.ok, 1);
    EXPECT_EQ(o.ace.size(), form.size());
}
