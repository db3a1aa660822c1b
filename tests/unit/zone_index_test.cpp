// SPDX-License-Identifier: MIT
// tests/unit/zone_index_test.cpp: the zone index against the plain
// first-match scan in table order, on random tables and names.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "config/zone_table.h"
#include "domain/convert_domain.h"

namespace nessel {
namespace {

// Short texts over a small alphabet, so that duplicates, zones that end
// each other and names that hit them are common.  "\xC3" never matches a
// unit; "@" and empty zones are odd but legal.
std::string random_text(std::mt19937& rng, const char* alphabet, int max_len) {
    std::string s;
    const int len = static_cast<int>(rng() % static_cast<unsigned>(max_len + 1));
    for (int i = 0; i < len; ++i) s.push_back(alphabet[rng() % std::strlen(alphabet)]);
    return s;
}

TEST(ZoneIndex, AgreesWithFirstMatchScan) {
    std::mt19937 rng(20261206);
    for (int round = 0; round < 300; ++round) {
        std::vector<ZoneRecord> records(rng() % 40);
        for (ZoneRecord& r : records) {
            std::memset(&r, 0, sizeof r);
            std::string z = random_text(rng, "ab.@\xC3", 5);
            if (rng() % 2) z = "." + z;  // about half are domain-suffix zones
            if (rng() % 50 == 0) z = std::string(255, 'a');
            std::memcpy(r.zone, z.data(), z.size());
        }
        const auto table = zone_table_of(records.data(), records.size());
        ASSERT_TRUE(table);
        for (int n = 0; n < 60; ++n) {
            std::string racex = random_text(rng, "ab.", 9);
            if (rng() % 50 == 0) racex = std::string(300, 'a');
            int32_t expected = -1;
            for (int32_t i = 0; i < table->size() && expected < 0; ++i)
                if (records[i].zone[0] == '.' && zone_suffix_match(racex, records[i].zone)) expected = i;
            EXPECT_EQ(table->find_suffix_zone(racex), expected) << racex;

            std::u16string name;
            for (char c : random_text(rng, "ab.@u", 9)) name.push_back(c == 'u' ? u'\u00FC' : c);
            expected = -1;
            for (int32_t i = 0; i < table->size() && expected < 0; ++i)
                if (records[i].zone[0] != '.' && zone_suffix_match_w(name, records[i].zone)) expected = i;
            EXPECT_EQ(table->find_mailbox_zone(name), expected);
        }
    }
}

}  // namespace
}  // namespace nessel
