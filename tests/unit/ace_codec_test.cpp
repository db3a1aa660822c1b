// SPDX-License-Identifier: MIT
// tests/unit/ace_codec_test.cpp: every ACE codec through the rows of
// tests/vectors/ace/codecs.tsv (and Python's Punycode rows), the prefix and
// suffix settings, the DUDE decoder's stdout lines, seeded round trips of
// every codec, and every byte value fed to every decoder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <random>

#include "ace/convert.h"
#include "ace/enc_utf.h"
#include "api/lifecycle.h"
#include "encoding/encoding.h"
#include "test_support.h"
#include "vectors.h"

namespace nessel {
namespace {

using test::B;
using test::show;
using test::show_bytes;

// Runs f with stdout (the DUDE decoder's lines, written past stdio to fd 1)
// captured and dropped; test assertions stay outside, since GoogleTest
// reports on stdout.
template <class F>
auto quietly(F&& f) {
    testing::internal::CaptureStdout();
    auto r = f();
    testing::internal::GetCapturedStdout();
    return r;
}

const EncodingEntry& codec(const std::string& name) {
    EXPECT_EQ(init_once(), 1);
    const EncodingEntry* e = find_encoding(name);
    if (e == nullptr) throw std::runtime_error("not registered: " + name);
    return *e;
}

std::u16string units(const std::string& f) {
    return f.find("U+") != std::string::npos ? test::M(f) : test::utf16(f);
}

// Internal steps with rows of their own, bytes in and out; -1: no such step.
int step(const std::string& name, const std::string& in, std::string& out) {
    static const SplitStyle utf5{"", 61, 0}, race{"ra--", 57, 4};
    const SplitStyle& style = name.ends_with("utf5") ? utf5 : race;
    if (name.starts_with("split-")) return split_long_labels(in, style, out);
    if (name.starts_with("join-")) return join_split_labels(in, style, out);
    return name == "base32" ? (base32_encode(in, out), 1) : -1;
}

// The codec column: a codec name, then settings applied before the row,
// "[name.]prefix=value" or "[name.]suffix=value" (under the codec's own name
// when none is given).
std::string apply_settings(const std::string& column) {
    reset_ace_settings();
    std::stringstream words(column);
    std::string codec, w;
    words >> codec;
    while (words >> w) {
        const size_t eq = w.find('='), dot = w.rfind('.', eq);  // npos + 1 == 0
        const std::string name = dot == std::string::npos ? codec : w.substr(0, dot), value = w.substr(eq + 1);
        if (w.substr(dot + 1, eq - dot - 1) == "prefix") set_ace_prefix(name.c_str(), value.c_str());
        else set_ace_suffix(name.c_str(), value.c_str());
    }
    return codec;
}

// Expected "~": the output decodes back to the input; "*": any output.
void check_row(const test::Row& r) {
    SCOPED_TRACE(r.where + " " + r[0] + " " + r[1] + " " + r[2].substr(0, 60));
    const std::string name = apply_settings(r[0]);
    const std::string in = test::text(r[2], "(empty)"), want = test::text(r[3], "(empty)");
    const int result = std::stoi(r[4]);
    std::string out;
    if (const int r = step(name, B(in), out); r >= 0) {
        EXPECT_EQ(r, result);
        if (want != "*") { EXPECT_EQ(out, B(want)); }
        return;
    }
    const EncodingEntry& e = codec(name);
    if (r[1] == "enc") {
        std::u16string back;
        out = "stale";
        EXPECT_EQ(e.from_unicode(units(in), out), result);
        if (want == "~") { EXPECT_EQ(quietly([&] { return e.to_unicode(out, back) == 1 && back == units(in); }), true); }
        if (want != "~" && want != "*") { EXPECT_EQ(show_bytes(out), show_bytes(B(want))); }
    } else {
        std::u16string out = u"stale";
        EXPECT_EQ(quietly([&] { return e.to_unicode(B(in), out); }), result);
        if (want != "*") { EXPECT_EQ(show(out), show(units(want))); }
    }
}

// The codec rows, then Python's Punycode rows, each both ways.
TEST(AceCodecs, VectorRows) {
    const auto rows = test::read_rows("ace/codecs.tsv", 5), python = test::read_rows("punycode/python.tsv", 2);
    for (const auto& r : rows) check_row(r);
    for (const auto& r : python) {
        check_row({{"AMC-Z", "enc", r[0], r[1], "1"}, r.where});
        check_row({{"AMC-Z", "dec", r[1], r[0], "1"}, r.where});
    }
    EXPECT_GT(rows.size(), 250u);
    EXPECT_EQ(python.size(), 500u);
    reset_ace_settings();
}

// DUDE's decoder prints "dudeprefix:<prefix>" once per copied label and per
// digit, past stdio's buffer so that it interleaves with the caller's output.
TEST(AceCodecs, DudePrintsOnePrefixLinePerCopiedLabelAndDigit) {
    const std::pair<const char*, size_t> cases[] = {
        {"dq--c3q3rmpth", 9}, {"abc.dq--c3q3rmpth", 10}, {"a.b@c", 3}, {"-b", 1},
        {"a-b.-", 1},         {"..@", 0},                {"", 0},      {"dq--cl", 2},
    };
    reset_ace_settings();
    set_ace_prefix(nullptr, "zz--");  // null arguments change nothing
    set_ace_prefix("dude", nullptr);
    set_ace_suffix(nullptr, "zz");
    for (auto [text, lines] : cases) {
        std::u16string out;
        testing::internal::CaptureStdout();
        (void)dude_to_unicode(text, out);
        std::string want;
        for (size_t i = 0; i < lines; ++i) want += "dudeprefix:dq--\n";
        EXPECT_EQ(testing::internal::GetCapturedStdout(), want) << text;
    }
    set_ace_prefix("dudex", "zz--");
    std::u16string out;
    testing::internal::CaptureStdout();
    std::printf("before\n");
    std::fflush(stdout);
    const int r = dudex_to_unicode("zz--c", out);
    const bool written = write(1, "after\n", 6) == 6;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "before\ndudeprefix:zz--\nafter\n");
    EXPECT_TRUE(written);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(out, u"b");
    reset_ace_settings();
}

struct RoundTrip {
    const char* name;
    bool any_units;    // every unit but the separators may occur
    bool long_labels;  // labels well over 63 encoded characters
    size_t max_label;  // units per label
    bool no_capitals;
};

// Up to four labels (two when long) separated by "." or "@", with no
// separator inside; no "-" in an all-ASCII label, which is copied as it
// stands (a "-0." marker or a prefix could arise by chance).
std::u16string random_name(std::mt19937& rng, const RoundTrip& rt) {
    static const char kLdh[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";
    static const unsigned lo[] = {0, 0xA0, 0x400, 0x4E00, 0x80}, span[] = {0, 0x60, 0x100, 0x5200, 0xFF80};
    std::u16string name;
    for (unsigned l = 0, labels = 1 + rng() % (rt.long_labels ? 2 : 4); l < labels; ++l) {
        if (l > 0) name.push_back(rng() % 4 ? u'.' : u'@');
        const size_t len = rt.long_labels && rng() % 2 ? 64 + rng() % 37 : 1 + rng() % rt.max_label;
        const auto start = static_cast<long>(name.size());
        const bool ascii_only = !rt.any_units && rng() % 4 == 0;
        for (size_t i = 0; i < len; ++i) {
            const unsigned k = ascii_only ? 0 : rng() % 5;
            auto u = static_cast<char16_t>(k ? lo[k] + rng() % span[k] : kLdh[rng() % (ascii_only ? 62 : 64)]);
            if (k == 0 && i == 0 && (u == '-' || u == 'a' || u == 'A')) u = 'k';
            if (rt.any_units) u = static_cast<char16_t>(1 + rng() % 0xFFFF);
            if (u == 0x3002 || u == 0xFF20 || u == '.' || u == '@') u = 0x3003;
            if (rt.no_capitals && u >= 'A' && u <= 'Z') u = static_cast<char16_t>(u + 32);
            name.push_back(u);
        }
        if (std::all_of(name.begin() + start, name.end(), [](char16_t u) { return u < 0x80; }))
            std::replace(name.begin() + start, name.end(), u'-', u'k');
    }
    return name;
}

TEST(AceCodecs, SeededRandomRoundTrips) {
    reset_ace_settings();
    const RoundTrip cases[] = {
        // LACE run lengths stop at 36 on decoding; DNS labels stay far below.
        {"lace", false, false, 30, false}, {"dude", false, false, 40, false},  {"dudex", false, true, 40, false},
        {"utf5", false, false, 40, false}, {"utf5x", false, true, 40, false},  {"cidnuc", false, false, 40, false},
        {"race", false, false, 40, false}, {"racex", false, true, 40, false},  {"AMC-Z", false, false, 60, false},
        {"utf8", true, false, 60, false},  {"gutf8", true, false, 60, true},   {"dutf8", true, false, 60, false},
        {"NCR", true, false, 60, false},   {"rawace", true, false, 60, false},
    };
    for (const auto& rt : cases) {
        const EncodingEntry& e = codec(rt.name);
        std::mt19937 rng(20240607);
        bool saw_long = false;
        const std::string fault = quietly([&]() -> std::string {
            for (int n = 0; n < 400; ++n) {
                const std::u16string name = random_name(rng, rt);
                std::string enc;
                std::u16string dec;
                if (e.from_unicode(name, enc) != 1) return "encoding failed: " + show(name);
                if (e.to_unicode(enc, dec) != 1) return "decoding failed: " + show_bytes(enc);
                if (dec != name) return show(name) + " came back as " + show(dec);
                for (size_t p = 0, q; p <= enc.size(); p = q + 1) {
                    q = std::min(enc.find('.', p), enc.size());
                    saw_long = saw_long || q - p > 63;
                }
            }
            return "";
        });
        EXPECT_EQ(fault, "") << rt.name;
        // The "x" variants never leave a label over 63 characters.
        if (std::string(rt.name).back() == 'x') { EXPECT_FALSE(saw_long) << rt.name; }
    }
}

// Every byte value, alone and after the prefixes and markers, and random
// bytes: every decoder ends in success or a clean failure, never yields more
// units than it read bytes, and RawACE empties its output on failure.
TEST(AceCodecs, EveryByteValueFedToEveryDecoder) {
    reset_ace_settings();
    const std::string heads[] = {"", "lq--", "LQ--", "dq--", "aq8", "\\0x", "&#", "M", "a.", "\xC3", "-0.", "ra--", "xn--a"};
    std::mt19937 rng(7);
    for (const char* name : {"utf5", "utf5x", "utf8", "gutf8", "dutf8", "cidnuc", "rawace", "lace", "NCR", "dude",
                             "dudex", "race", "racex", "AMC-Z"}) {
        const EncodingEntry& e = codec(name);
        std::string fault;  // the first input that fails
        auto check = [&](const std::string& src) {
            std::u16string dst;
            const int r = e.to_unicode(src, dst);
            if ((r != 0 && r != 1) || dst.size() > src.size() || (r == 0 && std::string(name) == "rawace" && !dst.empty()))
                fault = fault.empty() ? show_bytes(src) : fault;
        };
        quietly([&] {
            for (const std::string& head : heads)
                for (unsigned a = 0; a < 256; ++a) {
                    check(head + char(a));
                    for (unsigned b = 0; b < 256; b += head.empty() ? 1 : 17) check(head + char(a) + char(b));
                }
            for (int n = 0; n < 2000; ++n) {
                std::string src = heads[rng() % std::size(heads)];
                for (size_t i = rng() % 80; i > 0; --i) src.push_back(static_cast<char>(rng()));
                check(src);
            }
            return 0;
        });
        EXPECT_EQ(fault, "") << name;
    }
}

// For the codecs whose encoder is total on what the decoder yields, a
// decoded text survives encoding and decoding again, up to its first zero
// unit (where the encoder's zero-terminated source ends).
TEST(AceCodecs, DecodedTextReencodesToTheSameUnits) {
    std::mt19937 rng(99);
    const std::string alphabet = "GHMV09AF.@\\0xX\xC3\xBC\xE6\x97\xA5\x80";
    for (const char* name : {"utf8", "rawace", "utf5"}) {
        const EncodingEntry& e = codec(name);
        int decoded = 0;
        for (int n = 0; n < 20000; ++n) {
            std::string src = test::random_text<char>(rng, alphabet, 24);
            char buf[8];
            if (std::string(name) == "rawace") src.assign(buf, std::snprintf(buf, sizeof buf, "\\0x%04X", static_cast<unsigned>(rng() & 0xFFFF)));
            std::u16string first, second;
            std::string enc;
            if (e.to_unicode(src, first) == 0 || e.from_unicode(first, enc) == 0) continue;
            ++decoded;
            ASSERT_EQ(e.to_unicode(enc, second), 1) << name << " " << show_bytes(enc);
            ASSERT_EQ(show(second), show(until_zero(first))) << name << " " << show_bytes(src);
        }
        EXPECT_GT(decoded, 100) << name;
    }
}

}  // namespace
}  // namespace nessel
