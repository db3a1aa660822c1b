// SPDX-License-Identifier: MIT
// config/import.cpp: the configuration file import.  The file is a list of
// numbered registry entries in the section [Pellow]; the entries aimed at the
// DNSF key are the zones.
#include "config/import.h"

#include <cstdio>
#include <string_view>

#include "base/ascii.h"
#include "config/platform.h"
#include "config/registry.h"

namespace nessel {

namespace {

constexpr std::string_view kSection = "Pellow";
constexpr std::string_view kAbsent = "ERROR_NAME";  // default of every entry key
constexpr std::size_t kValueCapacity = 1040;        // each value read holds 1039 characters
constexpr std::size_t kMaxPath = 259;               // what a 260-byte path buffer holds
constexpr std::size_t kVersionHead = 4096;          // bytes read for the version line

// Deletes every value of the DNSF key (its subkeys stay).
void clear_dnsf_key() {
    using namespace platform;
    RegKey* key = nullptr;
    if (reg_create_key(RegRoot::CurrentUser, kDnsfKey, kKeyAllAccess, &key) != kErrorSuccess) return;
    std::string name;
    // Stop also when a delete fails: the same first value would come back forever.
    while (reg_enum_value(key, 0, &name, nullptr, nullptr) == kErrorSuccess &&
           reg_delete_value(key, name) == kErrorSuccess) {
    }
    reg_close_key(key);
}

// "VERSION=%d" at the very beginning of the file; 0 when it is not there.
// false when the file cannot be opened.
bool read_version(const std::string& path, int32_t& version) {
    FILE* f = std::fopen(path.c_str(), "r");
    if (f == nullptr) return false;
    char head[kVersionHead];
    std::size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    std::string_view text(head, n);
    version = 0;
    constexpr std::string_view kTag = "VERSION=";
    if (text.substr(0, kTag.size()) == kTag && !scan_decimal(text.substr(kTag.size()), version))
        version = 0;
    return true;
}

// Writes the entries; the number of zone entries among them.
int32_t write_entries(platform::Profile* profile, uint32_t count) {
    int32_t zones = 0;
    bool root_chosen = false;
    for (uint32_t n = 1; n <= count; ++n) {
        char names[5][24];
        std::snprintf(names[0], sizeof names[0], "Key%05u", n);
        std::snprintf(names[1], sizeof names[1], "SubKey%05u", n);
        std::snprintf(names[2], sizeof names[2], "ValueName%05u", n);
        std::snprintf(names[3], sizeof names[3], "ValueType%05u", n);
        std::snprintf(names[4], sizeof names[4], "Value%05u", n);
        std::string v[5];
        bool complete = true;
        for (int i = 0; i < 5; ++i) {
            v[i] = platform::profile_get_string(profile, kSection, names[i], kAbsent, kValueCapacity);
            if (ascii_iequal(v[i], kAbsent)) complete = false;
        }
        if (!complete) continue;
        const std::string& root = v[0];
        const std::string& subkey = v[1];
        const std::string& name = v[2];
        const std::string& type = v[3];
        const std::string& value = v[4];
        // Both roots select the current user; nothing is written elsewhere.
        if (ascii_iequal(root, "HKEY_CURRENT_USER") || ascii_iequal(root, "HKEY_LOCAL_MACHINE")) {
            root_chosen = true;
        } else if (!root_chosen) {
            // An unknown root keeps the root of an earlier entry; with none
            // chosen yet there is no root to write under, so the entry is skipped.
            continue;
        }
        if (ascii_iequal(type, "NUMERIC")) {
            int32_t number = 0;
            (void)scan_decimal(value, number);  // text that is no number stores 0
            (void)reg_write_dword(subkey, name, static_cast<uint32_t>(number));
        } else if (ascii_iequal(type, "STRING")) {
            (void)reg_write_text(subkey, name, value);
        } else {
            continue;
        }
        // Counted whether or not the write succeeded, repeats included.
        if (ascii_iequal(subkey, kDnsfKey)) ++zones;
    }
    return zones;
}

}  // namespace

int import_config_file(const std::string& path) {
    platform::Profile* profile = platform::profile_open(path);
    uint32_t count = platform::profile_get_int(profile, kSection, "NumKey", 0);
    if (count == 0) {
        platform::profile_close(profile);
        return 0;
    }
    if (count > kMaxImportEntries) count = kMaxImportEntries;
    // One batch: other processes see the old zones or the new ones, never a
    // half-written DNSF key.  A store that cannot be used changes nothing.
    if (platform::reg_begin_batch() != platform::kErrorSuccess) {
        platform::profile_close(profile);
        return 0;
    }
    clear_dnsf_key();
    int32_t zones = write_entries(profile, count);
    platform::profile_close(profile);
    (void)reg_write_dword(kTalvexClientKey, "NumOfDomainName", static_cast<uint32_t>(zones));
    int32_t version = 0;
    bool reopened = read_version(path, version);
    if (reopened)
        (void)reg_write_dword(kTalvexClientKey, "LastUpdateVersion", static_cast<uint32_t>(version));
    if (platform::reg_end_batch(true) != platform::kErrorSuccess) return 0;
    return reopened ? 1 : 0;
}

int locate_config_file() {
    constexpr std::string_view kFileName = "pellow.ini";
    std::string path;
    std::string install;
    if (reg_read_text(kTalvexClientKey, "InstallPath", install) != platform::kErrorSuccess) {
        if (!platform::search_file(kFileName, path)) return 0;
    } else if (install.empty()) {
        return 0;  // present but empty: no search
    } else {
        // The separator is added even when the directory already ends with one.
        path = install + platform::kPathSeparator + std::string(kFileName);
        // A path longer than the 260-byte path buffer holds is refused, not cut.
        if (path.size() > kMaxPath) return 0;
    }
    (void)import_config_file(path);
    return 1;
}

}  // namespace nessel
