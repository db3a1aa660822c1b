// SPDX-License-Identifier: MIT
// NamePrep_U and NamePrep through the C interface: every result with the
// state of output and codec_out it leaves, addresses, the buffer limits, and
// the fallback encodings in their order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ace/convert.h"
#include "api/lifecycle.h"
#include "base/result_codes.h"
#include "domain/to_ace.h"
#include "codecs/codecs.h"
#include "nameprep/testing.h"
#include "nessel.h"
#include "test_support.h"
#include "zone_fixture.h"

using namespace nessel;
using nessel::test::install_zones;
using nessel::test::racex_zone;
using nessel::test::utf16;

namespace {

constexpr nessel_unit kMark = 0xAAAA;

struct UResult {
    uint32_t code;
    std::u16string out;      // up to the first zero unit
    std::vector<nessel_unit> raw;
    std::string codec;
};

// Calls NamePrep_U with an output buffer of `units` units filled with kMark
// and a codec buffer holding "(none)".
UResult prep_u(std::u16string_view input, uint32_t output_size = 2048, const char* encoding = "UTF-8",
               uint32_t codec_size = 256, size_t units = 1024) {
    std::vector<nessel_unit> in(input.begin(), input.end());
    in.push_back(0);
    UResult r;
    r.raw.assign(units, kMark);
    char codec[256] = "(none)";
    r.code = NamePrep_U(encoding, in.data(), r.raw.data(), output_size, codec, codec_size, 0);
    for (nessel_unit u : r.raw) {
        if (u == 0) break;
        r.out.push_back(static_cast<char16_t>(u));
    }
    r.codec = codec;
    return r;
}

struct NResult {
    uint32_t code;
    std::string out;
    std::string raw;
    std::string codec;
};

NResult prep_native(const char* encoding, const std::string& input, unsigned char options = 0,
                    uint32_t output_size = 512, size_t bytes = 1024) {
    NResult r;
    r.raw.assign(bytes, '\x55');
    char codec[256] = "(none)";
    r.code = NamePrep(encoding, input.c_str(), r.raw.data(), output_size, codec, 256, options);
    r.out = std::string(r.raw.c_str());
    r.codec = codec;
    return r;
}

bool all(const std::vector<nessel_unit>& v, size_t from, size_t to, nessel_unit value) {
    for (size_t i = from; i < to; ++i)
        if (v[i] != value) return false;
    return true;
}

class NamePrepExports : public test::ZoneTest {
protected:
    void SetUp() override {
        test::ZoneTest::SetUp();
        if (HasFatalFailure()) return;
        install_zones({{".zz", "racex", "ra--"},
                       {"example.zz", "race", "mb--"},
                       {racex_zone(utf16("中文")), "PUNYCODE", "xn--"}});
    }
};

}  // namespace

TEST_F(NamePrepExports, NullArguments) {
    nessel_unit in[] = {'a', 0}, out[8] = {kMark};
    char bytes[8] = "x";
    EXPECT_EQ(NamePrep_U("UTF-8", nullptr, out, 16, nullptr, 0, 0), kErrArgument);
    EXPECT_EQ(NamePrep_U("UTF-8", in, nullptr, 16, nullptr, 0, 0), kErrArgument);
    EXPECT_EQ(NamePrep_U(nullptr, in, out, 16, nullptr, 0, 0), kErrArgument);
    EXPECT_EQ(out[0], kMark);
    EXPECT_EQ(NamePrep(nullptr, "a", bytes, 8, nullptr, 0, 0), kErrArgument);
    EXPECT_EQ(NamePrep("ascii", nullptr, bytes, 8, nullptr, 0, 0), kErrArgument);
    EXPECT_EQ(NamePrep("ascii", "a", nullptr, 8, nullptr, 0, 0), kErrArgument);
    EXPECT_EQ(bytes[0], 'x');
}

TEST_F(NamePrepExports, NothingToConvertLeavesOutputUntouched) {
    struct Case {
        const char* name;  // UTF-8
        uint32_t code;
    } cases[] = {
        {"example.zz", kErrAllAscii},
        {"ＥＸＡＭＰＬＥ.zz", kErrAllAscii},  // full-width letters fold to ASCII
        {"user@example.zz", kErrAllAscii},
        {"", kErrEmpty},
        {"a b.zz", kErrEmpty},
        {"a<b.zz", kErrEmpty},
        {"ü>.zz", kErrEmpty},
        {"(ü).zz", kErrEmpty},
    };
    for (const auto& c : cases) {
        const UResult r = prep_u(utf16(c.name));
        EXPECT_EQ(r.code, c.code) << c.name;
        EXPECT_TRUE(all(r.raw, 0, r.raw.size(), kMark)) << c.name << ": output written";
        EXPECT_EQ(r.codec, "(none)") << c.name;
    }
    // Beyond nameprep's input limit of 1023 units: refused as empty.
    EXPECT_EQ(prep_u(std::u16string(1023, u'\xFC') + u".zz").code, kErrEmpty);
}

TEST_F(NamePrepExports, NamesAndAddresses) {
    struct Case {
        const char* name;
        uint32_t code;
        const char* out;    // output as ASCII (units widened)
        const char* codec;  // codec_out afterwards
    } cases[] = {
        {"Ü.zz", kOk, "ra--ad6a.zz", "racex"},
        {"ü。zz", kOk, "ra--ad6a.zz", "racex"},          // ideographic full stop
        {"a.中文", kOk, "a.xn--fiq228c", "PUNYCODE"},     // IDN top-level zone
        {"user@ü.zz", kOk, "user@ra--ad6a.zz", "racex"},  // ASCII local part kept
        {"user＠ü.zz", kOk, "user@ra--ad6a.zz", "racex"}, // full-width at sign
        {"ü@example.zz", kOk, "mb--ad6a@example.zz", "race"},
        {"ü@mail.example.zz", kOk, "mb--ad6a@mail.example.zz", "race"},
        {"ü.yy", kErrNoZone, "", "(none)"},
        {"ü@other.zz", kErrNoZone, "", "(none)"},  // output: the address unchanged
        {"user@ü.yy", kErrNoZone, "", "(none)"},
    };
    for (const auto& c : cases) {
        reset_ace_settings();
        const UResult r = prep_u(utf16(c.name));
        EXPECT_EQ(r.code, c.code) << c.name;
        EXPECT_EQ(r.codec, c.codec) << c.name;
        if (c.code == kOk) {
            EXPECT_EQ(narrow(r.out), c.out) << c.name;
        }
    }
    // A failed address conversion leaves the (prepared) address once.
    UResult r = prep_u(utf16("ü@other.zz"));
    EXPECT_EQ(r.out, utf16("ü@other.zz"));
    r = prep_u(utf16("User@ü.yy"));
    EXPECT_EQ(r.out, utf16("user@ü.yy"));
    // A failed plain name leaves output_size bytes cleared, the rest as it was.
    r = prep_u(utf16("ü.yy"), 64);
    EXPECT_TRUE(all(r.raw, 0, 32, 0));
    EXPECT_TRUE(all(r.raw, 32, r.raw.size(), kMark));
}

TEST_F(NamePrepExports, CodecOutMayBeNull) {
    std::vector<nessel_unit> in = {0xFC, '.', 'z', 'z', 0}, out(64, kMark);
    EXPECT_EQ(NamePrep_U("UTF-8", in.data(), out.data(), 128, nullptr, 0, 0), kOk);
    EXPECT_EQ(narrow(std::u16string(out.begin(), out.begin() + 11)), "ra--ad6a.zz");
    EXPECT_EQ(out[11], 0);
}

TEST_F(NamePrepExports, OutputBoundsAreEnforced) {
    // "ra--ad6a.zz" needs 12 units = 24 bytes.
    UResult r = prep_u(utf16("ü.zz"), 24);
    EXPECT_EQ(r.code, kOk);
    r = prep_u(utf16("ü.zz"), 22);
    EXPECT_EQ(r.code, kErrConversion);
    EXPECT_TRUE(all(r.raw, 0, 11, 0));
    EXPECT_TRUE(all(r.raw, 11, r.raw.size(), kMark));
    EXPECT_EQ(r.codec, "(none)");
    // The codec name and its terminator must fit codec_out_size.
    r = prep_u(utf16("ü.zz"), 64, "UTF-8", 6);
    EXPECT_EQ(r.code, kOk);
    EXPECT_EQ(r.codec, "racex");
    r = prep_u(utf16("ü.zz"), 64, "UTF-8", 5);
    EXPECT_EQ(r.code, kErrConversion);
    EXPECT_EQ(r.codec, "(none)");
}

TEST_F(NamePrepExports, NativeResults) {
    // "中文。中文" in UTF-16BE ("none"): no zero byte in it.
    const std::string zh = "\x4E\x2D\x65\x87\x30\x02\x4E\x2D\x65\x87";
    NResult r = prep_native("none", zh);
    EXPECT_EQ(r.code, kOk);
    EXPECT_EQ(r.out, "xn--fiq228c.xn--fiq228c");
    EXPECT_EQ(r.codec, "PUNYCODE");
    // Pure ASCII: 7001 with or without the fallback bit, output zeroed.
    for (unsigned char options : {0x00, 0x80}) {
        r = prep_native("ascii", "example.zz", options, 100);
        EXPECT_EQ(r.code, kErrAllAscii);
        EXPECT_EQ(r.raw.substr(0, 100), std::string(100, '\0'));
        EXPECT_EQ(r.raw.substr(100), std::string(r.raw.size() - 100, '\x55'));
    }
    // An unknown encoding decodes nothing: 6001, output untouched.
    r = prep_native("no-such-encoding", "abc");
    EXPECT_EQ(r.code, kErrConversion);
    EXPECT_EQ(r.raw, std::string(r.raw.size(), '\x55'));
    // A result of a failed conversion passes through with output zeroed.
    r = prep_native("none", "\x4E\x2D\x65\x87\x30\x02\x4E\x2D");  // 中文。中 : no zone
    EXPECT_EQ(r.code, kErrNoZone);
    EXPECT_EQ(r.raw.substr(0, 512), std::string(512, '\0'));
}

TEST_F(NamePrepExports, NativeLimits) {
    const std::string zh = "\x4E\x2D\x65\x87\x30\x02\x4E\x2D\x65\x87";
    // output_size above 16384 is refused before anything is written.
    NResult r = prep_native("none", zh, 0, kMaxNativeOutputSize + 1);
    EXPECT_EQ(r.code, kErrArgument);
    EXPECT_EQ(r.raw, std::string(r.raw.size(), '\x55'));
    r = prep_native("none", zh, 0, kMaxNativeOutputSize, kMaxNativeOutputSize);
    EXPECT_EQ(r.code, kOk);
    // The result and its terminator must fit output_size.
    r = prep_native("none", zh, 0, 24);
    EXPECT_EQ(r.code, kOk);
    r = prep_native("none", zh, 0, 23);
    EXPECT_EQ(r.code, kErrConversion);
    EXPECT_EQ(r.raw.substr(0, 23), std::string(23, '\0'));
    // A decoded input beyond the 8191-unit buffer does not decode.
    std::string long_input(2 * (kMaxDecodedInputUnits + 1), '\x4E');
    r = prep_native("none", long_input);
    EXPECT_EQ(r.code, kErrConversion);
    EXPECT_EQ(r.raw, std::string(r.raw.size(), '\x55'));
}

// The fallback pass: which encoding converts first decides the result, so
// the expected result is computed from the registry's own converters.
class Fallback : public NamePrepExports {
protected:
    void SetUp() override {
        NamePrepExports::SetUp();
        // Entries that are not registered are skipped like those that do not
        // decode; these tests need the first two and the last.
        for (const char* f : {"gb", "big5", "cp1258"})
            if (find_encoding(f) == nullptr) GTEST_SKIP() << "fallback encoding " << f << " missing";
    }
    // The first fallback (skipping `skip`) that decodes input, and its text.
    static std::string first_decoding(const std::string& input, const char* skip,
                                      std::u16string& text) {
        for (const char* f : kFallbackEncodings) {
            if (ascii_iequal(f, skip)) continue;
            if (encoding_to_unicode(encoding_type(f), input, text)) return f;
        }
        return {};
    }
};

TEST_F(Fallback, OptionBit) {
    // Big5 bytes under an unknown encoding: only bit 0x80 of the lowest
    // byte starts the pass.
    std::string big5;
    ASSERT_EQ(unicode_to_encoding(encoding_type("Big5"), utf16("中文.中文"), big5), 1);
    for (uint32_t options : {0x80u, 0xFFFFFF80u, 0x100u, 0x7Fu}) {
        const NResult r =
            prep_native("no-such-encoding", big5, static_cast<unsigned char>(options));
        const bool on = (options & 0xFF & 0x80) != 0;
        EXPECT_EQ(r.code == kOk, on) << std::hex << options << " code " << std::dec << r.code;
    }
}

TEST_F(Fallback, StartsFromGb) {
    std::string big5;
    ASSERT_EQ(unicode_to_encoding(encoding_type("Big5"), utf16("中文.中文"), big5), 1);
    // The GB reading of these Big5 bytes comes before "big5" in the list.
    std::u16string gb_text, prepared;
    ASSERT_EQ(first_decoding(big5, "no-such-encoding", gb_text), "gb");
    ASSERT_EQ(name_prep(gb_text, prepared, 0xA5, 8192), 0u);
    const std::u16string top = prepared.substr(prepared.rfind(u'.') + 1);
    // Without a zone for the GB reading, "big5" converts it.
    NResult r = prep_native("no-such-encoding", big5, 0x80);
    ASSERT_EQ(r.code, kOk);
    EXPECT_EQ(r.out, "xn--fiq228c.xn--fiq228c");
    // With one, the GB reading converts first.
    install_zones({{racex_zone(top), "race", "gb--"}, {racex_zone(utf16("中文")), "PUNYCODE", "xn--"}});
    r = prep_native("no-such-encoding", big5, 0x80);
    ASSERT_EQ(r.code, kOk);
    EXPECT_EQ(r.out.substr(0, 4), "gb--");
    EXPECT_EQ(r.codec, "race");
    // Given as "GB" it converts at once, without the pass.
    r = prep_native("GB", big5, 0x80);
    ASSERT_EQ(r.code, kOk);
    EXPECT_EQ(r.out.substr(0, 4), "gb--");
}

TEST_F(Fallback, OwnEncodingSucceedsWithoutTheFallbackPass) {
    std::string big5;
    ASSERT_EQ(unicode_to_encoding(encoding_type("Big5"), utf16("中文.中文"), big5), 1);
    const NResult r = prep_native("Big5", big5, 0x80);
    ASSERT_EQ(r.code, kOk);
    EXPECT_EQ(r.out, "xn--fiq228c.xn--fiq228c");
    EXPECT_EQ(r.codec, "PUNYCODE");
}

TEST_F(Fallback, LastAttemptedCodeIsReturned) {
    // Byte 0xFE is U+20AB (dong sign) only in "cp1258", the last entry.  A
    // zone for that reading whose options refuse it (CHECK_ALLOWED) makes
    // the last attempt fail with 6002, while every other reading finds no
    // zone (4001).
    std::u16string dong;
    ASSERT_EQ(encoding_to_unicode(encoding_type("cp1258"), "\xFE", dong), 1);
    ASSERT_EQ(dong, u"\x20AB");
    install_zones({{racex_zone(dong), "race", "ra--", "", "", "", "", "", "", 0x08}});
    NResult r = prep_native("no-such-encoding", "a.\xFE", 0x80);
    EXPECT_EQ(r.code, kErrNameprep);
    EXPECT_EQ(r.raw.substr(0, 512), std::string(512, '\0'));
    // The same table without the fallback bit: 6001, nothing decoded.
    r = prep_native("no-such-encoding", "a.\xFE", 0);
    EXPECT_EQ(r.code, kErrConversion);
}
