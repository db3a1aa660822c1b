// SPDX-License-Identifier: MIT
// ace/convert.cpp: the ACE prefix and suffix settings and their setters.
#include "ace/convert.h"

#include <cstring>

#include "encoding/encoding.h"

namespace nessel {
namespace {

constexpr AceSettings kDefaults = {"ra--", "", "lq--", "", "dq--", "", "xn--"};
AceSettings g_settings = kDefaults;

// Copies at most four characters and zero-fills the rest, so an empty value
// empties the setting.
void store(char (&slot)[5], const char* value) {
    std::memset(slot, 0, sizeof slot);
    for (size_t i = 0; i < 4 && value[i] != 0; ++i) slot[i] = value[i];
}

}  // namespace

const AceSettings& ace_settings() { return g_settings; }

void reset_ace_settings() { g_settings = kDefaults; }

void set_ace_prefix(const char* codec, const char* value) {
    if (codec == nullptr || value == nullptr) return;
    std::string_view c(codec);
    if (ascii_iequal(c, "race") || ascii_iequal(c, "racex"))
        store(g_settings.race_prefix, value);
    else if (ascii_iequal(c, "lace"))
        store(g_settings.lace_prefix, value);
    else if (ascii_iequal(c, "dude") || ascii_iequal(c, "dudex"))
        store(g_settings.dude_prefix, value);
    else if (ascii_iequal(c, "amc-z") || ascii_iequal(c, "amc-zx") || ascii_iequal(c, "punycode"))
        store(g_settings.punycode_prefix, value);
}

void set_ace_suffix(const char* codec, const char* value) {
    if (codec == nullptr || value == nullptr) return;
    std::string_view c(codec);
    if (ascii_iequal(c, "race") || ascii_iequal(c, "racex"))
        store(g_settings.race_suffix, value);
    else if (ascii_iequal(c, "lace"))
        store(g_settings.lace_suffix, value);
    else if (ascii_iequal(c, "dude") || ascii_iequal(c, "dudex"))
        store(g_settings.dude_suffix, value);
}

}  // namespace nessel
