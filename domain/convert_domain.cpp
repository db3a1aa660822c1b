// SPDX-License-Identifier: MIT
// domain/convert_domain.cpp: zone-directed conversion of a prepared name.
// A domain name finds its zone through its RACEX form (domain-suffix zones
// are written that way in the table); a mailbox with an ASCII domain part is
// matched against the mailbox zones as it stands.  The first match in table
// order wins.
#include "domain/convert_domain.h"

#include <cstring>

#include "ace/convert.h"
#include "ace/enc_utf.h"
#include "base/result_codes.h"
#include "base/units.h"
#include "config/platform.h"
#include "config/zone_table.h"
#include "domain/scratch.h"
#include "encoding/encoding.h"
#include "nameprep/nameprep.h"

namespace nessel {
int is_all_ascii(std::u16string_view s) {
    for (char16_t u : s)
        if (u > 0x7F) return 0;
    return 1;
}

int zone_suffix_match(std::string_view name, std::string_view zone) {
    const size_t n = name.size(), z = zone.size();
    if (n < z) return 0;
    if (name.substr(n - z) != zone) return 0;
    if (z > 0 && zone[0] == '.') return 1;
    if (n == z) return 0;
    const char before = name[n - z - 1];
    return (before == '.' || before == '@') ? 1 : 0;
}

int zone_suffix_match_w(std::u16string_view name, std::string_view zone) {
    const size_t n = name.size(), z = zone.size();
    if (n < z) return 0;
    for (size_t i = 0; i < z; ++i) {
        // The zone byte is widened as a signed char: 0x80..0xFF become
        // negative and so never equal a unit.
        const int zb = static_cast<signed char>(zone[i]);
        if (static_cast<int>(name[n - z + i]) != zb) return 0;
    }
    if (z > 0 && zone[0] == '.') return 1;
    if (n == z) return 0;
    const char16_t before = name[n - z - 1];
    return (before == u'.' || before == u'@') ? 1 : 0;
}

uint32_t zone_prep_options(int32_t prep_flags, std::string_view source_encoding, bool has_at) {
    uint32_t options = static_cast<uint32_t>(prep_flags);
    // Only text that came as "gb" or "Big5" keeps the folding to Simplified
    // Chinese; "GBK" does not count.
    if (!ascii_iequal(source_encoding, "gb") && !ascii_iequal(source_encoding, "Big5"))
        options &= ~kPrepToSimplified;
    if (has_at) options |= kPrepDelimiters | kPrepAllowUnderscore;
    return options;
}

namespace {

// The codecs of one zone record resolved against the encoding registry.  The
// snapshot stores each text once, so every record naming the same codec
// points at the same text: the lookups by name run once per snapshot and
// registry state instead of once per name.
struct CodecMemo {
    uint64_t zone_generation = 0;
    uint64_t registry_generation = 0;  // 0: nothing resolved yet
    const char* codec_text = nullptr;
    const char* alt_text = nullptr;
    const EncodingEntry* codec = nullptr;
    const EncodingEntry* alt = nullptr;
    int prefix_slot = -1, suffix_slot = -1, alt_prefix_slot = -1, alt_suffix_slot = -1;
};

// Buffers of one conversion on this thread.
struct ConvertScratch {
    // The RACEX form (or one label of it) matched against the zones.
    ReservedString<char, kMaxAceBytes> racex;
    char16_t work[kZonePrepCapacity];  // nameprep output under the zone's options
    ReservedString<char, kMaxAceBytes> ace;  // result handed back by the wrappers below
    CodecMemo memo;
    uint64_t racex_generation = 0;  // registry generation of racex_entry
    const EncodingEntry* racex_entry = nullptr;
};

ConvertScratch& scratch() { return thread_scratch<ConvertScratch>(); }

const CodecMemo& resolve_codecs(ConvertScratch& s, const ZoneView& zone) {
    CodecMemo& m = s.memo;
    const uint64_t zone_generation = current_zone_generation();
    const uint64_t registry_generation = encoding_generation();
    if (m.registry_generation == registry_generation && m.zone_generation == zone_generation &&
        m.codec_text == zone.text[kCodec] && m.alt_text == zone.text[kAltCodec])
        return m;
    m.zone_generation = zone_generation;
    m.registry_generation = registry_generation;
    m.codec_text = zone.text[kCodec];
    m.alt_text = zone.text[kAltCodec];
    m.codec = find_encoding(m.codec_text);
    m.alt = find_encoding(m.alt_text);
    m.prefix_slot = ace_prefix_slot(m.codec_text);
    m.suffix_slot = ace_suffix_slot(m.codec_text);
    m.alt_prefix_slot = ace_prefix_slot(m.alt_text);
    m.alt_suffix_slot = ace_suffix_slot(m.alt_text);
    return m;
}

const EncodingEntry* racex_entry(ConvertScratch& s) {
    const uint64_t generation = encoding_generation();
    if (s.racex_generation != generation) {
        s.racex_entry = find_encoding("racex");
        s.racex_generation = generation;
    }
    return s.racex_entry;
}

// Longest text the RACEX encoder keeps as it is: a longer one, or one with a
// run of more than 63 characters between dots, has its long labels split.
constexpr size_t kRacexWhole = 1023;
constexpr size_t kRacexRun = 63;

// True when the RACEX form of name, read up to its first zero unit (whose
// position goes to length), is its plain RACE form under the RACE prefix and
// suffix in force: no label split, nothing refused, and neither setting
// holds a dot.  A label's size is bounded from its length first and counted
// exactly only when the bound is too large; a text near the limits may be
// sent to the whole form needlessly, never the other way round.
bool plain_racex(std::u16string_view name, std::string_view prefix, std::string_view suffix,
                 size_t& length) {
    if (prefix.find('.') != std::string_view::npos || suffix.find('.') != std::string_view::npos)
        return false;
    const size_t affixes = prefix.size() + suffix.size();
    const char16_t* s = name.data();
    const size_t n = name.size();
    size_t total = 0, run = 0;
    for (size_t pos = 0;;) {
        size_t end = pos;
        char16_t any = 0;
        // ".", "@" and zero are all at most "@": one compare passes most units.
        for (; end < n; ++end) {
            const char16_t c = s[end];
            if (c <= u'@' && (c == u'.' || c == u'@' || c == 0)) break;
            any |= c;
        }
        size_t len = end - pos;
        if (any >= 0x80) {
            if (len > kMaxLabelUnits) return false;  // the encoder refuses it
            // At most two bytes per unit and the row byte, in base32.
            len = affixes + (8 * (1 + 2 * len) + 4) / 5;
            if (run + len > kRacexRun || total + len > kRacexWhole)
                len = race_label_size(s + pos, end - pos, affixes);
        }
        total += len;
        run += len;
        if (run > kRacexRun || total > kRacexWhole) return false;
        if (end == n || s[end] == 0) {
            length = end;
            return total > 0;
        }
        ++total;
        run = s[end] == u'.' ? 0 : run + 1;
        pos = end + 1;
    }
}

}  // namespace

int racex_suffix_zone(const ZoneTable* table, std::u16string_view name, int32_t& record) {
    record = -1;
    ConvertScratch& sc = scratch();
    size_t length = 0;
    const AceSettings& settings = ace_settings();
    const std::string_view prefix = settings.race_prefix, suffix = settings.race_suffix;
    if (!plain_racex(name, prefix, suffix, length)) {
        // Empty, refused, or with long labels split: the whole form decides.
        name = until_zero(name);
        const EncodingEntry* racex = racex_entry(sc);
        if (racex == nullptr || racex->from_unicode(name, sc.racex) == 0 || sc.racex.empty() ||
            sc.racex.size() > kMaxAceBytes)
            return 0;
        if (table != nullptr) record = table->find_suffix_zone(sc.racex);
        return 1;
    }
    name = name.substr(0, length);
    // Only the last labels can reach a zone: the candidates start at a dot,
    // hold no more dots than some zone and no more bytes than a zone.  Each
    // label is at most kRacexRun bytes long here.
    char tail[kMaxZoneField + kRacexRun + 2];
    size_t start = sizeof tail;
    const char16_t* s = name.data();
    const size_t max_dots = table != nullptr ? static_cast<size_t>(table->max_suffix_dots()) : 0;
    for (size_t end = name.size(), dots = 0; max_dots > 0;) {
        size_t pos = end;
        char16_t any = 0;
        for (; pos > 0 && s[pos - 1] != u'.' && s[pos - 1] != u'@'; --pos) any |= s[pos - 1];
        const size_t len = end - pos;
        if (any < 0x80) {
            start -= len;
            for (size_t j = 0; j < len; ++j) tail[start + j] = static_cast<char>(s[pos + j]);
        } else {
            sc.racex.clear();
            const size_t n = race_label_encode(s + pos, len, prefix, suffix, sc.racex);
            start -= n;
            std::memcpy(tail + start, sc.racex.data(), n);
        }
        if (pos == 0) break;
        tail[--start] = static_cast<char>(s[pos - 1]);
        if (s[pos - 1] == u'.' && ++dots == max_dots) break;
        if (sizeof tail - start > kMaxZoneField) break;
        end = pos - 1;
    }
    // The encoder itself must be registered, as the whole form needs it.
    if (racex_entry(sc) == nullptr) return 0;
    if (max_dots > 0) record = table->find_suffix_zone(std::string_view(tail + start, sizeof tail - start));
    return 1;
}

namespace {

// One run of the conversion into ace; it only computes its outcome, so that
// it can run again when another thread changed the settings it read.
struct Outcome {
    int ok = 0;
    uint32_t error = 0;
    const char* codec_used = nullptr;  // set once the record is chosen and its nameprep passed
};

// The record of the zone that name falls in: a mailbox with an ASCII domain
// part among the mailbox zones, any other name through its RACEX form.  -1
// when no zone matches or no table is loaded (none yet, or released by
// DeinitSDK); 0 returned when the name has no RACEX form.  at is the
// position of the first "@" of name (npos: none).
int find_zone(const ZoneTable* table, std::u16string_view name, size_t at, int32_t& record) {
    record = -1;
    if (at != std::u16string_view::npos && is_all_ascii(name.substr(at + 1))) {
        if (table != nullptr) record = table->find_mailbox_zone(name);
        return 1;
    }
    // Domain-suffix zones are written in RACEX form with "ra--"; only the
    // prefix is set, the RACE suffix stays as the last conversion left it.
    set_ace_setting(kRacePrefixSlot, "ra--");
    return racex_suffix_zone(table, name, record);
}

// The name under the zone's nameprep options, in s.work or name itself; 0
// when nameprep refuses it.  A name that nameprep already prepared comes out
// of the zone's pass unchanged for most options (always for the shipped
// zones): the pass runs only where it can change or refuse the name.
int prepare_for_zone(ConvertScratch& s, std::u16string_view name, bool prepared, uint32_t options,
                     std::u16string_view& work) {
    work = name;
    if (prepared && name_prep_keeps_prepared(name, options)) return 1;
    size_t len = 0;
    if (name_prep_to(name, s.work, kZonePrepCapacity, options, len) != 0) return 0;
    work = std::u16string_view(s.work, len);
    return 1;
}

// Applies the zone's prefix and suffix settings and gives the codec that
// encodes under it (null when neither the primary nor the alternative is
// registered), with codec_used set to its name.  The primary codec's
// settings are applied even when it is not registered; an empty field
// empties the family's setting.
const EncodingEntry* select_codec(ConvertScratch& s, const ZoneView& zone, const char*& codec_used) {
    const CodecMemo& m = resolve_codecs(s, zone);
    set_ace_setting(m.prefix_slot, zone.text[kPrefix]);
    set_ace_setting(m.suffix_slot, zone.text[kSuffix]);
    codec_used = zone.text[kCodec];
    if (m.codec != nullptr) return m.codec;
    set_ace_setting(m.alt_prefix_slot, zone.text[kAltPrefix]);
    set_ace_setting(m.alt_suffix_slot, zone.text[kAltSuffix]);
    codec_used = zone.text[kAltCodec];
    return m.alt;
}

// Encodes work into ace and applies the zone's tails: the strip tail is cut
// at its last occurrence, wherever that stands, then the append tail added.
// 0 when the encoder fails or the result (tail included) exceeds the 8191
// bytes of the ACE buffer.
int encode_with_tails(const EncodingEntry& codec, std::u16string_view work, const ZoneView& zone,
                      std::string& ace) {
    if (codec.from_unicode(work, ace) == 0) return 0;
    const std::string_view strip = zone.text[kStripTail];
    if (!strip.empty()) {
        const size_t cut = platform::find_last_nocase(ace, strip);
        if (cut != std::string_view::npos) ace.resize(cut);
    }
    ace.append(zone.text[kAppendTail]);
    return ace.size() <= kMaxAceBytes ? 1 : 0;
}

Outcome fail(Outcome o, uint32_t error) {
    o.error = error;
    return o;
}

// One conversion: zone, the zone's nameprep, codec, encoding.
Outcome convert_once(std::u16string_view name, size_t at, bool prepared, std::string& ace,
                     std::string_view source_encoding) {
    Outcome o;
    // The work name holds 8191 units; a longer name cannot be converted.
    if (name.size() > kMaxNameUnits) return fail(o, kErrConversion);
    const ZoneTable* table = current_zone_table();
    // The settings this conversion leaves must not outlive a newer table.
    ace_settings_depend_on(zone_table_generation, current_zone_generation());
    int32_t record = -1;
    if (find_zone(table, name, at, record) == 0) return fail(o, kErrConversion);
    if (record < 0) return fail(o, kErrNoZone);
    const ZoneView zone = (*table)[record];

    ConvertScratch& s = scratch();
    const uint32_t options =
        zone_prep_options(zone.prep_flags, source_encoding, at != std::u16string_view::npos);
    std::u16string_view work;
    if (prepare_for_zone(s, name, prepared, options, work) == 0) return fail(o, kErrNameprep);
    const EncodingEntry* codec = select_codec(s, zone, o.codec_used);
    if (codec == nullptr || encode_with_tails(*codec, work, zone, ace) == 0)
        return fail(o, kErrConversion);
    o.ok = 1;
    return o;
}

int convert_ace_at(std::u16string_view name, size_t at, bool prepared, std::string& ace,
                   const char*& codec_used, std::string_view source_encoding, uint32_t& error) {
    const Outcome o =
        with_ace_settings([&] { return convert_once(name, at, prepared, ace, source_encoding); });
    if (o.codec_used != nullptr) codec_used = o.codec_used;
    if (!o.ok) {
        error = o.error;
        return 0;
    }
    return 1;
}

}  // namespace

int convert_domain_ace(std::u16string_view name, bool prepared, std::string& ace,
                       const char*& codec_used, std::string_view source_encoding, uint32_t& error) {
    return convert_ace_at(name, find_unit(name, u'@'), prepared, ace, codec_used, source_encoding, error);
}

int convert_domain(std::u16string_view name, std::u16string& output, const char*& codec_used,
                   std::string_view source_encoding, uint32_t& error) {
    std::string& ace = scratch().ace;
    if (convert_domain_ace(name, false, ace, codec_used, source_encoding, error) == 0) return 0;
    output.assign(ace.begin(), ace.end());
    return 1;
}

namespace {

void append_widened(std::u16string& output, std::string_view ace) {
    const size_t old = output.size();
    output.resize(old + ace.size());
    for (size_t i = 0; i < ace.size(); ++i) output[old + i] = static_cast<unsigned char>(ace[i]);
}

}  // namespace

int convert_address(std::u16string_view address, std::u16string& output, const char*& codec_used,
                    std::string_view encoding, uint32_t& error, bool prepared) {
    std::string& ace = scratch().ace;
    const size_t at = find_unit(address, u'@');
    if (at == std::u16string_view::npos) {  // not an address: convert it whole
        if (convert_ace_at(address, at, prepared, ace, codec_used, encoding, error) == 0)
            return 0;
        append_widened(output, ace);
        return 1;
    }
    const std::u16string_view local = address.substr(0, at);
    std::u16string_view to_convert = address;
    std::u16string_view unconverted = address;
    if (is_all_ascii(local)) {
        output.append(address.substr(0, at + 1));
        to_convert = address.substr(at + 1);
        unconverted = to_convert;
    }
    if (convert_domain_ace(to_convert, prepared, ace, codec_used, encoding, error) == 0) {
        output.append(unconverted);
        return 0;
    }
    append_widened(output, ace);
    return 1;
}

}  // namespace nessel
