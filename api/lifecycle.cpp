// SPDX-License-Identifier: MIT
// api/lifecycle.cpp: InitSDK, DeinitSDK, UpdateRegistry and the release when
// the library is unloaded or the process exits.
#include "api/lifecycle.h"

#include "api/result_codes.h"
#include "config/update.h"
#include "config/zone_table.h"
#include "encoding/encoding.h"
#include "nameprep/nameprep.h"

namespace nessel {
namespace {
int g_init_done = 0;
}  // namespace

bool init_done() { return g_init_done != 0; }

int init_once() {
    // After DeinitSDK the registry is empty while the tables stay built:
    // registering again lets InitSDK restore a working library.
    if (g_init_done) return encoding_count() > 0 || register_all_encodings();
    if (!register_all_encodings()) return 0;
    if (build_normalization_tables() < 0) return 0;
    if (build_mapping_index() < 0) return 0;
    build_variant_slots();  // Chinese, then Arabic; a failed build leaves its slot empty
    g_init_done = 1;
    return 1;
}

uint32_t init_sdk() {
    if (!init_once()) return kErrInit;
    maybe_update(0);
    if (load_zone_table() == 0) return kErrInit;
    return kOk;
}

uint32_t deinit_sdk() {
    free_encodings();
    return release_zone_table() ? kOk : kErrNotLoaded;
}

int update_registry() {
    if (fetch_config_update(1) == 0) return 0;
    stamp_update_time();
    return load_zone_table() > 0 ? 1 : 0;
}

#ifndef _WIN32
namespace {
// Unloading the library (dlclose or process exit) releases what DeinitSDK
// releases.  The registry and zone table are heap-held, so they are still
// intact when this runs after static destructors.
__attribute__((destructor)) void release_at_unload() {
    free_encodings();
    release_zone_table();
}
}  // namespace
#endif

}  // namespace nessel
