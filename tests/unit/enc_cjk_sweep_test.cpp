// SPDX-License-Identifier: MIT
// tests/unit/enc_cjk_sweep_test.cpp: exhaustive sweeps of the CJK converters
// against the golden mapping files (tests/golden/*.map, built from Python's
// codecs): every single byte and every double-byte code decodes to its golden
// value or fails, every BMP unit encodes to its lowest golden code or fails,
// each whole table round-trips, and random input never faults.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

#include "cjk_golden.h"
#include "encoding/charsets.h"
#include "encoding/encoding.h"
#include "test_support.h"

namespace nessel {
namespace {

using test::GoldenMap;
using test::load_golden;
using test::show;
using test::show_bytes;

const GoldenMap& golden(const std::string& name) {
    static std::map<std::string, GoldenMap> cache;
    auto it = cache.find(name);
    if (it == cache.end()) it = cache.emplace(name, load_golden(name)).first;
    return it->second;
}

std::string pair_bytes(unsigned code) {
    return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

// A stateless double-byte charset: which single bytes stand alone, which
// units below 0x80 encode as themselves, and what else the encoder adds.
struct Dbcs {
    const char* name;
    const char* golden;
    ToUnicodeFn to;
    FromUnicodeFn from;
    unsigned single_lo, single_hi;  // bytes below 0x80 that decode as themselves
    unsigned ascii_enc_hi;          // units up to this encode as one byte
    bool katakana;                  // 0xA1..0xDF are halfwidth katakana both ways
};

const Dbcs kDbcs[] = {
    {"Big5", "big5", big5_to_unicode, big5_from_unicode, 0x21, 0x7E, 0x7F, false},
    {"GBK", "gbk", gbk_to_unicode, gbk_from_unicode, 0x20, 0x7E, 0x7F, false},
    {"Shift_JIS", "sjis", sjis_to_unicode, sjis_from_unicode, 0x21, 0x7E, 0x7E, true},
    {"EUC-KR", "ksc", ksc_to_unicode, ksc_from_unicode, 0x01, 0x7F, 0x7F, false},
};

TEST(CjkSweep, StatelessDecodersEveryByteAndPair) {
    for (const Dbcs& d : kDbcs) {
        SCOPED_TRACE(d.name);
        const GoldenMap& g = golden(d.golden);
        EXPECT_EQ(g.duplicates, 0u);
        int mismatches = 0;
        for (unsigned b = 1; b < 256; ++b) {
            std::u16string out;
            int rc = d.to(std::string(1, static_cast<char>(b)), out);
            std::optional<char16_t> want;
            if (b >= d.single_lo && b <= d.single_hi) want = static_cast<char16_t>(b);
            if (d.katakana && b >= 0xA1 && b <= 0xDF) want = static_cast<char16_t>(0xFF61 + b - 0xA1);
            bool ok = want ? (rc == 1 && out == std::u16string(1, *want)) : (rc == 0 && out.empty());
            if (!ok && ++mismatches < 10) ADD_FAILURE() << "byte " << std::hex << b << " gives " << show(out);
            if (b < 0x80 || (d.katakana && b >= 0xA1 && b <= 0xDF)) continue;
            for (unsigned t = 1; t < 256; ++t) {
                unsigned code = b << 8 | t;
                auto it = g.to_ucs.find(code);
                rc = d.to(pair_bytes(code), out);
                ok = it != g.to_ucs.end() ? (rc == 1 && out == std::u16string(1, it->second))
                                          : (rc == 0 && out.empty());
                if (!ok && ++mismatches < 10) ADD_FAILURE() << "code " << std::hex << code << " gives " << show(out);
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(CjkSweep, StatelessEncodersEveryUnit) {
    for (const Dbcs& d : kDbcs) {
        SCOPED_TRACE(d.name);
        const GoldenMap& g = golden(d.golden);
        int mismatches = 0;
        for (unsigned u = 1; u <= 0xFFFF; ++u) {
            std::string want;
            bool want_ok = true;
            if (u <= d.ascii_enc_hi) want = std::string(1, static_cast<char>(u));
            else if (d.katakana && u >= 0xFF61 && u <= 0xFF9F) want = std::string(1, static_cast<char>(0xA1 + u - 0xFF61));
            else if (auto it = g.from_ucs.find(static_cast<char16_t>(u)); it != g.from_ucs.end()) want = pair_bytes(it->second);
            else want_ok = false;
            std::string out;
            int rc = d.from(std::u16string(1, static_cast<char16_t>(u)), out);
            bool ok = want_ok ? (rc == 1 && out == want) : (rc == 0 && out.empty());
            if (!ok && ++mismatches < 10) ADD_FAILURE() << "U+" << std::hex << u << " gives " << show_bytes(out);
        }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(CjkSweep, EucJpEveryPairAndUnit) {
    const GoldenMap& g = golden("eucjp");
    EXPECT_EQ(g.to_ucs.size(), 6879u);
    int mismatches = 0;
    for (unsigned b1 = 0xA1; b1 <= 0xFE; ++b1) {
        for (unsigned b2 = 0xA1; b2 <= 0xFE; ++b2) {
            unsigned code = b1 << 8 | b2;
            auto it = g.to_ucs.find(code);
            std::u16string out;
            int rc = eucjp_to_unicode(pair_bytes(code), out);
            bool ok = it != g.to_ucs.end() ? (rc == 1 && out == std::u16string(1, it->second)) : (rc == 0 && out.empty());
            if (!ok && ++mismatches < 10) ADD_FAILURE() << "code " << std::hex << code << " gives " << show(out);
        }
    }
    for (unsigned b = 0xA1; b <= 0xDF; ++b) {
        std::u16string out;
        EXPECT_EQ(eucjp_to_unicode(std::string{'\x8E', static_cast<char>(b)}, out), 1);
        EXPECT_EQ(out, std::u16string(1, static_cast<char16_t>(0xFF61 + b - 0xA1)));
    }
    for (unsigned u = 1; u <= 0xFFFF; ++u) {
        std::string want;
        bool want_ok = true;
        if (u >= 0x21 && u <= 0x7E) want = std::string(1, static_cast<char>(u));
        else if (u >= 0xFF61 && u <= 0xFF9F) want = std::string{'\x8E', static_cast<char>(0xA1 + u - 0xFF61)};
        else if (auto it = g.from_ucs.find(static_cast<char16_t>(u)); it != g.from_ucs.end()) want = pair_bytes(it->second);
        else want_ok = false;
        std::string out;
        int rc = eucjp_from_unicode(std::u16string(1, static_cast<char16_t>(u)), out);
        bool ok = want_ok ? (rc == 1 && out == want) : (rc == 0 && out.empty());
        if (!ok && ++mismatches < 20) ADD_FAILURE() << "U+" << std::hex << u << " gives " << show_bytes(out);
    }
    EXPECT_EQ(mismatches, 0);
}

// "jis": JIS X 0208 pairs are the EUC-JP pairs without their top bits; the
// encoder prefers ASCII, then the katakana set, then JIS X 0212, then 0208.
TEST(CjkSweep, JisEveryPairAndUnit) {
    const GoldenMap& g0208 = golden("eucjp");
    const GoldenMap& g0212 = golden("jisx0212");
    EXPECT_EQ(g0212.duplicates, 0u);
    int mismatches = 0;
    for (unsigned c1 = 0x21; c1 <= 0x7E; ++c1) {
        for (unsigned c2 = 0x21; c2 <= 0x7E; ++c2) {
            unsigned code = c1 << 8 | c2;
            std::u16string out;
            int rc = jis_to_unicode("\x1B$B" + pair_bytes(code), out);
            auto it = g0208.to_ucs.find(code | 0x8080);
            bool ok = it != g0208.to_ucs.end() ? (rc == 1 && out == std::u16string(1, it->second)) : (rc == 0 && out.empty());
            if (!ok && ++mismatches < 10) ADD_FAILURE() << "0208 " << std::hex << code << " gives " << show(out);
            rc = jis_to_unicode("\x1B$(D" + pair_bytes(code), out);
            auto jt = g0212.to_ucs.find(code);
            if (code < 0x222F || code > 0x6D63) ok = rc == 0 && out.empty();
            else ok = rc == 1 && out == std::u16string(1, jt != g0212.to_ucs.end() ? jt->second : u'\xFFFD');
            if (!ok && ++mismatches < 10) ADD_FAILURE() << "0212 " << std::hex << code << " gives " << show(out);
        }
    }
    for (unsigned u = 1; u <= 0xFFFF; ++u) {
        std::string want;
        bool want_ok = true;
        if (u <= 0x7F) {
            want = std::string(1, static_cast<char>(u));
        } else if (u < 0xA0 || u == 0xA0 || (u >= 0xE0 && u <= 0xFF)) {
            want = "\x1B(I" + std::string(1, static_cast<char>(u));
        } else if (u >= 0xFF61 && u <= 0xFF9F) {
            want = "\x1B(I" + std::string(1, static_cast<char>(0xA1 + u - 0xFF61));
        } else if (auto it = g0212.from_ucs.find(static_cast<char16_t>(u)); it != g0212.from_ucs.end()) {
            want = "\x1B$(D" + pair_bytes(it->second);
        } else if (auto jt = g0208.from_ucs.find(static_cast<char16_t>(u)); jt != g0208.from_ucs.end()) {
            want = "\x1B$B" + pair_bytes(jt->second & 0x7F7F);
        } else {
            want_ok = false;
        }
        std::string out;
        int rc = jis_from_unicode(std::u16string(1, static_cast<char16_t>(u)), out);
        bool ok = want_ok ? (rc == 1 && out == want) : (rc == 0 && out.empty());
        if (!ok && ++mismatches < 20) ADD_FAILURE() << "U+" << std::hex << u << " gives " << show_bytes(out);
    }
    EXPECT_EQ(mismatches, 0);
}

// Each whole table as one text: decoding gives every character in order and
// encoding gives the same bytes back.
TEST(CjkSweep, WholeTablesRoundTrip) {
    struct Row {
        const char* name;
        const char* golden;
        ToUnicodeFn to;
        FromUnicodeFn from;
        std::string prefix;
        unsigned code_mask;
    };
    const Row rows[] = {
        {"Big5", "big5", big5_to_unicode, big5_from_unicode, "", 0xFFFF},
        {"GBK", "gbk", gbk_to_unicode, gbk_from_unicode, "", 0xFFFF},
        {"Shift_JIS", "sjis", sjis_to_unicode, sjis_from_unicode, "", 0xFFFF},
        {"EUC-JP", "eucjp", eucjp_to_unicode, eucjp_from_unicode, "", 0xFFFF},
        {"EUC-KR", "ksc", ksc_to_unicode, ksc_from_unicode, "", 0xFFFF},
        {"jis 0212", "jisx0212", jis_to_unicode, jis_from_unicode, "\x1B$(D", 0xFFFF},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::string bytes = r.prefix;
        std::u16string units;
        for (auto [code, u] : golden(r.golden).to_ucs) {
            if (u == 0x5C && std::string(r.golden) != "ksc" && std::string(r.golden) != "big5" &&
                std::string(r.golden) != "gbk") {
                continue;  // 815F / A1C0 decode to U+005C, which encodes as the byte 0x5C
            }
            bytes += pair_bytes(code & r.code_mask);
            units.push_back(u);
        }
        if (r.prefix.empty() == false) {
            // Keep each run within the 2049-unit limit of one "jis" run.
            std::string split;
            size_t pairs = 0;
            for (size_t i = r.prefix.size(); i < bytes.size(); i += 2, ++pairs) {
                if (pairs % 2000 == 0) split += r.prefix;
                split += bytes.substr(i, 2);
            }
            bytes = split;
        }
        std::u16string decoded;
        ASSERT_EQ(r.to(bytes, decoded), 1);
        EXPECT_TRUE(decoded == units);
        // "jis" output ends in whatever set it is in, so chunks (each within
        // the run limit) are encoded and decoded one by one.
        std::string encoded;
        for (size_t at = 0; at < units.size(); at += 2000) {
            std::u16string chunk = units.substr(at, 2000);
            std::string part;
            ASSERT_EQ(r.from(chunk, part), 1);
            std::u16string again;
            ASSERT_EQ(r.to(part, again), 1);
            EXPECT_TRUE(again == chunk);
            encoded += part;
        }
        if (r.prefix.empty()) {
            EXPECT_TRUE(encoded == bytes);
        }
    }
}

// Random bytes and random units: no fault, failures leave nothing, successes
// stay within the worst-case sizes callers provide for, and what decodes
// encodes back to the same text.
TEST(CjkSweep, RandomInputNeverFaults) {
    struct Pair {
        const char* name;
        ToUnicodeFn to;
        FromUnicodeFn from;
        size_t max_bytes_per_unit;
        bool decoded_text_reencodes;  // false for "jis": bytes from 0x80 lose their top bit
    };
    const Pair pairs[] = {
        {"Big5", big5_to_unicode, big5_from_unicode, 2, true},
        {"GBK", gbk_to_unicode, gbk_from_unicode, 2, true},
        {"Shift_JIS", sjis_to_unicode, sjis_from_unicode, 2, true},
        {"EUC-JP", eucjp_to_unicode, eucjp_from_unicode, 2, true},
        {"jis", jis_to_unicode, jis_from_unicode, 6, false},
        {"EUC-KR", ksc_to_unicode, ksc_from_unicode, 2, true},
    };
    std::mt19937 rng(20240611);
    auto random_unit = [&]() -> char16_t {
        switch (rng() % 5) {
        case 0: return static_cast<char16_t>(rng() % 0x80);
        case 1: return static_cast<char16_t>(0x4E00 + rng() % 0x5200);
        case 2: return static_cast<char16_t>(0x3000 + rng() % 0x100);
        case 3: return static_cast<char16_t>(0xFF00 + rng() % 0x100);
        default: return static_cast<char16_t>(rng() % 0x10000);
        }
    };
    for (const Pair& p : pairs) {
        SCOPED_TRACE(p.name);
        int decoded_ok = 0, encoded_ok = 0;
        for (int round = 0; round < 3000; ++round) {
            std::string bytes(rng() % 64, '\0');
            for (char& c : bytes) c = static_cast<char>(round % 3 == 0 ? (rng() % 2 ? 0x1B : 0x21 + rng() % 0x5E) : rng() % 256);
            if (round % 3 == 0 && bytes.size() > 3) bytes.replace(0, 3, "\x1B$B");
            std::u16string units;
            int rc = p.to(bytes, units);
            if (rc == 0) {
                EXPECT_TRUE(units.empty());
            } else {
                ++decoded_ok;
                EXPECT_LE(units.size(), bytes.size());
                std::string back;
                if (p.decoded_text_reencodes && p.from(units, back)) {
                    std::u16string again;
                    EXPECT_EQ(p.to(back, again), 1) << show_bytes(bytes);
                    EXPECT_TRUE(again == units) << show_bytes(bytes);
                }
            }
            std::u16string text(rng() % 64, u'a');
            for (char16_t& u : text) u = random_unit();
            if (round % 2) text.erase(std::remove_if(text.begin(), text.end(), [&](char16_t u) { return u < 0x80 ? false : rng() % 2; }), text.end());
            std::string enc;
            rc = p.from(text, enc);
            if (rc == 0) {
                EXPECT_TRUE(enc.empty());
                continue;
            }
            ++encoded_ok;
            std::u16string body = text.substr(0, text.find(u'\0'));
            EXPECT_LE(enc.size(), body.size() * p.max_bytes_per_unit);
            std::u16string back;
            if (p.to(enc, back)) {
                EXPECT_TRUE(back == body) << show(text);
            }
        }
        EXPECT_GT(decoded_ok, 0);
        EXPECT_GT(encoded_ok, 0);
    }
}

}  // namespace
}  // namespace nessel
