// SPDX-License-Identifier: MIT
// cxx/zones.cpp: library::zones() of the C++ interface.  The shared
// library exports no zone listing, so the table is read from where the
// library loads it: the DNSF key of the per-user store, NumOfDomainName
// records in enumeration order, each value string parsed by the library's
// own parser.  Nothing of the library's loaded state is touched.
#include <algorithm>
#include <cstring>

#include "config/registry.h"
#include "config/zone_table.h"
#include "nessel.hpp"

namespace nessel {

result<std::vector<zone_info>> library::zones() const {
    if (status_) return status_;
    using namespace platform;
    if (reg_begin_batch() != kErrorSuccess) return error(NESSEL_ERR_NOT_LOADED);
    uint32_t stored = 0;
    (void)reg_read_dword(kTalvexClientKey, "NumOfDomainName", stored);
    const auto count = static_cast<uint32_t>(
        std::clamp(static_cast<int32_t>(stored), int32_t{0}, kMaxZoneRecords));
    std::vector<zone_info> zones;
    RegKey* key = nullptr;
    if (reg_create_key(RegRoot::CurrentUser, kDnsfKey, kKeyRead, &key) == kErrorSuccess) {
        zones.reserve(count);
        std::string name, data;
        // A record past the last value is empty, as in the loaded table.
        for (uint32_t i = 0; i < count; ++i) {
            ZoneRecord r;
            std::memset(&r, 0, sizeof r);
            if (reg_enum_value(key, i, &name, nullptr, &data) == kErrorSuccess) {
                std::memcpy(r.zone, name.data(), std::min(name.size(), sizeof r.zone - 1));
                std::string_view text(data);
                parse_zone_value(r, text.substr(0, std::min(text.find('\0'), std::size_t{1023})));
            }
            zones.push_back({r.zone, r.codec, r.prefix, r.suffix, r.alt_codec, r.alt_prefix,
                             r.alt_suffix, r.strip_tail, r.append_tail,
                             static_cast<uint32_t>(r.prep_flags)});
        }
        reg_close_key(key);
    }
    reg_end_batch(true);
    return zones;
}

}  // namespace nessel
