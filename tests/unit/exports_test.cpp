// SPDX-License-Identifier: MIT
// tests/unit/exports_test.cpp: the conversion exports end to end.  Rows of
// tests/vectors/chains/: the decoding exports' results and outputs, and a
// zero that one step of a chain produces, which ends the text for the next
// step as in the zero-terminated C interface; then random texts with an
// inner zero through every chain, and decoding with the prefix a conversion
// left.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "ace/convert.h"
#include "ace/enc_utf.h"
#include "api/lifecycle.h"
#include "codecs/codecs.h"
#include "encoding/encoding.h"
#include "nessel.h"
#include "test_support.h"
#include "vectors.h"
#include "zone_fixture.h"

namespace nessel {
namespace {

using test::B;
using test::show;
using test::show_bytes;

// Output buffers filled with a mark, so that an unterminated or untouched
// result shows.
struct Out {
    std::vector<nessel_unit> u = std::vector<nessel_unit>(4096, 0x2A2A);
    std::string b = std::string(8192, '*');
    std::u16string text() const { return std::u16string(reinterpret_cast<const char16_t*>(u.data())); }
};

struct Call {
    uint32_t result;
    std::string output, codec;  // output printable, up to the terminator
};

// The export a row names; the output as far as a caller reads it.
Call run(const std::string& call, const std::string& name, const std::string& target, const std::string& input) {
    Out o;
    char codec[256] = "";
    if (call == "encoding2unicode" || call == "AceToUnicode") {
        const uint32_t r = call == "AceToUnicode" ? AceToUnicode(name.c_str(), input.c_str(), o.u.data(), 0)
                                                  : encoding2unicode(str2enctype(name.c_str()), input.c_str(), o.u.data());
        return {r, o.u[0] == 0x2A2A ? "(untouched)" : show(o.text()), ""};
    }
    const uint32_t r = call == "AceToNative" ? AceToNative(name.c_str(), input.c_str(), o.b.data(), target.c_str(), 0)
                                             : NamePrep(name.c_str(), input.c_str(), o.b.data(), 8192, codec, sizeof codec,
                                                        static_cast<unsigned char>(std::stoul(target, nullptr, 0)));
    return {r, o.b == std::string(8192, '*') ? "(untouched)" : show_bytes(o.b.c_str()), codec};
}

class Exports : public test::ZoneTest {};

TEST_F(Exports, VectorRows) {
    size_t count = 0;
    for (const char* file : {"chains/inner_zero.tsv", "chains/ace_exports.tsv"}) {
        for (const auto& r : test::read_rows(file, 7)) {
            SCOPED_TRACE(r.where);
            reset_ace_settings();
            ++count;
            const Call got = run(r[0], r[1], r[2], B(r[3]));
            const std::string want = test::text(r[5]);
            EXPECT_EQ(got.result, std::stoul(r[6]));
            if (want == "(untouched)") {
                EXPECT_EQ(got.output, want);
            } else {
                const bool units = r[0] == "encoding2unicode" || r[0] == "AceToUnicode";
                EXPECT_EQ(got.output, units ? show(test::M(want)) : show_bytes(B(want)));
            }
            if (r[4] == ".") continue;
            // The whole text gives what the text before the zero gives.
            const Call before = run(r[0], r[1], r[2], B(test::text(r[4])));
            EXPECT_EQ(got.result, before.result);
            EXPECT_EQ(got.output, before.output);
            EXPECT_EQ(got.codec, before.codec);
        }
    }
    EXPECT_GT(count, 50u);
}

TEST_F(Exports, NullArgumentsAndNoCodecAfterShutdown) {
    nessel_unit out[16];
    char bytes[16];
    const uint32_t codes[] = {AceToUnicode(nullptr, "abc", out, 0), AceToNative(nullptr, "abc", bytes, "ascii", 0),
                              AceToNative("race", nullptr, bytes, "ascii", 0), AceToNative("race", "abc", nullptr, "ascii", 0),
                              AceToUnicode("race", nullptr, out, 0), AceToUnicode("race", "abc", nullptr, 0)};
    EXPECT_EQ(std::vector<uint32_t>(codes, codes + 6), (std::vector<uint32_t>{3001, 3001, 201, 202, 201, 201}));
    // After DeinitSDK the registry is empty: accepted names are not found.
    ASSERT_EQ(DeinitSDK(), 2001u);
    EXPECT_EQ(AceToUnicode("race", "abc", out, 0), 101u);
    EXPECT_EQ(AceToNative("amc-z", "abc", bytes, "ascii", 0), 101u);
    ASSERT_EQ(register_all_encodings(), 1);  // init_once does not run twice
    EXPECT_EQ(AceToNative("amc-z", "abc", bytes, "ascii", 0), 0u);
}

// A conversion under a zone that gives RACE the prefix "zq--" leaves it in
// force: decoding reads "zq--" labels and copies "ra--" labels.
TEST_F(Exports, DecodingUsesThePrefixTheLastConversionLeft) {
    const std::vector<nessel_unit> in = {0xFC, '.', 'z', 'z', 0};
    std::vector<nessel_unit> out(64, 0);
    test::install_zones({{".zz", "race", "zq--"}});
    ASSERT_EQ(NamePrep_U("UTF-8", in.data(), out.data(), 128, nullptr, 0, 0), 0u);
    EXPECT_EQ(narrow(std::u16string(out.begin(), out.begin() + 11)), "zq--ad6a.zz");
    EXPECT_EQ(run("AceToUnicode", "race", "", "zq--ad6a.zz").output, show(test::utf16("ü.zz")));
    EXPECT_EQ(run("AceToUnicode", "RACE", "", "ra--ad6a.zz").output, show(u"ra--ad6a.zz"));
    test::install_zones({{".zz", "lace", "lz--"}});
    ASSERT_EQ(NamePrep_U("UTF-8", in.data(), out.data(), 128, nullptr, 0, 0), 0u);
    EXPECT_EQ(run("AceToUnicode", "lace", "", "lq--abc.lq--xyz").output, show(u"lq--abc.lq--xyz"));
}

// Random units: ASCII letters and digits, Latin-1, Greek, CJK, never zero,
// "." or "@".
std::u16string random_units(std::mt19937& rng, size_t max_len) {
    static const char16_t kRanges[][2] = {{'a', 'z'}, {'0', '9'}, {0xE0, 0xFF}, {0x3B1, 0x3C9}, {0x4E00, 0x4FFF}};
    std::u16string s(1 + rng() % max_len, u'a');
    for (char16_t& u : s) {
        const auto& r = kRanges[rng() % 5];
        u = static_cast<char16_t>(r[0] + rng() % (r[1] - r[0] + 1));
    }
    return s;
}

// UTF-8 of units, each unit on its own, U+0000 as the overlong C0 80.
std::string overlong_utf8(std::u16string_view s) {
    std::string out;
    for (char16_t u : s) out += u == 0 ? "\xC0\x80" : test::utf8(std::u16string(1, u));
    return out;
}

// Through the chains of the exports: the first step yields P, U+0000, Q and
// the whole conversion must give what the next step gives for P alone.
TEST_F(Exports, RandomTextsThroughEveryChain) {
    std::mt19937 rng(1800);
    const auto widen = [](const std::string& s) {  // each byte one unit (ISO-8859-1)
        std::u16string u;
        for (unsigned char c : s) u.push_back(c);
        return u;
    };
    int ace_runs = 0;
    for (int i = 0; i < 200; ++i) {
        reset_ace_settings();
        const std::u16string p = random_units(rng, 20), q = random_units(rng, 20), inner = p + u'\0' + q;
        // "dutf8": UTF-8, then ISO-8859-1, then UTF-8 again.
        Out o;
        const std::string dutf8 = overlong_utf8(widen(test::utf8(p)) + u'\0' + widen(test::utf8(q)));
        EXPECT_EQ(encoding2unicode(str2enctype("dutf8"), dutf8.c_str(), o.u.data()), 1);
        EXPECT_EQ(show(o.text()), show(p));
        EXPECT_EQ(o.u[p.size() + 1], 0x2A2A) << "units written past the result";
        // NamePrep's decoding step.  (The fallback encodings read the input
        // bytes afresh, so C0 80 is no zero for them.)
        const Call whole = run("NamePrep", "utf8", "0", overlong_utf8(inner)), before = run("NamePrep", "utf8", "0", test::utf8(p));
        EXPECT_EQ(whole.result, before.result);
        EXPECT_EQ(whole.output, before.output);
        EXPECT_EQ(whole.codec, before.codec);
        // AceToNative: the codec decodes to P, U+0000, Q; the target
        // encoder reads P.
        using Encoder = int (*)(std::u16string_view, std::string&);
        for (auto [codec, encode] : {std::pair<const char*, Encoder>{"race", race_from_unicode},
                                     {"racex", racex_from_unicode}, {"lace", lace_from_unicode}}) {
            std::string ace;
            Out decoded;
            if (encode(inner, ace) == 0 || ace.find('\0') != std::string::npos ||
                AceToUnicode(codec, ace.c_str(), decoded.u.data(), 0) != 0 ||
                std::u16string_view(reinterpret_cast<const char16_t*>(decoded.u.data()), inner.size()) != inner)
                continue;
            ++ace_runs;
            for (const char* target : {"ascii", "iso8859-1", "GBK", "jis", "utf8"}) {
                std::string want;
                const int ok = unicode_to_encoding(encoding_type(target), p, want);
                const Call got = run("AceToNative", codec, target, ace);
                EXPECT_EQ(got.result, ok ? 0u : 202u) << codec << " to " << target;
                if (ok) { EXPECT_EQ(got.output, show_bytes(want)) << codec << " to " << target; }
            }
        }
    }
    EXPECT_GT(ace_runs, 300);  // most texts make a label of the three codecs
}

}  // namespace
}  // namespace nessel
