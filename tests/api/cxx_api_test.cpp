// SPDX-License-Identifier: MIT
// tests/api/cxx_api_test.cpp: the C++ interface against the shared library
// on the shipped default configuration (found in the working directory), in
// a private store: the name vectors and the CJK examples through both text
// forms, the failure table shared with the Python tests, the encoding and
// zone listings against the nessel program's, threads sharing one library,
// and the lifetime of several library objects.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <thread>

#include "config/registry.h"
#include "nessel.hpp"

namespace {

using Row = std::vector<std::string>;

std::vector<Row> rows(const std::string& file) {
    std::ifstream in(std::string(NESSEL_SOURCE_DIR) + "/tests/vectors/" + file);
    std::vector<Row> out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        Row r;
        std::stringstream s(line);
        for (std::string f; std::getline(s, f, '\t');) r.push_back(f == "-" ? "" : f);
        out.push_back(r);
    }
    EXPECT_FALSE(out.empty()) << file;
    return out;
}

// "U+XXXX ..." lists or plain text (one unit per byte); "\xHH" escapes.
std::u16string units(const std::string& s) {
    std::u16string u;
    if (s.find("U+") == std::string::npos) return std::u16string(s.begin(), s.end());
    std::stringstream in(s);
    for (std::string t; in >> t;) u.push_back(static_cast<char16_t>(std::stoul(t.substr(2), nullptr, 16)));
    return u;
}
std::string bytes(const std::string& s) {
    std::string b;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (s.compare(i, 2, "\\x") == 0 && i + 3 < s.size()) {
            b.push_back(static_cast<char>(std::stoul(s.substr(i + 2, 2), nullptr, 16)));
            i += 3;
        } else {
            b.push_back(s[i]);
        }
    return b;
}

std::u16string utf16(std::string_view utf8) {
    struct Out {
        std::u16string s;
        void push(char16_t c) { s.push_back(c); }
    } out;
    EXPECT_TRUE(nessel::detail::utf8_to_units(utf8, out, utf8.size()));
    return out.s;
}

std::string program_output(const std::string& command) {
    std::string out;
    FILE* p = popen((std::string(NESSEL_PROGRAM) + " " + command).c_str(), "r");
    if (p == nullptr) return out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    pclose(p);
    return out;
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

// Every name of the vectors in both text forms, with the codec, and back.
void check_names(const nessel::library& lib) {
    for (const Row& r : rows("domain/idna2003.tsv")) {
        const auto ace = lib.to_ace(r[0]);
        ASSERT_TRUE(ace) << r[0] << ": " << ace.error().name();
        EXPECT_EQ(ace->text, r[1]);
        EXPECT_EQ(ace->codec, r[1].find("xn--") != std::string::npos ? "PUNYCODE" : "") << r[0];
        const auto wide = lib.to_ace(std::u16string_view(utf16(r[0])));
        ASSERT_TRUE(wide);
        EXPECT_EQ(wide->text, std::u16string(r[1].begin(), r[1].end()));
        EXPECT_EQ(lib.to_unicode(r[1]).value(), r[2]);
    }
}

TEST_F(CxxApi, NamesConvertAndDecodeBack) {
    ASSERT_TRUE(*lib) << lib->status().message();
    check_names(*lib);
    EXPECT_EQ(lib->to_ace("info@bücher.de")->text, "info@xn--bcher-kva.de");
    EXPECT_EQ(lib->to_native("xn--bcher-kva.de", "iso8859-1").value(), "b\xFC" "cher.de");
    // The append forms add to what the string holds.
    std::string text = "> ";
    EXPECT_EQ(lib->append_unicode(text, "xn--bcher-kva.de").value(), 10u);
    EXPECT_EQ(lib->append_encoded(text, u" \u00FC", "iso8859-1").value(), 2u);
    EXPECT_EQ(text, "> bücher.de \xFC");
}

TEST_F(CxxApi, CjkExamplesEncodeAndDecode) {
    for (const Row& r : rows("cjk/examples.tsv")) {
        SCOPED_TRACE(r[0] + " " + r[1] + " " + r[2]);
        const bool ok = r[4] != "0";
        if (r[1] == "dec") {
            const auto text = lib->decode16(bytes(r[2]), r[0]);
            EXPECT_EQ(text.has_value(), ok);
            EXPECT_EQ(ok ? text.value() : u"", ok ? units(r[3]) : u"");
            EXPECT_EQ(text.error().code(), ok ? 0u : NESSEL_ERR_ACE_DECODE);
        } else {
            const std::u16string in = units(r[2]);
            const auto out = lib->encode(std::u16string_view(in), nessel::encoding_ref(r[0]));
            // A zero unit cannot cross the C interface: refused, never cut.
            if (in.find(u'\0') != std::u16string::npos) {
                EXPECT_EQ(out.error().code(), NESSEL_ERR_CONVERSION);
                continue;
            }
            EXPECT_EQ(out.has_value(), ok);
            EXPECT_EQ(out.value(), ok ? bytes(r[3]) : "");
        }
    }
}

TEST_F(CxxApi, FailuresAreValuesWithNamesAndMessages) {
    for (const Row& r : rows("api/errors.tsv")) {
        SCOPED_TRACE(r[0] + " '" + r[1] + "' " + r[2]);
        nessel::error e;
        if (r[0] == "to_ace") e = lib->to_ace(r[1]).error();
        if (r[0] == "to_unicode") e = lib->to_unicode(r[1], r[2]).error();
        if (r[0] == "nameprep") e = lib->nameprep(r[1], std::stoul(r[2])).error();
        if (r[0] == "encode") e = lib->encode(r[1], r[2]).error();
        if (r[0] == "decode") e = lib->decode(r[1], r[2]).error();
        EXPECT_EQ(e.code(), std::stoul(r[3]));
        EXPECT_STREQ(e.name(), r[4].c_str());
        EXPECT_STRNE(e.message(), "unknown result code");
    }
    // Input the C interface cannot carry: invalid UTF-8, a zero byte.
    EXPECT_EQ(lib->to_ace("b\xFC" "cher.de").error().code(), NESSEL_ERR_CONVERSION);
    EXPECT_EQ(lib->to_ace(std::string_view("a\0b.de", 6)).error().code(), NESSEL_ERR_CONVERSION);
    EXPECT_EQ(lib->decode(std::string_view("a\0b", 3), "ascii").error().code(), NESSEL_ERR_ACE_DECODE);
    // An unregistered enctype; an append form leaves its output as it was.
    EXPECT_EQ(lib->encode("a", 99).error().code(), NESSEL_ERR_NO_TARGET);
    EXPECT_EQ(lib->decode("a", 99).error().code(), NESSEL_ERR_NO_CODEC);
    std::string out = "kept";
    EXPECT_EQ(lib->append_encoded(out, "ü", "ascii").error().code(), NESSEL_ERR_TARGET_ENCODE);
    EXPECT_EQ(lib->append_decoded(out, "ra--zz", "race").error().code(), NESSEL_ERR_ACE_DECODE);
    EXPECT_EQ(out, "kept");
    // A failed result holds an empty value.
    EXPECT_EQ(lib->to_ace("ü.no-such-tld")->text, "");
}

TEST_F(CxxApi, LimitsAreTheLibrarys) {
    // An ACE form of nearly 600 bytes needs more than the first buffer.
    std::string name;
    for (int i = 0; i < 20; ++i) name += std::string(20, 'a') + "ü.";
    name += "de";
    const auto ace = lib->to_ace(name);
    ASSERT_TRUE(ace) << ace.error().name();
    EXPECT_GT(ace->text.size(), 512u);
    EXPECT_EQ(lib->to_unicode(ace->text).value(), name);
    // A long name that is ASCII once prepared comes back prepared.
    EXPECT_EQ(lib->to_ace(std::string(700, 'A') + ".de")->text, std::string(700, 'a') + ".de");
    // 1023 units is the longest name the library takes.
    EXPECT_EQ(lib->to_ace(std::string(1024, 'a') + ".de").error().code(), NESSEL_ERR_EMPTY);
    EXPECT_EQ(lib->nameprep(std::u16string(1023, u'a')).value().size(), 1023u);
    EXPECT_EQ(lib->nameprep(std::u16string(1024, u'a')).error().code(), PREP_ERR_MAP_FAILED);
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
