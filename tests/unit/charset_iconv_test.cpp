// SPDX-License-Identifier: MIT
// tests/unit/charset_iconv_test.cpp: the charsets against the C library's
// iconv(3) (tests/vectors/charsets/iconv.tsv).  Every single byte (single-byte
// charsets, TCVN3's one-byte letters) and every double-byte position (CJK)
// is decoded by both; they must agree except at the listed positions, where our tables deliberately
// differ, and each listed position must really differ, so that the lists
// cannot go stale.
#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <set>
#include <sstream>

#include "data/viet.h"
#include "encoding/encoding.h"
#include "test_support.h"
#include "vectors.h"

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

// "A B-C ..." in hexadecimal.
std::set<unsigned> codes(const std::string& list) {
    std::set<unsigned> out;
    std::stringstream in(list);
    for (std::string r; in >> r;) {
        const size_t dash = r.find('-');
        const unsigned first = std::stoul(r.substr(0, dash), nullptr, 16);
        const unsigned last = dash == std::string::npos ? first : std::stoul(r.substr(dash + 1), nullptr, 16);
        for (unsigned c = first; c <= last; ++c) out.insert(c);
    }
    return out;
}

struct Case {
    std::string name, iconv_name, prefix;  // escape sequence in front of each code
    std::set<unsigned> swept, differs;
};

std::vector<Case> cases() {
    std::vector<Case> v;
    for (const auto& r : test::read_rows("charsets/iconv.tsv", 6)) {
        Case c{r[0], r[1], test::B(test::text(r[2])), {}, codes(test::text(r[5]))};
        const size_t slash = r[3].find('/');
        if (r[3] == "letters") {
            for (unsigned i = 0; i < data::viet_records; ++i)
                if (data::viet_tcvn3[2 * i + 1] == 0) c.swept.insert(data::viet_tcvn3[2 * i]);
        } else if (slash == std::string::npos) {
            c.swept = codes(r[3]);
        } else {
            const std::set<unsigned> bounds = codes(r[4] == "-" ? "0-FFFF" : r[4]);
            for (unsigned lead : codes(r[3].substr(0, slash)))
                for (unsigned trail : codes(r[3].substr(slash + 1)))
                    if (bounds.count(lead << 8 | trail)) c.swept.insert(lead << 8 | trail);
            std::erase_if(c.differs, [&](unsigned code) { return !c.swept.count(code); });
        }
        v.push_back(std::move(c));
    }
    return v;
}

std::string code_bytes(unsigned code) {
    return code > 0xFF ? std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}
                       : std::string(1, static_cast<char>(code));
}

class CharsetIconv : public test::EncodingsTest {};

TEST_F(CharsetIconv, DecodersAgreeExceptListedDeviations) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name + " " + c.iconv_name);
        Iconv ic("UTF-16LE", c.iconv_name.c_str());
        ASSERT_TRUE(ic.ok());
        const uint32_t et = encoding_type(c.name);
        std::set<unsigned> differs;
        for (unsigned code : c.swept) {
            const std::string bytes = c.prefix + code_bytes(code);
            std::u16string ours;
            std::optional<char16_t> mine;
            if (encoding_to_unicode(et, bytes, ours) && ours.size() == 1 && ours[0] != 0xFFFD) mine = ours[0];
            if (mine != one_unit(ic.run(bytes))) differs.insert(code);
        }
        EXPECT_EQ(differs, c.differs);
    }
}

}  // namespace
}  // namespace nessel
