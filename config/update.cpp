// SPDX-License-Identifier: MIT
// config/update.cpp: the online update.  The configuration file is fetched
// in blocks of 256 bytes into the temporary directory; a first block whose
// "VERSION=" line carries the version last imported ends an unforced update.
#include "config/update.h"

#include <ctime>
#include <string>

#include "config/import.h"
#include "config/platform.h"
#include "config/registry.h"

namespace nessel {

namespace {

constexpr std::size_t kBlockSize = 256;
constexpr std::size_t kMaxUrl = 259;  // what the 260-byte URL buffer holds
constexpr std::string_view kUserAgent = "Pellow Agent";
constexpr std::string_view kDefaultFileUrl = "pellow.ini";
constexpr std::string_view kTempFileName = "pellow.ini";

int32_t now32() { return static_cast<int32_t>(static_cast<uint32_t>(std::time(nullptr))); }

// The version a first block announces, or fallback when the block does not
// begin with "VERSION=" and a number.
int32_t block_version(std::string_view block, int32_t fallback) {
    constexpr std::string_view kTag = "VERSION=";
    int32_t v = 0;
    if (block.substr(0, kTag.size()) == kTag && scan_decimal(block.substr(kTag.size()), v)) return v;
    return fallback;
}

}  // namespace

int update_due_at(int32_t now) {
    uint32_t last = 0;
    if (reg_read_dword(kTalvexClientKey, "LastUpdateTime", last) != platform::kErrorSuccess) return 1;
    // Compared in 64 bits, so a stamp near either end of the range cannot
    // overflow the bounds.
    const int64_t stamp = static_cast<int32_t>(last);
    return (now >= stamp + kUpdateInterval || now <= stamp - kUpdateInterval) ? 1 : 0;
}

int update_due() { return update_due_at(now32()); }

void stamp_update_time() {
    (void)reg_write_dword(kTalvexClientKey, "LastUpdateTime", static_cast<uint32_t>(now32()));
}

void maybe_update(int force) {
    if (update_due() == 0 && force == 0) return;
    (void)fetch_config_update(force);
    stamp_update_time();
}

namespace {

// The update file's URL: the server and the file name from the store, with
// their built-in defaults (a missing file name is written back).
std::string update_url() {
    std::string file_url;
    if (reg_read_text(kTalvexClientKey, "RegFileURL", file_url) != platform::kErrorSuccess) {
        file_url = kDefaultFileUrl;
        (void)reg_write_text(kTalvexClientKey, "RegFileURL", file_url);
    }
    std::string server;
    if (reg_read_text(kTalvexClientKey, "UpdateServerURL", server) != platform::kErrorSuccess ||
        server.empty())
        server = kBuiltinServerUrl;
    return server + "/" + file_url;
}

// Copies the body of conn into file block by block.  The first block tells
// the server's version (server_version, left as it is when the block names
// none); the copy stops there when the block has no version line or, unless
// forced, the version is the stored one.  True when the transfer was given
// up (reads kept failing, or the file could not be written).
bool download_body(platform::UrlConnection* conn, platform::DownloadFile* file, int force,
                   int32_t stored, int32_t& server_version) {
    bool first = true;
    int failures = 0;
    std::string block;
    for (;;) {
        if (!platform::url_read(conn, kBlockSize, block)) {
            // A failed read is tried again, a bounded number of times.
            if (++failures > kMaxReadRetries) return true;
            continue;
        }
        failures = 0;
        if (!platform::download_file_write(file, block)) return true;
        if (first) {
            first = false;
            if (platform::find_last_nocase(block, "VERSION=") == std::string_view::npos) return false;
            server_version = block_version(block, server_version);
            if (server_version == stored && force == 0) return false;
        }
        if (block.size() < kBlockSize) return false;  // end of the data
    }
}

}  // namespace

int fetch_config_update(int force, const platform::TransferBounds& bounds) {
    const int no_connection = force ? 0 : 1;
    const std::string url = update_url();
    // A URL longer than its 260-byte buffer is refused like one that cannot
    // be opened.
    if (url.size() > kMaxUrl) return no_connection;

    platform::UrlConnection* conn = platform::url_open(url, std::string(kUserAgent), bounds);
    if (conn == nullptr) return no_connection;
    std::string dir;
    platform::DownloadFile* file = nullptr;
    if (platform::temp_directory(dir)) file = platform::download_file_create(dir + std::string(kTempFileName));
    if (file == nullptr) {
        platform::url_close(conn);
        return 0;
    }

    uint32_t stored_raw = 0;
    (void)reg_read_dword(kTalvexClientKey, "LastUpdateVersion", stored_raw);
    const auto stored = static_cast<int32_t>(stored_raw);
    int32_t server_version = static_cast<int32_t>(stored_raw + 1u);
    const bool given_up = download_body(conn, file, force, stored, server_version);
    platform::url_close(conn);
    // A transfer given up (broken off, over its time or size bound, or not
    // writable) is discarded rather than imported in part: a cut file would
    // replace the zones with a fraction of them.  A forced update then
    // reports failure, as when it cannot connect.
    if (platform::download_file_close(file) == 0 || given_up) {
        (void)platform::download_file_finish(file, false);
        return no_connection;
    }
    // The import reads this process's own copy before it is put in place:
    // the shared name may meanwhile receive another process's copy (the
    // single block of an update that stopped early).  Once imported, a
    // copy that cannot be put in place changes nothing about the result.
    if (server_version != stored || force != 0)
        (void)import_config_file(platform::download_file_own_path(file));
    (void)platform::download_file_finish(file, true);
    return 1;
}

}  // namespace nessel
