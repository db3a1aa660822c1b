// SPDX-License-Identifier: MIT
// config/zone_table.h: the zone table loaded from the registry.  A loaded
// table is an immutable snapshot: compact records (each text stored once,
// sized to itself) and a hash index from zone text to the first record that
// holds it.  Conversions take the current snapshot and keep it for as long
// as they run; a load or a release replaces it whole, and the old one is
// freed once no thread uses it any more.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "config/registry.h"

namespace nessel {

// One zone in the fixed layout of the zone value parser: text fields are
// zero-terminated and hold at most 255 bytes.
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

// The text fields of a zone, in record order.
enum ZoneField : int {
    kZone, kCodec, kPrefix, kSuffix, kAltCodec, kAltPrefix, kAltSuffix, kStripTail, kAppendTail,
    kZoneFieldCount
};

// Longest text of a field, zone included.
inline constexpr std::size_t kMaxZoneField = 255;

// One zone of a snapshot: zero-terminated texts owned by the snapshot.
struct ZoneView {
    const char* text[kZoneFieldCount];
    int32_t prep_flags;
    const char* zone() const { return text[kZone]; }
};

class ZoneTable {
public:
    int32_t size() const { return static_cast<int32_t>(records_.size()); }
    ZoneView operator[](int32_t i) const;
    // The record in the parser's fixed layout (for listings and tests).
    ZoneRecord record(int32_t i) const;

    // The lowest-numbered domain-suffix zone (text beginning with ".") that
    // ends racex at one of its dots, or -1.  The same record as the first
    // match of zone_suffix_match in table order.
    int32_t find_suffix_zone(std::string_view racex) const;
    // The lowest-numbered mailbox zone (text not beginning with ".") that
    // ends name right after one of its "." or "@", or -1.  The same record as
    // the first match of zone_suffix_match_w in table order.
    int32_t find_mailbox_zone(std::u16string_view name) const;
    // The most dots a domain-suffix zone holds (0 when there is none): a
    // candidate suffix with more dots matches no zone.
    int max_suffix_dots() const { return max_suffix_dots_; }

    // Builds a snapshot record by record.
    class Builder {
    public:
        void reserve(std::size_t records, std::size_t text_bytes);
        // Texts longer than kMaxZoneField bytes are cut; a text ends at its
        // first zero byte.
        void add(const std::string_view (&fields)[kZoneFieldCount], int32_t prep_flags);
        // Drops the records past n, or adds empty ones up to n.
        void resize(std::size_t records);
        std::shared_ptr<const ZoneTable> finish();

    private:
        std::vector<uint32_t> offsets_;  // kZoneFieldCount per record into text_
        std::vector<int32_t> flags_;
        std::vector<uint32_t> marks_;    // size of text_ before each record
        std::string text_{'\0'};         // offset 0: the empty text of every empty field
        // Offsets of the texts stored so far, zones excepted: a text that
        // recurs anywhere in the table is stored once.
        std::unordered_map<std::string, uint32_t> interned_;
    };

private:
    struct Record {
        uint32_t offset[kZoneFieldCount];
        int32_t prep_flags;
    };
    int32_t lookup(uint32_t hash, std::string_view zone) const;
    std::string_view zone_text(int32_t i) const;

    std::unique_ptr<char[]> text_;
    std::vector<Record> records_;
    // Open addressing: record index + 1 (0 = free) and the zone's hash.
    std::vector<uint32_t> slots_;
    std::vector<uint32_t> slot_hash_;
    int max_suffix_dots_ = 0;
};

// The current snapshot of this process, or null when none is loaded.  The
// thread keeps it alive until its next call.
const ZoneTable* current_zone_table();
// The same as a shared reference, for callers that keep it longer.
std::shared_ptr<const ZoneTable> shared_zone_table();
// Changes each time a snapshot is published.
extern std::atomic<uint64_t> zone_table_generation;
// The generation of the snapshot current_zone_table() last returned here.
uint64_t current_zone_generation();
// A snapshot of records in the fixed layout (tests, benchmarks).
std::shared_ptr<const ZoneTable> zone_table_of(const ZoneRecord* records, std::size_t n);
// Makes table (null: none) the current snapshot.
void publish_zone_table(std::shared_ptr<const ZoneTable> table);
// Records of the last successful load; kept when the table is released.
int32_t zone_count();

// Most records a table holds: a NumOfDomainName above it loads this many.
inline constexpr int32_t kMaxZoneRecords = 16384;

// Fills the table from the registry (importing the configuration file first
// when the zone key holds fewer than six values).  1 when loaded, else 0;
// a failed load leaves the table as it was.
[[nodiscard]] int load_zone_table();
// Drops the current snapshot; 1 when one was present.
int release_zone_table();
// Frees everything; only the unload of the library may call it.
void release_zone_table_storage();

// Fills a zeroed record's fields (all but zone) from a zone value string:
// "alt_prefix;alt_codec;alt_suffix;strip_tail;append_tail;prep_flags;prefix;codec;suffix".
void parse_zone_value(ZoneRecord& record, std::string_view value);
// The same into views of value (cut to kMaxZoneField); fields[kZone] is
// left alone, fields not in value are left as they are.
void parse_zone_fields(std::string_view value, std::string_view (&fields)[kZoneFieldCount],
                       int32_t& prep_flags);

}  // namespace nessel
