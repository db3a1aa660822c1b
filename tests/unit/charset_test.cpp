// SPDX-License-Identifier: MIT
// tests/unit/charset_test.cpp: every charset.  Registry and conversion rows;
// every byte, double-byte code and BMP unit against the model the sweep rows
// describe, multi-byte characters also as whole texts; random input and
// single Tamil glyph bytes.
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "api/lifecycle.h"
#include "codecs/codecs.h"
#include "data/viet.h"
#include "encoding/encoding.h"
#include "nessel.h"
#include "test_support.h"
#include "vectors.h"

namespace nessel {
namespace {

using namespace test;

class Charset : public ::testing::Test {
protected:
    void SetUp() override {
        free_encodings();
        ASSERT_EQ(register_all_encodings(), 1);
    }
    void TearDown() override { free_encodings(); }
};

TEST_F(Charset, RegistryRows) {
    const auto rows = test::read_rows("charsets/registry.tsv", 2);
    ASSERT_EQ(encoding_count(), 54u);
    for (size_t i = 0; i < rows.size(); ++i) {
        const uint32_t type = std::stoul(rows[i][1]);
        EXPECT_EQ(str2enctype(rows[i][0].c_str()), type) << rows[i].where;
        if (i < 54) {  // the whole registry in order: the place is the enctype
            ASSERT_EQ(type, i + 1) << rows[i].where;
            const EncodingEntry* e = find_encoding_by_type(type);
            ASSERT_NE(e, nullptr);
            EXPECT_EQ(e->name, rows[i][0]);
            EXPECT_EQ(e->enctype, type);
            EXPECT_EQ(find_encoding(rows[i][0]), e);
        }
        if (rows[i].size() > 2) {  // another name of one charset: the same converters
            const EncodingEntry *a = find_encoding(rows[i][0]), *b = find_encoding(rows[i][2]);
            EXPECT_TRUE(a->to_unicode == b->to_unicode && a->from_unicode == b->from_unicode) << rows[i].where;
        }
    }
    EXPECT_EQ(str2enctype(nullptr), 0u);
    EXPECT_EQ(find_encoding_by_type(0), nullptr);
    EXPECT_EQ(find_encoding_by_type(55), nullptr);
}

TEST_F(Charset, ReRegisteringKeepsTheFirstConvertersAndRefusesHalfEntries) {
    const ToUnicodeFn fake_to = [](std::string_view, std::u16string& d) { return d = u"fake", 1; };
    const FromUnicodeFn fake_from = [](std::u16string_view, std::string& d) { return d = "fake", 1; };
    const uint32_t before = encoding_count();
    EXPECT_EQ(register_encoding("ASCII", fake_to, fake_from), 1u);
    EXPECT_EQ(register_all_encodings(), 1);
    EXPECT_EQ(encoding_count(), before);
    std::u16string out;
    EXPECT_EQ(encoding_to_unicode(1, "ab", out), 1);
    EXPECT_EQ(out, u"ab");
    EXPECT_EQ(register_encoding("", fake_to, fake_from), 0u);
    EXPECT_EQ(register_encoding("x-fake", nullptr, fake_from), 0u);
    EXPECT_EQ(register_encoding("x-fake", fake_to, nullptr), 0u);
    EXPECT_EQ(register_encoding("x-fake", fake_to, fake_from), before + 1);
    // An entry handed out before a release is never rewritten: a different
    // converter registered in its place goes to a fresh block.
    const EncodingEntry* held = find_encoding_by_type(1);
    free_encodings();
    EXPECT_EQ(register_encoding("x-other", fake_to, fake_from), 1u);
    EXPECT_EQ(held->name, "ascii");
}

// Each row through the dispatch, and through the registered converter with a
// stale output, which it must replace.  "rt" rows: the units encode, and
// decode back, also three times over ("tab" and "tam" count what they wrote).
TEST_F(Charset, ConversionRows) {
    auto rows = test::read_rows("cjk/examples.tsv", 5);
    for (const char* file : {"charsets/conversions.tsv", "charsets/tamil_syllables.tsv"})
        for (auto& r : test::read_rows(file, 5)) rows.push_back(std::move(r));
    for (const auto& r : rows) {
        SCOPED_TRACE(r.where);
        const EncodingEntry* e = find_encoding(r[0]);
        ASSERT_NE(e, nullptr) << r[0];
        const std::string in = test::text(r[2]), want = test::text(r[3]);
        const int result = std::stoi(r[4]);
        const bool counts = r[0] == "tab" || r[0] == "tam";
        if (r[1] == "rt") {
            for (const std::u16string& text : {U(in), U(in) + U(in) + U(in)}) {
                std::string bytes;
                std::u16string back;
                const int n = unicode_to_encoding(e->enctype, text, bytes), m = encoding_to_unicode(e->enctype, bytes, back);
                EXPECT_EQ(n != 0 && m != 0, result == 1);
                EXPECT_EQ(show(back), show(text)) << show_bytes(bytes);
                if (counts) { EXPECT_TRUE(n == static_cast<int>(bytes.size()) && m == static_cast<int>(back.size())); }
            }
        } else if (r[1] == "dec") {
            std::u16string out = u"stale", raw = u"stale";
            EXPECT_EQ(encoding_to_unicode(e->enctype, B(in), out), result);
            EXPECT_EQ(show(out), show(U(want)));
            EXPECT_EQ(e->to_unicode(B(in), raw), result);
            if (result != 0) { EXPECT_EQ(show(raw), show(U(want))); }
            // A text that encodes back to its bytes holds three times over
            // (no state carried from one character to the next).
            std::string back;
            if (result == 0 || e->from_unicode(U(want), back) == 0 || back != B(in)) continue;
            EXPECT_EQ(encoding_to_unicode(e->enctype, B(in + in + in), out), counts ? 3 * result : 1);
            EXPECT_EQ(show(out), show(U(want) + U(want) + U(want)));
        } else {
            ASSERT_EQ(r[1], "enc");
            std::string out = "stale", raw = "stale";
            EXPECT_EQ(unicode_to_encoding(e->enctype, U(in), out), result);
            EXPECT_EQ(show_bytes(out), show_bytes(B(want)));
            EXPECT_EQ(e->from_unicode(U(in), raw), result);
            if (result != 0) { EXPECT_EQ(show_bytes(raw), show_bytes(B(want))); }
        }
    }
    EXPECT_GT(rows.size(), 900u);
}

// Null pointers: failures that leave an empty text, never faults.  (Unknown
// enctypes and conversions that fail are calls of the hot-path test.)
TEST_F(Charset, ExportsEmptyTheDestinationOnFailure) {
    nessel_unit units[8] = {7};
    char bytes[8];
    const nessel_unit mixed[] = {'a', 'b', 0xE9, 'c', 0}, wide[] = {0x4E2D, 'A', 0};
    EXPECT_EQ(encoding2unicode(1, nullptr, units), 0);
    EXPECT_EQ(units[0], 0);
    EXPECT_EQ(encoding2unicode(1, "a", nullptr) + unicode2encoding(1, nullptr, bytes) + unicode2encoding(1, mixed, nullptr), 0);
    // "none" writes zero bytes: the export copies the whole result.
    EXPECT_EQ(unicode2encoding(2, wide, bytes), 1);
    EXPECT_EQ(std::string(bytes, 5), std::string("\x4E\x2D\0A\0", 5));
}

std::string one(unsigned b) { return std::string(1, static_cast<char>(b)); }

// "0xA140", "E8E8": bytes in hex.
std::string hex_bytes(std::string_view s) {
    if (s.starts_with("0x")) s.remove_prefix(2);
    std::string out;
    for (size_t i = 0; i + 1 < s.size(); i += 2) out += one(std::stoul(std::string(s.substr(i, 2)), nullptr, 16));
    return out;
}

// "0x3000", "0915 094D": units in hex; "-": none.
std::u16string hex_units(const std::string& s) {
    std::u16string out;
    std::istringstream in(s);
    for (std::string tok; in >> tok && tok != "-";) out.push_back(static_cast<char16_t>(std::stoul(tok, nullptr, 16)));
    return out;
}

// "FIRST-LAST": every code whose bytes each lie between those of FIRST and
// LAST, the last byte counting fastest.
std::vector<std::string> codes(const std::string& run) {
    const size_t dash = run.find('-');
    const std::string lo = hex_bytes(run.substr(0, dash)), hi = hex_bytes(run.substr(dash + 1));
    std::vector<std::string> out{lo};
    for (std::string c = lo;;) {
        size_t i = c.size();
        for (; i > 0 && c[i - 1] == hi[i - 1]; --i) c[i - 1] = lo[i - 1];
        if (i == 0) return out;
        ++c[i - 1];
        out.push_back(c);
    }
}

// One charset as the rows of charsets/sweeps.tsv describe it: the inputs
// swept, what each decodes to and what each BMP unit encodes to.
struct Model {
    std::set<std::string> inputs;
    std::map<std::string, std::u16string> decode;
    std::map<char16_t, std::string> encode;

    void add(const std::string& kind, const std::string& code, const std::u16string& units) {
        if (kind != "encode") inputs.insert(code);
        if (kind != "encode" && !units.empty()) decode[code] = units;
        if (kind != "decode" && !units.empty()) encode[units[0]] = code;
    }
};

Model model(const std::string& name) {
    Model m;
    for (const auto& r : test::read_rows("charsets/sweeps.tsv", 2)) {
        if (r[0] != name) continue;
        if (r[1] == "golden") {
            const auto mask = static_cast<char>(std::stoul(r.size() > 4 ? r[4] : "FF", nullptr, 16));
            for (const auto& g : test::read_rows("../golden/" + r[2], 2)) {
                std::string code = hex_bytes(g[0]);
                for (char& b : code) b &= mask;
                m.add(g.size() > 2 ? g[2] : "both", hex_bytes(r.get(3)) + code, hex_units(g[1]));
            }
        } else if (r[1] == "viet") {
            const uint8_t* col = name == "vni" ? data::viet_vni : data::viet_tcvn3;
            for (unsigned i = 0; i < data::viet_records; ++i) {
                const std::string b = one(col[2 * i]) + (col[2 * i + 1] ? one(col[2 * i + 1]) : "");
                const char16_t u = data::viet_ucs[i];
                m.add(b.size() == 1 ? "both" : "encode", b, std::u16string(1, u));
                m.add("decode", b + b + b, std::u16string(3, u));
            }
        } else {
            const bool same = r.get(3).starts_with("=");
            const unsigned first = r.size() > 3 ? std::stoul(r[3].substr(same), nullptr, 16) : 0;
            const auto run = codes(r[2]);
            for (size_t i = 0; i < run.size(); ++i) {
                const auto u = static_cast<char16_t>(first + (same ? 0 : i));
                m.add(r[1], run[i], r.size() > 3 ? std::u16string(1, u) : u"");
            }
        }
    }
    return m;
}

// The charsets of charsets/sweeps.tsv in order.
std::vector<std::string> swept() {
    std::vector<std::string> names;
    for (const auto& r : test::read_rows("charsets/sweeps.tsv", 2))
        if (names.empty() || names.back() != r[0]) names.push_back(r[0]);
    return names;
}

class CharsetSweep : public test::EncodingsTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(CharsetSweep, EveryInputAndEveryUnitAsTheModelSays) {
    const Model m = model(GetParam());
    const uint32_t et = encoding_type(GetParam());
    ASSERT_NE(et, 0u);
    int faults = 0;
    for (const std::string& in : m.inputs) {
        std::u16string out;
        const auto want = m.decode.find(in);
        const int r = encoding_to_unicode(et, in, out);
        if ((want != m.decode.end() ? r == 1 && out == want->second : r == 0 && out.empty()) || ++faults > 10) continue;
        ADD_FAILURE() << show_bytes(in) << " gives " << r << " " << show(out);
    }
    for (unsigned u = 1; u <= 0xFFFF; ++u) {
        std::string out;
        const auto want = m.encode.find(static_cast<char16_t>(u));
        const int r = unicode_to_encoding(et, std::u16string(1, static_cast<char16_t>(u)), out);
        if ((want != m.encode.end() ? r == 1 && out == want->second : r == 0 && out.empty()) || ++faults > 10) continue;
        ADD_FAILURE() << "U+" << std::hex << u << " gives " << r << " " << show_bytes(out);
    }
    EXPECT_EQ(faults, 0);
    // The characters of more than one byte that encode back to their code,
    // in runs of 2000 (within the 2049-unit limit of "jis"): a run decodes as
    // one text and encodes back to it, to the very bytes unless an escape
    // switches sets.
    std::vector<std::pair<std::string, std::u16string>> runs(1);
    for (const auto& [code, units] : m.decode) {
        const auto back = m.encode.find(units[0]);
        if (code.size() < 2 || units.size() != 1 || back == m.encode.end() || back->second != code) continue;
        if (runs.back().second.size() == 2000) runs.emplace_back();
        runs.back().first += code;
        runs.back().second += units;
    }
    for (const auto& [bytes, units] : runs) {
        std::u16string decoded, again;
        std::string encoded;
        if (units.empty()) continue;
        EXPECT_EQ(encoding_to_unicode(et, bytes, decoded), 1);
        EXPECT_TRUE(decoded == units);
        EXPECT_EQ(unicode_to_encoding(et, units, encoded), 1);
        EXPECT_EQ(encoding_to_unicode(et, encoded, again), 1);
        EXPECT_TRUE(again == units);
        if (bytes.find('\x1B') == std::string::npos) { EXPECT_TRUE(encoded == bytes); }
    }
}

INSTANTIATE_TEST_SUITE_P(All, CharsetSweep, ::testing::ValuesIn(swept()), [](const auto& info) {
    std::string n = info.param;
    for (char& c : n)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    return n;
});

// Random bytes and units through every charset: a failure leaves nothing; a
// decoded text has no more units than bytes ("tab" and "tam" count what
// they wrote) and encodes back to a text that decodes to it (not "jis",
// where bytes from 0x80 lose their top bit, nor Tamil or Vietnamese, whose
// forms are not unique); encoded text decodes back up to the first zero.
TEST_F(Charset, RandomInputNeverFaultsAndRoundTrips) {
    std::mt19937 rng(20240611);
    const char16_t bases[] = {0, 0x4E00, 0x0B80, 0xFF00, 0};
    const unsigned spans[] = {0x80, 0x5200, 0x80, 0x100, 0x10000};
    for (uint32_t et = encoding_type("Big5"); et <= encoding_count(); ++et) {
        const std::string name = find_encoding_by_type(et)->name;
        SCOPED_TRACE(name);
        const bool counts = name == "tab" || name == "tam", unique = !counts && name != "jis" && name != "vni" && name != "TCVN3";
        for (int round = 0; round < 400; ++round) {
            std::string bytes(rng() % 64, '\0'), back;
            for (char& c : bytes) c = static_cast<char>(round % 3 ? 1 + rng() % 255 : (rng() % 2 ? 0x1B : 0x21 + rng() % 0x5E));
            if (round % 3 == 0 && bytes.size() > 3) bytes.replace(0, 3, round % 2 ? "\x1B$B" : "\x1B(I");
            std::u16string units, again, text(rng() % 64, u'a');
            int r = encoding_to_unicode(et, bytes, units);
            EXPECT_TRUE(r == 0 ? units.empty() : counts ? r == static_cast<int>(units.size()) : units.size() <= bytes.size());
            if (r != 0 && unique && unicode_to_encoding(et, units, back) == 1) {
                EXPECT_EQ(encoding_to_unicode(et, back, again), 1);
                EXPECT_TRUE(again == units) << show_bytes(bytes);
            }
            for (char16_t& u : text) {
                const unsigned k = rng() % 5;
                u = static_cast<char16_t>(bases[k] + rng() % spans[k]);
            }
            std::string enc;
            r = unicode_to_encoding(et, text, enc);
            EXPECT_TRUE(r == 0 ? enc.empty() : !counts || r == static_cast<int>(enc.size()));
            const std::u16string body = text.substr(0, text.find(u'\0'));
            if (r == 0 || counts) continue;
            EXPECT_LE(enc.size(), body.size() * (name == "jis" ? 6 : 2));
            if (encoding_to_unicode(et, enc, again) == 1 && name != "vni" && name != "TCVN3") { EXPECT_TRUE(again == body) << show(text); }
        }
        // Tamil has no one-to-one model (its syllables are "rt" rows): every
        // glyph byte alone fails or gives one to four units of the Tamil block
        // or ASCII, and "tab" keeps ASCII below 0x7F.  "tab" has 42 bytes that
        // are no glyph; "tam" 15 in its lower half, 7 in the upper.
        size_t glyphs = 0;
        for (unsigned b = 1; counts && b <= 0xFF; ++b) {
            std::u16string out;
            const int n = encoding_to_unicode(et, one(b), out);
            EXPECT_TRUE(static_cast<size_t>(n) == out.size() && n <= 4) << b;
            glyphs += n != 0;
            for (char16_t u : out) EXPECT_TRUE(u < 0x80 || (u >= 0x0B00 && u <= 0x0BFF)) << b;
            if (name == "tab" && b < 0x7F) { EXPECT_EQ(out, std::u16string(1, static_cast<char16_t>(b))); }
        }
        if (counts) { EXPECT_EQ(glyphs, name == "tab" ? 255u - 42u : 255u - 22u); }
    }
}

}  // namespace
}  // namespace nessel
