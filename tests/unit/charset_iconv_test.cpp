// SPDX-License-Identifier: MIT
// tests/unit/charset_iconv_test.cpp: the charsets against the C library's
// iconv(3).  Every single byte (single-byte charsets, TCVN3's one-byte
// letters) and every double-byte position (CJK) is decoded by both; they
// must agree except at the listed positions, where our tables deliberately
// differ, and each listed position must really differ, so that the lists
// cannot go stale.  Then iconv must encode each CJK character we decode back
// to its code.
#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <set>

#include "data/viet.h"
#include "encoding/encoding.h"
#include "test_support.h"

namespace nessel {
namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    // The whole input converted (held state flushed), or nothing when iconv
    // refuses any of it.
    std::optional<std::string> run(const std::string& in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out(in.size() * 4 + 16, '\0');
        char* ip = const_cast<char*>(in.data());
        char* op = out.data();
        size_t il = in.size(), ol = out.size();
        if (iconv(cd_, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0) return std::nullopt;
        if (iconv(cd_, nullptr, nullptr, &op, &ol) == static_cast<size_t>(-1)) return std::nullopt;
        out.resize(out.size() - ol);
        return out;
    }

private:
    iconv_t cd_;
};

std::optional<char16_t> one_unit(const std::optional<std::string>& le) {
    if (!le || le->size() != 2) return std::nullopt;
    return static_cast<char16_t>(((*le)[0] & 0xFF) | ((*le)[1] & 0xFF) << 8);
}

std::set<unsigned> range(unsigned a, unsigned b, std::set<unsigned> s = {}) {
    for (unsigned i = a; i <= b; ++i) s.insert(i);
    return s;
}

struct Case {
    const char* name;
    const char* iconv_name;
    std::string prefix;           // escape sequence in front of each code
    std::vector<unsigned> codes;  // codes swept: bytes, or lead << 8 | trail
    std::set<unsigned> differs;   // where we deliberately differ
};

std::vector<unsigned> codes_in(unsigned lead_lo, unsigned lead_hi, unsigned trail_lo, unsigned trail_hi,
                               bool (*keep)(unsigned) = nullptr) {
    std::vector<unsigned> out;
    for (unsigned l = lead_lo; l <= lead_hi; ++l)
        for (unsigned t = trail_lo; t <= trail_hi; ++t)
            if (!keep || keep(l << 8 | t)) out.push_back(l << 8 | t);
    return out;
}

std::vector<Case> cases() {
    const std::vector<unsigned> bytes = codes_in(0, 0, 1, 0xFF);
    // Single-byte tables: older editions, no euro sign, own values at
    // unassigned positions.
    std::vector<Case> v = {
        {"iso8859-1", "ISO-8859-1", "", bytes, {}},
        {"iso8859-2", "ISO-8859-2", "", bytes, {}},
        {"iso8859-3", "ISO-8859-3", "", bytes, {0xA5, 0xAE, 0xBE, 0xC3, 0xD0, 0xE3, 0xF0}},
        {"iso8859-4", "ISO-8859-4", "", bytes, {}},
        {"iso8859-5", "ISO-8859-5", "", bytes, {}},
        {"iso8859-6", "ISO-8859-6", "", bytes,
         range(0x30, 0x39, range(0xA1, 0xA3, range(0xA5, 0xAB, range(0xAE, 0xBA, range(0xBC, 0xBE,
               range(0xDB, 0xDF, range(0xF3, 0xFF, {0xC0})))))))},
        {"iso8859-7", "ISO-8859-7", "", bytes, {0xA1, 0xA2, 0xA4, 0xA5, 0xAA, 0xAE, 0xD2, 0xFF}},
        {"iso8859-8", "ISO-8859-8", "", bytes, range(0xBF, 0xDE, range(0xFB, 0xFF, {0xA1, 0xAF}))},
        {"iso8859-9", "ISO-8859-9", "", bytes, {}},
        {"iso8859-11", "ISO-8859-11", "", bytes, {0xA0, 0xDB, 0xDC, 0xDD, 0xDE, 0xFC, 0xFD, 0xFE, 0xFF}},
        {"cp1250", "CP1250", "", bytes, {0x80, 0x81, 0x83, 0x88, 0x90, 0x98}},
        {"cp1251", "CP1251", "", bytes, {0x88, 0x98}},
        {"cp1252", "CP1252", "", bytes, {0x80, 0x81, 0x8D, 0x8E, 0x8F, 0x90, 0x9D, 0x9E}},
        {"cp1253", "CP1253", "", bytes,
         range(0x8C, 0x90, range(0x9C, 0x9F, {0x80, 0x81, 0x88, 0x8A, 0x98, 0x9A, 0xAA, 0xD2, 0xFF}))},
        {"cp1254", "CP1254", "", bytes, range(0x8D, 0x90, {0x80, 0x81, 0x9D, 0x9E})},
        {"cp1255", "CP1255", "", bytes,
         range(0x8C, 0x90, range(0x9C, 0x9F, range(0xD7, 0xDF, {0x80, 0x81, 0x8A, 0x9A, 0xAA, 0xBA, 0xCA, 0xFB, 0xFC, 0xFF})))},
        {"cp1256", "CP1256", "", bytes, {0x80, 0x8A, 0x8F, 0x98, 0x9A, 0x9F, 0xAA, 0xC0, 0xFF}},
        {"cp1257", "CP1257", "", bytes, {0x80, 0x81, 0x83, 0x88, 0x8A, 0x8C, 0x90, 0x98, 0x9A, 0x9C, 0x9F, 0xA1, 0xA5}},
        {"cp1258", "CP1258", "", bytes, range(0x8D, 0x90, {0x80, 0x81, 0x8A, 0x9A, 0x9D, 0x9E, 0xCC, 0xEC})},
    };
    // TCVN3: the one-byte letters only (a byte that is no letter is itself).
    std::vector<unsigned> tcvn;
    for (unsigned i = 0; i < data::viet_records; ++i)
        if (data::viet_tcvn3[2 * i + 1] == 0) tcvn.push_back(data::viet_tcvn3[2 * i]);
    v.push_back({"TCVN3", "TCVN5712-1", "", tcvn, {}});
    // Big5: symbol mappings of our table, positions without a character in
    // it, U+5F5E at C255 (U+5F5D there), and the ETEN block C6A1..C8FE that
    // iconv fills with private-use characters.
    std::set<unsigned> big5 = {0xA145, 0xA14E, 0xA1C2, 0xA1E3, 0xA1F2, 0xA1F3, 0xA241, 0xA242, 0xA244,
                               0xA246, 0xA247, 0xA15A, 0xA1C3, 0xA1C5, 0xA1FE, 0xA240, 0xA2CC, 0xA2CE,
                               0xA3E1, 0xC255};
    auto big5_trail = [](unsigned c) { return ((c & 0xFF) >= 0x40 && (c & 0xFF) <= 0x7E) || (c & 0xFF) >= 0xA1; };
    for (unsigned c : codes_in(0xC6, 0xC8, 0x40, 0xFE))
        if (c >= 0xC6A1 && big5_trail(c)) big5.insert(c);
    v.push_back({"Big5", "BIG5", "",
                 codes_in(0xA1, 0xF9, 0x40, 0xFE, [](unsigned c) {
                     return (((c & 0xFF) >= 0x40 && (c & 0xFF) <= 0x7E) || (c & 0xFF) >= 0xA1) && c <= 0xF9DC;
                 }),
                 big5});
    v.push_back({"GBK", "GBK", "", codes_in(0x81, 0xFE, 0x40, 0xFE), {}});
    v.push_back({"Shift_JIS", "SJIS", "",
                 codes_in(0x81, 0xEA, 0x40, 0xFC, [](unsigned c) { return (c >> 8) < 0xA0 || (c >> 8) >= 0xE0; }),
                 {0x815F}});  // U+005C here, U+FF3C there
    v.push_back({"EUC-JP", "EUC-JP", "", codes_in(0xA1, 0xFE, 0xA1, 0xFE), {0xA1C0}});  // likewise
    v.push_back({"jis", "ISO-2022-JP", "\x1B$B", codes_in(0x21, 0x7E, 0x21, 0x7E), {0x2140}});
    v.push_back({"jis", "ISO-2022-JP-2", "\x1B$(D",
                 codes_in(0x22, 0x6D, 0x21, 0x7E, [](unsigned c) { return c >= 0x222F && c <= 0x6D63; }),
                 {0x2237}});  // U+007E here, U+FF5E there
    v.push_back({"EUC-KR", "CP949", "", codes_in(0x81, 0xFD, 0x41, 0xFE), {0xA2E6, 0xA2E7}});  // later additions
    return v;
}

std::string code_bytes(unsigned code) {
    return code > 0xFF ? std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}
                       : std::string(1, static_cast<char>(code));
}

class CharsetIconv : public test::EncodingsTest {};

TEST_F(CharsetIconv, DecodersAgreeExceptListedDeviations) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(std::string(c.name) + " " + c.iconv_name);
        Iconv ic("UTF-16LE", c.iconv_name);
        ASSERT_TRUE(ic.ok());
        const uint32_t et = encoding_type(c.name);
        std::set<unsigned> differs;
        for (unsigned code : c.codes) {
            const std::string bytes = c.prefix + code_bytes(code);
            std::u16string ours;
            std::optional<char16_t> mine;
            if (encoding_to_unicode(et, bytes, ours) && ours.size() == 1 && ours[0] != 0xFFFD) mine = ours[0];
            if (mine != one_unit(ic.run(bytes))) differs.insert(code);
        }
        EXPECT_EQ(differs, c.differs);
    }
}

TEST_F(CharsetIconv, IconvEncodesOurCjkCharactersToTheSameCode) {
    for (const Case& c : cases()) {
        if (c.codes.size() < 256) continue;  // the single-byte charsets
        SCOPED_TRACE(std::string(c.name) + " " + c.iconv_name);
        Iconv ic(c.iconv_name, "UTF-16LE");
        ASSERT_TRUE(ic.ok());
        int unexpected = 0;
        for (unsigned code : c.codes) {
            std::u16string ours;
            const std::string mine = c.prefix + code_bytes(code);
            if (c.differs.count(code) || !encoding_to_unicode(encoding_type(c.name), mine, ours) || ours.size() != 1 ||
                ours[0] == 0xFFFD)
                continue;
            std::optional<std::string> theirs = ic.run({static_cast<char>(ours[0] & 0xFF), static_cast<char>(ours[0] >> 8)});
            // iconv ends ISO-2022 text with a return to ASCII; we do not.
            if (theirs && !c.prefix.empty() && theirs->ends_with("\x1B(B")) theirs->resize(theirs->size() - 3);
            if (!(theirs && *theirs == mine) && ++unexpected < 10) ADD_FAILURE() << std::hex << code;
        }
        EXPECT_EQ(unexpected, 0);
    }
}

}  // namespace
}  // namespace nessel
