// SPDX-License-Identifier: MIT
// config/zone_table.cpp: the zone table, one record per value of the DNSF
// key in enumeration order, its zone index, the current snapshot, and the
// parser of the zone value string.
//
// The index hashes each zone text from its last byte backwards, so that all
// the candidate suffixes of a name are hashed in one pass from its end.
#include "config/zone_table.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

#include "config/import.h"

namespace nessel {

namespace {

constexpr std::size_t kMaxValueString = 1023;  // a zone value string, as its 1024-byte buffer holds
constexpr uint32_t kImportThreshold = 6;       // fewer DNSF values than this: import first

constexpr uint32_t kFnvBasis = 2166136261u;
constexpr uint32_t kFnvPrime = 16777619u;
inline uint32_t hash_step(uint32_t h, unsigned char c) { return (h ^ c) * kFnvPrime; }

uint32_t hash_backwards(std::string_view s) {
    uint32_t h = kFnvBasis;
    for (std::size_t i = s.size(); i-- > 0;) h = hash_step(h, static_cast<unsigned char>(s[i]));
    return h;
}

// A text as a record holds it: up to its first zero byte, at most 255 bytes.
std::string_view clip(std::string_view text) {
    const std::size_t n = std::min(text.size(), kMaxZoneField);
    std::size_t i = 0;
    while (i < n && text[i] != '\0') ++i;  // texts are short: no library call
    return text.substr(0, i);
}

// The process's snapshot.  Made when the library is loaded and freed only
// when it is unloaded (release_zone_table_storage), so that no static
// destructor can come before the last use.
struct Current {
    std::mutex mu;  // held only to swap or copy the reference
    std::shared_ptr<const ZoneTable> table;
};
Current* g_current = new Current;
Current& current() { return *g_current; }
std::atomic<int32_t> g_loaded_count{0};

// Each thread keeps the snapshot it last used and its generation; it takes
// the lock only when a newer snapshot was published.
struct ThreadCache {
    uint64_t generation = 0;
    std::shared_ptr<const ZoneTable> table;
};
thread_local ThreadCache t_cache;

}  // namespace

std::atomic<uint64_t> zone_table_generation{1};

// ---------------------------------------------------------------------------
// Snapshot

ZoneView ZoneTable::operator[](int32_t i) const {
    const Record& r = records_[static_cast<std::size_t>(i)];
    ZoneView v;
    for (int f = 0; f < kZoneFieldCount; ++f) v.text[f] = text_.get() + r.offset[f];
    v.prep_flags = r.prep_flags;
    return v;
}

ZoneRecord ZoneTable::record(int32_t i) const {
    ZoneRecord r;
    std::memset(&r, 0, sizeof r);
    char (*fields[kZoneFieldCount])[256] = {&r.zone,       &r.codec,      &r.prefix,
                                            &r.suffix,     &r.alt_codec,  &r.alt_prefix,
                                            &r.alt_suffix, &r.strip_tail, &r.append_tail};
    const ZoneView v = (*this)[i];
    for (int f = 0; f < kZoneFieldCount; ++f) std::strcpy(*fields[f], v.text[f]);
    r.prep_flags = v.prep_flags;
    return r;
}

std::string_view ZoneTable::zone_text(int32_t i) const {
    return text_.get() + records_[static_cast<std::size_t>(i)].offset[kZone];
}

int32_t ZoneTable::lookup(uint32_t hash, std::string_view zone) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask; slots_[i] != 0; i = (i + 1) & mask)
        if (slot_hash_[i] == hash && zone_text(static_cast<int32_t>(slots_[i] - 1)) == zone)
            return static_cast<int32_t>(slots_[i] - 1);
    return -1;
}

int32_t ZoneTable::find_suffix_zone(std::string_view racex) const {
    int32_t best = -1;
    uint32_t h = kFnvBasis;
    // Candidates: the suffixes that begin with a "."; none longer than a zone.
    for (std::size_t i = racex.size(), len = 1; i-- > 0 && len <= kMaxZoneField; ++len) {
        h = hash_step(h, static_cast<unsigned char>(racex[i]));
        if (racex[i] != '.') continue;
        const int32_t r = lookup(h, racex.substr(i));
        if (r >= 0 && (best < 0 || r < best)) best = r;
    }
    return best;
}

int32_t ZoneTable::find_mailbox_zone(std::u16string_view name) const {
    // Candidates: what follows each "." or "@", taken as bytes.  A unit above
    // 0x7F equals no zone byte, so no longer suffix can match past it.
    char buf[kMaxZoneField];
    std::size_t len = 0;
    uint32_t h = kFnvBasis;
    int32_t best = -1;
    for (std::size_t i = name.size(); i-- > 0;) {
        const char16_t u = name[i];
        const char* start = buf + kMaxZoneField - len;
        // Mailbox zones never begin with "."; such a candidate is skipped.
        if ((u == u'.' || u == u'@') && (len == 0 || *start != '.')) {
            const int32_t r = lookup(h, std::string_view(start, len));
            if (r >= 0 && (best < 0 || r < best)) best = r;
        }
        if (u > 0x7F || len == kMaxZoneField) break;
        buf[kMaxZoneField - 1 - len++] = static_cast<char>(u);
        h = hash_step(h, static_cast<unsigned char>(u));
    }
    return best;
}

void ZoneTable::Builder::reserve(std::size_t records, std::size_t text_bytes) {
    offsets_.reserve(records * kZoneFieldCount);
    flags_.reserve(records);
    text_.reserve(text_bytes);
}

void ZoneTable::Builder::add(const std::string_view (&fields)[kZoneFieldCount],
                             int32_t prep_flags) {
    const std::size_t n = flags_.size();
    marks_.push_back(static_cast<uint32_t>(text_.size()));
    for (int f = 0; f < kZoneFieldCount; ++f) {
        const std::string_view t = clip(fields[f]);
        uint32_t off = 0;
        if (!t.empty()) {
            // Zones of one table mostly repeat their codec, prefix and the
            // like: each such text is stored once, so records that name the
            // same codec share its text (conversions key their codec lookups
            // on it).  The previous record's text is checked first.
            const uint32_t prev = n > 0 ? offsets_[(n - 1) * kZoneFieldCount + f] : 0;
            if (prev != 0 && t == std::string_view(text_.data() + prev)) {
                off = prev;
            } else if (f == kZone) {
                off = static_cast<uint32_t>(text_.size());
                text_.append(t).push_back('\0');
            } else {
                const auto [it, fresh] =
                    interned_.try_emplace(std::string(t), static_cast<uint32_t>(text_.size()));
                off = it->second;
                if (fresh) text_.append(t).push_back('\0');
            }
        }
        offsets_.push_back(off);
    }
    flags_.push_back(prep_flags);
}

void ZoneTable::Builder::resize(std::size_t records) {
    if (records < flags_.size()) {
        text_.resize(marks_[records]);
        interned_.clear();  // it may name texts past the cut
        marks_.resize(records);
        offsets_.resize(records * kZoneFieldCount);
        flags_.resize(records);
    }
    static constexpr std::string_view kEmpty[kZoneFieldCount] = {};
    while (flags_.size() < records) add(kEmpty, 0);
}

std::shared_ptr<const ZoneTable> ZoneTable::Builder::finish() {
    auto t = std::shared_ptr<ZoneTable>(new (std::nothrow) ZoneTable);
    if (!t) return nullptr;
    const std::size_t n = flags_.size();
    t->text_.reset(new (std::nothrow) char[text_.size()]);
    if (!t->text_) return nullptr;
    std::memcpy(t->text_.get(), text_.data(), text_.size());
    t->records_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        std::copy_n(&offsets_[i * kZoneFieldCount], kZoneFieldCount, t->records_[i].offset);
        t->records_[i].prep_flags = flags_[i];
    }
    std::size_t cap = 16;
    while (cap < 2 * n) cap *= 2;
    t->slots_.assign(cap, 0);
    t->slot_hash_.assign(cap, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view zone = t->zone_text(static_cast<int32_t>(i));
        if (!zone.empty() && zone[0] == '.')
            t->max_suffix_dots_ = std::max(t->max_suffix_dots_,
                                           static_cast<int>(std::count(zone.begin(), zone.end(), '.')));
        const uint32_t h = hash_backwards(zone);
        if (t->lookup(h, zone) >= 0) continue;  // an earlier record holds it
        std::size_t s = h & (cap - 1);
        while (t->slots_[s] != 0) s = (s + 1) & (cap - 1);
        t->slots_[s] = static_cast<uint32_t>(i + 1);
        t->slot_hash_[s] = h;
    }
    return t;
}

std::shared_ptr<const ZoneTable> zone_table_of(const ZoneRecord* records, std::size_t n) {
    ZoneTable::Builder b;
    for (std::size_t i = 0; i < n; ++i) {
        const ZoneRecord& r = records[i];
        const std::string_view fields[kZoneFieldCount] = {
            r.zone,       r.codec,      r.prefix,     r.suffix,     r.alt_codec,
            r.alt_prefix, r.alt_suffix, r.strip_tail, r.append_tail};
        b.add(fields, r.prep_flags);
    }
    return b.finish();
}

// ---------------------------------------------------------------------------
// The current snapshot

const ZoneTable* current_zone_table() {
    ThreadCache& c = t_cache;
    if (c.generation != zone_table_generation.load(std::memory_order_acquire)) {
        Current& cur = current();
        std::lock_guard<std::mutex> lock(cur.mu);
        c.table = cur.table;
        c.generation = zone_table_generation.load(std::memory_order_relaxed);
    }
    return c.table.get();
}

uint64_t current_zone_generation() { return t_cache.generation; }

std::shared_ptr<const ZoneTable> shared_zone_table() {
    Current& cur = current();
    std::lock_guard<std::mutex> lock(cur.mu);
    return cur.table;
}

void publish_zone_table(std::shared_ptr<const ZoneTable> table) {
    Current& cur = current();
    std::shared_ptr<const ZoneTable> old;
    {
        std::lock_guard<std::mutex> lock(cur.mu);
        old.swap(cur.table);
        cur.table = std::move(table);
        zone_table_generation.fetch_add(1, std::memory_order_release);
    }
    // old is freed here, outside the lock, unless a thread still uses it.
}

int32_t zone_count() { return g_loaded_count.load(std::memory_order_relaxed); }

void release_zone_table_storage() {
    release_zone_table();
    delete g_current;
    g_current = nullptr;
}

int release_zone_table() {
    const bool present = shared_zone_table() != nullptr;
    publish_zone_table(nullptr);
    return present ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Loading

namespace {

// The zone values, up to the most a table holds, read in one pass.
struct ValueReader {
    ZoneTable::Builder builder;
    uint32_t values = 0;
    bool sixth_named = false;  // the sixth value has a non-empty name
};

int read_values(ValueReader& reader) {
    using namespace platform;
    RegKey* key = nullptr;
    int status = reg_create_key(RegRoot::CurrentUser, kDnsfKey, kKeyAllAccess, &key);
    if (status != kErrorSuccess) return status;
    status = reg_enum_values(key, kMaxZoneRecords,
                             [&](std::string_view name, uint32_t, std::string_view data) {
        if (reader.values == kImportThreshold - 1) reader.sixth_named = !name.empty();
        ++reader.values;
        std::string_view fields[kZoneFieldCount];
        fields[kZone] = name;  // a value name above 255 bytes is cut like a field
        int32_t flags = 0;
        // The data is read as text whatever its stored type: up to its first
        // zero byte, and at most 1023 bytes of it.
        parse_zone_fields(data.substr(0, std::min(data.find('\0'), kMaxValueString)), fields, flags);
        reader.builder.add(fields, flags);
    });
    reg_close_key(key);
    return status;
}

// Reads the records inside one registry batch; 0 when the DNSF key holds too
// few values and no configuration file was found.
int read_table(std::shared_ptr<const ZoneTable>& table) {
    auto reader = std::make_unique<ValueReader>();
    // A key that cannot be read counts as one with too few values.
    if (read_values(*reader) != platform::kErrorSuccess) *reader = ValueReader();
    if (!reader->sixth_named) {
        if (locate_config_file() == 0) return 0;
        *reader = ValueReader();
        if (read_values(*reader) != platform::kErrorSuccess) *reader = ValueReader();
    }

    uint32_t stored = 0;
    (void)reg_read_dword(kTalvexClientKey, "NumOfDomainName", stored);
    // A negative count is no count; one above the limit would only add
    // empty records, so it is held to the limit.
    const int32_t count = std::clamp(static_cast<int32_t>(stored), 0, kMaxZoneRecords);
    // Only the first count values are records; past the last value a record
    // keeps an empty zone and fields.
    reader->builder.resize(static_cast<std::size_t>(count));
    table = reader->builder.finish();
    return 1;
}

}  // namespace

int load_zone_table() {
    // The whole read, and an import it may start, is one batch: another
    // process's import is seen entirely or not at all.  A store that cannot
    // be opened fails the load.
    if (platform::reg_begin_batch() != platform::kErrorSuccess) return 0;
    std::shared_ptr<const ZoneTable> table;
    const int found = read_table(table);
    if (platform::reg_end_batch(true) != platform::kErrorSuccess || found == 0 || !table) return 0;
    g_loaded_count.store(table->size(), std::memory_order_relaxed);
    publish_zone_table(std::move(table));
    return 1;
}

// ---------------------------------------------------------------------------
// Parsing

void parse_zone_fields(std::string_view s, std::string_view (&fields)[kZoneFieldCount],
                       int32_t& prep_flags) {
    constexpr auto npos = std::string_view::npos;
    std::size_t pos = 0;
    // Fields 1 to 5 count only when a separator follows them.
    constexpr ZoneField leading[] = {kAltPrefix, kAltCodec, kAltSuffix, kStripTail, kAppendTail};
    for (ZoneField field : leading) {
        std::size_t sep = s.find(';', pos);
        if (sep == npos) return;
        fields[field] = clip(s.substr(pos, sep - pos));
        pos = sep + 1;
    }
    // Field 6, prep_flags: text that is no number leaves it as it was.
    std::size_t sep = s.find(';', pos);
    if (sep == npos && pos == s.size()) return;
    int32_t flags = 0;
    if (scan_decimal(s.substr(pos, sep == npos ? npos : sep - pos), flags)) prep_flags = flags;
    if (sep == npos) return;
    pos = sep + 1;
    // Fields 7 to 9; the last one needs no separator behind it.
    constexpr ZoneField trailing[] = {kPrefix, kCodec, kSuffix};
    for (ZoneField field : trailing) {
        sep = s.find(';', pos);
        if (sep == npos) {
            if (pos < s.size()) fields[field] = clip(s.substr(pos));
            return;
        }
        fields[field] = clip(s.substr(pos, sep - pos));
        pos = sep + 1;
    }
}

void parse_zone_value(ZoneRecord& r, std::string_view s) {
    std::string_view fields[kZoneFieldCount];
    parse_zone_fields(s, fields, r.prep_flags);
    char (*slots[kZoneFieldCount])[256] = {nullptr,      &r.codec,      &r.prefix,
                                           &r.suffix,    &r.alt_codec,  &r.alt_prefix,
                                           &r.alt_suffix, &r.strip_tail, &r.append_tail};
    for (int f = kCodec; f < kZoneFieldCount; ++f) {
        if (fields[f].empty()) continue;
        std::memcpy(*slots[f], fields[f].data(), fields[f].size());
        (*slots[f])[fields[f].size()] = '\0';
    }
}

}  // namespace nessel
