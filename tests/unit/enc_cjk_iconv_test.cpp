// SPDX-License-Identifier: MIT
// tests/unit/enc_cjk_iconv_test.cpp: differential test of the CJK converters
// against the C library's iconv(3).  Every double-byte position is decoded
// by both; they must agree except at the listed positions, where our tables
// deliberately differ (and each listed position must really differ, so the
// lists cannot go stale).  Then iconv must encode every character we decode
// back to its code.
#include <gtest/gtest.h>
#include <iconv.h>

#include <functional>
#include <optional>
#include <set>

#include "encoding/charsets.h"
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

    // The whole input converted, or nothing when iconv refuses any of it.
    std::optional<std::string> run(const std::string& in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out(in.size() * 4 + 16, '\0');
        char* ip = const_cast<char*>(in.data());
        size_t il = in.size();
        char* op = out.data();
        size_t ol = out.size();
        if (iconv(cd_, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0) return std::nullopt;
        if (iconv(cd_, nullptr, nullptr, &op, &ol) == static_cast<size_t>(-1)) return std::nullopt;
        out.resize(out.size() - ol);
        return out;
    }

private:
    iconv_t cd_;
};

std::optional<char16_t> one_unit(const std::optional<std::string>& utf16le) {
    if (!utf16le || utf16le->size() != 2) return std::nullopt;
    return static_cast<char16_t>(static_cast<unsigned char>((*utf16le)[0]) |
                                 static_cast<unsigned char>((*utf16le)[1]) << 8);
}

std::string pair_bytes(unsigned code) {
    return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

struct Case {
    const char* name;
    const char* iconv_name;
    ToUnicodeFn to;
    std::string prefix;             // escape sequence in front of each pair
    std::vector<unsigned> codes;    // positions swept
    std::set<unsigned> deviations;  // positions where we deliberately differ
};

std::vector<unsigned> codes_in(unsigned lead_lo, unsigned lead_hi, unsigned trail_lo, unsigned trail_hi,
                               const std::function<bool(unsigned)>& keep = nullptr) {
    std::vector<unsigned> out;
    for (unsigned l = lead_lo; l <= lead_hi; ++l)
        for (unsigned t = trail_lo; t <= trail_hi; ++t)
            if (!keep || keep(l << 8 | t)) out.push_back(l << 8 | t);
    return out;
}

std::vector<Case> cases() {
    std::set<unsigned> big5_dev = {
        // symbol mappings of our table
        0xA145, 0xA14E, 0xA1C2, 0xA1E3, 0xA1F2, 0xA1F3, 0xA241, 0xA242, 0xA244, 0xA246, 0xA247,
        // positions without a character in our table
        0xA15A, 0xA1C3, 0xA1C5, 0xA1FE, 0xA240, 0xA2CC, 0xA2CE, 0xA3E1,
        0xC255,  // U+5F5E here, U+5F5D there
    };
    // iconv fills the ETEN block C6A1..C8FE with private-use characters.
    for (unsigned c : codes_in(0xC6, 0xC8, 0x40, 0xFE)) {
        unsigned t = c & 0xFF;
        if (c >= 0xC6A1 && ((t >= 0x40 && t <= 0x7E) || t >= 0xA1)) big5_dev.insert(c);
    }
    auto big5_trail = [](unsigned c) {
        unsigned t = c & 0xFF;
        return ((t >= 0x40 && t <= 0x7E) || t >= 0xA1) && c <= 0xF9DC;
    };
    return {
        {"Big5", "BIG5", big5_to_unicode, "", codes_in(0xA1, 0xF9, 0x40, 0xFE, big5_trail), big5_dev},
        {"GBK", "GBK", gbk_to_unicode, "", codes_in(0x81, 0xFE, 0x40, 0xFE), {}},
        {"Shift_JIS", "SJIS", sjis_to_unicode, "",
         codes_in(0x81, 0xEA, 0x40, 0xFC, [](unsigned c) { return (c >> 8) < 0xA0 || (c >> 8) >= 0xE0; }),
         {0x815F}},  // U+005C here, U+FF3C there
        {"EUC-JP", "EUC-JP", eucjp_to_unicode, "", codes_in(0xA1, 0xFE, 0xA1, 0xFE),
         {0xA1C0}},  // the same character
        {"jis 0208", "ISO-2022-JP", jis_to_unicode, "\x1B$B", codes_in(0x21, 0x7E, 0x21, 0x7E),
         {0x2140}},  // the same character
        {"jis 0212", "ISO-2022-JP-2", jis_to_unicode, "\x1B$(D",
         codes_in(0x22, 0x6D, 0x21, 0x7E, [](unsigned c) { return c >= 0x222F && c <= 0x6D63; }),
         {0x2237}},  // U+007E here, U+FF5E there
        {"EUC-KR", "CP949", ksc_to_unicode, "", codes_in(0x81, 0xFD, 0x41, 0xFE),
         {0xA2E6, 0xA2E7}},  // euro and registered signs, later additions
    };
}

TEST(CjkIconv, DecodersAgreeExceptListedDeviations) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        Iconv ic("UTF-16LE", c.iconv_name);
        ASSERT_TRUE(ic.ok());
        int unexpected = 0;
        std::set<unsigned> seen_dev;
        size_t compared = 0;
        for (unsigned code : c.codes) {
            std::string bytes = c.prefix + pair_bytes(code);
            std::u16string ours;
            std::optional<char16_t> mine;
            if (c.to(bytes, ours) && ours.size() == 1 && ours[0] != 0xFFFD) mine = ours[0];
            std::optional<char16_t> theirs = one_unit(ic.run(bytes));
            if (mine) ++compared;
            if (mine == theirs) continue;
            if (c.deviations.count(code)) {
                seen_dev.insert(code);
                continue;
            }
            if (++unexpected < 10) {
                ADD_FAILURE() << std::hex << code << ": ours " << (mine ? int(*mine) : -1) << ", iconv "
                              << (theirs ? int(*theirs) : -1);
            }
        }
        EXPECT_EQ(unexpected, 0);
        EXPECT_EQ(seen_dev.size(), c.deviations.size()) << "a listed deviation no longer differs";
        EXPECT_GT(compared, 6000u);
    }
}

TEST(CjkIconv, IconvEncodesOurCharactersToTheSameCode) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        Iconv ic(c.iconv_name, "UTF-16LE");
        ASSERT_TRUE(ic.ok());
        int unexpected = 0;
        for (unsigned code : c.codes) {
            if (c.deviations.count(code)) continue;
            std::u16string ours;
            if (!c.to(c.prefix + pair_bytes(code), ours) || ours.size() != 1 || ours[0] == 0xFFFD) continue;
            std::string mine = c.prefix + pair_bytes(code);
            std::string in{static_cast<char>(ours[0] & 0xFF), static_cast<char>(ours[0] >> 8)};
            std::optional<std::string> theirs = ic.run(in);
            // iconv ends ISO-2022 text with a return to ASCII; we do not.
            if (theirs && !c.prefix.empty() && theirs->ends_with("\x1B(B")) theirs->resize(theirs->size() - 3);
            if (theirs && *theirs == mine) continue;
            if (++unexpected < 10) ADD_FAILURE() << std::hex << code << ": " << test::show_bytes(mine);
        }
        EXPECT_EQ(unexpected, 0);
    }
}

}  // namespace
}  // namespace nessel
