// SPDX-License-Identifier: MIT
// tests/unit/inner_zero_test.cpp: a zero unit or byte that one conversion
// step produces ends the text for the next step, as in the zero-terminated
// C interface: the vector rows (tests/vectors/chains/inner_zero.tsv) through
// the exports, and random texts with an inner zero through every chain.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "ace/convert.h"
#include "ace/enc_utf.h"
#include "api/lifecycle.h"
#include "codecs/codecs.h"
#include "nessel.h"
#include "test_support.h"

namespace nessel {
namespace {

using test::B;
using test::show;
using test::show_bytes;

// Output buffers filled with a mark, so that an unterminated result shows.
struct Out {
    std::vector<nessel_unit> u = std::vector<nessel_unit>(4096, 0x2A2A);
    std::string b = std::string(8192, '*');
    std::u16string text() const { return std::u16string(reinterpret_cast<const char16_t*>(u.data())); }
    std::string bytes() const { return std::string(b.c_str()); }
};

struct Call {
    uint32_t result;
    std::string output;  // printable, up to the terminator
    std::string codec;
};

// The export a row names; the output as far as a caller reads it.
Call run(const std::string& call, const std::string& name, const std::string& target,
         const std::string& input) {
    Out o;
    char codec[256] = "";
    if (call == "encoding2unicode") {
        int r = encoding2unicode(str2enctype(name.c_str()), input.c_str(), o.u.data());
        return {static_cast<uint32_t>(r), show(o.text()), ""};
    }
    if (call == "AceToNative") {
        uint32_t r = AceToNative(name.c_str(), input.c_str(), o.b.data(), target.c_str(), 0);
        return {r, show_bytes(o.bytes()), ""};
    }
    if (call == "NamePrep") {
        uint32_t r = NamePrep(name.c_str(), input.c_str(), o.b.data(), 8192, codec, sizeof codec,
                              static_cast<unsigned char>(std::stoul(target, nullptr, 0)));
        return {r, show_bytes(o.bytes()), codec};
    }
    throw std::runtime_error("unknown call " + call);
}

TEST(InnerZero, VectorRows) {
    ASSERT_EQ(init_once(), 1);
    reset_ace_settings();
    std::ifstream in(NESSEL_SOURCE_DIR "/tests/vectors/chains/inner_zero.tsv");
    ASSERT_TRUE(in);
    int rows = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f;
        std::stringstream ss(line);
        for (std::string field; std::getline(ss, field, '\t');) f.push_back(field);
        ASSERT_GE(f.size(), 7u) << line;
        SCOPED_TRACE(line.substr(0, 120));
        ++rows;
        const Call got = run(f[0], f[1], f[2], B(f[3]));
        const Call before = run(f[0], f[1], f[2], f[4] == "-" ? "" : B(f[4]));
        const std::string expected = f[5] == "-" ? "" : f[5];
        EXPECT_EQ(got.result, std::stoul(f[6]));
        EXPECT_EQ(got.output, f[0] == "encoding2unicode" ? show(test::M(expected))
                                                         : show_bytes(B(expected)));
        // The whole text gives what the text before the zero gives.
        EXPECT_EQ(got.result, before.result);
        EXPECT_EQ(got.output, before.output);
        EXPECT_EQ(got.codec, before.codec);
    }
    EXPECT_GT(rows, 0);
}

// Random units: ASCII letters and digits, Latin-1, Greek, CJK, never zero,
// "." or "@".
std::u16string random_units(std::mt19937& rng, size_t max_len) {
    static const char16_t kRanges[][2] = {{'a', 'z'}, {'0', '9'}, {0xE0, 0xFF}, {0x3B1, 0x3C9}, {0x4E00, 0x4FFF}};
    std::u16string s(1 + rng() % max_len, u'a');
    for (char16_t& u : s) {
        const auto& r = kRanges[rng() % std::size(kRanges)];
        u = static_cast<char16_t>(r[0] + rng() % (r[1] - r[0] + 1));
    }
    return s;
}

// UTF-8 of units, each unit on its own, U+0000 as the overlong C0 80.
std::string overlong_utf8(std::u16string_view s) {
    std::string out;
    for (char16_t u : s) {
        std::string one;
        if (u == 0) one = "\xC0\x80";
        else (void)find_encoding("utf8")->from_unicode(std::u16string(1, u), one);
        out += one;
    }
    return out;
}

// Every registered converter reads its source up to the first zero.
TEST(InnerZero, EveryRegisteredConverterStopsAtTheFirstZero) {
    ASSERT_EQ(init_once(), 1);
    std::mt19937 rng(18);
    for (uint32_t t = 1; t <= encoding_count(); ++t) {
        if (find_encoding_by_type(t)->name == "dude" || find_encoding_by_type(t)->name == "dudex")
            continue;  // their decoder writes to standard output; the dispatch is the same
        SCOPED_TRACE(find_encoding_by_type(t)->name);
        for (int i = 0; i < 20; ++i) {
            reset_ace_settings();
            const std::u16string p = random_units(rng, 12), q = random_units(rng, 12);
            std::string whole, before;
            EXPECT_EQ(unicode_to_encoding(t, p + u'\0' + q, whole), unicode_to_encoding(t, p, before));
            EXPECT_EQ(show_bytes(whole), show_bytes(before));
            const std::string bp = test::utf8(p), bq = test::utf8(q);
            std::u16string uwhole, ubefore;
            EXPECT_EQ(encoding_to_unicode(t, bp + '\0' + bq, uwhole), encoding_to_unicode(t, bp, ubefore));
            EXPECT_EQ(show(uwhole), show(ubefore));
        }
    }
}

// Through the chains of the exports: the first step yields P, U+0000, Q and
// the whole conversion must give what the next step gives for P alone.
TEST(InnerZero, RandomTextsThroughEveryChain) {
    ASSERT_EQ(init_once(), 1);
    std::mt19937 rng(1800);
    int ace_runs = 0;
    for (int i = 0; i < 200; ++i) {
        reset_ace_settings();
        const std::u16string p = random_units(rng, 20), q = random_units(rng, 20);
        const std::u16string inner = p + u'\0' + q;

        // "dutf8": UTF-8, then ISO-8859-1, then UTF-8 again.
        std::string latin_p, latin_q;
        ASSERT_TRUE(find_encoding("utf8")->from_unicode(p, latin_p));
        ASSERT_TRUE(find_encoding("utf8")->from_unicode(q, latin_q));
        Out o;
        const std::string dutf8 = overlong_utf8(widen(latin_p) + u'\0' + widen(latin_q));
        EXPECT_EQ(encoding2unicode(str2enctype("dutf8"), dutf8.c_str(), o.u.data()), 1);
        EXPECT_EQ(show(o.text()), show(p));
        EXPECT_EQ(o.u[p.size() + 1], 0x2A2A) << "units written past the result";

        // NamePrep's decoding step.  (The fallback encodings read the input
        // bytes afresh, so C0 80 is no zero for them.)
        const std::string named = overlong_utf8(inner), bp = test::utf8(p);
        Out whole, before;
        char c1[256] = "", c2[256] = "";
        EXPECT_EQ(NamePrep("utf8", named.c_str(), whole.b.data(), 8192, c1, 256, 0),
                  NamePrep("utf8", bp.c_str(), before.b.data(), 8192, c2, 256, 0));
        EXPECT_EQ(show_bytes(whole.bytes()), show_bytes(before.bytes()));
        EXPECT_STREQ(c1, c2);

        // AceToNative: the codec decodes to P, U+0000, Q (a label with a
        // character beyond ASCII); the target encoder reads P.
        using Encoder = int (*)(std::u16string_view, std::string&);
        const std::pair<const char*, Encoder> codecs[] = {
            {"race", race_from_unicode}, {"racex", racex_from_unicode}, {"lace", lace_from_unicode}};
        for (auto [codec, encode] : codecs) {
            std::string ace;
            if (encode(inner, ace) == 0 || ace.find('\0') != std::string::npos) continue;
            Out decoded;
            if (AceToUnicode(codec, ace.c_str(), decoded.u.data(), 0) != 0 ||
                std::u16string_view(reinterpret_cast<const char16_t*>(decoded.u.data()), inner.size()) != inner)
                continue;
            ++ace_runs;
            for (const char* target : {"ascii", "iso8859-1", "GBK", "jis", "utf8"}) {
                Out got;
                std::string want;
                const uint32_t code = AceToNative(codec, ace.c_str(), got.b.data(), target, 0);
                const int ok = unicode_to_encoding(encoding_type(target), p, want);
                EXPECT_EQ(code, ok ? 0u : 202u) << codec << " to " << target;
                if (ok) {
                    EXPECT_EQ(show_bytes(got.bytes()), show_bytes(want)) << codec << " to " << target;
                }
            }
        }
    }
    EXPECT_GT(ace_runs, 300);  // most texts make a label of the three codecs
}

}  // namespace
}  // namespace nessel
