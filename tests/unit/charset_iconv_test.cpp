// SPDX-License-Identifier: MIT
// tests/unit/charset_iconv_test.cpp: the charsets against the C library's
// iconv(3) (tests/vectors/charsets/iconv.tsv).  Every single byte (single-byte
// charsets, TCVN3's one-byte letters) and every double-byte position (CJK)
// is decoded by both; they must agree except at the listed positions, where our tables deliberately
// differ, and each listed position must really differ, so that the lists
// cannot go stale.
#include <gtest/gtest.h>
#include <iconv.h>

#include <set>
#include <sstream>

#include "codecs/codecs.h"
#include "data/viet.h"
#include "encoding/encoding.h"
#include "test_support.h"
#include "vectors.h"

namespace nessel {
namespace {

// What iconv decodes the input to when that is one UTF-16 unit (held state
// flushed), else -1.
int iconv_unit(iconv_t cd, const std::string& in) {
    char out[16];
    char* ip = const_cast<char*>(in.data());
    char* op = out;
    size_t il = in.size(), ol = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0 ||
        iconv(cd, nullptr, nullptr, &op, &ol) == static_cast<size_t>(-1) || ol != sizeof out - 2)
        return -1;
    return (out[0] & 0xFF) | (out[1] & 0xFF) << 8;
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
        const iconv_t cd = iconv_open("UTF-16LE", c.iconv_name.c_str());
        ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
        const uint32_t et = encoding_type(c.name);
        std::set<unsigned> differs;
        for (unsigned code : c.swept) {
            const std::string bytes = c.prefix + code_bytes(code);
            std::u16string ours;
            const bool one = encoding_to_unicode(et, bytes, ours) && ours.size() == 1 && ours[0] != 0xFFFD;
            if ((one ? ours[0] : -1) != iconv_unit(cd, bytes)) differs.insert(code);
        }
        iconv_close(cd);
        EXPECT_EQ(differs, c.differs);
    }
}

}  // namespace
}  // namespace nessel
