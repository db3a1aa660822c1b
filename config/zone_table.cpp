// SPDX-License-Identifier: MIT
// config/zone_table.cpp: the zone table.
#include "config/zone_table.h"

namespace nessel {

ZoneRecord* zone_table = nullptr;
int32_t zone_count = 0;

// Without a registry store there is no zone configuration to load.
int load_zone_table() { return 0; }

int release_zone_table() {
    if (zone_table == nullptr) return 0;
    delete[] zone_table;
    zone_table = nullptr;
    return 1;
}

}  // namespace nessel
