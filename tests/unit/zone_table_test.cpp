// SPDX-License-Identifier: MIT
// tests/unit/zone_table_test.cpp: the zone value parser and the loading of the
// zone table from the registry store.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "config/zone_table.h"
#include "config_support.h"

namespace nessel {
namespace {

using test::ConfigTest;

struct Parsed {
    std::string alt_prefix, alt_codec, alt_suffix, strip_tail, append_tail;
    int32_t flags;
    std::string prefix, codec, suffix;
};

Parsed parse(std::string_view s) {
    ZoneRecord r;
    std::memset(&r, 0, sizeof r);
    parse_zone_value(r, s);
    return {r.alt_prefix, r.alt_codec, r.alt_suffix, r.strip_tail, r.append_tail, r.prep_flags,
            r.prefix,     r.codec,     r.suffix};
}

TEST(ParseZoneValue, FieldLengthLimit) {
    const std::string f255(255, 'x'), f256(256, 'y'), f2000(2000, 'z');
    Parsed p = parse(f255 + ";" + f256 + ";" + f2000 + ";;;1;" + f256 + ";c;" + f2000);
    EXPECT_EQ(p.alt_prefix, f255);                 // exactly 255 is kept whole
    EXPECT_EQ(p.alt_codec, f256.substr(0, 255));   // longer ones are cut
    EXPECT_EQ(p.alt_suffix, f2000.substr(0, 255));
    EXPECT_EQ(p.prefix, f256.substr(0, 255));
    EXPECT_EQ(p.suffix, f2000.substr(0, 255));
    EXPECT_EQ(p.flags, 1);
}

class ZoneTableLoad : public ConfigTest {};

std::string zone_of(int i) { return test::zone(i).zone; }

TEST_F(ZoneTableLoad, SixValuesLoadWithoutImport) {
    test::write_file(work() + "/pellow.ini", test::make_ini("VERSION=9", test::zone_entries(7)));
    set_zones({{".a", ";;;;;1;xn--;punycode;"}, {".b", "x"}, {".c", "x"}, {".d", "x"}, {".e", "x"},
               {".f", ";;;;;2;ra--;race;"}});
    ASSERT_EQ(reg_write_dword(kTalvexClientKey, "NumOfDomainName", 6), 0);
    ASSERT_EQ(load_zone_table(), 1);
    ASSERT_EQ(zone_count(), 6);
    EXPECT_EQ(zone_of(0), ".a");
    EXPECT_STREQ(test::zone(0).codec, "punycode");
    EXPECT_EQ(test::zone(5).prep_flags, 2);
    EXPECT_EQ(client_dword("LastUpdateVersion"), 0xDEADBEEFu) << "the file was imported";
}

TEST_F(ZoneTableLoad, FiveValuesImportFirst) {
    test::write_file(work() + "/pellow.ini", test::make_ini("VERSION=9", test::zone_entries(7)));
    set_zones({{".a", "x"}, {".b", "x"}, {".c", "x"}, {".d", "x"}, {".e", "x"}});
    ASSERT_EQ(load_zone_table(), 1);
    ASSERT_EQ(zone_count(), 7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(zone_of(i), ".z" + std::to_string(i + 1));
    EXPECT_STREQ(test::zone(6).prefix, "xn--");
    EXPECT_EQ(client_dword("LastUpdateVersion"), 9u);
    // Loading again finds seven values and imports nothing more.
    test::write_file(work() + "/pellow.ini", test::make_ini("VERSION=10", test::zone_entries(9)));
    ASSERT_EQ(load_zone_table(), 1);
    EXPECT_EQ(zone_count(), 7);
    EXPECT_EQ(client_dword("LastUpdateVersion"), 9u);
}

TEST_F(ZoneTableLoad, FiveValuesAndNoFileFails) {
    set_zones({{".a", "x"}, {".b", "x"}, {".c", "x"}, {".d", "x"}, {".e", "x"}});
    ASSERT_EQ(reg_write_dword(kTalvexClientKey, "NumOfDomainName", 5), 0);
    // No InstallPath and no file along the search order.
    EXPECT_EQ(load_zone_table(), 0);
    EXPECT_EQ(shared_zone_table(), nullptr);
    // InstallPath present and empty: no search, even with a file in reach.
    test::write_file(work() + "/pellow.ini", test::make_ini("VERSION=1", test::zone_entries(7)));
    ASSERT_EQ(reg_write_text(kTalvexClientKey, "InstallPath", ""), 0);
    EXPECT_EQ(load_zone_table(), 0);
    EXPECT_EQ(shared_zone_table(), nullptr);
    // InstallPath naming a directory without the file: the import finds
    // nothing, yet the load goes on with the five values.
    ASSERT_EQ(reg_write_text(kTalvexClientKey, "InstallPath", work() + "/nowhere"), 0);
    EXPECT_EQ(load_zone_table(), 1);
    EXPECT_EQ(zone_count(), 5);
}

TEST_F(ZoneTableLoad, CountLargerAndSmallerThanValues) {
    std::vector<std::pair<std::string, std::string>> zones;
    for (int i = 0; i < 8; ++i) zones.push_back({".v" + std::to_string(i), "a;b;c;d;e;3;p;c;s"});
    set_zones(zones);

    ASSERT_EQ(reg_write_dword(kTalvexClientKey, "NumOfDomainName", 10), 0);
    ASSERT_EQ(load_zone_table(), 1);
    ASSERT_EQ(zone_count(), 10);
    EXPECT_EQ(zone_of(7), ".v7");
    EXPECT_EQ(test::zone(7).prep_flags, 3);
    for (int i : {8, 9}) {  // surplus records are empty
        EXPECT_EQ(zone_of(i), "");
        EXPECT_STREQ(test::zone(i).codec, "");
        EXPECT_EQ(test::zone(i).prep_flags, 0);
    }

    // Smaller: the first values only, in the same storage, rebuilt.
    ASSERT_EQ(reg_write_text(kDnsfKey, ".v0", ";;;;;9;;changed;"), 0);  // keeps its place
    ASSERT_EQ(reg_write_dword(kTalvexClientKey, "NumOfDomainName", 3), 0);
    ASSERT_EQ(load_zone_table(), 1);
    ASSERT_EQ(zone_count(), 3);
    EXPECT_EQ(zone_of(0), ".v0");
    EXPECT_STREQ(test::zone(0).codec, "changed");
    EXPECT_EQ(zone_of(2), ".v2");

    // Larger again: new storage, every record read again.
    ASSERT_EQ(reg_write_dword(kTalvexClientKey, "NumOfDomainName", 8), 0);
    ASSERT_EQ(load_zone_table(), 1);
    ASSERT_EQ(zone_count(), 8);
    EXPECT_EQ(zone_of(7), ".v7");
}

TEST_F(ZoneTableLoad, CountAbsentNegativeOrHuge) {
    std::vector<std::pair<std::string, std::string>> zones;
    for (int i = 0; i < 6; ++i) zones.push_back({".v" + std::to_string(i), "x"});
    set_zones(zones);
    ASSERT_EQ(load_zone_table(), 1);  // no NumOfDomainName: an empty table
    EXPECT_EQ(zone_count(), 0);
    EXPECT_NE(shared_zone_table(), nullptr);

    ASSERT_EQ(reg_write_dword(kTalvexClientKey, "NumOfDomainName", 0xFFFFFFFFu), 0);  // -1
    ASSERT_EQ(load_zone_table(), 1);
    EXPECT_EQ(zone_count(), 0);

    ASSERT_EQ(reg_write_dword(kTalvexClientKey, "NumOfDomainName", 0x7FFFFFFFu), 0);
    ASSERT_EQ(load_zone_table(), 1);
    EXPECT_EQ(zone_count(), kMaxZoneRecords);
    EXPECT_EQ(zone_of(5), ".v5");
    EXPECT_EQ(zone_of(kMaxZoneRecords - 1), "");
}

TEST_F(ZoneTableLoad, DataReadAsText) {
    // Names whose order by name is their order of creation, so that a store
    // that enumerates by name gives the same table.
    const std::string long_name = std::string(".").append(299, 'a');
    const std::string long_value = std::string(1100, 'a') + ";b;c;d;e;1;p;c;s";
    set_zones({{long_name, long_value},
               {".nul", std::string("a;b;c;d;e;5;p\0;hidden;s", 23)},
               {".x3", "x"}, {".x4", "x"}, {".x5", "x"}});
    ASSERT_EQ(reg_write_dword(kDnsfKey, ".zdword", 0x3B3B3B41u), 0);  // "A;;;" as text
    ASSERT_EQ(reg_write_dword(kTalvexClientKey, "NumOfDomainName", 6), 0);
    ASSERT_EQ(load_zone_table(), 1);
    EXPECT_EQ(zone_of(0), long_name.substr(0, 255));
    // The first 1023 bytes hold no separator: no field is set.
    EXPECT_STREQ(test::zone(0).alt_prefix, "");
    EXPECT_STREQ(test::zone(0).codec, "");
    // Text ends at the first zero byte.
    EXPECT_STREQ(test::zone(1).prefix, "p");
    EXPECT_STREQ(test::zone(1).codec, "");
    EXPECT_EQ(test::zone(1).prep_flags, 5);
    EXPECT_STREQ(test::zone(5).alt_prefix, "A");
    EXPECT_STREQ(test::zone(5).alt_suffix, "");
}

TEST_F(ZoneTableLoad, CorruptOrUnopenableStoreFailsCleanly) {
#ifdef _WIN32
    GTEST_SKIP() << "the store is the system registry here, not a file of the user's";
#endif
    std::filesystem::create_directories(home() + "/.config/nessel");
    test::write_file(store(), std::string(4096, 'G'));  // not a database
    test::write_file(work() + "/pellow.ini", test::make_ini("VERSION=1", test::zone_entries(7)));
    EXPECT_EQ(load_zone_table(), 0);
    EXPECT_EQ(shared_zone_table(), nullptr);

    std::filesystem::remove(store());
    std::filesystem::create_directories(store());  // a directory where the file belongs
    EXPECT_EQ(load_zone_table(), 0);

    std::filesystem::remove_all(home() + "/.config");
    test::write_file(home() + "/.config", "a file where the directory belongs");
    EXPECT_EQ(load_zone_table(), 0);
}

TEST_F(ZoneTableLoad, ReleaseKeepsCountAndNextLoadAllocates) {
    test::write_file(work() + "/pellow.ini", test::make_ini("VERSION=1", test::zone_entries(6)));
    ASSERT_EQ(load_zone_table(), 1);
    EXPECT_EQ(release_zone_table(), 1);
    EXPECT_EQ(shared_zone_table(), nullptr);
    EXPECT_EQ(zone_count(), 6);
    EXPECT_EQ(release_zone_table(), 0);
    ASSERT_EQ(load_zone_table(), 1);
    ASSERT_NE(shared_zone_table(), nullptr);
    EXPECT_EQ(zone_of(5), ".z6");
}

}  // namespace
}  // namespace nessel
