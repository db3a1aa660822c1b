// SPDX-License-Identifier: MIT
// tests/api/cxx_api_test.cpp: the C++ interface and the length-taking
// exports against the shared library on the shipped default configuration
// (found in the working directory), in a private store.  The rows of the
// shared vector files (names, CJK and charset conversions, ACE decoding,
// failures) go through both: the length-taking exports agree with the
// zero-terminated ones (or the row) and report the room they need.  Then the
// encoding and zone listings against the nessel program's, threads sharing
// one library, and the lifetime of several library objects.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <sstream>
#include <string_view>
#include <thread>
#include <utility>

#include "config/registry.h"
#include "nessel.hpp"
#include "nessel_ext.h"
#include "tests/unit/vectors.h"

namespace {

using nessel::test::read_rows;
using nessel::test::Row;
using nessel::test::text;
using nessel::test::utf16;
const auto units = nessel::test::U;
const auto bytes = nessel::test::B;

const nessel_unit* u(std::u16string_view s) { return reinterpret_cast<const nessel_unit*>(s.data()); }
std::string raw(std::u16string_view s) { return std::string(reinterpret_cast<const char*>(s.data()), 2 * s.size()); }
std::string raw(const nessel_unit* s) { return raw(std::u16string_view(reinterpret_cast<const char16_t*>(s))); }

std::string program_output(const std::string& command) {
    std::string out;
    FILE* p = popen((std::string(NESSEL_PROGRAM) + " " + command).c_str(), "r");
    if (p == nullptr) return out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    pclose(p);
    return out;
}

// A length-taking export: output buffer, capacity in elements, length out.
using Ext = std::function<uint32_t(void* out, size_t cap, size_t* len)>;

// The export gives `result` and, on success, the output `want` (as bytes);
// then a buffer one element short is refused with the length needed and left
// as it was, and a missing output or length pointer is refused.
void check_ext(const Ext& ext, size_t unit, uint32_t result, const std::string& want, bool nameprep = false) {
    const uint32_t too_small = nameprep ? PREP_ERR_NORMALIZE_FAILED : NESSEL_ERR_CONVERSION;
    const uint32_t no_length = nameprep ? PREP_ERR_PROHIBITED : NESSEL_ERR_ARGUMENT;
    char out[8192], canary[8192];
    std::memset(canary, 0x5A, sizeof canary);
    std::memcpy(out, canary, sizeof out);
    size_t n = 7;
    ASSERT_EQ(ext(out, sizeof out / unit, &n), result);
    if (result != 0) {
        EXPECT_EQ(n, 0u);  // every failure but a buffer too small gives 0
        return;
    }
    EXPECT_EQ(std::string(out, n * unit), want);
    const size_t need = std::exchange(n, 7);
    EXPECT_EQ(ext(out, sizeof out / unit, nullptr), no_length);
    EXPECT_EQ(ext(nullptr, 8, &n), no_length);
    EXPECT_EQ(std::exchange(n, 7), 0u);
    if (need == 0) return;
    std::memcpy(out, canary, sizeof out);
    EXPECT_EQ(ext(out, need - 1, &n), too_small);
    EXPECT_EQ(n, need);
    EXPECT_EQ(std::memcmp(out, canary, sizeof out), 0);
    EXPECT_EQ(ext(nullptr, 0, &n), too_small);
}

class CxxApi : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // No update is due, and none could leave this machine.
        using namespace nessel;
        reg_write_text(kTalvexClientKey, "UpdateServerURL", "http://127.0.0.1:1");
        reg_write_dword(kTalvexClientKey, "LastUpdateTime", static_cast<uint32_t>(std::time(nullptr)));
        lib = new nessel::library;
    }
    static void TearDownTestSuite() { delete lib; }
    static nessel::library* lib;
};
nessel::library* CxxApi::lib = nullptr;

// Every name of the vectors in both text forms, with the codec, and back;
// the names (and their upper-case forms) through the length-taking exports
// as through NamePrep_U, talvex_name_prep_u and AceToUnicode.
void check_names(const nessel::library& lib) {
    nessel_unit out[1024];
    char codec[256];
    for (const Row& r : read_rows("domain/idna2003.tsv", 3)) {
        SCOPED_TRACE(r.where);
        const auto ace = lib.to_ace(r[0]);
        ASSERT_TRUE(ace) << ace.error().name();
        EXPECT_EQ(ace->text, r[1]);
        EXPECT_EQ(ace->codec, r[1].find("xn--") != std::string::npos ? "PUNYCODE" : "");
        const auto wide = lib.to_ace(std::u16string_view(utf16(r[0])));
        ASSERT_TRUE(wide);
        EXPECT_EQ(wide->text, std::u16string(r[1].begin(), r[1].end()));
        EXPECT_EQ(lib.to_unicode(r[1]).value(), r[2]);
        std::string upper = r[0];
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (const std::u16string& in : {utf16(r[0]), utf16(upper)}) {
            uint32_t code = NamePrep_U("UTF-8", u(in), out, sizeof out, codec, sizeof codec, 0);
            check_ext([&](void* o, size_t c, size_t* n) {
                return nessel_to_ace_n("UTF-8", u(in), in.size(), static_cast<nessel_unit*>(o), c, n, codec, 256);
            }, 2, code, raw(out));
            code = talvex_name_prep_u(u(in), out, 1024, 0xA5);
            check_ext([&](void* o, size_t c, size_t* n) {
                return nessel_nameprep_n(u(in), in.size(), static_cast<nessel_unit*>(o), c, n, 0xA5);
            }, 2, code, raw(out), true);
        }
        const uint32_t code = AceToUnicode("amc-z", r[1].c_str(), out, 0);
        check_ext([&](void* o, size_t c, size_t* n) {
            return nessel_to_unicode_n("AMC-Z", r[1].data(), r[1].size(), static_cast<nessel_unit*>(o), c, n);
        }, 2, code, raw(out));
    }
}

TEST_F(CxxApi, NamesConvertAndDecodeBack) {
    ASSERT_TRUE(*lib) << lib->status().message();
    check_names(*lib);
    EXPECT_EQ(lib->to_native("xn--bcher-kva.de", "iso8859-1").value(), "b\xFC" "cher.de");
    // The append forms add to what the string holds.
    std::string text = "> ";
    EXPECT_EQ(lib->append_unicode(text, "xn--bcher-kva.de").value(), 10u);
    EXPECT_EQ(lib->append_encoded(text, u" \u00FC", "iso8859-1").value(), 2u);
    EXPECT_EQ(text, "> bücher.de \xFC");
}

// The decoding export's rows through its length-taking form: results and
// outputs as the row says.
TEST_F(CxxApi, LengthTakingDecodingRows) {
    for (const Row& r : read_rows("chains/ace_exports.tsv", 7)) {
        if (r[0] != "AceToUnicode") continue;
        SCOPED_TRACE(r.where);
        const std::string in = bytes(r[3]);
        check_ext([&](void* o, size_t c, size_t* n) {
            return nessel_to_unicode_n(r[1].c_str(), in.data(), in.size(), static_cast<nessel_unit*>(o), c, n);
        }, 2, std::stoul(r[6]), raw(units(r[5])));
    }
}

// The charset rows through the C++ interface and the length-taking exports;
// a zero byte or unit cannot cross the C interface: refused, never cut.
TEST_F(CxxApi, CharsetRowsThroughBothInterfaces) {
    nessel::buffer buf8;  // the into forms, one buffer reused for every row
    nessel::buffer16 buf16;
    for (const char* file : {"cjk/examples.tsv", "charsets/conversions.tsv"})
        for (const Row& r : read_rows(file, 5)) {
            SCOPED_TRACE(r.where);
            const bool ok = r[4] != "0", cjk = file[0] == 'c';
            const uint32_t type = lib->enctype(r[0]);
            if (r[1] == "dec") {
                const std::string in = bytes(text(r[2]));
                const bool zero = in.find('\0') != std::string::npos;
                const auto out = lib->decode16(in, r[0]);
                EXPECT_EQ(out.has_value(), ok && !zero);
                EXPECT_EQ(out.value(), ok && !zero ? units(text(r[3])) : u"");
                EXPECT_EQ(out.error().code(), ok && !zero ? 0u : NESSEL_ERR_ACE_DECODE);
                const auto into = lib->decode_into(buf16, in, r[0]);
                EXPECT_TRUE(into.value() == out.value() && into.error() == out.error());
                check_ext([&](void* o, size_t c, size_t* n) {
                    return nessel_decode_n(type, in.data(), in.size(), static_cast<nessel_unit*>(o), c, n);
                }, 2, ok && !zero ? 0 : NESSEL_ERR_ACE_DECODE, raw(units(text(r[3]))));
            } else if (r[1] == "enc") {
                const std::u16string in = units(text(r[2]));
                const bool zero = in.find(u'\0') != std::u16string::npos;
                const auto out = lib->encode(std::u16string_view(in), nessel::encoding_ref(r[0]));
                const uint32_t code = zero ? NESSEL_ERR_CONVERSION : ok ? 0 : NESSEL_ERR_TARGET_ENCODE;
                EXPECT_EQ(out.error().code(), code);
                if (cjk || ok) { EXPECT_EQ(out.value(), code == 0 ? bytes(text(r[3])) : ""); }
                const auto into = lib->encode_into(buf8, std::u16string_view(in), nessel::encoding_ref(r[0]));
                EXPECT_TRUE(into.value() == out.value() && into.error() == out.error());
                check_ext([&](void* o, size_t c, size_t* n) {
                    return nessel_encode_n(type, u(in), in.size(), static_cast<char*>(o), c, n);
                }, 1, code, bytes(text(r[3])));
            }
        }
}

// A C++ call's value as text: an ACE form's text, or the string.
std::string value(const std::string& s) { return s; }
std::string value(const nessel::ace_name& a) { return a.text; }
template <typename T>
std::pair<uint32_t, std::string> got(const nessel::result<T>& r) {
    return {r.error().code(), value(r.value())};
}

// The rows of api/: each call gives its value, or a failure with the code's
// name and message and an empty value.
TEST_F(CxxApi, RowsGiveValuesOrNamedFailures) {
    for (const char* file : {"api/errors.tsv", "api/calls.tsv"})
        for (const Row& r : read_rows(file, 5)) {
            SCOPED_TRACE(r.where);
            const std::string in = bytes(text(r[1])), arg = text(r[2]);
            const uint32_t code = static_cast<uint32_t>(std::stoul(r[3]));
            std::pair<uint32_t, std::string> g;
            if (r[0] == "to_ace") g = got(lib->to_ace(in));
            if (r[0] == "to_unicode") g = got(lib->to_unicode(in, arg));
            if (r[0] == "nameprep") g = got(lib->nameprep(in, std::stoul(arg)));
            if (r[0] == "encode") g = got(lib->encode(in, arg));
            if (r[0] == "decode") g = got(lib->decode(in, arg));
            EXPECT_EQ(g, std::make_pair(code, code != 0 ? std::string() : text(r[4])));
            if (code == 0) continue;
            EXPECT_STREQ(nessel::code_name(code), r[4].c_str());
            EXPECT_STRNE(nessel::code_message(code), "unknown result code");
        }
    // UTF-8 that is not valid; an unregistered enctype; an append form
    // leaves its output as it was.
    EXPECT_EQ(lib->to_ace("b\xFC" "cher.de").error().code(), NESSEL_ERR_CONVERSION);
    EXPECT_EQ(lib->encode("a", 99).error().code(), NESSEL_ERR_NO_TARGET);
    EXPECT_EQ(lib->decode("a", 99).error().code(), NESSEL_ERR_NO_CODEC);
    std::string out = "kept";
    EXPECT_EQ(lib->append_encoded(out, "ü", "ascii").error().code(), NESSEL_ERR_TARGET_ENCODE);
    EXPECT_EQ(lib->append_decoded(out, "ra--zz", "race").error().code(), NESSEL_ERR_ACE_DECODE);
    EXPECT_EQ(out, "kept");
    // The length-taking exports: inner zeros, unknown enctypes, an empty text.
    nessel_unit units16[64];
    char narrow[64];
    size_t n = 7;
    EXPECT_EQ(nessel_to_ace_n("UTF-8", u(u"a\0b.de"), 6, units16, 64, &n, nullptr, 0), NESSEL_ERR_CONVERSION);
    EXPECT_EQ(nessel_nameprep_n(u(u"a\0b"), 3, units16, 64, &n, 0xA5), NESSEL_ERR_CONVERSION);
    EXPECT_EQ(nessel_to_unicode_n("amc-z", "xn--a\0", 6, units16, 64, &n), NESSEL_ERR_ACE_DECODE);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(nessel_decode_n(99, "a", 1, units16, 64, &n), NESSEL_ERR_NO_CODEC);
    EXPECT_EQ(nessel_encode_n(99, u(u"a"), 1, narrow, 64, &n), NESSEL_ERR_NO_TARGET);
    EXPECT_EQ(nessel_encode_n(lib->enctype("gbk"), nullptr, 0, nullptr, 0, &n), NESSEL_OK);
    EXPECT_EQ(n, 0u);
    // A zero anywhere in texts of 1 to 40 elements is found (the scan reads
    // overlapping words and blocks); a unit whose low byte is zero is none.
    char wide[256];
    for (size_t len = 1; len <= 40; ++len)
        for (size_t at = 0; at <= len; ++at) {
            std::string b(len, 'a');
            std::u16string w(len, u'\u4E00');
            if (at < len) b[at] = 0, w[at] = 0;
            SCOPED_TRACE(std::to_string(len) + " " + std::to_string(at));
            EXPECT_EQ(nessel_decode_n(lib->enctype("ascii"), b.data(), len, units16, 64, &n),
                      at < len ? NESSEL_ERR_ACE_DECODE : NESSEL_OK);
            EXPECT_EQ(n, at < len ? 0 : len);
            EXPECT_EQ(nessel_encode_n(lib->enctype("gbk"), u(w), len, wide, sizeof wide, &n),
                      at < len ? NESSEL_ERR_CONVERSION : NESSEL_OK);
            EXPECT_EQ(n, at < len ? 0 : 2 * len);
        }
}

TEST_F(CxxApi, ListingsMatchTheProgram) {
    std::string listed;
    for (const auto& e : lib->encodings()) {
        EXPECT_EQ(lib->enctype(e.name), e.enctype);
        EXPECT_EQ(nessel::encoding_ref(e.enctype).enctype(), e.enctype);
        listed += std::to_string(e.enctype) + "\t" + std::string(e.name) + "\n";
    }
    EXPECT_EQ(listed, program_output("encodings"));
    EXPECT_EQ(nessel::encoding_ref(55).enctype(), 0u);
    EXPECT_EQ(lib->enctype(std::string_view("gbk\0x", 5)), 0u);

    const auto zones = lib->zones();
    ASSERT_TRUE(zones);
    ASSERT_GT(zones->size(), 1000u);
    std::stringstream table(program_output("zones"));
    std::string line;
    std::getline(table, line);  // heading
    for (std::size_t i = 0; std::getline(table, line); ++i) {
        ASSERT_LT(i, zones->size());
        const nessel::zone_info& z = (*zones)[i];
        char flags[16];
        std::snprintf(flags, sizeof flags, "0x%X", z.prep_flags);
        const std::string mine = std::to_string(i + 1) + "\t" + z.zone + "\t" + z.codec + "\t" +
                                 z.prefix + "\t" + z.suffix + "\t" + z.alt_codec + "\t" +
                                 z.alt_prefix + "\t" + z.alt_suffix + "\t" + z.strip_tail + "\t" +
                                 z.append_tail + "\t" + flags + "\t";
        ASSERT_EQ(line.substr(0, mine.size()), mine);
    }
}

TEST_F(CxxApi, ThreadsShareOneLibrary) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 20; ++i) check_names(*lib);
        });
    for (auto& t : threads) t.join();
}

TEST_F(CxxApi, TheLastLibraryObjectReleases) {
    {
        nessel::library second;
        ASSERT_TRUE(second);
    }
    // The suite's object still works after the second one went ...
    EXPECT_EQ(lib->to_ace("bücher.de")->text, "xn--bcher-kva.de");
    // ... and its own end releases the library; a new object starts it again.
    delete lib;
    EXPECT_EQ(str2enctype("knd"), 0u);
    lib = new nessel::library;
    EXPECT_EQ(str2enctype("knd"), 54u);
    EXPECT_EQ(lib->to_ace("bücher.de")->text, "xn--bcher-kva.de");
    EXPECT_EQ(nessel::library::version(), "Nessel Version 4.0.31");
    // The update server of the suite refuses connections.
    EXPECT_FALSE(lib->update());
    EXPECT_EQ(lib->to_ace("bücher.de")->text, "xn--bcher-kva.de");
}

}  // namespace
