// SPDX-License-Identifier: MIT
// tests/unit/enc_cjk_test.cpp: the CJK converters' examples and edge cases
// (tests/vectors/cjk/examples.tsv), their registration, the generated tables'
// sizes and stated entries, repetition, and the limits they enforce.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <vector>

#include "data/big5.h"
#include "data/gbk.h"
#include "data/jisx0212.h"
#include "data/ksc.h"
#include "data/sjis.h"
#include "encoding/charsets.h"
#include "codecs/codecs.h"
#include "nessel.h"
#include "test_support.h"

namespace nessel {
namespace {

using test::B;
using test::show;
using test::show_bytes;
using test::U;

class CjkTest : public test::EncodingsTest {
protected:
    static void TearDownTestSuite() { free_encodings(); }

    static const EncodingEntry& entry(const std::string& name) {
        const EncodingEntry* e = find_encoding(name);
        if (e == nullptr) throw std::runtime_error("not registered: " + name);
        return *e;
    }
};

std::vector<std::string> split_tabs(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream ss(line);
    std::string field;
    while (std::getline(ss, field, '\t')) out.push_back(field);
    return out;
}

TEST_F(CjkTest, ExamplesFromVectorFile) {
    std::ifstream in(std::string(NESSEL_SOURCE_DIR) + "/tests/vectors/cjk/examples.tsv");
    ASSERT_TRUE(in);
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        auto f = split_tabs(line);
        ASSERT_GE(f.size(), 5u) << line;
        SCOPED_TRACE(line);
        ++rows;
        const EncodingEntry& e = entry(f[0]);
        std::string input = f[2] == "-" ? "" : f[2];
        std::string expected = f[3] == "-" ? "" : f[3];
        int rc = std::stoi(f[4]);
        if (f[1] == "dec") {
            std::u16string out = u"stale";
            EXPECT_EQ(e.to_unicode(B(input), out), rc);
            EXPECT_EQ(show(out), show(U(expected)));
        } else {
            ASSERT_EQ(f[1], "enc");
            std::string out = "stale";
            EXPECT_EQ(e.from_unicode(U(input), out), rc);
            EXPECT_EQ(show_bytes(out), show_bytes(B(expected)));
        }
    }
    EXPECT_GT(rows, 100);
}

TEST_F(CjkTest, TenNamesInOrderSharingSixPairs) {
    const char* names[] = {"Big5", "gb", "GBK", "sjis", "Shift_JIS", "euc", "EUC-JP", "jis", "ksc", "EUC-KR"};
    uint32_t first = encoding_type("Big5");
    ASSERT_EQ(first, 18u);
    for (uint32_t i = 0; i < 10; ++i) EXPECT_EQ(encoding_type(names[i]), first + i) << names[i];
    EXPECT_EQ(encoding_type("big5"), first);
    EXPECT_EQ(encoding_type("shift_jis"), first + 4);
    EXPECT_EQ(encoding_type("EUC-kr"), first + 9);
    const std::pair<const char*, const char*> shared[] = {{"gb", "GBK"}, {"sjis", "Shift_JIS"}, {"euc", "EUC-JP"}, {"ksc", "EUC-KR"}};
    for (auto [a, b] : shared) {
        EXPECT_EQ(entry(a).to_unicode, entry(b).to_unicode) << a;
        EXPECT_EQ(entry(a).from_unicode, entry(b).from_unicode) << a;
    }
    // Through the dispatch: a failure leaves an empty result.
    std::u16string out;
    EXPECT_EQ(encoding_to_unicode(first, B("\\xA4\\x40\\xA1\\xC3"), out), 0);
    EXPECT_TRUE(out.empty());
}

struct TableFacts {
    const char* name;
    const uint16_t* table;
    size_t size;
    size_t stated_size;
    int chars;
    int stated_chars;
};

TEST(CjkTables, SizesCountsAndNoCodePointTwice) {
    const TableFacts facts[] = {
        {"big5", data::big5_to_ucs, std::size(data::big5_to_ucs), 13939, data::big5_char_count, 13461},
        {"gbk", data::gbk_to_ucs, std::size(data::gbk_to_ucs), 32016, data::gbk_char_count, 21791},
        {"sjis", data::sjis_to_ucs, std::size(data::sjis_to_ucs), 0xEAA4 - 0x8140 + 1, data::sjis_char_count, 6879},
        {"ksc", data::ksc_to_ucs, std::size(data::ksc_to_ucs), 31936, data::ksc_char_count, 17046},
        {"jisx0212", data::jisx0212_to_ucs, std::size(data::jisx0212_to_ucs), 0x6D63 - 0x222F + 1,
         data::jisx0212_char_count, 6067},
    };
    for (const auto& f : facts) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(f.size, f.stated_size);
        EXPECT_EQ(f.chars, f.stated_chars);
        std::set<uint16_t> seen;
        int chars = 0;
        for (size_t i = 0; i < f.size; ++i) {
            if (f.table[i] == 0xFFFD) continue;
            ++chars;
            EXPECT_TRUE(seen.insert(f.table[i]).second) << "U+" << std::hex << f.table[i] << " twice";
        }
        EXPECT_EQ(chars, f.stated_chars);
    }
}

// Stated entries and holes, read straight from the tables by index.
TEST(CjkTables, StatedEntries) {
    auto big5 = [](unsigned code) {
        unsigned t = code & 0xFF;
        return data::big5_to_ucs[((code >> 8) - 0xA1) * 157 + (t <= 0x7E ? t - 0x40 : t - 0x62)];
    };
    const std::pair<unsigned, uint16_t> big5_rows[] = {
        {0xA140, 0x3000}, {0xA145, 0x2022}, {0xA14E, 0xFF64}, {0xA1C2, 0x203E}, {0xA1E3, 0x223C},
        {0xA1F2, 0x2641}, {0xA1F3, 0x2609}, {0xA241, 0xFF0F}, {0xA242, 0xFF3C}, {0xA244, 0x00A5},
        {0xA246, 0x00A2}, {0xA247, 0x00A3}, {0xC255, 0x5F5E}, {0xF9D6, 0x7881}, {0xF9DC, 0x5AFA},
        {0xA15A, 0xFFFD}, {0xA1C3, 0xFFFD}, {0xA1C5, 0xFFFD}, {0xA1FE, 0xFFFD}, {0xA240, 0xFFFD},
        {0xA2CC, 0xFFFD}, {0xA2CE, 0xFFFD}, {0xA3E1, 0xFFFD}, {0xC6A1, 0xFFFD}, {0xC8FE, 0xFFFD},
    };
    for (auto [code, u] : big5_rows) EXPECT_EQ(big5(code), u) << std::hex << code;
    for (unsigned code = 0xC6A1; code <= 0xC8FE; ++code) {
        unsigned t = code & 0xFF;
        if ((t >= 0x40 && t <= 0x7E) || (t >= 0xA1 && t <= 0xFE)) {
            EXPECT_EQ(big5(code), 0xFFFD) << std::hex << code;
        }
    }
    const std::pair<unsigned, uint16_t> sjis_rows[] = {
        {0x815F, 0x005C}, {0x8160, 0x301C}, {0x8161, 0x2016}, {0x817C, 0x2212},
        {0x8191, 0x00A2}, {0x8192, 0x00A3}, {0x81CA, 0x00AC}, {0x82A0, 0x3042},
    };
    for (auto [code, u] : sjis_rows) EXPECT_EQ(data::sjis_to_ucs[code - 0x8140], u) << std::hex << code;
    for (unsigned code = 0x8740; code <= 0x879F; ++code) EXPECT_EQ(data::sjis_to_ucs[code - 0x8140], 0xFFFD);
    EXPECT_EQ(data::gbk_to_ucs[0xB0A1 - 0x8140], 0x554A);
    EXPECT_EQ(data::gbk_to_ucs[0xFE4F - 0x8140], 0xFA29);
    EXPECT_EQ(data::ksc_to_ucs[0xA1A1 - 0x8140], 0x3000);
    EXPECT_EQ(data::ksc_to_ucs[0xB0A1 - 0x8140], 0xAC00);
    EXPECT_EQ(data::ksc_to_ucs[0x8141 - 0x8140], 0xAC02);
    EXPECT_EQ(data::ksc_to_ucs[0xA2E6 - 0x8140], 0xFFFD);
    EXPECT_EQ(data::ksc_to_ucs[0xA2E7 - 0x8140], 0xFFFD);
    EXPECT_EQ(data::jisx0212_to_ucs[0], 0x02D8);
    EXPECT_EQ(data::jisx0212_to_ucs[0x2237 - 0x222F], 0x007E);
}

// Decoding the bytes repeated n times gives the units repeated n times, and
// the units encode back to bytes that decode to them again: catches state
// carried from one character to the next.
TEST_F(CjkTest, RepetitionKeepsNoState) {
    struct Row {
        const char* enc;
        const char* bytes;
        const char* units;
        bool bytes_repeat;  // the encoding of the repeated text is the repeated bytes
    };
    const Row rows[] = {
        {"Big5", "a\\xA4\\x40\\xF9\\xD6", "U+0061 U+4E00 U+7881", true},
        {"gb", "\\xB0\\xA1 z", "U+554A U+0020 U+007A", true},
        {"sjis", "\\x82\\xA0\\xB1q", "U+3042 U+FF71 U+0071", true},
        {"euc", "\\xA4\\xA2\\x8E\\xB1q", "U+3042 U+FF71 U+0071", true},
        {"ksc", "\\xB0\\xA1\\x81\\x41\\x0A", "U+AC00 U+AC02 U+000A", true},
        {"jis", "a\\x1B$B\\x24\\x22\\x1B(I\\xB1\\x1B$(D\\x22\\x2F\\x1B(Bb", "U+0061 U+3042 U+FF71 U+02D8 U+0062", true},
        {"jis", "\\x1B$B\\x24\\x22", "U+3042", false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.enc) + " " + r.bytes);
        const EncodingEntry& e = entry(r.enc);
        for (int n : {0, 1, 2, 10}) {
            std::string bytes;
            std::u16string units;
            for (int i = 0; i < n; ++i) {
                bytes += B(r.bytes);
                units += U(r.units);
            }
            std::u16string decoded;
            EXPECT_EQ(e.to_unicode(bytes, decoded), 1);
            EXPECT_EQ(show(decoded), show(units)) << n;
            std::string encoded;
            EXPECT_EQ(e.from_unicode(units, encoded), 1);
            if (r.bytes_repeat) {
                EXPECT_EQ(show_bytes(encoded), show_bytes(bytes)) << n;
            }
            std::u16string again;
            EXPECT_EQ(e.to_unicode(encoded, again), 1);
            EXPECT_EQ(show(again), show(units)) << n;
        }
    }
}

// Through the C exports, with destinations of exactly the room callers are
// told to provide (one unit per byte; two bytes per unit, six for "jis"):
// nothing is written past it.
TEST_F(CjkTest, ExportsStayWithinTheDocumentedRoom) {
    struct Row {
        const char* enc;
        const char* bytes;
        const char* units;
    };
    const Row rows[] = {
        {"Big5", "a\\xA4\\x40", "U+0061 U+4E00"},
        {"GBK", "\\xB0\\xA1 ", "U+554A U+0020"},
        {"Shift_JIS", "\\xB1\\x82\\xA0", "U+FF71 U+3042"},
        {"EUC-JP", "\\x8E\\xB1\\xA4\\xA2", "U+FF71 U+3042"},
        {"EUC-JP", "\\x82", ""},  // would be two units from one byte
        {"jis", "\\x1B$(D\\x22\\x2F\\x1B$B\\x24\\x22", "U+02D8 U+3042"},
        {"EUC-KR", "\\x81\\x41\\x01", "U+AC02 U+0001"},
    };
    constexpr nessel_unit kCanary = 0xBEEF;
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.enc) + " " + r.bytes);
        uint32_t type = str2enctype(r.enc);
        ASSERT_NE(type, 0u);
        std::string bytes = B(r.bytes);
        std::u16string units = U(r.units);
        std::vector<nessel_unit> wide(bytes.size() + 1 + 8, kCanary);
        int rc = encoding2unicode(type, bytes.c_str(), wide.data());
        EXPECT_EQ(rc != 0, !units.empty());
        for (size_t i = bytes.size() + 1; i < wide.size(); ++i) EXPECT_EQ(wide[i], kCanary) << i;
        if (units.empty()) continue;
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(wide.data())), units);
        size_t per_unit = std::string(r.enc) == "jis" ? 6 : 2;
        std::vector<char> narrow(units.size() * per_unit + 1 + 8, '\x5A');
        std::vector<nessel_unit> in(units.begin(), units.end());
        in.push_back(0);
        EXPECT_EQ(unicode2encoding(type, in.data(), narrow.data()), 1);
        for (size_t i = units.size() * per_unit + 1; i < narrow.size(); ++i) EXPECT_EQ(narrow[i], '\x5A') << i;
        std::u16string back;
        EXPECT_EQ(encoding_to_unicode(type, narrow.data(), back), 1);
        EXPECT_EQ(back, units);
    }
}

// The text ends at a zero, as the zero-terminated strings of the C API do.
TEST_F(CjkTest, ZeroEndsTheText) {
    for (const char* name : {"Big5", "gb", "sjis", "euc", "jis", "ksc"}) {
        SCOPED_TRACE(name);
        std::u16string out;
        EXPECT_EQ(entry(name).to_unicode(std::string("ab\0\xFF", 4), out), 1);
        EXPECT_EQ(out, u"ab");
        std::string bytes;
        EXPECT_EQ(entry(name).from_unicode(std::u16string(u"ab\0\xFFFD", 4), bytes), 1);
        EXPECT_EQ(bytes, "ab");
    }
}

// One "jis" run may decode to at most 2049 units; a longer run is refused
// whatever its set, and the limit applies to each run on its own.
TEST_F(CjkTest, JisRunLimit) {
    const auto& jis = entry("jis");
    struct Row {
        std::string text;
        int rc;
    };
    std::string kanji_2049, kanji_2050;
    for (int i = 0; i < 2049; ++i) kanji_2049 += "\x24\x22";
    kanji_2050 = kanji_2049 + "\x24\x22";
    const Row rows[] = {
        {std::string(2049, 'a'), 1},
        {std::string(2050, 'a'), 0},
        {"\x1B(B" + std::string(2049, 'a'), 1},
        {"\x1B$B" + kanji_2049, 1},
        {"\x1B$B" + kanji_2050, 0},
        {"\x1B$B" + kanji_2049 + "\x1B(B" + std::string(2049, 'a'), 1},
        {"\x1B(I" + std::string(2050, '\xB1'), 0},
    };
    for (const auto& r : rows) {
        std::u16string out;
        EXPECT_EQ(jis.to_unicode(r.text, out), r.rc) << r.text.size();
        if (r.rc == 0) {
            EXPECT_TRUE(out.empty());
        } else {
            EXPECT_GE(out.size(), 2049u);
        }
    }
    // The encoder has no run limit: its output decodes only when each run fits.
    std::string long_ascii;
    EXPECT_EQ(jis.from_unicode(std::u16string(3000, u'a'), long_ascii), 1);
    EXPECT_EQ(long_ascii, std::string(3000, 'a'));
}

// Every escape the decoder meets either switches sets or fails at once; an
// unknown one never loops and never leaks ESC into the output.
TEST_F(CjkTest, JisUnknownEscapesFail) {
    const auto& jis = entry("jis");
    for (int c1 = 0; c1 < 256; ++c1) {
        for (int c2 : {0x40, 0x42, 0x44, 0x48, 0x49, 0x4A, 0x28, 0x1B, 0x41}) {
            std::string text = std::string("x\x1B") + char(c1) + char(c2);
            std::u16string out;
            int rc = jis.to_unicode(text, out);
            bool known = (c1 == '$' && (c2 == '@' || c2 == 'B')) || (c1 == '(' && (c2 == 'B' || c2 == 'J' || c2 == 'H' || c2 == 'I'));
            EXPECT_EQ(rc, known ? 1 : 0) << c1 << " " << c2;
            EXPECT_EQ(out.find(u'\x1B'), std::u16string::npos);
        }
    }
}

}  // namespace
}  // namespace nessel
