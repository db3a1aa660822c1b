// SPDX-License-Identifier: MIT
// config/zone_table.h: the in-memory zone table loaded from the registry.
#pragma once

#include <cstdint>
#include <string_view>

#include "config/registry.h"

namespace nessel {

// One zone.  Text fields are zero-terminated and hold at most 255 bytes.
struct ZoneRecord {
    char zone[256];
    char codec[256];
    char prefix[256];
    char suffix[256];
    char alt_codec[256];
    char alt_prefix[256];
    char alt_suffix[256];
    char strip_tail[256];
    char append_tail[256];
    int32_t prep_flags;
};

// The table: zone_count records at zone_table, or no storage (nullptr).
extern ZoneRecord* zone_table;
extern int32_t zone_count;

// Most records a table holds: a NumOfDomainName above it loads this many.
inline constexpr int32_t kMaxZoneRecords = 16384;

// Fills the table from the registry (importing the configuration file first
// when the zone key holds fewer than six values).  1 when loaded, else 0;
// a failed load leaves the table as it was.
[[nodiscard]] int load_zone_table();
// Frees the storage; 1 when a table was present.
int release_zone_table();

// Fills a zeroed record's fields (all but zone) from a zone value string:
// "alt_prefix;alt_codec;alt_suffix;strip_tail;append_tail;prep_flags;prefix;codec;suffix".
void parse_zone_value(ZoneRecord& record, std::string_view value);

}  // namespace nessel
