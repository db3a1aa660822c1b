// SPDX-License-Identifier: MIT
// tests/unit/exports_test.cpp: the exports end to end.  The library's
// lifecycle (one-time initialisation, shutdown, unloading the shared
// library); rows of tests/vectors/chains/: the decoding exports' results and
// outputs, and a zero that one step of a chain produces, which ends the text
// for the next step as in the zero-terminated C interface; random texts with
// an inner zero through every chain; decoding with the prefix a conversion
// left; and the charsets' raw converters within the room the length-taking
// exports give them.
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

// Initialisation registers the encodings once; DeinitSDK empties the
// registry (every time, reporting that no zone table was loaded), so that
// accepted names are not found, and initialising again restores the same
// enctypes.  Null arguments are refused.
TEST(Lifecycle, InitOnceDeinitAndNullArguments) {
    const char* v = GetVersion_Nessel();
    EXPECT_STREQ(v, "Nessel Version 4.0.31");
    EXPECT_EQ(GetVersion_Nessel(), v);  // the same static string every time
    ASSERT_EQ(init_once(), 1);
    EXPECT_TRUE(init_done());
    const uint32_t n = encoding_count();
    ASSERT_GT(n, 2u);
    ASSERT_EQ(init_once(), 1);
    EXPECT_EQ(encoding_count(), n);  // a second call registers nothing again
    nessel_unit out[16];
    char bytes[16];
    const uint32_t codes[] = {AceToUnicode(nullptr, "abc", out, 0), AceToNative(nullptr, "abc", bytes, "ascii", 0),
                              AceToNative("race", nullptr, bytes, "ascii", 0), AceToNative("race", "abc", nullptr, "ascii", 0),
                              AceToUnicode("race", nullptr, out, 0), AceToUnicode("race", "abc", nullptr, 0)};
    EXPECT_EQ(std::vector<uint32_t>(codes, codes + 6), (std::vector<uint32_t>{3001, 3001, 201, 202, 201, 201}));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(DeinitSDK(), 2001u);
        EXPECT_EQ(encoding_count(), 0u);
        EXPECT_EQ(str2enctype("ascii"), 0u);
        out[0] = 1;
        EXPECT_EQ(encoding2unicode(1, "a", out), 0);
        EXPECT_EQ(out[0], 0);
        EXPECT_EQ(AceToUnicode("race", "abc", out, 0), 101u);
        EXPECT_EQ(AceToNative("amc-z", "abc", bytes, "ascii", 0), 101u);
    }
    EXPECT_TRUE(init_done());  // the flag is never cleared
    ASSERT_EQ(init_once(), 1);
    EXPECT_EQ(encoding_count(), n);
    EXPECT_EQ(str2enctype("ascii"), 1u);
    EXPECT_EQ(str2enctype("none"), 2u);
    EXPECT_EQ(AceToNative("amc-z", "abc", bytes, "ascii", 0), 0u);
}

// Unloading the shared library releases the registry (under LeakSanitizer a
// missing release shows as a leak), and a new load starts empty.
TEST(Lifecycle, UnloadReleasesTheRegistry) {
    // InitSDK consults the per-user store: keep it in a private directory.
    test::TempDir home;
    test::ScopedEnvironment env;
    env.set("HOME", home.path().c_str());
    env.set("XDG_CONFIG_HOME", (home.path() + "/config").c_str());
    env.set("TMPDIR", home.path().c_str());
    for (int round = 0; round < 2; ++round) {
        test::SharedLib lib(NESSEL_SHARED_LIB);
        ASSERT_TRUE(lib.loaded()) << lib.error();
        auto str2type = reinterpret_cast<uint32_t(NESSEL_CALL*)(const char*)>(lib.symbol("str2enctype"));
        auto init = reinterpret_cast<uint32_t(NESSEL_CALL*)()>(lib.symbol("InitSDK"));
        ASSERT_TRUE(str2type != nullptr && init != nullptr);
        EXPECT_EQ(str2type("ascii"), 0u) << "round " << round;
        init();  // registers the encodings whatever the zone table load gives
        EXPECT_EQ(str2type("ascii"), 1u);
        EXPECT_TRUE(lib.close());
    }
}

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

// The length-taking conversions write a charset's raw converter straight
// into a caller's buffer that has the charset bound's room.  Every entry that
// declares the bound keeps within it here: every byte pair and every unit,
// and random texts mixing ASCII with what the charset itself decodes to
// (shift sequences), into exactly that room followed by a guard; and a
// decoder reads nothing past the length it is given.
template <typename Out, typename In, typename Fn>
void keeps_within(Fn raw, const std::vector<std::basic_string<In>>& inputs, size_t per_element,
                  const std::string& name) {
    const Out guard = static_cast<Out>(0x5A5A);
    std::vector<Out> buf;
    for (const auto& s : inputs) {
        const size_t room = s.size() * per_element + 1;
        buf.assign(room + 16, guard);
        size_t written = 0;
        raw(s.data(), s.size(), buf.data(), written);
        ASSERT_LE(written, room) << name << " input of " << s.size();
        for (size_t i = room; i < buf.size(); ++i) ASSERT_EQ(buf[i], guard) << name;
    }
}

TEST(CharsetBound, RawFormsKeepWithinTheRoomTheyAreGiven) {
    ASSERT_EQ(init_once(), 1);
    std::vector<std::string> pairs;
    std::vector<std::u16string> singles;
    for (unsigned v = 1; v < 0x10000; ++v) {
        singles.push_back(std::u16string(1, static_cast<char16_t>(v)));
        if ((v & 0xFF) != 0) pairs.push_back({static_cast<char>(v >> 8), static_cast<char>(v)});
    }
    std::mt19937 rng(16);
    std::string nonzero;
    for (int c = 1; c < 256; ++c) nonzero.push_back(static_cast<char>(c));
    int bounded = 0;
    for (uint32_t t = 1; t <= encoding_count(); ++t) {
        const EncodingEntry& e = *find_encoding_by_type(t);
        if (!e.bounded_raw) continue;
        ++bounded;
        std::vector<std::string> bytes = pairs;
        std::vector<std::u16string> units = singles;
        std::u16string decoded(64, u'\0');
        std::vector<char16_t> charset_units;
        for (int i = 0; i < 2000; ++i) {
            const std::string b = test::random_text<char>(rng, nonzero, 24);
            size_t w = 0;
            if (e.to_unicode_raw(b.data(), b.size(), decoded.data(), w) && w <= b.size())
                for (size_t j = 0; j < w; ++j)
                    if (decoded[j] >= 0x80) charset_units.push_back(decoded[j]);
            bytes.push_back(b);
            // Decoding ends at the length given: the byte after it changes nothing.
            const std::string head = b.substr(0, b.size() - 1);
            std::u16string x(64, u'\0'), y(64, u'\0');
            size_t wx = 0, wy = 0;
            const int rx = e.to_unicode_raw(b.data(), head.size(), x.data(), wx);
            const int ry = e.to_unicode_raw(head.data(), head.size(), y.data(), wy);
            EXPECT_TRUE(rx == ry && (rx == 0 || x.substr(0, wx) == y.substr(0, wy))) << e.name << " " << b;
        }
        charset_units.push_back(u'\u3042');
        for (int i = 0; i < 2000; ++i) {
            std::u16string u;
            for (size_t n = 1 + rng() % 24; u.size() < n;)
                u.push_back(rng() % 2 ? static_cast<char16_t>(0x21 + rng() % 94)
                                      : charset_units[rng() % charset_units.size()]);
            units.push_back(u);
        }
        keeps_within<char16_t>(e.to_unicode_raw, bytes, kCharsetUnitsPerByte, e.name);
        keeps_within<char>(e.from_unicode_raw, units, kCharsetBytesPerUnit, e.name);
    }
    EXPECT_GE(bounded, 25);
}

}  // namespace
}  // namespace nessel
