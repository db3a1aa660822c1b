// SPDX-License-Identifier: MIT
// domain/convert_domain.h: the forward conversion of one prepared name to
// ACE as the zone table prescribes, and the helpers it shares with the
// address and native-encoding front ends (domain/to_ace.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/flags.h"
#include "base/limits.h"

namespace nessel {

// Working limits of one conversion.  Each is enforced: a text that would not
// fit makes the conversion fail instead of growing past it.
inline constexpr size_t kMaxNameUnits = kNameBuffer - 1;  // work name / prepared name, terminator excluded
inline constexpr size_t kMaxAceBytes = kAceBuffer - 1;  // ACE buffer, terminator excluded
inline constexpr size_t kZonePrepCapacity = kLabelBuffer;  // nameprep output with the zone's options
// The options NamePrep prepares an address with.
inline constexpr uint32_t kAddressPrepFlags =
    kPrepLocalRules | kPrepMapIdeographicStop | kPrepDelimiters | kPrepAllowUnderscore;

// 1 when every unit is at most 0x7F (an empty string included), else 0.
[[nodiscard]] int is_all_ascii(std::u16string_view s);

// 1 when zone ends name exactly and either begins with "." or stands after
// a "." or "@" of name; else 0.  The _w form compares each unit of name with
// the zone byte taken as a signed 8-bit value, so zone bytes of 0x80 and
// above never match.
[[nodiscard]] int zone_suffix_match(std::string_view name, std::string_view zone);
[[nodiscard]] int zone_suffix_match_w(std::u16string_view name, std::string_view zone);

// The nameprep options for a name under a zone: prep_flags, without
// kPrepToSimplified unless the text came as "gb" or "Big5", with
// kPrepDelimiters and kPrepAllowUnderscore for a name holding "@".
[[nodiscard]] uint32_t zone_prep_options(int32_t prep_flags, std::string_view source_encoding,
                                         bool has_at);

class ZoneTable;

// Sets record to the first domain-suffix zone of table (none when table is
// null) that ends the RACEX form of name, under the RACE prefix and suffix
// in force, at one of its dots; -1 when none does.  Returns 0, record -1,
// when name has no RACEX form (empty, refused by the encoder, longer than
// 8191 bytes encoded, or the encoder not registered).
[[nodiscard]] int racex_suffix_zone(const ZoneTable* table, std::u16string_view name,
                                    int32_t& record);

// The core of convert_domain.  prepared tells that name is nameprep's output
// under kAddressPrepFlags: the zone's nameprep pass is then left out where it
// provably returns the name unchanged.  On success ace holds the ACE text
// (bytes) and 1 is returned; on failure 0, error receives the code and ace
// holds nothing of use.  ace is the caller's buffer, reused between calls so
// that a conversion does not allocate.
[[nodiscard]] int convert_domain_ace(std::u16string_view name, bool prepared, std::string& ace,
                                     const char*& codec_used, std::string_view source_encoding,
                                     uint32_t& error);

// Converts one prepared name (a domain name, or a whole mailbox whose local
// part is not ASCII) to ACE.  On success output is replaced by the ACE text,
// one unit per byte, and 1 is returned.  codec_used is set to the zone
// record's `codec` or `alt_codec` once the record is chosen and its nameprep
// passed.  On failure 0 is returned, error receives 4001, 6001 or 6002 and
// output is unchanged.  Changes the ACE prefix and suffix settings.
[[nodiscard]] int convert_domain(std::u16string_view name, std::u16string& output,
                                 const char*& codec_used, std::string_view source_encoding,
                                 uint32_t& error);

// Converts local@domain and APPENDS the result to output: an ASCII local
// part passes unchanged and only the domain part is converted; otherwise the
// whole address is.  On failure output receives the address unchanged
// (completing a local part already appended) and error the code.
[[nodiscard]] int convert_address(std::u16string_view address, std::u16string& output,
                                  const char*& codec_used, std::string_view encoding,
                                  uint32_t& error, bool prepared = false);

}  // namespace nessel
