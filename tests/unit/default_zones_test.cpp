// SPDX-License-Identifier: MIT
// End to end on the shipped data/pellow.ini: InitSDK imports it into a
// private store; names under real top-level domains (IDN ones included)
// convert to the ACE form IDNA2003 gives (vectors from Python's "idna"
// codec, tests/vectors/domain/idna2003.tsv) and decode back; every non-ASCII
// top-level zone is what the library's own nameprep and RACEX make of it.
#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ace/convert.h"
#include "base/result_codes.h"
#include "config/registry.h"
#include "config/zone_table.h"
#include "config_support.h"
#include "codecs/codecs.h"
#include "nameprep/testing.h"
#include "nessel.h"
#include "program_runner.h"
#include "test_support.h"

using namespace nessel;
using nessel::test::utf16;

namespace {

std::vector<std::vector<std::string>> read_tsv(const std::string& name) {
    std::ifstream f(std::string(NESSEL_SOURCE_DIR) + "/tests/vectors/domain/" + name);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(f, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> cols;
        std::stringstream s(line);
        std::string col;
        while (std::getline(s, col, '\t')) cols.push_back(col);
        rows.push_back(cols);
    }
    return rows;
}

std::vector<nessel_unit> zero_terminated(const std::u16string& s) {
    std::vector<nessel_unit> v(s.begin(), s.end());
    v.push_back(0);
    return v;
}

class DefaultZones : public nessel::test::ConfigTest {
protected:
    void SetUp() override {
        ConfigTest::SetUp();
        // The shipped file, found through InstallPath; no update is due, and
        // none could reach beyond this machine.
        ASSERT_EQ(reg_write_text(kTalvexClientKey, "InstallPath",
                                 std::string(NESSEL_SOURCE_DIR) + "/data"), 0);
        ASSERT_EQ(reg_write_text(kTalvexClientKey, "UpdateServerURL",
                                 "http://127.0.0.1:" + std::to_string(nessel::test::closed_port())),
                  0);
        ASSERT_EQ(reg_write_dword(kTalvexClientKey, "LastUpdateTime",
                                  static_cast<uint32_t>(std::time(nullptr))), 0);
        ASSERT_EQ(InitSDK(), kOk);
    }
    void TearDown() override {
        DeinitSDK();
        ConfigTest::TearDown();
    }
};

}  // namespace

TEST_F(DefaultZones, EveryTopLevelDomainIsAPunycodeZone) {
    const auto tlds = read_tsv("default_tlds.tsv");
    ASSERT_GT(tlds.size(), 100u);
    const auto table = shared_zone_table();
    ASSERT_GT(table->size(), 1000);
    for (int32_t i = 0; i < table->size(); ++i) {
        const ZoneView z = (*table)[i];
        EXPECT_EQ(z.zone()[0], '.') << i;
        EXPECT_STREQ(z.text[kCodec], "PUNYCODE") << z.zone();
        EXPECT_STREQ(z.text[kPrefix], "xn--") << z.zone();
    }
    // The generator's nameprep and RACE agree with the library's.
    for (const auto& row : tlds) {
        ASSERT_EQ(row.size(), 2u);
        std::u16string prepared;
        ASSERT_EQ(name_prep(utf16(row[0]), prepared, 0xA5, 8192), 0u) << row[0];
        set_ace_prefix("racex", "ra--");
        std::string racex;
        ASSERT_EQ(find_encoding("racex")->from_unicode(prepared, racex), 1);
        EXPECT_EQ("." + racex, row[1]) << row[0];
        bool present = false;
        for (int32_t i = 0; i < table->size() && !present; ++i) present = row[1] == (*table)[i].zone();
        EXPECT_TRUE(present) << row[1];
    }
}

TEST_F(DefaultZones, NamesConvertAsIdna2003AndDecodeBack) {
    const auto rows = read_tsv("idna2003.tsv");
    ASSERT_GT(rows.size(), 30u);
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 3u);
        const std::string& name = row[0];
        const std::string& ace = row[1];
        auto in = zero_terminated(utf16(name));
        std::vector<nessel_unit> out(1024, 0);
        char codec[256] = "";
        const uint32_t code = NamePrep_U("UTF-8", in.data(), out.data(), 2048, codec, 256, 0);
        if (code == kErrAllAscii) {
            // Nothing to convert: the prepared name is the ACE form already.
            std::vector<nessel_unit> prepared(1024, 0);
            ASSERT_EQ(talvex_name_prep_u(in.data(), prepared.data(), 1024, 0xA5), 0u) << name;
            EXPECT_EQ(narrow(std::u16string(prepared.begin(), prepared.end()).c_str()), ace)
                << name;
            continue;
        }
        ASSERT_EQ(code, kOk) << name;
        EXPECT_EQ(narrow(std::u16string(out.begin(), out.end()).c_str()), ace) << name;
        EXPECT_STREQ(codec, "PUNYCODE") << name;
        std::vector<nessel_unit> back(1024, 0);
        ASSERT_EQ(AceToUnicode("AMC-Z", ace.c_str(), back.data(), 0), kOk) << ace;
        EXPECT_EQ(std::u16string(back.begin(), back.end()).c_str(), utf16(row[2])) << ace;
    }
}

TEST_F(DefaultZones, LegacyEncodingsGiveTheSameAce) {
    struct Case {
        const char* encoding;
        const char* name;  // UTF-8
        const char* ace;
    } cases[] = {
        {"iso8859-1", "bücher.de", "xn--bcher-kva.de"},
        {"cp1251", "москва.рф", "xn--80adxhks.xn--p1ai"},
        {"gb", "中文网.中国", "xn--fiq228c5hs.xn--fiqs8s"},
        {"GBK", "中文网.中国", "xn--fiq228c5hs.xn--fiqs8s"},
        {"Big5", "台灣.台灣", "xn--kpry57d.xn--kpry57d"},
        {"sjis", "日本語.jp", "xn--wgv71a119e.jp"},
        {"ksc", "도메인.한국", "xn--hq1bm8jm9l.xn--3e0b707e"},
        {"tsc", "ไทย.ไทย", "xn--o3cw4h.xn--o3cw4h"},
    };
    for (const auto& c : cases) {
        const uint32_t type = str2enctype(c.encoding);
        if (type == 0) continue;  // not registered in this build
        std::string bytes;
        ASSERT_EQ(unicode_to_encoding(type, utf16(c.name), bytes), 1) << c.encoding;
        char out[512], codec[256];
        ASSERT_EQ(NamePrep(c.encoding, bytes.c_str(), out, sizeof out, codec, 256, 0), kOk)
            << c.encoding;
        EXPECT_STREQ(out, c.ace) << c.encoding;
        // And back into the legacy encoding.
        char native[512];
        ASSERT_EQ(AceToNative("amc-z", c.ace, native, c.encoding, 0), kOk) << c.encoding;
        EXPECT_EQ(std::string(native), bytes) << c.encoding;
    }
}

TEST_F(DefaultZones, ProgramConvertsAndDecodesOnTheDefault) {
    // The program finds data/pellow.ini beside itself (the build copies it);
    // a private store and a closed update port keep the run on this machine.
    const std::vector<std::string> env = {
        "HOME=" + home(), "XDG_CONFIG_HOME=", "TMPDIR=" + tmp()};
    const std::string url = "http://127.0.0.1:" + std::to_string(nessel::test::closed_port());
    auto r = nessel::test::run_program(
        {"reg", "set", std::string(kTalvexClientKey), "UpdateServerURL", url}, {}, env);
    ASSERT_EQ(r.status, 0) << r.err;
    r = nessel::test::run_program({"to-ace", "-c", "bücher.de", "Example.COM", "info@ไทย.ไทย",
                                   "a b.de", "ü.no-such-tld"},
                                  {}, env);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "xn--bcher-kva.de\tPUNYCODE\nexample.com\t-\n"
                     "info@xn--o3cw4h.xn--o3cw4h\tPUNYCODE\n");
    EXPECT_NE(r.err.find("a b.de: 7002 NESSEL_ERR_EMPTY"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("ü.no-such-tld: 4001 NESSEL_ERR_NO_ZONE"), std::string::npos) << r.err;
    // A batch on standard input, in several scripts, and back.
    r = nessel::test::run_program({"to-ace"}, "москва.рф\n中文网.中国\nभारत.भारत\n", env);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "xn--80adxhks.xn--p1ai\nxn--fiq228c5hs.xn--fiqs8s\nxn--h2brj9c.xn--h2brj9c\n");
    r = nessel::test::run_program({"to-unicode"}, r.out, env);
    EXPECT_EQ(r.out, "москва.рф\n中文网.中国\nभारत.भारत\n");
    // The zone table as loaded.
    r = nessel::test::run_program({"zones"}, {}, env);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\t.de\tPUNYCODE\txn--\t"), std::string::npos);
    EXPECT_NE(r.out.find("\t0x0\t.ไทย\n"), std::string::npos);
    // A forced update that cannot connect fails and says so.
    r = nessel::test::run_program({"update"}, {}, env);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("could not be fetched"), std::string::npos) << r.err;
}
