// SPDX-License-Identifier: MIT
// tests/unit/import_test.cpp: the profile reader, the configuration file
// import and the search for the file.
#include <gtest/gtest.h>

#include <filesystem>

#include "config/import.h"
#include "config/platform.h"
#include "config/registry.h"
#include "config/zone_table.h"
#include "config_support.h"

namespace nessel {
namespace {

using test::ConfigTest;
using test::Entry;
using test::make_ini;
using test::write_file;

class ProfileReader : public ConfigTest {};

TEST_F(ProfileReader, LookupRules) {
    write_file(work() + "/p.ini",
               "\xEF\xBB\xBFtop=outside any section\n"
               "[Other]\nName=other\n"
               "  [ pellow ]  trailing text\r\n"
               "  Name  =  spaced value  \r\n"
               "name=second occurrence\n"
               "Quoted=\"in quotes\"\n"
               "Single='x'\n"
               "Mismatched=\"x'\n"
               "Empty=\n"
               "NoEquals\n"
               ";Comment=1\n"
               "Eq=a=b\n"
               "Num1= 42abc\n"
               "Num2=-7\n"
               "Num3=\n"
               "Num4=abc\n"
               "Num5=99999999999\n"
               "[PELLOW]\nLater=not consulted\n");
    platform::Profile* p = platform::profile_open(work() + "/p.ini");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Pellow", "name", "spaced value"},   // first key of that name, trimmed
        {"PELLOW", "NAME", "spaced value"},   // names without regard to case
        {"pellow", "Quoted", "in quotes"},
        {"pellow", "Single", "x"},
        {"pellow", "Mismatched", "\"x'"},
        {"pellow", "Empty", ""},
        {"pellow", "NoEquals", "DEF"},        // a key without "=" has no value
        // Wine's GetPrivateProfileStringA finds a key written like a comment.
        {"pellow", ";Comment", test::running_under_wine() ? "1" : "DEF"},
        {"pellow", "Eq", "a=b"},
        {"pellow", "Later", "DEF"},           // a repeated section is not read
        {"pellow", "top", "DEF"},
        {"other", "Name", "other"},
        {"missing", "Name", "DEF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::profile_get_string(p, c.section, c.key, "DEF", 1040), c.expected)
            << c.section << "/" << c.key;
    EXPECT_EQ(platform::profile_get_string(p, "pellow", "name", "DEF", 4), "spa");  // capacity - 1
    EXPECT_EQ(platform::profile_get_int(p, "pellow", "Num1", 5), 42u);
    EXPECT_EQ(platform::profile_get_int(p, "pellow", "Num2", 5), 0u);
    EXPECT_EQ(platform::profile_get_int(p, "pellow", "Num3", 5), 5u);  // empty: the default
    EXPECT_EQ(platform::profile_get_int(p, "pellow", "Num4", 5), 0u);
    // Too large for 32 bits: the largest number; Wine's GetPrivateProfileIntA
    // keeps the low 32 bits instead.
    EXPECT_EQ(platform::profile_get_int(p, "pellow", "Num5", 5),
              test::running_under_wine() ? static_cast<uint32_t>(99999999999ull) : 0xFFFFFFFFu);
    EXPECT_EQ(platform::profile_get_int(p, "pellow", "Absent", 5), 5u);
    platform::profile_close(p);

    platform::Profile* none = platform::profile_open(work() + "/does-not-exist.ini");
    EXPECT_EQ(platform::profile_get_int(none, "Pellow", "NumKey", 0), 0u);
    EXPECT_EQ(platform::profile_get_string(none, "Pellow", "Key00001", "ERROR_NAME", 1040), "ERROR_NAME");
    platform::profile_close(none);
}

class Import : public ConfigTest {
protected:
    std::string ini() const { return work() + "/in.ini"; }
};

TEST_F(Import, EntriesZonesAndVersion) {
    std::vector<Entry> e(7);
    e[0] = {"HKEY_CURRENT_USER", test::kDnsf, ".zz", "STRING", ";;;;;165;xn--;punycode;"};
    e[1] = {"hkey_local_machine", "software\\talvex international inc.\\talvex client\\dnsf", ".yy",
            "string", "x"};                                                     // case of root, SubKey, type
    e[2] = {"HKEY_CURRENT_USER", test::kClientKey, "InstallPath", "STRING", "/opt/x"};  // not a zone
    e[3] = {"HKEY_CURRENT_USER", test::kDnsf, "num", "NUMERIC", "12abc"};       // a zone as DWORD
    e[4] = {"HKEY_CURRENT_USER", "Software\\Other", "neg", "Numeric", "-2"};
    e[5] = {"HKEY_CURRENT_USER", "Software\\Other", "text", "NUMERIC", "abc"};
    e[6] = {"HKEY_CURRENT_USER", test::kDnsf, ".zz", "STRING", "again"};       // repeat counts again
    write_file(ini(), make_ini("VERSION= 17", e));
    set_zones({{".old", "x"}});
    ASSERT_EQ(reg_write_text(std::string(kDnsfKey) + "\\Sub", "keep", "me"), 0);

    EXPECT_EQ(import_config_file(ini()), 1);
    EXPECT_EQ(zone_names(), test::in_enumeration_order({".zz", ".yy", "num"}));
    std::string v;
    ASSERT_EQ(reg_read_text(kDnsfKey, ".zz", v), 0);
    EXPECT_EQ(v, "again");
    uint32_t n = 0;
    ASSERT_EQ(reg_read_dword(kDnsfKey, "num", n), 0);
    EXPECT_EQ(n, 12u);
    ASSERT_EQ(reg_read_dword("Software\\Other", "neg", n), 0);
    EXPECT_EQ(n, 0xFFFFFFFEu);
    ASSERT_EQ(reg_read_dword("Software\\Other", "text", n), 0);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(client_text("InstallPath"), "/opt/x");
    EXPECT_EQ(client_dword("NumOfDomainName"), 4u);
    EXPECT_EQ(client_dword("LastUpdateVersion"), 17u);
    ASSERT_EQ(reg_read_text(std::string(kDnsfKey) + "\\Sub", "keep", v), 0);  // subkeys stay
    EXPECT_EQ(v, "me");
}

TEST_F(Import, MalformedEntriesAreSkipped) {
    std::vector<Entry> e = test::zone_entries(3);
    std::string text = make_ini("VERSION=3", e);
    // Entry 2 loses its ValueType key.
    text.erase(text.find("ValueType00002"), text.find("\r\n", text.find("ValueType00002")) + 2 -
                                                 text.find("ValueType00002"));
    text += "Key00004=HKEY_CURRENT_USER\r\nSubKey00004=" + std::string(test::kDnsf) +
            "\r\nValueName00004=.bin\r\nValueType00004=BINARY\r\nValue00004=1\r\n";
    text += "Key00005=HKEY_CURRENT_USER\r\nSubKey00005=" + std::string(test::kDnsf) +
            "\r\nValueName00005=.err\r\nValueType00005=STRING\r\nValue00005=error_name\r\n";
    text.replace(text.find("NumKey=3"), 8, "NumKey=5");
    write_file(ini(), text);
    EXPECT_EQ(import_config_file(ini()), 1);
    EXPECT_EQ(zone_names(), (std::vector<std::string>{".z1", ".z3"}));
    EXPECT_EQ(client_dword("NumOfDomainName"), 2u);
}

TEST_F(Import, RootRules) {
    std::vector<Entry> e(3);
    e[0] = {"HKEY_USERS", test::kDnsf, ".first", "STRING", "x"};  // no root chosen yet: skipped
    e[1] = {"HKEY_LOCAL_MACHINE", test::kDnsf, ".second", "STRING", "x"};
    e[2] = {"HKEY_CLASSES_ROOT", test::kDnsf, ".third", "STRING", "x"};  // earlier root kept
    write_file(ini(), make_ini("VERSION=1", e));
    EXPECT_EQ(import_config_file(ini()), 1);
    EXPECT_EQ(zone_names(), (std::vector<std::string>{".second", ".third"}));
    EXPECT_EQ(client_dword("NumOfDomainName"), 2u);
}

TEST_F(Import, FailedWriteStillCounts) {
    std::vector<Entry> e(2);
    e[0] = {"HKEY_CURRENT_USER", test::kDnsf, ".ok", "STRING", "x"};
    e[1] = {"HKEY_CURRENT_USER", "\\bad\\\\path", ".bad", "STRING", "x"};  // invalid key path
    write_file(ini(), make_ini("VERSION=1", e));
    EXPECT_EQ(import_config_file(ini()), 1);
    EXPECT_EQ(client_dword("NumOfDomainName"), 1u);  // the bad path is not the DNSF key
    e[1].subkey = test::kDnsf;
    e[1].name = std::string(70000, 'n');  // too long for a value name? the store takes it
    write_file(ini(), make_ini("VERSION=1", e));
    EXPECT_EQ(import_config_file(ini()), 1);
    EXPECT_EQ(client_dword("NumOfDomainName"), 2u);
}

TEST_F(Import, NothingToImport) {
    set_zones({{".keep", "x"}});
    struct Case {
        const char* note;
        std::string content;
    } cases[] = {
        {"no NumKey", "VERSION=5\n[Pellow]\nKey00001=HKEY_CURRENT_USER\n"},
        {"NumKey 0", "VERSION=5\n[Pellow]\nNumKey=0\n"},
        {"NumKey in another section", "VERSION=5\n[Other]\nNumKey=3\n"},
        {"HTML error page", "<html><body><h1>404 Not Found</h1></body></html>\n"},
        {"empty file", ""},
    };
    for (const auto& c : cases) {
        write_file(ini(), c.content);
        EXPECT_EQ(import_config_file(ini()), 0) << c.note;
    }
    EXPECT_EQ(import_config_file(work() + "/missing.ini"), 0);
    EXPECT_EQ(zone_names(), std::vector<std::string>{".keep"});
    EXPECT_EQ(client_dword("LastUpdateVersion"), 0xDEADBEEFu);
}

TEST_F(Import, AllEntriesMalformedClearsZones) {
    set_zones({{".a", "x"}, {".b", "x"}});
    write_file(ini(), "VERSION=4\n[Pellow]\nNumKey=2\nKey00001=HKEY_CURRENT_USER\n");
    EXPECT_EQ(import_config_file(ini()), 1);
    EXPECT_TRUE(zone_names().empty());
    EXPECT_EQ(client_dword("NumOfDomainName"), 0u);
    EXPECT_EQ(client_dword("LastUpdateVersion"), 4u);
}

TEST_F(Import, VersionLine) {
    struct Case {
        std::string first_line;
        uint32_t expected;
    } cases[] = {
        {"VERSION=12", 12},       {"VERSION=   7", 7},   {"VERSION=-3", 0xFFFFFFFDu},
        {"VERSION=8x", 8},        {"version=12", 0},     {" VERSION=12", 0},
        {"", 0},                  {"VERSION=", 0},       {"X VERSION=12", 0},
    };
    for (const auto& c : cases) {
        std::string text = make_ini("", test::zone_entries(1));
        text = c.first_line + "\n" + text;
        write_file(ini(), text);
        ASSERT_EQ(import_config_file(ini()), 1) << c.first_line;
        EXPECT_EQ(client_dword("LastUpdateVersion"), c.expected) << c.first_line;
    }
}

TEST_F(Import, EntryCountIsBounded) {
    if (test::running_under_wine())
        GTEST_SKIP() << "500,000 lookups through Wine's GetPrivateProfileStringA take minutes";
    // A huge NumKey is read up to the last five-digit entry, not for ever.
    write_file(ini(), "VERSION=1\n[Pellow]\nNumKey=4000000000\n"
                      "Key99999=HKEY_CURRENT_USER\nSubKey99999=" + std::string(test::kDnsf) +
                      "\nValueName99999=.last\nValueType99999=STRING\nValue99999=x\n");
    EXPECT_EQ(import_config_file(ini()), 1);
    EXPECT_EQ(zone_names(), std::vector<std::string>{".last"});
}

class Locate : public ConfigTest {};

TEST_F(Locate, InstallPathRules) {
    std::filesystem::create_directories(work() + "/inst");
    write_file(work() + "/inst/pellow.ini", make_ini("VERSION=2", test::zone_entries(2, "inst")));
    write_file(work() + "/pellow.ini", make_ini("VERSION=3", test::zone_entries(3, "cwd")));

    // Absent: found along the search order (here the working directory).
    EXPECT_EQ(locate_config_file(), 1);
    EXPECT_EQ(client_dword("LastUpdateVersion"), 3u);

    // Present: that directory, also when it ends with a separator.
    for (std::string dir : {work() + "/inst", work() + "/inst/"}) {
        ASSERT_EQ(reg_write_text(kTalvexClientKey, "InstallPath", dir), 0);
        ASSERT_EQ(reg_write_dword(kTalvexClientKey, "LastUpdateVersion", 0), 0);
        EXPECT_EQ(locate_config_file(), 1);
        EXPECT_EQ(client_dword("LastUpdateVersion"), 2u) << dir;
    }

    // Present but naming no file: found (handed to the import), nothing imported.
    ASSERT_EQ(reg_write_text(kTalvexClientKey, "InstallPath", work() + "/empty"), 0);
    ASSERT_EQ(reg_write_dword(kTalvexClientKey, "LastUpdateVersion", 0), 0);
    EXPECT_EQ(locate_config_file(), 1);
    EXPECT_EQ(client_dword("LastUpdateVersion"), 0u);

    // Present and empty: no search at all.
    ASSERT_EQ(reg_write_text(kTalvexClientKey, "InstallPath", ""), 0);
    EXPECT_EQ(locate_config_file(), 0);

    // Too long for the 260-byte path buffer once "/pellow.ini" is added.
    ASSERT_EQ(reg_write_text(kTalvexClientKey, "InstallPath", "/" + std::string(248, 'd')), 0);
    EXPECT_EQ(locate_config_file(), 0);
}

TEST_F(Locate, SearchOrderWithoutInstallPath) {
#ifdef _WIN32
    const char list_sep = ';';
#else
    const char list_sep = ':';
#endif
    // Not in the working directory: each directory of PATH in order.
    for (const char* d : {"/p1", "/p2", "/p3"}) std::filesystem::create_directories(tmp() + d);
    write_file(tmp() + "/p2/pellow.ini", make_ini("VERSION=22", test::zone_entries(1)));
    write_file(tmp() + "/p3/pellow.ini", make_ini("VERSION=33", test::zone_entries(1)));
    std::filesystem::create_directories(tmp() + "/p1/pellow.ini");  // a directory is no file
#ifdef _WIN32
    // SearchPathA stops at the first name that matches, and a directory is
    // no configuration file: nothing is found.
    const std::string p1_only = tmp() + "/p1" + list_sep + tmp() + "/p2";
    {
        const std::string saved = getenv("PATH") ? getenv("PATH") : "";
        test::set_env("PATH", p1_only.c_str());
        std::string none;
        EXPECT_EQ(platform::search_file("pellow.ini", none), 0) << none;
        test::set_env("PATH", saved.c_str());
    }
    std::filesystem::remove(tmp() + "/p1/pellow.ini");
#endif
    const std::string old_path = getenv("PATH") ? getenv("PATH") : "";
    const std::string path_list = std::string(2, list_sep) + tmp() + "/p1" + list_sep + tmp() + "/p2" +
                                  list_sep + tmp() + "/p3";
    test::set_env("PATH", path_list.c_str());
    // The system may write the found path with its own separators.
    auto same_file = [](const std::string& a, const std::string& b) {
        std::error_code ec;
        return std::filesystem::equivalent(a, b, ec);
    };
    std::string found;
    EXPECT_EQ(platform::search_file("pellow.ini", found), 1);
    EXPECT_TRUE(same_file(found, tmp() + "/p2/pellow.ini")) << found;
    EXPECT_EQ(locate_config_file(), 1);
    EXPECT_EQ(client_dword("LastUpdateVersion"), 22u);
    // The working directory comes before PATH.
    write_file(work() + "/pellow.ini", make_ini("VERSION=44", test::zone_entries(1)));
    EXPECT_EQ(platform::search_file("pellow.ini", found), 1);
    EXPECT_TRUE(same_file(found, work() + "/pellow.ini")) << found;
    test::set_env("PATH", tmp().c_str());
    std::filesystem::remove(work() + "/pellow.ini");
    EXPECT_EQ(platform::search_file("pellow.ini", found), 0);
    EXPECT_EQ(locate_config_file(), 0);
    test::set_env("PATH", old_path.c_str());
}

}  // namespace
}  // namespace nessel
