// SPDX-License-Identifier: MIT
// tests/unit/zone_fixture.h: an in-memory zone table for the conversion
// tests, laid out as a load from the registry leaves it.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ace/convert.h"
#include "api/lifecycle.h"
#include "config/zone_table.h"
#include "encoding/encoding.h"

namespace nessel::test {

struct Zone {
    std::string zone;
    std::string codec;
    std::string prefix = "";
    std::string suffix = "";
    std::string alt_codec = "";
    std::string alt_prefix = "";
    std::string alt_suffix = "";
    std::string strip_tail = "";
    std::string append_tail = "";
    int32_t prep_flags = 0;
};

inline void copy_field(char (&dst)[256], const std::string& src) {
    std::memset(dst, 0, sizeof dst);
    std::memcpy(dst, src.data(), src.size() < 255 ? src.size() : 255);
}

inline void install_zones(const std::vector<Zone>& zones) {
    std::vector<ZoneRecord> records(zones.size());
    for (size_t i = 0; i < zones.size(); ++i) {
        ZoneRecord& r = records[i];
        const Zone& z = zones[i];
        copy_field(r.zone, z.zone);
        copy_field(r.codec, z.codec);
        copy_field(r.prefix, z.prefix);
        copy_field(r.suffix, z.suffix);
        copy_field(r.alt_codec, z.alt_codec);
        copy_field(r.alt_prefix, z.alt_prefix);
        copy_field(r.alt_suffix, z.alt_suffix);
        copy_field(r.strip_tail, z.strip_tail);
        copy_field(r.append_tail, z.append_tail);
        r.prep_flags = z.prep_flags;
    }
    publish_zone_table(zone_table_of(records.data(), records.size()));
}

// The zone that stands for a prepared non-ASCII top-level label: "." and
// its RACEX form with the prefix "ra--".
inline std::string racex_zone(std::u16string_view label) {
    set_ace_prefix("racex", "ra--");
    std::string out;
    const EncodingEntry* racex = find_encoding("racex");
    if (racex == nullptr || racex->from_unicode(label, out) == 0) return {};
    return "." + out;
}

// The library initialised with the default ACE settings; whatever zone
// table a test installs is released after it.
class ZoneTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(init_once(), 1);
        reset_ace_settings();
    }
    void TearDown() override { release_zone_table(); }
};

}  // namespace nessel::test
