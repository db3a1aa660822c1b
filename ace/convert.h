// SPDX-License-Identifier: MIT
// ace/convert.h: the process-wide ACE prefix and suffix settings.
// Each setting holds at most four characters; the prefixed codecs read them
// at every call, so a setting stays in force until the next setter call.
#pragma once

#include <string_view>

namespace nessel {

struct AceSettings {
    char race_prefix[5];
    char race_suffix[5];
    char lace_prefix[5];
    char lace_suffix[5];
    char dude_prefix[5];
    char dude_suffix[5];
    char punycode_prefix[5];
};

// The current settings (defaults "ra--", "lq--", "dq--", "xn--", empty suffixes).
const AceSettings& ace_settings();
// Restores the defaults (used by tests and the program's fresh start).
void reset_ace_settings();

// Store the first four characters of value into the setting that codec
// selects ("race"/"racex", "lace", "dude"/"dudex", "amc-z"/"amc-zx"/"punycode"
// for prefixes); other names and null arguments change nothing.
void set_ace_prefix(const char* codec, const char* value);
void set_ace_suffix(const char* codec, const char* value);

inline std::string_view race_prefix() { return ace_settings().race_prefix; }
inline std::string_view race_suffix() { return ace_settings().race_suffix; }
inline std::string_view lace_prefix() { return ace_settings().lace_prefix; }
inline std::string_view dude_prefix() { return ace_settings().dude_prefix; }
inline std::string_view punycode_prefix() { return ace_settings().punycode_prefix; }

}  // namespace nessel
