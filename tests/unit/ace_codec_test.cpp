// SPDX-License-Identifier: MIT
// tests/unit/ace_codec_test.cpp: every ACE codec through the rows of
// tests/vectors/ace/codecs.tsv (and Python's Punycode rows), with the prefix
// and suffix settings and the DUDE decoder's stdout lines; then, codec by
// codec, seeded round trips, every byte value fed to the decoder and decoded
// texts encoded again.
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

namespace nessel {
namespace {

using namespace test;

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
// when none is given; "(null)" passes a null pointer).
std::string apply_settings(const std::string& column) {
    reset_ace_settings();
    std::stringstream words(column);
    std::string codec, w;
    words >> codec;
    while (words >> w) {
        const size_t eq = w.find('='), dot = w.rfind('.', eq);  // npos + 1 == 0
        const std::string name = dot == std::string::npos ? codec : w.substr(0, dot), value = w.substr(eq + 1);
        const char* n = name == "(null)" ? nullptr : name.c_str();
        const char* v = value == "(null)" ? nullptr : value.c_str();
        if (w.substr(dot + 1, eq - dot - 1) == "prefix") set_ace_prefix(n, v);
        else set_ace_suffix(n, v);
    }
    return codec;
}

// Expected "~": the output decodes back to the input; "*": any output (or
// result).
void check_row(const test::Row& r) {
    SCOPED_TRACE(r.where + " " + r[0] + " " + r[1] + " " + r[2].substr(0, 60));
    const std::string name = apply_settings(r[0]);
    const std::string in = test::text(r[2], "(empty)"), want = test::text(r[3], "(empty)");
    const int result = r[4] == "*" ? -1 : std::stoi(r[4]);
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
    } else if (r[1] == "out") {
        // What the decoder writes to fd 1, between two writes of the caller.
        std::u16string out;
        testing::internal::CaptureStdout();
        std::printf("<");
        std::fflush(stdout);
        const int got = e.to_unicode(B(in), out);
        const bool written = write(1, ">", 1) == 1;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "<" + test::unescape(want) + ">");
        EXPECT_TRUE(written);
        if (result >= 0) { EXPECT_EQ(got, result); }
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
}

// Up to four labels (two when long) separated by "." or "@", with no
// separator inside; no "-" in an all-ASCII label, which is copied as it
// stands (a "-0." marker or a prefix could arise by chance).  The columns of
// the codec's row in ace/sweeps.tsv say which units and label lengths occur.
std::u16string random_name(std::mt19937& rng, const test::Row& c) {
    static const char kLdh[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";
    static const unsigned lo[] = {0, 0xA0, 0x400, 0x4E00, 0x80}, span[] = {0, 0x60, 0x100, 0x5200, 0xFF80};
    const bool any_units = c[1] == "any", long_labels = c[2] == "1", no_capitals = c[4] == "0";
    std::u16string name;
    for (unsigned l = 0, labels = 1 + rng() % (long_labels ? 2 : 4); l < labels; ++l) {
        if (l > 0) name.push_back(rng() % 4 ? u'.' : u'@');
        const size_t len = long_labels && rng() % 2 ? 64 + rng() % 37 : 1 + rng() % std::stoul(c[3]);
        const auto start = static_cast<long>(name.size());
        const bool ascii_only = !any_units && rng() % 4 == 0;
        for (size_t i = 0; i < len; ++i) {
            const unsigned k = ascii_only ? 0 : rng() % 5;
            auto u = static_cast<char16_t>(k ? lo[k] + rng() % span[k] : kLdh[rng() % (ascii_only ? 62 : 64)]);
            if (k == 0 && i == 0 && (u == '-' || u == 'a' || u == 'A')) u = 'k';
            if (any_units) u = static_cast<char16_t>(1 + rng() % 0xFFFF);
            if (u == 0x3002 || u == 0xFF20 || u == '.' || u == '@') u = 0x3003;
            if (no_capitals && u >= 'A' && u <= 'Z') u = static_cast<char16_t>(u + 32);
            name.push_back(u);
        }
        if (std::all_of(name.begin() + start, name.end(), [](char16_t u) { return u < 0x80; }))
            std::replace(name.begin() + start, name.end(), u'-', u'k');
    }
    return name;
}

// Every codec of ace/sweeps.tsv: seeded round trips of random names; every
// byte value, alone and after the prefixes and markers, and random bytes fed
// to the decoder; and where the encoder is total on what the decoder yields,
// decoded texts encoded and decoded again.
TEST(AceCodecs, EveryCodecSweeps) {
    reset_ace_settings();
    const std::string heads[] = {"", "lq--", "LQ--", "dq--", "aq8", "\\0x", "&#", "M", "a.", "\xC3", "-0.", "ra--", "xn--a"};
    for (const auto& c : test::read_rows("ace/sweeps.tsv", 6)) {
        SCOPED_TRACE(c.where + " " + c[0]);
        const EncodingEntry& e = codec(c[0]);
        std::mt19937 rng(20240607);
        bool saw_long = false;
        const std::string fault = quietly([&]() -> std::string {
            for (int n = 0; n < 400; ++n) {
                const std::u16string name = random_name(rng, c);
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
        EXPECT_EQ(fault, "");
        // The "x" variants never leave a label over 63 characters.
        if (c[0].back() == 'x') { EXPECT_FALSE(saw_long); }
        // A decoder ends in success or a clean failure, never yields more
        // units than it read bytes, and RawACE empties its output on failure.
        std::string bad;  // the first input that fails
        auto check = [&](const std::string& src) {
            std::u16string dst;
            const int r = e.to_unicode(src, dst);
            if ((r != 0 && r != 1) || dst.size() > src.size() || (r == 0 && c[0] == "rawace" && !dst.empty()))
                bad = bad.empty() ? show_bytes(src) : bad;
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
        EXPECT_EQ(bad, "");
        if (c[5] != "1") continue;
        // A decoded text survives encoding and decoding again, up to its
        // first zero unit (where the encoder's zero-terminated source ends).
        const std::string alphabet = "GHMV09AF.@\\0xX\xC3\xBC\xE6\x97\xA5\x80";
        int decoded = 0;
        for (int n = 0; n < 20000; ++n) {
            std::string src = test::random_text<char>(rng, alphabet, 24);
            char buf[8];
            if (c[0] == "rawace") src.assign(buf, std::snprintf(buf, sizeof buf, "\\0x%04X", static_cast<unsigned>(rng() & 0xFFFF)));
            std::u16string first, second;
            std::string enc;
            if (e.to_unicode(src, first) == 0 || e.from_unicode(first, enc) == 0) continue;
            ++decoded;
            ASSERT_EQ(e.to_unicode(enc, second), 1) << show_bytes(enc);
            ASSERT_EQ(show(second), show(until_zero(first))) << show_bytes(src);
        }
        EXPECT_GT(decoded, 100);
    }
}

}  // namespace
}  // namespace nessel
