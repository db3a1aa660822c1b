// SPDX-License-Identifier: MIT
// config/zone_table.cpp: the zone table, one record per value of the DNSF
// key in enumeration order, and the parser of the zone value string.
#include "config/zone_table.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "config/import.h"

namespace nessel {

ZoneRecord* zone_table = nullptr;
int32_t zone_count = 0;

namespace {

constexpr std::size_t kMaxValueString = 1023;  // a zone value string, as its 1024-byte buffer holds
constexpr int kImportThreshold = 6;            // fewer DNSF values than this: import first

using Field = char (ZoneRecord::*)[256];

// Text longer than a record field holds is cut to its first 255 bytes.
void store(char (&field)[256], std::string_view text) {
    std::size_t n = std::min(text.size(), sizeof field - 1);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

// Reads the records inside one registry batch; 0 when the DNSF key holds too
// few values and no configuration file was found.
int read_records(std::vector<ZoneRecord>& records) {
    using namespace platform;
    std::string sixth;
    RegKey* key = nullptr;
    if (reg_create_key(RegRoot::CurrentUser, kDnsfKey, kKeyAllAccess, &key) == kErrorSuccess) {
        if (reg_enum_value(key, kImportThreshold - 1, &sixth, nullptr, nullptr) != kErrorSuccess)
            sixth.clear();
        reg_close_key(key);
    }
    if (sixth.empty() && locate_config_file() == 0) return 0;

    uint32_t stored = 0;
    (void)reg_read_dword(kTalvexClientKey, "NumOfDomainName", stored);
    int32_t count = static_cast<int32_t>(stored);
    // A negative count is no count; one above the limit would only add
    // empty records, so it is held to the limit.
    count = std::clamp(count, 0, kMaxZoneRecords);

    ZoneRecord empty;
    std::memset(&empty, 0, sizeof empty);
    records.assign(static_cast<std::size_t>(count), empty);
    if (reg_create_key(RegRoot::CurrentUser, kDnsfKey, kKeyAllAccess, &key) != kErrorSuccess)
        return 1;  // every record stays empty
    std::string name, data;
    for (int32_t i = 0; i < count; ++i) {
        // Past the last value the record keeps an empty zone and fields.
        if (reg_enum_value(key, static_cast<uint32_t>(i), &name, nullptr, &data) != kErrorSuccess)
            continue;
        ZoneRecord& r = records[static_cast<std::size_t>(i)];
        store(r.zone, name);  // a value name above 255 bytes is cut like a field
        // The data is read as text whatever its stored type: up to its first
        // zero byte, and at most 1023 bytes of it.
        std::string_view text(data);
        text = text.substr(0, std::min(text.find('\0'), kMaxValueString));
        parse_zone_value(r, text);
    }
    reg_close_key(key);
    return 1;
}

}  // namespace

void parse_zone_value(ZoneRecord& r, std::string_view s) {
    constexpr auto npos = std::string_view::npos;
    std::size_t pos = 0;
    // Fields 1 to 5 count only when a separator follows them.
    constexpr Field leading[] = {&ZoneRecord::alt_prefix, &ZoneRecord::alt_codec,
                                 &ZoneRecord::alt_suffix, &ZoneRecord::strip_tail,
                                 &ZoneRecord::append_tail};
    for (Field field : leading) {
        std::size_t sep = s.find(';', pos);
        if (sep == npos) return;
        store(r.*field, s.substr(pos, sep - pos));
        pos = sep + 1;
    }
    // Field 6, prep_flags: text that is no number leaves 0.
    std::size_t sep = s.find(';', pos);
    if (sep == npos && pos == s.size()) return;
    int32_t flags = 0;
    if (scan_decimal(s.substr(pos, sep == npos ? npos : sep - pos), flags)) r.prep_flags = flags;
    if (sep == npos) return;
    pos = sep + 1;
    // Fields 7 to 9; the last one needs no separator behind it.
    constexpr Field trailing[] = {&ZoneRecord::prefix, &ZoneRecord::codec, &ZoneRecord::suffix};
    for (Field field : trailing) {
        sep = s.find(';', pos);
        if (sep == npos) {
            if (pos < s.size()) store(r.*field, s.substr(pos));
            return;
        }
        store(r.*field, s.substr(pos, sep - pos));
        pos = sep + 1;
    }
}

int load_zone_table() {
    // The whole read, and an import it may start, is one batch: another
    // process's import is seen entirely or not at all.  A store that cannot
    // be opened fails the load.
    if (platform::reg_begin_batch() != platform::kErrorSuccess) return 0;
    std::vector<ZoneRecord> records;
    int found = read_records(records);
    if (platform::reg_end_batch(true) != platform::kErrorSuccess || found == 0) return 0;

    const auto count = static_cast<int32_t>(records.size());
    // Storage is kept when it is large enough, and replaced when the count grew.
    if (zone_table != nullptr && count > zone_count) release_zone_table();
    if (zone_table == nullptr) {
        zone_table = new (std::nothrow) ZoneRecord[static_cast<std::size_t>(count)];
        if (zone_table == nullptr) return 0;
    }
    zone_count = count;
    if (count > 0) std::memcpy(zone_table, records.data(), records.size() * sizeof(ZoneRecord));
    return 1;
}

int release_zone_table() {
    if (zone_table == nullptr) return 0;
    delete[] zone_table;
    zone_table = nullptr;
    return 1;
}

}  // namespace nessel
