// SPDX-License-Identifier: MIT
// tests/unit/charset_test.cpp: every charset.  The registry and conversion
// rows through the dispatch and the registered converters; every byte (and
// double-byte code) and every BMP unit of each charset against a model (the
// golden CJK, single-byte and ISCII maps, the Thai and Vietnamese
// layouts); whole CJK tables round-trip; random input never faults.
#include <cstring>
#include <map>
#include <random>
#include <set>

#include "api/lifecycle.h"
#include "codecs/codecs.h"
#include "data/viet.h"
#include "encoding/enc_common.h"
#include "encoding/encoding.h"
#include "nessel.h"
#include "test_support.h"
#include "vectors.h"

namespace nessel {
namespace {

using test::B;
using test::show;
using test::show_bytes;
using test::U;

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
    }
    EXPECT_EQ(str2enctype(nullptr), 0u);
    EXPECT_EQ(find_encoding_by_type(0), nullptr);
    EXPECT_EQ(find_encoding_by_type(55), nullptr);
    // Names of one charset share its converters.
    for (auto [a, b] : {std::pair{"gb", "GBK"}, {"sjis", "Shift_JIS"}, {"euc", "EUC-JP"}, {"ksc", "EUC-KR"}}) {
        EXPECT_EQ(find_encoding(a)->to_unicode, find_encoding(b)->to_unicode) << a;
        EXPECT_EQ(find_encoding(a)->from_unicode, find_encoding(b)->from_unicode) << a;
    }
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

TEST_F(Charset, ExportsEmptyTheDestinationOnFailure) {
    nessel_unit units[8];
    char bytes[8];
    const nessel_unit src[] = {'a', 0}, mixed[] = {'a', 'b', 0xE9, 'c', 0}, wide[] = {0x4E2D, 'A', 0};
    // Unknown enctypes, "ascii" stopping at U+00E9, null pointers: failures
    // that leave an empty text, never faults.
    for (uint32_t t : {0u, 55u, 1000u, 1u}) {
        units[0] = 7;
        std::memset(bytes, 'z', sizeof bytes);
        EXPECT_EQ(encoding2unicode(t, t == 1 ? nullptr : "abc", units), 0) << t;
        EXPECT_EQ(unicode2encoding(t, t == 1 ? mixed : src, bytes), 0) << t;
        EXPECT_TRUE(units[0] == 0 && bytes[0] == 0) << t;
    }
    EXPECT_EQ(encoding2unicode(1, "a", nullptr) + unicode2encoding(1, nullptr, bytes) + unicode2encoding(1, mixed, nullptr), 0);
    // "none" writes zero bytes: the export copies the whole result.
    EXPECT_EQ(unicode2encoding(2, wide, bytes), 1);
    EXPECT_EQ(std::string(bytes, 5), std::string("\x4E\x2D\0A\0", 5));
}

// A golden mapping file (CODE<TAB>UNIT in hex): code -> unit, no unit twice.
using Golden = std::map<unsigned, char16_t>;
const Golden& golden(const std::string& name) {
    static std::map<std::string, Golden> cache;
    Golden& g = cache[name];
    std::set<char16_t> units;
    for (const auto& r : g.empty() ? test::read_rows("../golden/" + name + ".map", 2) : std::vector<test::Row>{}) {
        const auto u = static_cast<char16_t>(std::stoul(r[1], nullptr, 16));
        g[std::stoul(r[0], nullptr, 16)] = u;
        if (!units.insert(u).second) throw std::runtime_error(r.where + ": a unit twice");
    }
    return g;
}

std::string pair(unsigned code) { return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}; }
std::string one(unsigned b) { return std::string(1, static_cast<char>(b)); }

// One charset: the inputs swept, what each decodes to (inputs not in the map
// must fail) and what each BMP unit encodes to (units not in the map must
// fail).
struct Model {
    std::string name;
    std::vector<std::string> inputs;
    std::map<std::string, std::u16string> decode;
    std::map<char16_t, std::string> encode;
};

// Every byte alone, and every pair with the given lead bytes.
Model sweep(const std::string& name, unsigned lead_lo = 1, unsigned lead_hi = 0, unsigned skip_lo = 1, unsigned skip_hi = 0) {
    Model m{name, {}, {}, {}};
    for (unsigned b = 1; b < 256; ++b) {
        m.inputs.push_back(one(b));
        if (b >= lead_lo && b <= lead_hi && !(b >= skip_lo && b <= skip_hi))
            for (unsigned t = 1; t < 256; ++t) m.inputs.push_back(one(b) + one(t));
    }
    return m;
}

// Both ways, the lowest code of a unit winning on encoding.
void map_both(Model& m, const std::string& bytes, char16_t u) {
    m.decode[bytes] = std::u16string(1, u);
    if (!m.encode.count(u) || bytes < m.encode[u]) m.encode[u] = bytes;
}

void add_golden(Model& m, const char* table, const std::string& prefix = "", unsigned mask = 0xFFFF) {
    for (auto [code, u] : golden(table)) map_both(m, prefix + pair(code & mask), u);
}

// A golden single-byte map from a second source (BYTE UNIT both|decode):
// each byte decodes to its unit, a "both" unit encodes to its byte.
void add_charmap(Model& m) {
    for (const auto& r : test::read_rows("../golden/charmaps/" + m.name + ".map", 3)) {
        const std::string b = one(std::stoul(r[0], nullptr, 16));
        m.decode[b] = std::u16string(1, static_cast<char16_t>(std::stoul(r[1], nullptr, 16)));
        if (r[2] == "both") m.encode[m.decode[b][0]] = b;
    }
}

// The charsets swept, and the model of one.
const std::vector<std::string> kSwept = {
    "Big5",     "GBK",      "Shift_JIS", "EUC-KR",  "EUC-JP",  "jis",        "iso8859-1", "iso8859-2", "iso8859-3",
    "iso8859-4", "iso8859-5", "iso8859-6", "iso8859-7", "iso8859-8", "iso8859-9", "cp1250", "cp1251", "cp1252",
    "cp1253",   "cp1254",   "cp1255",    "cp1256",  "cp1257",  "cp1258",     "iso8859-11", "tsc", "vni",
    "TCVN3",    "dev",      "tlg",       "knd"};

Model model(const std::string& want) {
    // Stateless double-byte charsets: ASCII bytes that stand alone, golden
    // pairs, halfwidth katakana as single bytes in Shift_JIS.
    const struct { const char* name; const char* table; unsigned lo, hi; bool kana; } dbcs[] = {
        {"Big5", "big5", 0x21, 0x7E, false}, {"GBK", "gbk", 0x20, 0x7E, false},
        {"Shift_JIS", "sjis", 0x21, 0x7E, true}, {"EUC-KR", "ksc", 0x01, 0x7F, false}};
    for (const auto& d : dbcs) {
        if (d.name != want) continue;
        Model m = sweep(d.name, 0x80, 0xFF, d.kana ? 0xA1 : 1, d.kana ? 0xDF : 0);
        add_golden(m, d.table);
        for (unsigned b = d.lo; b <= d.hi; ++b) map_both(m, one(b), static_cast<char16_t>(b));
        for (unsigned b = 1; b <= (d.kana ? 0x7E : 0x7F); ++b) m.encode[static_cast<char16_t>(b)] = one(b);
        for (unsigned b = 0xA1; d.kana && b <= 0xDF; ++b) map_both(m, one(b), static_cast<char16_t>(0xFF61 + b - 0xA1));
        return m;
    }
    // EUC-JP: JIS X 0208 pairs from 0xA1, single shift 2 for katakana.
    Model jp{"EUC-JP", {}, {}, {}}, jis{"jis", {}, {}, {}};
    if (want == "EUC-JP") {
        for (unsigned c = 0xA1A1; c <= 0xFEFE; ++c)
            if ((c & 0xFF) >= 0xA1 && (c & 0xFF) <= 0xFE) jp.inputs.push_back(pair(c));
        add_golden(jp, "eucjp");
        for (unsigned b = 0x21; b <= 0x7E; ++b) jp.encode[static_cast<char16_t>(b)] = one(b);
        for (unsigned b = 0xA1; b <= 0xDF; ++b) {
            jp.inputs.push_back("\x8E" + one(b));
            map_both(jp, "\x8E" + one(b), static_cast<char16_t>(0xFF61 + b - 0xA1));
        }
        return jp;
    }
    // "jis": the 0208 pairs are EUC-JP's without their top bits; in 0212 a
    // position inside the table without a character gives U+FFFD.  The
    // encoder prefers ASCII, then the katakana set, then 0212, then 0208.
    if (want == "jis") {
        add_golden(jis, "eucjp", "\x1B$B", 0x7F7F);
        for (unsigned c = 0x2121; c <= 0x7E7E; ++c)
            if ((c & 0xFF) >= 0x21 && (c & 0xFF) <= 0x7E) {
                jis.inputs.push_back("\x1B$B" + pair(c));
                jis.inputs.push_back("\x1B$(D" + pair(c));
                if (c >= 0x222F && c <= 0x6D63) jis.decode["\x1B$(D" + pair(c)] = u"\xFFFD";
            }
        for (auto [code, u] : golden("jisx0212")) {
            jis.decode["\x1B$(D" + pair(code)] = std::u16string(1, u);
            jis.encode[u] = "\x1B$(D" + pair(code);
        }
        for (unsigned u = 1; u <= 0xFF; ++u)
            if (u <= 0x7F || u <= 0xA0 || u >= 0xE0) jis.encode[static_cast<char16_t>(u)] = (u > 0x7F ? "\x1B(I" : "") + one(u);
        for (unsigned b = 0xA1; b <= 0xDF; ++b) jis.encode[static_cast<char16_t>(0xFF61 + b - 0xA1)] = "\x1B(I" + one(b);
        return jis;
    }
    if ((want.starts_with("iso8859-") && want != "iso8859-11") || want.starts_with("cp125")) {
        Model m = sweep(want);
        add_charmap(m);
        return m;
    }
    if (want == "iso8859-11" || want == "tsc") {
        Model m = sweep(want);
        for (unsigned b = 1; b < 256; ++b) map_both(m, one(b), static_cast<char16_t>(b < 0xA0 ? b : 0x0E00 + b - 0xA0));
        return m;
    }
    // Vietnamese: a letter record of one or two bytes, else the byte itself
    // (units up to U+00FF); each record also three times over.
    if (want == "vni" || want == "TCVN3") {
        const uint8_t* col = want == "vni" ? data::viet_vni : data::viet_tcvn3;
        Model m = sweep(want);
        for (unsigned b = 1; b < 256; ++b) map_both(m, one(b), static_cast<char16_t>(b));
        for (unsigned i = 0; i < data::viet_records; ++i) {
            const std::string bytes = one(col[2 * i]) + (col[2 * i + 1] ? one(col[2 * i + 1]) : "");
            const char16_t u = data::viet_ucs[i];
            m.encode[u] = bytes;
            if (bytes.size() == 1) m.decode[bytes] = std::u16string(1, u);
            m.inputs.push_back(bytes + bytes + bytes);
            m.decode[bytes + bytes + bytes] = std::u16string(3, u);
        }
        if (want == "TCVN3") add_charmap(m);
        return m;
    }
    // ISCII: the golden map of byte sequences and units (BYTES UNITS
    // both|decode|encode; "-" units: decoding fails).
    Model m = sweep(want);
    for (const auto& r : test::read_rows("../golden/iscii/" + want + ".map", 3)) {
        std::string bytes;
        std::u16string units;
        for (size_t i = 0; i < r[0].size(); i += 2) bytes += one(std::stoul(r[0].substr(i, 2), nullptr, 16));
        for (size_t i = 0; r[1] != "-" && i < r[1].size(); i += 5) units += static_cast<char16_t>(std::stoul(r[1].substr(i, 4), nullptr, 16));
        if (r[2] != "encode" && bytes.size() > 1) m.inputs.push_back(bytes);
        if (r[2] != "encode" && !units.empty()) m.decode[bytes] = units;
        if (r[2] != "decode") m.encode[units[0]] = bytes;
    }
    return m;
}

class CharsetSweep : public test::EncodingsTest, public ::testing::WithParamInterface<std::string> {};
class Charsets : public test::EncodingsTest {};

TEST_P(CharsetSweep, EveryInputAndEveryUnitAsTheModelSays) {
    const Model m = model(GetParam());
    const uint32_t et = encoding_type(m.name);
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
}

INSTANTIATE_TEST_SUITE_P(All, CharsetSweep, ::testing::ValuesIn(kSwept), [](const auto& info) {
    std::string n = info.param;
    for (char& c : n)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    return n;
});

// Each whole CJK table as one text decodes to every character in order and
// encodes back to the same bytes ("jis" in runs within its 2049-unit limit).
TEST_F(Charsets, WholeCjkTablesRoundTrip) {
    const std::pair<const char*, const char*> rows[] = {{"Big5", "big5"}, {"GBK", "gbk"}, {"Shift_JIS", "sjis"},
                                                        {"EUC-JP", "eucjp"}, {"EUC-KR", "ksc"}, {"jis", "jisx0212"}};
    for (auto [name, table] : rows) {
        SCOPED_TRACE(name);
        const uint32_t et = encoding_type(name);
        const bool jis = std::string(name) == "jis";
        std::string bytes;
        std::u16string units;
        for (auto [code, u] : golden(table)) {
            // 815F and A1C0 give U+005C, which encodes as the byte 0x5C.
            if (u == 0x5C && (std::string(table) == "sjis" || std::string(table) == "eucjp")) continue;
            if (jis && units.size() % 2000 == 0) bytes += "\x1B$(D";
            bytes += pair(code);
            units.push_back(u);
        }
        std::u16string decoded;
        ASSERT_EQ(encoding_to_unicode(et, bytes, decoded), 1);
        EXPECT_TRUE(decoded == units);
        std::string encoded;
        for (size_t at = 0; at < units.size(); at += 2000) {
            std::string part;
            std::u16string again;
            ASSERT_EQ(unicode_to_encoding(et, units.substr(at, 2000), part), 1);
            ASSERT_EQ(encoding_to_unicode(et, part, again), 1);
            EXPECT_TRUE(again == units.substr(at, 2000));
            encoded += part;
        }
        if (!jis) { EXPECT_TRUE(encoded == bytes); }
    }
}

// Random bytes and units through every charset: a failure leaves nothing; a
// decoded text has no more units than bytes ("tab" and "tam" count what
// they wrote) and encodes back to a text that decodes to it (not "jis",
// where bytes from 0x80 lose their top bit, nor Tamil or Vietnamese, whose
// forms are not unique); encoded text decodes back up to the first zero.
TEST_F(Charsets, RandomInputNeverFaultsAndRoundTrips) {
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
    }
}

// Tamil has no one-to-one model (its syllables are "rt" rows): every glyph
// byte alone fails or gives one to four units of the Tamil block or ASCII,
// and "tab" keeps ASCII below 0x7F.
TEST_F(Charsets, TamilGlyphBytes) {
    for (const char* name : {"tab", "tam"}) {
        const uint32_t et = encoding_type(name);
        size_t valid = 0;
        for (unsigned b = 1; b <= 0xFF; ++b) {
            std::u16string out;
            const int n = encoding_to_unicode(et, one(b), out);
            EXPECT_EQ(static_cast<size_t>(n), out.size());
            valid += n != 0;
            EXPECT_LE(n, 4);
            for (char16_t u : out) EXPECT_TRUE(u < 0x80 || (u >= 0x0B00 && u <= 0x0BFF)) << name << " " << b;
            if (std::string(name) == "tab" && b < 0x7F) { EXPECT_EQ(out, std::u16string(1, static_cast<char16_t>(b))); }
        }
        // "tab": 42 bytes are no glyph; "tam": 15 in its lower half, 7 in the upper.
        EXPECT_EQ(valid, std::string(name) == "tab" ? 255u - 42u : 255u - 22u) << name;
    }
}

}  // namespace
}  // namespace nessel
