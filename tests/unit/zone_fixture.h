// SPDX-License-Identifier: MIT
// tests/unit/zone_fixture.h: an in-memory zone table for the conversion
// tests, laid out as a load from the registry leaves it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ace/convert.h"
#include "api/lifecycle.h"
#include "config/zone_table.h"
#include "encoding/encoding.h"

namespace nessel::test {

struct Zone {
    // The fields after the codec may be left out.
    std::string zone, codec, prefix{}, suffix{}, alt_codec{}, alt_prefix{}, alt_suffix{}, strip_tail{}, append_tail{};
    int32_t prep_flags = 0;
};

inline void install_zones(const std::vector<Zone>& zones) {
    std::vector<ZoneRecord> records(zones.size());
    for (size_t i = 0; i < zones.size(); ++i) {
        ZoneRecord& r = records[i];
        const Zone& z = zones[i];
        std::memset(&r, 0, sizeof r);
        for (auto [field, text] : {std::pair{r.zone, &z.zone}, {r.codec, &z.codec}, {r.prefix, &z.prefix},
                                   {r.suffix, &z.suffix}, {r.alt_codec, &z.alt_codec}, {r.alt_prefix, &z.alt_prefix},
                                   {r.alt_suffix, &z.alt_suffix}, {r.strip_tail, &z.strip_tail}, {r.append_tail, &z.append_tail}})
            std::memcpy(field, text->data(), std::min<size_t>(text->size(), 255));
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
