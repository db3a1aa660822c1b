// SPDX-License-Identifier: MIT
// Zone-directed conversion: the steps of tests/vectors/domain/convert.tsv
// (matching, options, zone values, zone and codec choice, tails, the
// settings a conversion leaves, the NamePrep_U export), the zone index
// against a first-match scan, the working limits, the NamePrep exports'
// buffers, and the fallback encodings in their order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "ace/convert.h"
#include "api/lifecycle.h"
#include "base/result_codes.h"
#include "codecs/codecs.h"
#include "config/zone_table.h"
#include "domain/convert_domain.h"
#include "domain/to_ace.h"
#include "encoding/encoding.h"
#include "nameprep/testing.h"
#include "nessel.h"
#include "test_support.h"
#include "zone_fixture.h"

using namespace nessel;
using nessel::test::install_zones;
using nessel::test::racex_zone;
using nessel::test::utf16;

namespace {

constexpr nessel_unit kMark = 0xAAAA;

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    for (size_t pos = 0;;) {
        const size_t end = s.find(sep, pos);
        out.push_back(s.substr(pos, end - pos));
        if (end == std::string::npos) return out;
        pos = end + 1;
    }
}

// A zone record from "zone;codec;prefix;...;flags" ("^label": RACEX zone).
test::Zone zone_of_field(const std::string& field) {
    std::vector<std::string> f = split(field, ';');
    f.resize(10);
    if (f[0].starts_with("^")) f[0] = racex_zone(utf16(f[0].substr(1)));
    return {f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9].empty() ? 0 : std::stoi(f[9])};
}

struct NResult {
    uint32_t code;
    std::string out, raw, codec;
};

NResult prep_native(const char* encoding, const std::string& input, unsigned char options = 0,
                    uint32_t output_size = 512, size_t bytes = 1024) {
    NResult r;
    r.raw.assign(bytes, '\x55');
    char codec[256] = "(none)";
    r.code = NamePrep(encoding, input.c_str(), r.raw.data(), output_size, codec, 256, options);
    r.out = std::string(r.raw.c_str());
    r.codec = codec;
    return r;
}

class Domain : public test::ZoneTest {};

TEST_F(Domain, Vectors) {
    int rows = 0;
    for (const auto& row : test::read_rows("domain/convert.tsv", 1)) {
        SCOPED_TRACE(row.where);
        ++rows;
        const std::string& kind = row[0];
        if (kind == "zones") {
            reset_ace_settings();
            std::vector<test::Zone> zones;
            for (size_t i = 1; i < row.size(); ++i) zones.push_back(zone_of_field(row[i]));
            install_zones(zones);
        } else if (kind == "reset") {
            reset_ace_settings();
        } else if (kind == "setting") {
            const std::string_view got = row.get(1) == "race_prefix" ? race_prefix()
                                         : row.get(1) == "race_suffix" ? race_suffix()
                                                                     : punycode_prefix();
            EXPECT_EQ(got, row.get(2));
        } else if (kind == "suffix") {
            EXPECT_EQ(zone_suffix_match(row.get(1), row.get(2)), std::stoi(row.get(3)));
            const std::string name = row.get(1);
            const bool ascii = std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
            EXPECT_EQ(zone_suffix_match_w(utf16(row.get(1)), row.get(2)), ascii ? std::stoi(row.get(3)) : 0);
        } else if (kind == "options") {
            EXPECT_EQ(zone_prep_options(std::stoi(row.get(1), nullptr, 0), row.get(2), row.get(3) == "1"),
                      std::stoul(row.get(4), nullptr, 16));
        } else if (kind == "parse") {
            ZoneRecord r;
            std::memset(&r, 0, sizeof r);
            std::string value = row.get(1);
            for (size_t t; (t = value.find("\\t")) != std::string::npos;) value.replace(t, 2, "\t");
            parse_zone_value(r, value);
            const std::string got[] = {r.alt_prefix, r.alt_codec, r.alt_suffix, r.strip_tail, r.append_tail,
                                       std::to_string(r.prep_flags), r.prefix, r.codec, r.suffix};
            for (size_t i = 0; i < 9; ++i) EXPECT_EQ(got[i], row.get(2 + i)) << "field " << i;
        } else if (kind == "domain") {
            std::u16string out = u"untouched";
            const char* codec = nullptr;
            uint32_t error = 0;
            const int ok = convert_domain(utf16(row.get(1)), out, codec, "UTF-8", error);
            EXPECT_EQ(error, std::stoul(row.get(2)));
            EXPECT_EQ(ok, error == 0);
            if (ok && row.get(3) != "*") {
                EXPECT_EQ(narrow(out), row.get(3));
            } else if (!ok) {
                EXPECT_EQ(out, u"untouched") << "output changed on failure";
            }
            if (row.get(4) != "*") { EXPECT_EQ(codec != nullptr ? codec : "", row.get(4)) << "codec"; }
        } else if (kind == "prep_u") {
            // NamePrep_U into a buffer of kMark units, the codec buffer holding "(none)".
            const uint32_t want = std::stoul(row.get(2));
            std::u16string in = utf16(row.get(1)), raw(1024, kMark);
            char codec[256] = "(none)";
            const uint32_t got = NamePrep_U("UTF-8", reinterpret_cast<const nessel_unit*>(in.c_str()),
                                            reinterpret_cast<nessel_unit*>(raw.data()),
                                            row.get(5).empty() ? 2048 : std::stoul(row.get(5)), codec,
                                            row.get(6).empty() ? 256 : std::stoul(row.get(6)), 0);
            EXPECT_EQ(got, want);
            if (row.get(4) != "*") { EXPECT_EQ(codec, row.get(4)); }
            const size_t cleared = row.get(7).empty() ? 0 : std::stoul(row.get(7));
            if (want == kErrAllAscii || want == kErrEmpty || cleared > 0) {
                EXPECT_EQ(raw, std::u16string(cleared, 0) + std::u16string(1024 - cleared, kMark)) << "output written";
            }
            if (row.get(3) != "*") { EXPECT_EQ(std::u16string(raw.c_str()), utf16(row.get(3))); }
        } else if (kind == "native") {
            const uint32_t size = std::stoul(row.get(4));
            const NResult r = prep_native(row.get(1).c_str(), test::B(row.get(2)), static_cast<unsigned char>(std::stoul(row.get(3), nullptr, 16)),
                                          size, std::min(size, kMaxNativeOutputSize) + 64);
            EXPECT_EQ(r.code, std::stoul(row.get(5)));
            if (row.get(6) != "*") { EXPECT_EQ(r.out, row.get(6)); }
            if (row.get(7) != "*") { EXPECT_EQ(r.codec, row.get(7)); }
            if (row.get(8) != "*") {
                const size_t n = std::stoul(row.get(8));
                EXPECT_EQ(r.raw, std::string(n, '\0') + std::string(r.raw.size() - n, '\x55'));
            }
        } else {
            ADD_FAILURE() << "unknown kind";
        }
    }
    EXPECT_GT(rows, 100);
}

// The zone index against the plain first-match scan in table order, on
// random tables and names: short texts over a small alphabet, so that
// duplicates, zones that end each other and names that hit them are common
// ("\xC3" never matches a unit; "@" and empty zones are odd but legal).
TEST(ZoneIndex, AgreesWithFirstMatchScan) {
    std::mt19937 rng(20261206);
    auto text = [&rng](const char* alphabet, unsigned max_len) {
        std::string s(rng() % (max_len + 1), ' ');
        for (char& c : s) c = alphabet[rng() % std::strlen(alphabet)];
        return s;
    };
    for (int round = 0; round < 300; ++round) {
        std::vector<ZoneRecord> records(rng() % 40);
        for (ZoneRecord& r : records) {
            std::memset(&r, 0, sizeof r);
            std::string z = rng() % 2 ? "." : "";  // appended, not literal + string:
            z += text("ab.@\xC3", 5);              // g++ 12 -O3 warns falsely on that
            if (rng() % 50 == 0) z = std::string(255, 'a');
            std::memcpy(r.zone, z.data(), z.size());
        }
        const auto table = zone_table_of(records.data(), records.size());
        ASSERT_TRUE(table);
        for (int n = 0; n < 60; ++n) {
            const std::string racex = rng() % 50 == 0 ? std::string(300, 'a') : text("ab.", 9);
            std::u16string name;
            for (char c : text("ab.@u", 9)) name.push_back(c == 'u' ? u'\u00FC' : c);
            int32_t suffix = -1, mailbox = -1;
            for (int32_t i = table->size() - 1; i >= 0; --i) {
                const bool dot = records[i].zone[0] == '.';
                if (dot && zone_suffix_match(racex, records[i].zone)) suffix = i;
                if (!dot && zone_suffix_match_w(name, records[i].zone)) mailbox = i;
            }
            EXPECT_EQ(table->find_suffix_zone(racex), suffix) << racex;
            EXPECT_EQ(table->find_mailbox_zone(name), mailbox);
        }
    }
}

class NamePrepExports : public test::ZoneTest {
protected:
    void SetUp() override {
        test::ZoneTest::SetUp();
        if (HasFatalFailure()) return;
        install_zones({{".zz", "racex", "ra--"}, {"example.zz", "race", "mb--"},
                       {racex_zone(utf16("中文")), "PUNYCODE", "xn--"}});
    }
};

TEST_F(NamePrepExports, NullArguments) {
    nessel_unit in[] = {0xFC, '.', 'z', 'z', 0}, out[16] = {kMark};
    char bytes[8] = "x";
    EXPECT_EQ(NamePrep_U("UTF-8", nullptr, out, 16, nullptr, 0, 0), kErrArgument);
    EXPECT_EQ(NamePrep_U("UTF-8", in, nullptr, 16, nullptr, 0, 0), kErrArgument);
    EXPECT_EQ(NamePrep_U(nullptr, in, out, 16, nullptr, 0, 0), kErrArgument);
    EXPECT_EQ(out[0], kMark);
    EXPECT_EQ(NamePrep(nullptr, "a", bytes, 8, nullptr, 0, 0), kErrArgument);
    EXPECT_EQ(NamePrep("ascii", nullptr, bytes, 8, nullptr, 0, 0), kErrArgument);
    EXPECT_EQ(NamePrep("ascii", "a", nullptr, 8, nullptr, 0, 0), kErrArgument);
    EXPECT_EQ(bytes[0], 'x');
    // codec_out may be null.
    EXPECT_EQ(NamePrep_U("UTF-8", in, out, 32, nullptr, 0, 0), kOk);
    EXPECT_EQ(narrow(std::u16string(out, out + 12).c_str()), "ra--ad6a.zz");
}

// The fallback pass: which encoding converts first decides the result, so
// the expected result is computed from the registry's own converters.
TEST_F(NamePrepExports, FallbackEncodings) {
    std::string big5;
    ASSERT_EQ(unicode_to_encoding(encoding_type("Big5"), utf16("中文.中文"), big5), 1);
    // Only bit 0x80 of the lowest option byte starts the pass.
    for (uint32_t options : {0x80u, 0xFFFFFF80u, 0x100u, 0x7Fu}) {
        const NResult r = prep_native("no-such-encoding", big5, static_cast<unsigned char>(options));
        EXPECT_EQ(r.code == kOk, (options & 0x80) != 0) << std::hex << options << " " << std::dec << r.code;
    }
    // Its own encoding converts without the pass.
    NResult r = prep_native("Big5", big5, 0x80);
    EXPECT_EQ(r.out, "xn--fiq228c.xn--fiq228c");
    EXPECT_EQ(r.codec, "PUNYCODE");
    // The GB reading of these Big5 bytes comes before "big5" in the list:
    // without a zone for it "big5" converts, with one the GB reading does.
    std::u16string gb_text, prepared;
    for (const char* f : kFallbackEncodings) {
        if (encoding_to_unicode(encoding_type(f), big5, gb_text)) {
            ASSERT_STREQ(f, "gb");
            break;
        }
    }
    ASSERT_EQ(name_prep(gb_text, prepared, 0xA5, 8192), 0u);
    EXPECT_EQ(prep_native("no-such-encoding", big5, 0x80).out, "xn--fiq228c.xn--fiq228c");
    install_zones({{racex_zone(prepared.substr(prepared.rfind(u'.') + 1)), "race", "gb--"},
                   {racex_zone(utf16("中文")), "PUNYCODE", "xn--"}});
    r = prep_native("no-such-encoding", big5, 0x80);
    EXPECT_EQ(r.out.substr(0, 4), "gb--");
    EXPECT_EQ(r.codec, "race");
    EXPECT_EQ(prep_native("GB", big5, 0x80).out.substr(0, 4), "gb--");
    // Byte 0xFE is U+20AB only in "cp1258", the last entry.  A zone for that
    // reading whose options refuse it (CHECK_ALLOWED) makes the last attempt
    // fail with 6002, while every other reading finds no zone (4001).
    install_zones({{racex_zone(u"\x20AB"), "race", "ra--", "", "", "", "", "", "", 0x08}});
    r = prep_native("no-such-encoding", "a.\xFE", 0x80);
    EXPECT_EQ(r.code, kErrNameprep);
    EXPECT_EQ(r.raw.substr(0, 512), std::string(512, '\0'));
    EXPECT_EQ(prep_native("no-such-encoding", "a.\xFE", 0).code, kErrConversion);
}

}  // namespace
