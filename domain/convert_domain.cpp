// SPDX-License-Identifier: MIT
// domain/convert_domain.cpp: zone-directed conversion of a prepared name.
// A domain name finds its zone through its RACEX form (domain-suffix zones
// are written that way in the table); a mailbox with an ASCII domain part is
// matched against the mailbox zones as it stands.  The first match in table
// order wins.
#include "domain/convert_domain.h"

#include "ace/convert.h"
#include "base/result_codes.h"
#include "config/platform.h"
#include "config/zone_table.h"
#include "encoding/encoding.h"
#include "nameprep/nameprep.h"

namespace nessel {
namespace {

// The zone record of the branch's kind for name, or nullptr.  Domain-suffix
// zones are matched against the RACEX form, mailbox zones against the name.
bool find_zone(bool mailbox, std::u16string_view name, std::string_view racex, ZoneView& zone) {
    const ZoneTable* table = current_zone_table();
    // The settings this conversion leaves must not outlive a newer table.
    ace_settings_depend_on(zone_table_generation, current_zone_generation());
    if (table == nullptr) return false;  // none loaded, or released by DeinitSDK
    const int32_t i = mailbox ? table->find_mailbox_zone(name) : table->find_suffix_zone(racex);
    if (i < 0) return false;
    zone = (*table)[i];
    return true;
}

}  // namespace

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

// Buffers of one conversion on this thread, kept between calls: once they
// have grown to the largest text seen, converting a name allocates nothing.
struct ConvertScratch {
    std::string racex;  // the RACEX form matched against the zones
    char16_t work[kZonePrepCapacity];  // nameprep output under the zone's options
    std::string ace;  // result handed back by the wrappers below
    ConvertScratch() {
        racex.reserve(kMaxAceBytes + 1);
        ace.reserve(kMaxAceBytes + 1);
    }
};

ConvertScratch& scratch() {
    thread_local ConvertScratch s;
    return s;
}

// One run of the conversion into ace; it only computes its outcome, so that
// it can run again when another thread changed the settings it read.
struct Outcome {
    int ok = 0;
    uint32_t error = 0;
    const char* codec_used = nullptr;  // set once the record is chosen and its nameprep passed
};

Outcome convert_once(std::u16string_view name, bool prepared, std::string& ace,
                     std::string_view source_encoding) {
    Outcome o;
    uint32_t& error = o.error;
    const char*& codec_used = o.codec_used;
    // The work name holds 8191 units; a longer name cannot be converted.
    if (name.size() > kMaxNameUnits) {
        error = kErrConversion;
        return o;
    }
    ConvertScratch& s = scratch();
    const size_t at = name.find(u'@');
    const bool has_at = at != std::u16string_view::npos;
    const bool mailbox = has_at && is_all_ascii(name.substr(at + 1));

    s.racex.clear();
    if (!mailbox) {
        // Domain-suffix zones are written in RACEX form with "ra--"; only the
        // prefix is set, the RACE suffix stays as the last conversion left it.
        // The form is computed once and serves every zone candidate.
        set_ace_prefix("racex", "ra--");
        const EncodingEntry* racex = find_encoding("racex");
        if (racex == nullptr || racex->from_unicode(name, s.racex) == 0 || s.racex.empty() ||
            s.racex.size() > kMaxAceBytes) {
            error = kErrConversion;
            return o;
        }
    }
    ZoneView zone;
    if (!find_zone(mailbox, name, s.racex, zone)) {
        error = kErrNoZone;
        return o;
    }

    const uint32_t options = zone_prep_options(zone.prep_flags, source_encoding, has_at);
    std::u16string_view work = name;
    // A name that nameprep already prepared comes out of the zone's pass
    // unchanged for most options (always for the shipped zones): the pass
    // runs only where it can change or refuse the name.
    if (!prepared || !name_prep_keeps_prepared(name, options)) {
        size_t len = 0;
        if (name_prep_to(name, s.work, kZonePrepCapacity, options, len) != 0) {
            error = kErrNameprep;
            return o;
        }
        work = std::u16string_view(s.work, len);
    }

    // The primary codec's prefix and suffix are applied even when it is not
    // registered; an empty field empties the family's setting.
    const EncodingEntry* codec = find_encoding(zone.text[kCodec]);
    set_ace_prefix(zone.text[kCodec], zone.text[kPrefix]);
    set_ace_suffix(zone.text[kCodec], zone.text[kSuffix]);
    codec_used = zone.text[kCodec];
    if (codec == nullptr) {
        codec = find_encoding(zone.text[kAltCodec]);
        set_ace_prefix(zone.text[kAltCodec], zone.text[kAltPrefix]);
        set_ace_suffix(zone.text[kAltCodec], zone.text[kAltSuffix]);
        codec_used = zone.text[kAltCodec];
        if (codec == nullptr) {
            error = kErrConversion;
            return o;
        }
    }

    if (codec->from_unicode(work, ace) == 0) {
        error = kErrConversion;
        return o;
    }
    // The tail is cut at its last occurrence, wherever that stands.
    const std::string_view strip = zone.text[kStripTail];
    if (!strip.empty()) {
        const size_t cut = platform::find_last_nocase(ace, strip);
        if (cut != std::string_view::npos) ace.resize(cut);
    }
    ace.append(zone.text[kAppendTail]);
    // The ACE buffer holds 8191 bytes: a longer result (tail included) fails
    // like an encoder failure.
    if (ace.size() > kMaxAceBytes) {
        error = kErrConversion;
        return o;
    }
    o.ok = 1;
    return o;
}

}  // namespace

int convert_domain_ace(std::u16string_view name, bool prepared, std::string& ace,
                       const char*& codec_used, std::string_view source_encoding, uint32_t& error) {
    const Outcome o =
        with_ace_settings([&] { return convert_once(name, prepared, ace, source_encoding); });
    if (o.codec_used != nullptr) codec_used = o.codec_used;
    if (!o.ok) {
        error = o.error;
        return 0;
    }
    return 1;
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
    const size_t at = address.find(u'@');
    if (at == std::u16string_view::npos) {  // not an address: convert it whole
        if (convert_domain_ace(address, prepared, ace, codec_used, encoding, error) == 0)
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
