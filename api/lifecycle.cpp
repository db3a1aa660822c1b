// SPDX-License-Identifier: MIT
// api/lifecycle.cpp: InitSDK, DeinitSDK, UpdateRegistry and the release when
// the library is unloaded or the process exits.
//
// Locks: init_mu makes the one-time work run once however many threads call
// InitSDK together; update_mu makes one update run at a time, and a thread
// that waited for another's update takes its outcome instead of downloading
// again.  Conversions take neither.
#include "api/lifecycle.h"

#include <atomic>
#include <mutex>

#include "ace/convert.h"
#include "base/result_codes.h"
#include "config/platform.h"
#include "config/update.h"
#include "config/zone_table.h"
#include "codecs/codecs.h"
#include "nameprep/nameprep.h"

namespace nessel {
namespace {

std::atomic<bool> g_init_done{false};
std::mutex g_init_mu;

std::mutex g_update_mu;
std::atomic<uint64_t> g_updates{0};  // updates finished, forced or not
std::atomic<uint64_t> g_forced{0};   // forced updates finished
int g_last_forced = 0;               // outcome of the last forced update (under g_update_mu)

}  // namespace

bool init_done() { return g_init_done.load(std::memory_order_acquire); }

int init_once() {
    std::lock_guard<std::mutex> lock(g_init_mu);
    // After DeinitSDK the registry is empty while the tables stay built:
    // registering again lets InitSDK restore a working library.
    if (init_done()) return encoding_count() > 0 || register_all_encodings();
    if (!register_all_encodings()) return 0;
    if (build_normalization_tables() < 0) return 0;
    if (build_mapping_index() < 0) return 0;
    g_init_done.store(true, std::memory_order_release);
    return 1;
}

uint32_t init_sdk() {
    if (!init_once()) return kErrInit;
    // An update that finished while this one waited counts as this one's.
    const uint64_t seen = g_updates.load(std::memory_order_acquire);
    std::unique_lock<std::mutex> lock(g_update_mu);
    if (g_updates.load(std::memory_order_relaxed) == seen) {
        // When no update is due, the check and the load share one batch
        // (one connection to the store); a due update runs outside any.
        const bool batch = platform::reg_begin_batch() == platform::kErrorSuccess;
        if (batch && update_due() == 0) {
            g_updates.fetch_add(1, std::memory_order_release);
            lock.unlock();
            const int loaded = load_zone_table();
            return platform::reg_end_batch(true) == platform::kErrorSuccess && loaded ? kOk : kErrInit;
        }
        if (batch) (void)platform::reg_end_batch(true);
        maybe_update(0);
        g_updates.fetch_add(1, std::memory_order_release);
    }
    lock.unlock();
    if (load_zone_table() == 0) return kErrInit;
    return kOk;
}

uint32_t deinit_sdk() {
    // Conversions running on other threads keep the entries and the table
    // they hold; later ones find no encoding and no zone.
    free_encodings();
    return release_zone_table() ? kOk : kErrNotLoaded;
}

int update_registry() {
    const uint64_t seen = g_forced.load(std::memory_order_acquire);
    std::lock_guard<std::mutex> lock(g_update_mu);
    if (g_forced.load(std::memory_order_relaxed) != seen) return g_last_forced;
    int result = 0;
    if (fetch_config_update(1) != 0) {
        stamp_update_time();
        result = load_zone_table() > 0 ? 1 : 0;
    }
    g_last_forced = result;
    g_forced.fetch_add(1, std::memory_order_release);
    g_updates.fetch_add(1, std::memory_order_release);
    return result;
}

#ifndef _WIN32
namespace {
// Unloading the library (dlclose or process exit) releases what DeinitSDK
// releases.  The registry and zone table are heap-held, so they are still
// intact when this runs after static destructors.
__attribute__((destructor)) void release_at_unload() {
    release_encoding_storage();
    release_zone_table_storage();
    release_ace_settings_storage();
}
}  // namespace
#endif

}  // namespace nessel
