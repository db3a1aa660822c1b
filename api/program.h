// SPDX-License-Identifier: MIT
// api/program.h: what the nessel program needs beyond the public interface
// (nessel.hpp and the C exports): the converters without a zone table, for
// the commands that convert no names (InitSDK would load the table and may
// start an update); the ACE prefix and suffix a command line sets; a
// snapshot of the loaded zone table; and the per-user store for "reg".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nessel::program {

// Registers the encodings and builds the nameprep tables once; false when
// that failed.
[[nodiscard]] bool init_converters();

// The ACE prefix or suffix that later conversions with codec use.
void set_ace_prefix(const std::string& codec, const std::string& value);
void set_ace_suffix(const std::string& codec, const std::string& value);

// One record of the loaded zone table: zone, codec, prefix, suffix,
// alt_codec, alt_prefix, alt_suffix, strip_tail, append_tail (in this
// order), the nameprep options, and the zone's UTF-16 form when it is
// written in RACEX form (has_unicode).
struct ZoneRow {
    std::vector<std::string> fields;
    uint32_t prep_flags = 0;
    bool has_unicode = false;
    std::u16string zone_unicode;
};
// The loaded zone table, read from one snapshot.
std::vector<ZoneRow> loaded_zones();
// The number of records in the loaded zone table.
int32_t loaded_zone_count();
// Why downloads cannot work on this system, or nullptr when they can.
const char* download_unavailable();

// The per-user store; keys are paths below the current user's root.
// Statuses are those of the system registry.
inline constexpr int kStoreOk = 0;
inline constexpr int kStoreNoValue = 2;  // no such value
inline constexpr uint32_t kRegSz = 1;     // REG_SZ
inline constexpr uint32_t kRegDword = 4;  // REG_DWORD, 4 little-endian bytes
struct StoreValue {
    std::string name;
    uint32_t type = 0;
    std::string data;
};
// Every value of key, read in one state of the store.
int store_list(const std::string& key, std::vector<StoreValue>& values);
int store_get(const std::string& key, const std::string& name, StoreValue& value);
int store_set(const std::string& key, const StoreValue& value);
int store_delete(const std::string& key, const std::string& name);
// Deletes every value of key at once: others see all of them or none.
int store_delete_all(const std::string& key);

}  // namespace nessel::program
