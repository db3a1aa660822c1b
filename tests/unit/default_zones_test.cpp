// SPDX-License-Identifier: MIT
// End to end on the shipped data/pellow.ini: InitSDK imports it into a
// private store; names under real top-level domains (IDN ones included)
// convert to the ACE form IDNA2003 gives (vectors from Python's "idna"
// codec, tests/vectors/domain/idna2003.tsv) and decode back; every non-ASCII
// top-level zone is what the library's own nameprep and RACEX make of it.
#include <gtest/gtest.h>

#include <ctime>
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
#include "test_support.h"

using namespace nessel;
using nessel::test::utf16;

namespace {

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
    const auto tlds = test::read_rows("domain/default_tlds.tsv", 2);
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
        std::u16string prepared;
        ASSERT_EQ(name_prep(utf16(row[0]), prepared, 0xA5, 8192), 0u) << row[0];
        set_ace_prefix("racex", "ra--");
        std::string racex;
        ASSERT_EQ(find_encoding("racex")->from_unicode(prepared, racex), 1);
        EXPECT_EQ("." + racex, row[1]) << row[0];
        const int32_t at = table->find_suffix_zone(row[1]);
        EXPECT_TRUE(at >= 0 && row[1] == (*table)[at].zone()) << row[1];
    }
}

TEST_F(DefaultZones, NamesConvertAsIdna2003AndDecodeBack) {
    const auto rows = test::read_rows("domain/idna2003.tsv", 3);
    ASSERT_GT(rows.size(), 30u);
    for (const auto& row : rows) {
        const std::string& name = row[0];
        const std::string& ace = row[1];
        const std::u16string units = utf16(name);
        const auto* in = reinterpret_cast<const nessel_unit*>(units.c_str());
        std::vector<nessel_unit> out(1024, 0);
        char codec[256] = "";
        const uint32_t code = NamePrep_U("UTF-8", in, out.data(), 2048, codec, 256, 0);
        if (code == kErrAllAscii) {
            // Nothing to convert: the prepared name is the ACE form already.
            std::vector<nessel_unit> prepared(1024, 0);
            ASSERT_EQ(talvex_name_prep_u(in, prepared.data(), 1024, 0xA5), 0u) << name;
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
    for (const auto& row : test::read_rows("domain/legacy.tsv", 3)) {
        const char *encoding = row[0].c_str(), *name = row[1].c_str(), *ace = row[2].c_str();
        const uint32_t type = str2enctype(encoding);
        if (type == 0) continue;  // not registered in this build
        std::string bytes;
        ASSERT_EQ(unicode_to_encoding(type, utf16(name), bytes), 1) << encoding;
        char out[512], codec[256];
        ASSERT_EQ(NamePrep(encoding, bytes.c_str(), out, sizeof out, codec, 256, 0), kOk)
            << encoding;
        EXPECT_STREQ(out, ace) << encoding;
        // And back into the legacy encoding.
        char native[512];
        ASSERT_EQ(AceToNative("amc-z", ace, native, encoding, 0), kOk) << encoding;
        EXPECT_EQ(std::string(native), bytes) << encoding;
    }
}
