// SPDX-License-Identifier: MIT
// tests/unit/charset_sweep_test.cpp: every charset swept against a reference
// model: every single byte (and every double-byte code) decodes to what the
// model says or fails, and every BMP unit encodes to the model's bytes or
// fails.  The CJK models are the golden mapping files (tests/golden/*.map,
// written from Python's codecs), the Indic model is the ISCII layout written
// out here, the single-byte and Vietnamese models are the tables the
// iconv differential test checks.  Then whole tables round-trip, and random
// input through every charset never faults.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <random>

#include "data/viet.h"
#include "encoding/charsets.h"
#include "encoding/enc_common.h"
#include "encoding/encoding.h"
#include "test_support.h"

namespace nessel {
namespace {

using test::show;
using test::show_bytes;

struct Golden {
    std::map<unsigned, char16_t> to_ucs;    // code -> unit
    std::map<char16_t, unsigned> from_ucs;  // unit -> lowest code
};

const Golden& golden(const std::string& name) {
    static std::map<std::string, Golden> cache;
    if (auto it = cache.find(name); it != cache.end()) return it->second;
    std::ifstream in(std::string(NESSEL_SOURCE_DIR) + "/tests/golden/" + name + ".map");
    if (!in) throw std::runtime_error("missing golden file " + name);
    Golden& g = cache[name];
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const size_t tab = line.find('\t');
        const unsigned code = std::stoul(line.substr(0, tab), nullptr, 16);
        const auto u = static_cast<char16_t>(std::stoul(line.substr(tab + 1), nullptr, 16));
        g.to_ucs[code] = u;
        auto [it, fresh] = g.from_ucs.emplace(u, code);
        if (!fresh) throw std::runtime_error(name + ": a unit twice");
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
    for (auto [code, u] : golden(table).to_ucs) map_both(m, prefix + pair(code & mask), u);
}

std::vector<Model> models() {
    std::vector<Model> v;
    // Stateless double-byte charsets: ASCII bytes that stand alone, golden
    // pairs, halfwidth katakana as single bytes in Shift_JIS.
    const struct { const char* name; const char* table; unsigned lo, hi; bool kana; } dbcs[] = {
        {"Big5", "big5", 0x21, 0x7E, false}, {"GBK", "gbk", 0x20, 0x7E, false},
        {"Shift_JIS", "sjis", 0x21, 0x7E, true}, {"EUC-KR", "ksc", 0x01, 0x7F, false}};
    for (const auto& d : dbcs) {
        Model m = sweep(d.name, 0x80, 0xFF, d.kana ? 0xA1 : 1, d.kana ? 0xDF : 0);
        add_golden(m, d.table);
        for (unsigned b = d.lo; b <= d.hi; ++b) map_both(m, one(b), static_cast<char16_t>(b));
        for (unsigned b = 1; b <= (d.kana ? 0x7E : 0x7F); ++b) m.encode[static_cast<char16_t>(b)] = one(b);
        for (unsigned b = 0xA1; d.kana && b <= 0xDF; ++b) map_both(m, one(b), static_cast<char16_t>(0xFF61 + b - 0xA1));
        v.push_back(m);
    }
    // EUC-JP: JIS X 0208 pairs from 0xA1, single shift 2 for katakana.
    Model jp{"EUC-JP", {}, {}, {}};
    for (unsigned c = 0xA1A1; c <= 0xFEFE; ++c)
        if ((c & 0xFF) >= 0xA1 && (c & 0xFF) <= 0xFE) jp.inputs.push_back(pair(c));
    add_golden(jp, "eucjp");
    for (unsigned b = 0x21; b <= 0x7E; ++b) jp.encode[static_cast<char16_t>(b)] = one(b);
    for (unsigned b = 0xA1; b <= 0xDF; ++b) {
        jp.inputs.push_back("\x8E" + one(b));
        map_both(jp, "\x8E" + one(b), static_cast<char16_t>(0xFF61 + b - 0xA1));
    }
    v.push_back(jp);
    // "jis": the 0208 pairs are EUC-JP's without their top bits; in 0212 a
    // position inside the table without a character gives U+FFFD.  The
    // encoder prefers ASCII, then the katakana set, then 0212, then 0208.
    Model jis{"jis", {}, {}, {}};
    add_golden(jis, "eucjp", "\x1B$B", 0x7F7F);
    for (unsigned c = 0x2121; c <= 0x7E7E; ++c)
        if ((c & 0xFF) >= 0x21 && (c & 0xFF) <= 0x7E) {
            jis.inputs.push_back("\x1B$B" + pair(c));
            jis.inputs.push_back("\x1B$(D" + pair(c));
            if (c >= 0x222F && c <= 0x6D63) jis.decode["\x1B$(D" + pair(c)] = u"\xFFFD";
        }
    for (auto [code, u] : golden("jisx0212").to_ucs) {
        jis.decode["\x1B$(D" + pair(code)] = std::u16string(1, u);
        jis.encode[u] = "\x1B$(D" + pair(code);
    }
    for (unsigned u = 1; u <= 0xFF; ++u)
        if (u <= 0x7F || u <= 0xA0 || u >= 0xE0) jis.encode[static_cast<char16_t>(u)] = (u > 0x7F ? "\x1B(I" : "") + one(u);
    for (unsigned b = 0xA1; b <= 0xDF; ++b) jis.encode[static_cast<char16_t>(0xFF61 + b - 0xA1)] = "\x1B(I" + one(b);
    v.push_back(jis);
    // Single-byte tables: below the base a byte is itself.  Thai: U+0E00 +
    // (byte - 0xA0) above 0x9F.
    for (int i = 1; i <= 1258; i = i == 9 ? 1250 : i + 1) {
        const SbcsTable* t = i < 10 ? iso8859_table(i) : cp125x_table(i);
        Model m = sweep(i < 10 ? "iso8859-" + std::to_string(i) : "cp" + std::to_string(i));
        for (unsigned b = 1; b < 256; ++b) map_both(m, one(b), b < t->base ? char16_t(b) : t->to_ucs[b - t->base]);
        v.push_back(m);
    }
    for (const char* name : {"iso8859-11", "tsc"}) {
        Model m = sweep(name);
        for (unsigned b = 1; b < 256; ++b) map_both(m, one(b), static_cast<char16_t>(b < 0xA0 ? b : 0x0E00 + b - 0xA0));
        v.push_back(m);
    }
    // Vietnamese: a letter record of one or two bytes, else the byte itself
    // (units up to U+00FF); each record also three times over.
    for (auto [name, col] : {std::pair{"vni", data::viet_vni}, {"TCVN3", data::viet_tcvn3}}) {
        Model m = sweep(name);
        for (unsigned b = 1; b < 256; ++b) map_both(m, one(b), static_cast<char16_t>(b));
        for (unsigned i = 0; i < data::viet_records; ++i) {
            const std::string bytes = one(col[2 * i]) + (col[2 * i + 1] ? one(col[2 * i + 1]) : "");
            const char16_t u = data::viet_ucs[i];
            m.encode[u] = bytes;
            if (bytes.size() == 1) m.decode[bytes] = std::u16string(1, u);
            m.inputs.push_back(bytes + bytes + bytes);
            m.decode[bytes + bytes + bytes] = std::u16string(3, u);
        }
        v.push_back(m);
    }
    // ISCII: the Devanagari layout as ranges; Telugu and Kannada lack some
    // positions and sit 0x300 and 0x380 higher.
    const struct { unsigned first, last; char16_t u; } ranges[] = {
        {0xA1, 0xA3, 0x0901}, {0xA4, 0xAA, 0x0905}, {0xAB, 0xAD, 0x090E}, {0xAE, 0xAE, 0x090D},
        {0xAF, 0xB1, 0x0912}, {0xB2, 0xB2, 0x0911}, {0xB3, 0xCD, 0x0915}, {0xCE, 0xCE, 0x095F},
        {0xCF, 0xD8, 0x0930}, {0xDA, 0xDF, 0x093E}, {0xE0, 0xE2, 0x0946}, {0xE3, 0xE3, 0x0945},
        {0xE4, 0xE6, 0x094A}, {0xE7, 0xE7, 0x0949}, {0xE8, 0xE8, 0x094D}, {0xE9, 0xE9, 0x093C},
        {0xEA, 0xEA, 0x0964}, {0xF1, 0xFA, 0x0966}};
    const std::string lacks[3] = {"", "\xAE\xB2\xC7\xCE\xD3\xE3\xE7\xE9\xEA", "\xA1\xAE\xB2\xC7\xCE\xD3\xE3\xE7\xE9\xEA"};
    const char* names[3] = {"dev", "tlg", "knd"};
    for (int s = 0; s < 3; ++s) {
        Model m = sweep(names[s]);
        for (unsigned b = 1; b < 0x80; ++b) map_both(m, one(b), static_cast<char16_t>(b));
        for (const auto& r : ranges)
            for (unsigned b = r.first; b <= r.last; ++b)
                if (lacks[s].find(static_cast<char>(b)) == std::string::npos)
                    map_both(m, one(b), static_cast<char16_t>(r.u + (b - r.first) + (s == 0 ? 0 : 0x280 + 0x80 * s)));
        v.push_back(m);
    }
    return v;
}

class CharsetSweep : public test::EncodingsTest, public ::testing::WithParamInterface<Model> {};
class Charsets : public test::EncodingsTest {};

TEST_P(CharsetSweep, EveryInputAndEveryUnitAsTheModelSays) {
    const Model& m = GetParam();
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

INSTANTIATE_TEST_SUITE_P(All, CharsetSweep, ::testing::ValuesIn(models()), [](const auto& info) {
    std::string n = info.param.name;
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
        for (auto [code, u] : golden(table).to_ucs) {
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
// decoded text has no more units than bytes (the Indic scripts and Tamil
// count what they wrote) and, except for "jis", where bytes from 0x80 lose
// their top bit, encodes back to a text that decodes to it; encoded text
// decodes back to the units up to the first zero.
TEST_F(Charsets, RandomInputNeverFaultsAndRoundTrips) {
    std::mt19937 rng(20240611);
    auto random_unit = [&]() -> char16_t {
        switch (rng() % 5) {
            case 0: return static_cast<char16_t>(rng() % 0x80);
            case 1: return static_cast<char16_t>(0x4E00 + rng() % 0x5200);
            case 2: return static_cast<char16_t>(0x0B80 + rng() % 0x80);
            case 3: return static_cast<char16_t>(0xFF00 + rng() % 0x100);
            default: return static_cast<char16_t>(rng() % 0x10000);
        }
    };
    for (uint32_t et = encoding_type("Big5"); et <= encoding_count(); ++et) {
        const std::string name = find_encoding_by_type(et)->name;
        SCOPED_TRACE(name);
        const bool counts = name == "tab" || name == "tam", tamil_or_jis = counts || name == "jis";
        for (int round = 0; round < 400; ++round) {
            std::string bytes(rng() % 64, '\0');
            for (char& c : bytes) c = static_cast<char>(round % 3 ? 1 + rng() % 255 : (rng() % 2 ? 0x1B : 0x21 + rng() % 0x5E));
            if (round % 3 == 0 && bytes.size() > 3) bytes.replace(0, 3, round % 2 ? "\x1B$B" : "\x1B(I");
            std::u16string units;
            int r = encoding_to_unicode(et, bytes, units);
            if (r == 0) { EXPECT_TRUE(units.empty()); }
            if (counts) { EXPECT_EQ(static_cast<size_t>(r), units.size()); }
            else if (r != 0) { EXPECT_LE(units.size(), bytes.size()); }
            std::string back;
            const bool viet = name == "vni" || name == "TCVN3";
            if (r != 0 && !tamil_or_jis && !viet && unicode_to_encoding(et, units, back) == 1) {
                std::u16string again;
                EXPECT_EQ(encoding_to_unicode(et, back, again), 1);
                EXPECT_TRUE(again == units) << show_bytes(bytes);
            }
            std::u16string text(rng() % 64, u'a');
            for (char16_t& u : text) u = random_unit();
            std::string enc;
            r = unicode_to_encoding(et, text, enc);
            if (r == 0) { EXPECT_TRUE(enc.empty()); }
            if (counts) { EXPECT_EQ(static_cast<size_t>(r), enc.size()); }
            if (r == 0 || counts) continue;
            const std::u16string body = text.substr(0, text.find(u'\0'));
            EXPECT_LE(enc.size(), body.size() * (name == "jis" ? 6 : 2));
            std::u16string again;
            if (encoding_to_unicode(et, enc, again) == 1 && !viet) {
                EXPECT_TRUE(again == body) << show(text);
            }
        }
    }
}

// Tamil has no one-to-one model: every letter alone and with every sign (and
// the virama), and every vowel, encodes and decodes back, alone and
// repeated; every glyph byte alone fails or gives one to four units of the
// Tamil block or ASCII, and "tab" keeps ASCII below 0x7F.
TEST_F(Charsets, TamilSyllablesAndGlyphs) {
    std::vector<std::u16string> syllables;
    // The literals' terminating zero stands for "no sign".
    for (char16_t v : u"\u0B83\u0B85\u0B86\u0B87\u0B88\u0B89\u0B8A\u0B8E\u0B8F\u0B90\u0B92\u0B93")
        if (v) syllables.push_back(std::u16string(1, v));
    for (char16_t c : u"\u0B95\u0B99\u0B9A\u0B9C\u0B9E\u0B9F\u0BA3\u0BA4\u0BA8\u0BA9\u0BAA\u0BAE\u0BAF"
                      u"\u0BB0\u0BB1\u0BB2\u0BB3\u0BB4\u0BB5\u0BB7\u0BB8\u0BB9")
        for (char16_t sign : u"\u0BBE\u0BBF\u0BC0\u0BC1\u0BC2\u0BC6\u0BC7\u0BC8\u0BCA\u0BCB\u0BCC\u0BCD")
            if (c) syllables.push_back(sign ? std::u16string{c, sign} : std::u16string(1, c));
    for (const char* name : {"tab", "tam"}) {
        const uint32_t et = encoding_type(name);
        for (const auto& syl : syllables)
            for (int rep : {1, 2, 10}) {
                std::u16string text, back;
                for (int k = 0; k < rep; ++k) text += syl;
                std::string bytes;
                const int n = unicode_to_encoding(et, text, bytes);
                ASSERT_GT(n, 0) << name << " " << show(text);
                EXPECT_EQ(static_cast<size_t>(n), bytes.size());
                const int m = encoding_to_unicode(et, bytes, back);
                EXPECT_EQ(static_cast<size_t>(m), back.size());
                EXPECT_EQ(show(back), show(text)) << name << " via " << show_bytes(bytes);
            }
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
