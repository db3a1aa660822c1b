// SPDX-License-Identifier: MIT
// A name's domain-suffix zone, found from the RACEX form of its last labels
// only, against the zone index run on the whole RACEX form, on random tables,
// names and RACE suffix settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "ace/convert.h"
#include "ace/enc_utf.h"
#include "config/zone_table.h"
#include "domain/convert_domain.h"
#include "encoding/encoding.h"
#include "test_support.h"

namespace nessel {
namespace {

class RacexZone : public test::EncodingsTest {
protected:
    void TearDown() override { reset_ace_settings(); }
};

// A label of units that exercise every RACE compression case: ASCII, row 0
// above 0x7F, 0xFF escapes, one other row, a second row, row 0xD8.
std::u16string random_label(std::mt19937& rng) {
    static constexpr char16_t kUnits[] = {u'a', u'b', 0xFC, 0xFF, 0x4E2D, 0x4EFF, 0x0431, 0xD834};
    // Mostly short; sometimes long enough that its RACE form exceeds 63 bytes.
    const size_t len = rng() % 8 == 0 ? 20 + rng() % 60 : rng() % 6;
    const size_t kinds = rng() % 2 ? 3 : std::size(kUnits);  // often ASCII and row 0 only
    std::u16string s;
    for (size_t i = 0; i < len; ++i) s.push_back(kUnits[rng() % kinds]);
    return s;
}

std::u16string random_name(std::mt19937& rng) {
    std::u16string name = random_label(rng);
    const size_t labels = rng() % 12 == 0 ? 40 : rng() % 5;  // some over the 1024-byte form
    for (size_t i = 0; i < labels; ++i) {
        name.push_back(rng() % 6 == 0 ? u'@' : u'.');
        name += random_label(rng);
    }
    if (rng() % 20 == 0) name.insert(name.size() / 2, 1, u'\0');  // the form ends there
    return name;
}

// Names whose RACEX form is near its limits: runs of 63 and 64 bytes between
// dots (ASCII, "@" inside a run, row-0 labels around 63 bytes encoded), and
// forms of 1023 and 1024 bytes.
std::vector<std::u16string> boundary_names() {
    std::vector<std::u16string> names;
    for (size_t n = 61; n <= 65; ++n) names.push_back(u"x." + std::u16string(n, u'a') + u".b");
    names.push_back(std::u16string(31, u'a') + u"@" + std::u16string(31, u'a') + u".b");
    names.push_back(std::u16string(32, u'a') + u"@" + std::u16string(31, u'a') + u".b");
    for (size_t n = 30; n <= 40; ++n) names.push_back(u"x." + std::u16string(n, 0xFC) + u".b");
    std::u16string big;
    for (int i = 0; i < 16; ++i) big += std::u16string(63, u'a') + u".";
    big.pop_back();
    names.push_back(big);          // 1023 bytes
    names.push_back(big + u".");   // 1024 bytes
    return names;
}

// The labels of name after its last k separators.
std::u16string last_labels(const std::u16string& name, int k) {
    size_t cut = name.size();
    while (k-- > 0 && cut > 0) {
        cut = name.find_last_of(u".@", cut - 1);
        if (cut == std::u16string::npos) return name;
    }
    return name.substr(cut);
}

TEST_F(RacexZone, AgreesWithTheWholeForm) {
    std::mt19937 rng(20261206);
    const char* suffixes[] = {"", "-s", ".q", "x@"};
    int hits = 0, deep_hits = 0, refused = 0;
    for (int round = 0; round < 200; ++round) {
        set_ace_prefix("racex", "ra--");
        set_ace_suffix("race", suffixes[rng() % std::size(suffixes)]);
        std::vector<std::u16string> pool = boundary_names();
        for (int i = 0; i < 10; ++i) pool.push_back(random_name(rng));
        // Zones cut at dots from the RACEX forms of the pool, some not
        // starting at a dot.
        std::vector<ZoneRecord> records(rng() % 30);
        for (ZoneRecord& r : records) {
            std::memset(&r, 0, sizeof r);
            std::string form;
            if (racex_from_unicode(pool[rng() % pool.size()], form) == 0) continue;
            size_t cut = form.size();
            for (int dots = 1 + static_cast<int>(rng() % 3); dots > 0 && cut > 0; --dots)
                cut = form.rfind('.', cut - 1);
            std::string zone = form.substr(cut == std::string::npos ? 0 : cut);
            if (rng() % 8 == 0 && zone.size() > 1) zone.erase(0, 1);
            zone.resize(std::min(zone.size(), kMaxZoneField));
            std::memcpy(r.zone, zone.data(), zone.size());
        }
        const auto table = zone_table_of(records.data(), records.size());
        ASSERT_TRUE(table);
        // The pool itself, and random labels in front of a pool name's last
        // labels.
        std::vector<std::u16string> names = pool;
        for (int n = 0; n < 40; ++n)
            names.push_back(random_name(rng) + last_labels(pool[rng() % pool.size()], 1 + rng() % 3));
        for (const std::u16string& name : names) {
            std::string whole;
            const bool encoded = racex_from_unicode(until_zero(name), whole) == 1 &&
                                 !whole.empty() && whole.size() <= 8191;
            const int32_t expected = encoded ? table->find_suffix_zone(whole) : -1;
            int32_t record = 99;
            EXPECT_EQ(racex_suffix_zone(table.get(), name, record), encoded ? 1 : 0) << test::show(name);
            EXPECT_EQ(record, expected) << test::show(name) << " " << whole;
            EXPECT_EQ(racex_suffix_zone(nullptr, name, record), encoded ? 1 : 0);
            EXPECT_EQ(record, -1);
            hits += expected >= 0;
            deep_hits += expected >= 0 && std::count(records[expected].zone,
                                                     records[expected].zone + 256, '.') > 1;
            refused += !encoded;
        }
    }
    // The draw reaches every outcome often enough to mean something.
    EXPECT_GT(hits, 1000);
    EXPECT_GT(deep_hits, 300);
    EXPECT_GT(refused, 100);
}

}  // namespace
}  // namespace nessel
