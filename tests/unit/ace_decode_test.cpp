// SPDX-License-Identifier: MIT
// AceToUnicode and AceToNative: the accepted codec names, every result code
// with the output it leaves, the 1023-unit limit of the intermediate text,
// and decoding with the prefix settings the last forward conversion left.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ace/convert.h"
#include "api/lifecycle.h"
#include "base/result_codes.h"
#include "domain/ace_decode.h"
#include "codecs/codecs.h"
#include "nessel.h"
#include "test_support.h"
#include "zone_fixture.h"

using namespace nessel;
using nessel::test::install_zones;
using nessel::test::utf16;

namespace {

constexpr nessel_unit kMark = 0xAAAA;

struct UDecoded {
    uint32_t code;
    std::u16string text;
};

UDecoded to_unicode(const char* codec, const char* ace) {
    std::vector<nessel_unit> out(4096, kMark);
    UDecoded d;
    d.code = AceToUnicode(codec, ace, out.data(), 0);
    for (nessel_unit u : out) {
        if (u == 0 || u == kMark) break;
        d.text.push_back(static_cast<char16_t>(u));
    }
    return d;
}

struct NDecoded {
    uint32_t code;
    std::string bytes;
    bool untouched;
};

NDecoded to_native(const char* codec, const char* ace, const char* target) {
    std::string out(4096, '\x55');
    NDecoded d;
    d.code = AceToNative(codec, ace, out.data(), target, 0);
    d.untouched = out == std::string(4096, '\x55');
    d.bytes = out.c_str();
    return d;
}

class AceDecode : public test::ZoneTest {};

}  // namespace

TEST_F(AceDecode, AcceptedCodecNames) {
    struct Case {
        const char* codec;
        bool accepted;
    } cases[] = {
        {"race", true},   {"RACE", true},      {"Race", true},   {"lace", true},
        {"racex", true},  {"dude", true},      {"DudeX", true},  {"amc-z", true},
        {"AMC-Z", true},  {"punycode", false}, {"PUNYCODE", false}, {"utf5", false},
        {"utf8", false},  {"cidnuc", false},   {"rawace", false}, {"NCR", false},
        {"", false},      {"race ", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ace_codec_accepted(c.codec), c.accepted) << c.codec;
        if (!c.accepted) {
            EXPECT_EQ(to_unicode(c.codec, "abc").code, kErrArgument) << c.codec;
            const NDecoded n = to_native(c.codec, "abc", "ascii");
            EXPECT_EQ(n.code, kErrArgument) << c.codec;
            EXPECT_TRUE(n.untouched) << c.codec;
        }
    }
    EXPECT_EQ(AceToUnicode(nullptr, "abc", nullptr, 0), kErrArgument);
    EXPECT_EQ(AceToNative(nullptr, "abc", nullptr, "ascii", 0), kErrArgument);
    // Any letter case decodes alike.
    for (const char* codec : {"race", "RACE", "Race"}) {
        const UDecoded d = to_unicode(codec, "abc.ra--abrpyy3imvza");
        EXPECT_EQ(d.code, kOk) << codec;
        EXPECT_EQ(d.text, utf16("abc.bücher")) << codec;
    }
    const UDecoded d = to_unicode("AMC-Z", "xn--bcher-kva.de");
    EXPECT_EQ(d.code, kOk);
    EXPECT_EQ(d.text, utf16("bücher.de"));
}

TEST_F(AceDecode, ResultCodes) {
    // 102: the target encoding is not registered ("utf-8" is not a name of
    // the registry; "utf8" is an ACE transfer form).
    NDecoded n = to_native("race", "ra--ad6a", "utf-8");
    EXPECT_EQ(n.code, kErrNoTarget);
    EXPECT_TRUE(n.untouched);
    // 201: the text does not decode; AceToNative leaves output untouched,
    // AceToUnicode holds what the decoder left (an emptied first unit).
    n = to_native("race", "ra--abc", "ascii");
    EXPECT_EQ(n.code, kErrAceDecode);
    EXPECT_TRUE(n.untouched);
    UDecoded u = to_unicode("race", "ra--abc");
    EXPECT_EQ(u.code, kErrAceDecode);
    EXPECT_TRUE(u.text.empty());
    // 202: no form in the target; "ascii" keeps what came before the first
    // unit it cannot write.
    n = to_native("race", "abc.ra--ad6a", "ascii");
    EXPECT_EQ(n.code, kErrTargetEncode);
    EXPECT_EQ(n.bytes, "abc.");
    // 0 into a native encoding.
    n = to_native("amc-z", "xn--bcher-kva.de", "iso8859-1");
    if (find_encoding("iso8859-1") != nullptr) {
        EXPECT_EQ(n.code, kOk);
        EXPECT_EQ(n.bytes, "b\xFC" "cher.de");
    }
    // Null text or output make the converters fail.
    EXPECT_EQ(AceToNative("race", nullptr, n.bytes.data(), "ascii", 0), kErrAceDecode);
    EXPECT_EQ(AceToNative("race", "abc", nullptr, "ascii", 0), kErrTargetEncode);
    nessel_unit out[8];
    EXPECT_EQ(AceToUnicode("race", nullptr, out, 0), kErrAceDecode);
    EXPECT_EQ(AceToUnicode("race", "abc", nullptr, 0), kErrAceDecode);
}

TEST_F(AceDecode, Big5Target) {
    if (find_encoding("Big5") == nullptr) GTEST_SKIP() << "Big5 not registered";
    std::string expected;
    ASSERT_EQ(unicode_to_encoding(encoding_type("Big5"), utf16("中文.tw"), expected), 1);
    const NDecoded n = to_native("AMC-Z", "xn--fiq228c.tw", "Big5");
    EXPECT_EQ(n.code, kOk);
    EXPECT_EQ(n.bytes, expected);
}

TEST_F(AceDecode, IntermediateTextLimit) {
    // ASCII labels decode unchanged: 1023 units fit, 1024 do not.
    auto labels = [](size_t total) {
        std::string s;
        while (s.size() < total) {
            if (!s.empty()) s += '.';
            s += std::string(std::min<size_t>(60, total - s.size()), 'a');
        }
        return s;
    };
    const std::string fits = labels(1023), over = labels(1024);
    ASSERT_EQ(fits.size(), 1023u);
    ASSERT_EQ(over.size(), 1024u);
    EXPECT_EQ(to_native("race", fits.c_str(), "ascii").code, kOk);
    const NDecoded n = to_native("race", over.c_str(), "ascii");
    EXPECT_EQ(n.code, kErrAceDecode);
    EXPECT_TRUE(n.untouched);
}

TEST_F(AceDecode, NoCodecAfterShutdown) {
    // After DeinitSDK the registry is empty: accepted names are not found.
    nessel_unit out[16];
    char bytes[16];
    ASSERT_EQ(DeinitSDK(), kErrNotLoaded);
    EXPECT_EQ(AceToUnicode("race", "abc", out, 0), kErrNoCodec);
    EXPECT_EQ(AceToNative("amc-z", "abc", bytes, "ascii", 0), kErrNoCodec);
    ASSERT_EQ(register_all_encodings(), 1);  // init_once does not run twice
    EXPECT_EQ(AceToNative("amc-z", "abc", bytes, "ascii", 0), kOk);
}

TEST_F(AceDecode, PrefixLeftByTheLastForwardConversion) {
    // A conversion under a zone that gives RACE the prefix "zq--" leaves it
    // in force: decoding reads "zq--" labels and copies "ra--" labels.
    install_zones({{".zz", "race", "zq--"}});
    std::vector<nessel_unit> in = {0xFC, '.', 'z', 'z', 0}, out(64, 0);
    ASSERT_EQ(NamePrep_U("UTF-8", in.data(), out.data(), 128, nullptr, 0, 0), kOk);
    EXPECT_EQ(narrow(std::u16string(out.begin(), out.begin() + 11)), "zq--ad6a.zz");
    UDecoded d = to_unicode("race", "zq--ad6a.zz");
    EXPECT_EQ(d.code, kOk);
    EXPECT_EQ(d.text, utf16("ü.zz"));
    d = to_unicode("RACE", "ra--ad6a.zz");
    EXPECT_EQ(d.code, kOk);
    EXPECT_EQ(d.text, u"ra--ad6a.zz");
    // The same under LACE, when it is registered.
    if (find_encoding("lace") != nullptr) {
        install_zones({{".zz", "lace", "lz--"}});
        ASSERT_EQ(NamePrep_U("UTF-8", in.data(), out.data(), 128, nullptr, 0, 0), kOk);
        d = to_unicode("lace", "lq--abc.lq--xyz");
        EXPECT_EQ(d.code, kOk);
        EXPECT_EQ(d.text, u"lq--abc.lq--xyz");
    }
}

TEST_F(AceDecode, PlainAsciiLabelsUnderEveryCodec) {
    for (const char* codec : {"race", "lace", "racex", "dude", "dudex", "amc-z"}) {
        if (find_encoding(codec) == nullptr) continue;
        const UDecoded d = to_unicode(codec, "www.example-1.zz");
        EXPECT_EQ(d.code, kOk) << codec;
        EXPECT_EQ(d.text, u"www.example-1.zz") << codec;
    }
}
