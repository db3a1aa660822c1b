// SPDX-License-Identifier: MIT
// config/platform_posix_store.cpp: the registry store on POSIX systems, one
// SQLite database per user.  The rest of the platform layer is in
// platform_posix_profile.cpp, platform_posix_files.cpp and
// platform_posix_download.cpp.
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "config/platform.h"
#include "config/platform_posix.h"

namespace nessel::platform {

namespace {

// Creates dir and its missing parents with the given mode; true when dir
// exists as a directory afterwards.
bool make_dirs(const std::string& dir, mode_t mode) {
    struct stat st {};
    if (stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    std::size_t slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !make_dirs(dir.substr(0, slash), mode)) return false;
    if (mkdir(dir.c_str(), mode) != 0 && errno != EEXIST) return false;
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// ---------------------------------------------------------------------------
// Registry store

constexpr int kBusyTimeoutMs = 15000;
constexpr std::size_t kMaxKeyNameLength = 255;  // one key name between separators

// The store's location, read at each access.
std::string store_path() {
    std::string base = getenv_str("XDG_CONFIG_HOME");
    if (base.empty()) {
        std::string home = getenv_str("HOME");
        if (home.empty()) {
            const passwd* pw = getpwuid(getuid());
            if (pw != nullptr && pw->pw_dir != nullptr) home = pw->pw_dir;
        }
        if (home.empty()) return {};
        base = home + "/.config";
    }
    return base + "/nessel/registry.db";
}

int status_of(int sqlite_code) {
    switch (sqlite_code & 0xFF) {
        case SQLITE_OK:
        case SQLITE_DONE:
        case SQLITE_ROW: return kErrorSuccess;
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT: return kErrorRegistryCorrupt;
        case SQLITE_CANTOPEN: return kErrorCantOpen;
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH: return kErrorAccessDenied;
        case SQLITE_BUSY:
        case SQLITE_LOCKED: return kErrorBusy;
        case SQLITE_NOMEM: return kErrorNotEnoughMemory;
        default: return kErrorBadDb;
    }
}

// Keys: one row per existing key, by its whole path.  Values: one row per
// value; the rowid gives the enumeration order (an upsert keeps the row, so
// rewriting keeps the place), and the index on key lists a key's values in
// rowid order.
constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS reg_keys("
    "  path TEXT NOT NULL PRIMARY KEY COLLATE NOCASE);"
    "CREATE TABLE IF NOT EXISTS reg_values("
    "  key TEXT NOT NULL COLLATE NOCASE,"
    "  name TEXT NOT NULL COLLATE NOCASE,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  PRIMARY KEY(key, name));"
    "CREATE INDEX IF NOT EXISTS reg_values_order ON reg_values(key);";

struct Db {
    sqlite3* handle = nullptr;
    ~Db() {
        if (handle) sqlite3_close_v2(handle);
    }
};

int open_db(Db& db) {
    std::string path = store_path();
    if (path.empty()) return kErrorCantOpen;
    std::string dir = path.substr(0, path.find_last_of('/'));
    if (!make_dirs(dir, 0700)) return kErrorCantOpen;
    // A connection is used by one thread at a time (a batch's by its thread,
    // a key's own by whoever holds the key), so SQLite's own locking of the
    // connection is left out.
    int rc = sqlite3_open_v2(path.c_str(), &db.handle,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) return status_of(rc);
    sqlite3_busy_timeout(db.handle, kBusyTimeoutMs);
    rc = sqlite3_exec(db.handle, kSchema, nullptr, nullptr, nullptr);
    return status_of(rc);
}

// A prepared statement, finalized with the object.
class Stmt {
public:
    Stmt(sqlite3* db, const char* sql) { rc_ = sqlite3_prepare_v2(db, sql, -1, &s_, nullptr); }
    ~Stmt() { sqlite3_finalize(s_); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    bool ok() const { return rc_ == SQLITE_OK; }
    int prepare_status() const { return status_of(rc_); }
    void text(int i, std::string_view v) {
        sqlite3_bind_text(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    }
    void blob(int i, std::string_view v) {
        sqlite3_bind_blob(s_, i, v.empty() ? "" : v.data(), static_cast<int>(v.size()),
                          SQLITE_TRANSIENT);
    }
    void integer(int i, int64_t v) { sqlite3_bind_int64(s_, i, v); }
    int step() { return sqlite3_step(s_); }
    std::string column_text(int i) {
        const void* p = sqlite3_column_blob(s_, i);
        int n = sqlite3_column_bytes(s_, i);
        return p ? std::string(static_cast<const char*>(p), static_cast<std::size_t>(n)) : std::string();
    }
    // The column's bytes, valid until the next step.
    std::string_view column_view(int i) {
        const void* p = sqlite3_column_blob(s_, i);
        int n = sqlite3_column_bytes(s_, i);
        return p ? std::string_view(static_cast<const char*>(p), static_cast<std::size_t>(n))
                 : std::string_view();
    }
    int64_t column_int(int i) { return sqlite3_column_int64(s_, i); }

private:
    sqlite3_stmt* s_ = nullptr;
    int rc_ = SQLITE_ERROR;
};

// The connection of the open batch, shared by every key opened inside it.
// A batch belongs to its thread: other threads use connections of their own,
// which SQLite's locking serialises like those of other processes.
struct Batch {
    Db* db = nullptr;
    int depth = 0;
};
thread_local Batch g_batch;

// Splits a key path into names; false when a name is empty (a leading "\"
// or two in a row) or too long.  One trailing "\" is accepted.
bool normalize_key_path(std::string_view subkey, std::vector<std::string>& names) {
    names.clear();
    if (subkey.empty()) return true;
    if (subkey.back() == '\\') subkey.remove_suffix(1);
    std::size_t start = 0;
    for (;;) {
        std::size_t sep = subkey.find('\\', start);
        std::string_view name = subkey.substr(start, sep == std::string_view::npos ? sep : sep - start);
        if (name.empty() || name.size() > kMaxKeyNameLength) return false;
        names.emplace_back(name);
        if (sep == std::string_view::npos) return true;
        start = sep + 1;
    }
}

int exec(sqlite3* db, const char* sql) { return status_of(sqlite3_exec(db, sql, nullptr, nullptr, nullptr)); }

}  // namespace

struct RegKey {
    Db own;            // used when no batch is open
    Db* db = nullptr;  // own, or the batch's connection
    std::string path;  // normalized: names joined by "\"
};

int reg_begin_batch() {
    if (g_batch.depth > 0) {
        ++g_batch.depth;
        return kErrorSuccess;
    }
    auto* db = new Db;
    int status = open_db(*db);
    // IMMEDIATE takes the write lock at once, so two processes never both
    // read and then both try to write (which SQLite answers with BUSY).
    if (status == kErrorSuccess) status = exec(db->handle, "BEGIN IMMEDIATE");
    if (status != kErrorSuccess) {
        delete db;
        return status;
    }
    g_batch.db = db;
    g_batch.depth = 1;
    return kErrorSuccess;
}

int reg_end_batch(bool commit) {
    if (g_batch.depth == 0) return kErrorInvalidHandle;
    if (--g_batch.depth > 0) return kErrorSuccess;
    int status = exec(g_batch.db->handle, commit ? "COMMIT" : "ROLLBACK");
    if (status != kErrorSuccess && commit) (void)exec(g_batch.db->handle, "ROLLBACK");
    delete g_batch.db;
    g_batch.db = nullptr;
    return status;
}

int reg_create_key(RegRoot root, std::string_view subkey, uint32_t /*access*/, RegKey** key) {
    *key = nullptr;
    if (root != RegRoot::CurrentUser) return kErrorInvalidHandle;
    std::vector<std::string> names;
    if (!normalize_key_path(subkey, names)) return kErrorInvalidParameter;
    auto k = std::make_unique<RegKey>();
    if (g_batch.depth > 0) {
        k->db = g_batch.db;
    } else {
        int status = open_db(k->own);
        if (status != kErrorSuccess) return status;
        k->db = &k->own;
    }
    sqlite3* db = k->db->handle;
    // Create the missing keys from the top down, like RegCreateKeyExA.
    std::string path;
    for (const auto& name : names) {
        if (!path.empty()) path += '\\';
        path += name;
        Stmt find(db, "SELECT 1 FROM reg_keys WHERE path = ?1");
        if (!find.ok()) return find.prepare_status();
        find.text(1, path);
        int rc = find.step();
        if (rc == SQLITE_ROW) continue;
        if (rc != SQLITE_DONE) return status_of(rc);
        Stmt add(db, "INSERT OR IGNORE INTO reg_keys(path) VALUES(?1)");
        if (!add.ok()) return add.prepare_status();
        add.text(1, path);
        rc = add.step();
        if (rc != SQLITE_DONE) return status_of(rc);
    }
    k->path = std::move(path);
    *key = k.release();
    return kErrorSuccess;
}

void reg_close_key(RegKey* key) { delete key; }

int reg_query_value(RegKey* key, std::string_view name, uint32_t* type, std::string* data) {
    if (key == nullptr) return kErrorInvalidHandle;
    Stmt q(key->db->handle, "SELECT type, data FROM reg_values WHERE key = ?1 AND name = ?2");
    if (!q.ok()) return q.prepare_status();
    q.text(1, key->path);
    q.text(2, name);
    int rc = q.step();
    if (rc == SQLITE_DONE) return kErrorFileNotFound;
    if (rc != SQLITE_ROW) return status_of(rc);
    if (type) *type = static_cast<uint32_t>(q.column_int(0));
    if (data) *data = q.column_text(1);
    return kErrorSuccess;
}

int reg_set_value(RegKey* key, std::string_view name, uint32_t type, std::string_view data) {
    if (key == nullptr) return kErrorInvalidHandle;
    Stmt s(key->db->handle,
           "INSERT INTO reg_values(key, name, type, data) VALUES(?1, ?2, ?3, ?4) "
           "ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, data = excluded.data");
    if (!s.ok()) return s.prepare_status();
    s.text(1, key->path);
    s.text(2, name);
    s.integer(3, type);
    s.blob(4, data);
    return status_of(s.step());
}

int reg_enum_value(RegKey* key, uint32_t index, std::string* name, uint32_t* type,
                   std::string* data) {
    if (key == nullptr) return kErrorInvalidHandle;
    Stmt q(key->db->handle,
           "SELECT name, type, data FROM reg_values WHERE key = ?1 ORDER BY rowid LIMIT 1 OFFSET ?2");
    if (!q.ok()) return q.prepare_status();
    q.text(1, key->path);
    q.integer(2, index);
    int rc = q.step();
    if (rc == SQLITE_DONE) return kErrorNoMoreItems;
    if (rc != SQLITE_ROW) return status_of(rc);
    if (name) *name = q.column_text(0);
    if (type) *type = static_cast<uint32_t>(q.column_int(1));
    if (data) *data = q.column_text(2);
    return kErrorSuccess;
}

int reg_enum_values(RegKey* key, uint32_t max, RegValueFn fn, void* context) {
    if (key == nullptr) return kErrorInvalidHandle;
    // The table is read in rowid order rather than through the index on key:
    // the zone key holds nearly every row of the store, and the rows then
    // come in enumeration order without one index seek each.  Rows written
    // through the same key carry its path byte for byte, which a plain
    // comparison confirms faster than the letter-case-blind one.
    Stmt q(key->db->handle,
           "SELECT name, type, data FROM reg_values WHERE (key = ?1 COLLATE BINARY OR +key = ?1) "
           "ORDER BY rowid LIMIT ?2");
    if (!q.ok()) return q.prepare_status();
    q.text(1, key->path);
    q.integer(2, max);
    int rc;
    while ((rc = q.step()) == SQLITE_ROW)
        fn(context, q.column_view(0), static_cast<uint32_t>(q.column_int(1)), q.column_view(2));
    return rc == SQLITE_DONE ? kErrorSuccess : status_of(rc);
}

int reg_delete_value(RegKey* key, std::string_view name) {
    if (key == nullptr) return kErrorInvalidHandle;
    Stmt d(key->db->handle, "DELETE FROM reg_values WHERE key = ?1 AND name = ?2");
    if (!d.ok()) return d.prepare_status();
    d.text(1, key->path);
    d.text(2, name);
    int rc = d.step();
    if (rc != SQLITE_DONE) return status_of(rc);
    return sqlite3_changes(key->db->handle) > 0 ? kErrorSuccess : kErrorFileNotFound;
}

}  // namespace nessel::platform
