// SPDX-License-Identifier: MIT
// tests/api/ext_api_test.cpp: the length-taking exports against the
// zero-terminated ones on the same texts: the same result, a buffer one
// element short refused with the length needed and left as it was, and
// missing pointers and inner zeros refused.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "nessel.hpp"
#include "nessel_ext.h"

namespace {

using Call = std::function<uint32_t(void* out, size_t cap, size_t* len)>;
struct Case {
    const char* what;
    Call ext;
    std::string expected;  // the export's result, as bytes
    uint32_t too_small;    // the code for a buffer too small
    uint32_t no_length;    // the code for a null output_len
};

const nessel_unit* u(const char16_t* s) { return reinterpret_cast<const nessel_unit*>(s); }
std::string bytes_of(const nessel_unit* s) {
    size_t n = 0;
    while (s[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(s), 2 * n);
}

TEST(ExtExports, AgreeWithTheExportsAndReportTheRoomNeeded) {
    nessel::library lib;
    ASSERT_TRUE(lib) << lib.status().name();
    const char16_t* name = u"b\u00FCcher.de";
    const char16_t* prep = u"B\u00FCcher.DE";
    const char16_t* text = u"\u4E2D\u6587";
    // Tamil byte 0xFF decodes to four units: more units than bytes.
    const std::string gbk = "\xD6\xD0\xCE\xC4", utf8 = "\xE4\xB8\xAD\xE6\x96\x87", tam = "\xFF\xFF\xFF";
    const uint32_t kGbk = str2enctype("gbk"), kUtf8 = str2enctype("utf8"), kNcr = str2enctype("NCR");
    nessel_unit units[1024] = {};
    char narrow[1024] = {};
    char codec[256];
    std::vector<Case> cases;
    ASSERT_EQ(NamePrep_U("UTF-8", u(name), units, sizeof units, codec, sizeof codec, 0), 0u);
    cases.push_back({"to_ace", [&](void* o, size_t c, size_t* n) {
        return nessel_to_ace_n("UTF-8", u(name), 9, static_cast<nessel_unit*>(o), c, n, codec, 256);
    }, bytes_of(units), NESSEL_ERR_CONVERSION, NESSEL_ERR_ARGUMENT});
    ASSERT_EQ(AceToUnicode("amc-z", "xn--bcher-kva.de", units, 0), 0u);
    cases.push_back({"to_unicode", [&](void* o, size_t c, size_t* n) {
        return nessel_to_unicode_n("AMC-Z", "xn--bcher-kva.de", 16, static_cast<nessel_unit*>(o), c, n);
    }, bytes_of(units), NESSEL_ERR_CONVERSION, NESSEL_ERR_ARGUMENT});
    ASSERT_EQ(talvex_name_prep_u(u(prep), units, 1024, 0xA5), 0u);
    cases.push_back({"nameprep", [&](void* o, size_t c, size_t* n) {
        return nessel_nameprep_n(u(prep), 9, static_cast<nessel_unit*>(o), c, n, 0xA5);
    }, bytes_of(units), PREP_ERR_NORMALIZE_FAILED, PREP_ERR_PROHIBITED});
    for (const auto& [type, in] : {std::pair{kGbk, gbk}, std::pair{kUtf8, utf8}, std::pair{str2enctype("tam"), tam}}) {
        ASSERT_NE(encoding2unicode(type, in.c_str(), units), 0);
        cases.push_back({"decode", [&, type = type, in = in](void* o, size_t c, size_t* n) {
            return nessel_decode_n(type, in.data(), in.size(), static_cast<nessel_unit*>(o), c, n);
        }, bytes_of(units), NESSEL_ERR_CONVERSION, NESSEL_ERR_ARGUMENT});
    }
    for (uint32_t type : {kGbk, kNcr}) {
        ASSERT_NE(unicode2encoding(type, u(text), narrow), 0);
        cases.push_back({"encode", [&, type](void* o, size_t c, size_t* n) {
            return nessel_encode_n(type, u(text), 2, static_cast<char*>(o), c, n);
        }, narrow, NESSEL_ERR_CONVERSION, NESSEL_ERR_ARGUMENT});
    }
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        const size_t unit = std::string(k.what) == "encode" ? 1 : 2;
        char out[4096], canary[4096];
        std::memset(canary, 0x5A, sizeof canary);
        size_t n = 7;
        std::memcpy(out, canary, sizeof out);
        ASSERT_EQ(k.ext(out, sizeof out / unit, &n), 0u);
        EXPECT_EQ(std::string(out, n * unit), k.expected);
        const size_t need = n;
        std::memcpy(out, canary, sizeof out);
        EXPECT_EQ(k.ext(out, need - 1, &n), k.too_small);
        EXPECT_EQ(n, need);
        EXPECT_EQ(std::memcmp(out, canary, sizeof out), 0);
        EXPECT_EQ(k.ext(nullptr, 0, &n), k.too_small);
        EXPECT_EQ(k.ext(out, sizeof out / unit, nullptr), k.no_length);
        EXPECT_EQ(k.ext(nullptr, 8, &n), k.no_length);
    }
    // Inner zeros, unknown enctypes, an empty text.
    size_t n = 7;
    EXPECT_EQ(nessel_to_ace_n("UTF-8", u(u"a\0b.de"), 6, units, 1024, &n, nullptr, 0), NESSEL_ERR_CONVERSION);
    EXPECT_EQ(nessel_nameprep_n(u(u"a\0b"), 3, units, 1024, &n, 0xA5), NESSEL_ERR_CONVERSION);
    EXPECT_EQ(nessel_to_unicode_n("amc-z", "xn--a\0", 6, units, 1024, &n), NESSEL_ERR_ACE_DECODE);
    EXPECT_EQ(nessel_decode_n(kGbk, "a\0b", 3, units, 1024, &n), NESSEL_ERR_ACE_DECODE);
    EXPECT_EQ(nessel_encode_n(kGbk, u(u"a\0b"), 3, narrow, 1024, &n), NESSEL_ERR_CONVERSION);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(nessel_decode_n(99, "a", 1, units, 1024, &n), NESSEL_ERR_NO_CODEC);
    EXPECT_EQ(nessel_encode_n(99, u(u"a"), 1, narrow, 1024, &n), NESSEL_ERR_NO_TARGET);
    EXPECT_EQ(nessel_to_unicode_n("punycode", "xn--a", 5, units, 1024, &n), NESSEL_ERR_ARGUMENT);
    EXPECT_EQ(nessel_encode_n(kGbk, nullptr, 0, nullptr, 0, &n), NESSEL_OK);
    EXPECT_EQ(n, 0u);
}

}  // namespace
