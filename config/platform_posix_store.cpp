// SPDX-License-Identifier: MIT
// config/platform_posix.cpp: the platform layer on POSIX systems.  The
// registry is one SQLite database per user, downloads go through libcurl,
// the temporary directory is private to the user.
#include <curl/curl.h>
#include <dlfcn.h>
#include <fcntl.h>
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
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "config/platform.h"

#include "base/ascii.h"

namespace nessel::platform {

const char kPathSeparator = '/';

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = ascii_lower(c);
    return out;
}

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_space(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_space(s.back())) s.remove_suffix(1);
    return s;
}

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

std::string getenv_str(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
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
    int rc = sqlite3_open_v2(path.c_str(), &db.handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
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
    // come in enumeration order without one index seek each.
    Stmt q(key->db->handle,
           "SELECT name, type, data FROM reg_values WHERE +key = ?1 ORDER BY rowid LIMIT ?2");
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

// ---------------------------------------------------------------------------
// Profile reading

struct Profile {
    // Lower-cased section name -> (lower-cased key -> value); the first
    // section and the first key of a name win.  A line without "=" names a
    // key without a value, which reads as absent.
    using Keys = std::unordered_map<std::string, std::optional<std::string>>;
    std::unordered_map<std::string, Keys> sections;
};

Profile* profile_open(const std::string& path) {
    auto* profile = new Profile;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return profile;
    std::string text;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    std::fclose(f);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);  // UTF-8 byte order mark

    Profile::Keys* current = nullptr;
    std::unordered_map<std::string, bool> seen_sections;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        std::string_view line = trim(std::string_view(text).substr(pos, eol - pos));
        pos = eol + 1;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            std::size_t close = line.find(']');
            if (close == std::string_view::npos) continue;
            std::string name = lower(trim(line.substr(1, close - 1)));
            // A later section of the same name is not consulted.
            if (seen_sections.emplace(name, true).second)
                current = &profile->sections[name];
            else
                current = nullptr;
            continue;
        }
        if (current == nullptr) continue;
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            current->emplace(lower(trim(line)), std::nullopt);
            continue;
        }
        std::string_view value = trim(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        current->emplace(lower(trim(line.substr(0, eq))), std::string(value));
    }
    return profile;
}

void profile_close(Profile* profile) { delete profile; }

namespace {
const std::string* profile_find(Profile* profile, std::string_view section, std::string_view key) {
    if (profile == nullptr) return nullptr;
    auto s = profile->sections.find(lower(section));
    if (s == profile->sections.end()) return nullptr;
    auto k = s->second.find(lower(key));
    if (k == s->second.end() || !k->second) return nullptr;
    return &*k->second;
}
}  // namespace

uint32_t profile_get_int(Profile* profile, std::string_view section, std::string_view key,
                         uint32_t def) {
    const std::string* value = profile_find(profile, section, key);
    if (value == nullptr || value->empty()) return def;
    std::size_t i = 0;
    while (i < value->size() && is_space((*value)[i])) ++i;
    bool negative = false;
    if (i < value->size() && ((*value)[i] == '+' || (*value)[i] == '-')) negative = (*value)[i++] == '-';
    uint64_t n = 0;
    for (; i < value->size() && (*value)[i] >= '0' && (*value)[i] <= '9'; ++i) {
        n = n * 10 + static_cast<uint64_t>((*value)[i] - '0');
        if (n > UINT32_MAX) n = UINT32_MAX;  // saturate rather than wrap
    }
    if (negative) return 0;
    return static_cast<uint32_t>(n);
}

std::string profile_get_string(Profile* profile, std::string_view section, std::string_view key,
                               std::string_view def, std::size_t capacity) {
    const std::string* value = profile_find(profile, section, key);
    std::string_view v = value ? std::string_view(*value) : def;
    if (capacity == 0) return {};
    return std::string(v.substr(0, capacity - 1));
}

// ---------------------------------------------------------------------------
// Files

namespace {
constexpr std::size_t kMaxPath = 259;  // what a 260-byte path buffer holds

bool is_regular_file(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string program_directory() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    std::string exe(buf, static_cast<std::size_t>(n));
    std::size_t slash = exe.find_last_of('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

std::string current_directory() {
    char buf[PATH_MAX];
    return getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

std::mutex g_data_directory_mutex;
std::string& data_directory() {
    static std::string dir = NESSEL_DATADIR;
    return dir;
}
}  // namespace

void set_data_directory(std::string_view dir) {
    std::lock_guard<std::mutex> lock(g_data_directory_mutex);
    data_directory().assign(dir);
}

int search_file(std::string_view name, std::string& path) {
    std::vector<std::string> dirs = {program_directory(), current_directory()};
    {
        std::lock_guard<std::mutex> lock(g_data_directory_mutex);
        dirs.push_back(data_directory());
    }
    std::string search = getenv_str("PATH");
    for (std::size_t start = 0; start <= search.size();) {
        std::size_t colon = search.find(':', start);
        if (colon == std::string::npos) colon = search.size();
        if (colon > start) dirs.push_back(search.substr(start, colon - start));
        start = colon + 1;
    }
    for (const auto& dir : dirs) {
        if (dir.empty()) continue;
        std::string candidate = dir + (dir.back() == '/' ? "" : "/") + std::string(name);
        if (candidate.size() > kMaxPath) continue;  // would not fit the path buffer
        if (is_regular_file(candidate)) {
            path = std::move(candidate);
            return 1;
        }
    }
    return 0;
}

int temp_directory(std::string& dir) {
    std::string base = getenv_str("TMPDIR");
    if (base.empty()) base = "/tmp";
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    std::string path = base + "/nessel-" + std::to_string(geteuid());
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return 0;
    struct stat st {};
    // lstat: a symbolic link in this place is refused, not followed.
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) return 0;
    if ((st.st_mode & 077) != 0 && chmod(path.c_str(), 0700) != 0) return 0;
    dir = path + "/";
    return 1;
}

struct DownloadFile {
    std::string path;       // where the finished copy goes
    std::string temp_path;  // unique name in the same directory
    int fd = -1;
};

DownloadFile* download_file_create(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 &&
        (!S_ISREG(st.st_mode) || st.st_uid != geteuid()))  // a link, or not ours
        return nullptr;
    std::size_t slash = path.find_last_of('/');
    std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string templ = dir + "/." + base + ".XXXXXX";
    int fd = mkstemp(templ.data());
    if (fd < 0) return nullptr;
    auto* file = new DownloadFile;
    file->path = path;
    file->temp_path = std::move(templ);
    file->fd = fd;
    return file;
}

int download_file_write(DownloadFile* file, std::string_view bytes) {
    if (file == nullptr || file->fd < 0) return 0;
    while (!bytes.empty()) {
        ssize_t n = write(file->fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return 0;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 1;
}

int download_file_finish(DownloadFile* file, bool keep) {
    if (file == nullptr) return 0;
    bool ok = close(file->fd) == 0;
    // rename replaces whatever entry has the name; it never follows a link.
    if (keep && ok)
        ok = std::rename(file->temp_path.c_str(), file->path.c_str()) == 0;
    if (!keep || !ok) unlink(file->temp_path.c_str());
    delete file;
    return keep ? (ok ? 1 : 0) : 1;
}

// ---------------------------------------------------------------------------
// URL download

namespace {

// libcurl is loaded when the first download starts, not with the library:
// a conversion never pays for the HTTP stack.  Only its headers are needed
// to build.
struct CurlLib {
    CURLcode (*global_init)(long);
    CURLU* (*url)();
    CURLUcode (*url_set)(CURLU*, CURLUPart, const char*, unsigned int);
    CURLUcode (*url_get)(const CURLU*, CURLUPart, char**, unsigned int);
    void (*url_cleanup)(CURLU*);
    void (*free)(void*);
    CURL* (*easy_init)();
    CURLcode (*easy_setopt)(CURL*, CURLoption, ...);
    void (*easy_cleanup)(CURL*);
    CURLM* (*multi_init)();
    CURLMcode (*multi_add_handle)(CURLM*, CURL*);
    CURLMcode (*multi_remove_handle)(CURLM*, CURL*);
    CURLMcode (*multi_cleanup)(CURLM*);
    CURLMcode (*multi_perform)(CURLM*, int*);
    CURLMsg* (*multi_info_read)(CURLM*, int*);
    CURLMcode (*multi_poll)(CURLM*, curl_waitfd[], unsigned int, int, int*);
};

std::string g_curl_error;  // written once, under the once flag

// The loaded library, or null (g_curl_error says why).  Loaded and
// initialised once per process; it stays loaded.
const CurlLib* load_curl() {
    static std::once_flag once;
    static CurlLib lib;
    static bool loaded = false;
    std::call_once(once, [] {
        void* h = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (h == nullptr) {
            const char* e = dlerror();
            g_curl_error = e ? e : "libcurl.so.4 cannot be loaded";
            return;
        }
        struct Symbol {
            const char* name;
            void* slot;
        } symbols[] = {
            {"curl_global_init", &lib.global_init}, {"curl_url", &lib.url},
            {"curl_url_set", &lib.url_set}, {"curl_url_get", &lib.url_get},
            {"curl_url_cleanup", &lib.url_cleanup}, {"curl_free", &lib.free},
            {"curl_easy_init", &lib.easy_init}, {"curl_easy_setopt", &lib.easy_setopt},
            {"curl_easy_cleanup", &lib.easy_cleanup}, {"curl_multi_init", &lib.multi_init},
            {"curl_multi_add_handle", &lib.multi_add_handle},
            {"curl_multi_remove_handle", &lib.multi_remove_handle},
            {"curl_multi_cleanup", &lib.multi_cleanup}, {"curl_multi_perform", &lib.multi_perform},
            {"curl_multi_info_read", &lib.multi_info_read}, {"curl_multi_poll", &lib.multi_poll},
        };
        for (const Symbol& s : symbols) {
            void* f = dlsym(h, s.name);
            if (f == nullptr) {
                g_curl_error = std::string("libcurl.so.4 lacks ") + s.name;
                return;
            }
            std::memcpy(s.slot, &f, sizeof f);
        }
        if (lib.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
            g_curl_error = "libcurl could not be initialised";
            return;
        }
        loaded = true;
    });
    return loaded ? &lib : nullptr;
}

// Host names under ".invalid" never resolve (RFC 6761 section 6.4); they
// are refused here without asking any resolver.
bool host_is_invalid(const CurlLib* lib, const std::string& url) {
    CURLU* u = lib->url();
    if (u == nullptr) return true;
    bool invalid = true;
    if (lib->url_set(u, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK) {
        char* host = nullptr;
        if (lib->url_get(u, CURLUPART_HOST, &host, 0) == CURLUE_OK && host != nullptr) {
            std::string h = lower(host);
            while (!h.empty() && h.back() == '.') h.pop_back();
            invalid = h == "invalid" ||
                      (h.size() > 8 && h.compare(h.size() - 8, 8, ".invalid") == 0);
            lib->free(host);
        }
    }
    lib->url_cleanup(u);
    return invalid;
}
}  // namespace

struct UrlConnection {
    const CurlLib* lib = nullptr;
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    std::size_t max_body = 0;
    std::string buffer;     // received, not yet handed out from `consumed` on
    std::size_t consumed = 0;
    std::size_t total = 0;  // body bytes received
    bool responded = false; // a response header arrived
    bool done = false;
    CURLcode result = CURLE_OK;

    ~UrlConnection() {
        if (multi && easy) lib->multi_remove_handle(multi, easy);
        if (easy) lib->easy_cleanup(easy);
        if (multi) lib->multi_cleanup(multi);
    }

    static size_t on_body(char* data, size_t size, size_t count, void* self) {
        auto* c = static_cast<UrlConnection*>(self);
        std::size_t n = size * count;
        if (c->total + n > c->max_body) return 0;  // over the bound: curl ends the transfer
        c->total += n;
        c->buffer.append(data, n);
        return n;
    }
    static size_t on_header(char*, size_t size, size_t count, void* self) {
        static_cast<UrlConnection*>(self)->responded = true;
        return size * count;
    }

    // One round of transfer work; waits up to 100 ms for the socket.
    void pump() {
        int running = 0;
        if (lib->multi_perform(multi, &running) != CURLM_OK) {
            done = true;
            result = CURLE_RECV_ERROR;
            return;
        }
        int queued = 0;
        while (CURLMsg* msg = lib->multi_info_read(multi, &queued)) {
            if (msg->msg == CURLMSG_DONE) {
                done = true;
                result = msg->data.result;
            }
        }
        if (!done && running == 0) done = true;
        if (!done) lib->multi_poll(multi, nullptr, 0, 100, nullptr);
    }
};

const char* download_unavailable() {
    return load_curl() != nullptr ? nullptr : g_curl_error.c_str();
}

UrlConnection* url_open(const std::string& url, const std::string& user_agent,
                        const TransferBounds& bounds) {
    const CurlLib* lib = load_curl();
    if (lib == nullptr || host_is_invalid(lib, url)) return nullptr;
    auto c = std::make_unique<UrlConnection>();
    c->lib = lib;
    c->max_body = bounds.max_body;
    c->easy = lib->easy_init();
    c->multi = lib->multi_init();
    if (!c->easy || !c->multi) return nullptr;
    CURL* e = c->easy;
    lib->easy_setopt(e, CURLOPT_URL, url.c_str());
    lib->easy_setopt(e, CURLOPT_USERAGENT, user_agent.c_str());
    lib->easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    lib->easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    lib->easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    lib->easy_setopt(e, CURLOPT_MAXREDIRS, 5L);
    lib->easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(bounds.connect_ms));
    lib->easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(bounds.transfer_ms));
    lib->easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(bounds.max_body));
    lib->easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    lib->easy_setopt(e, CURLOPT_WRITEFUNCTION, &UrlConnection::on_body);
    lib->easy_setopt(e, CURLOPT_WRITEDATA, c.get());
    lib->easy_setopt(e, CURLOPT_HEADERFUNCTION, &UrlConnection::on_header);
    lib->easy_setopt(e, CURLOPT_HEADERDATA, c.get());
    // Proxies: libcurl reads http_proxy, https_proxy and no_proxy itself.
    if (lib->multi_add_handle(c->multi, e) != CURLM_OK) return nullptr;
    while (!c->responded && !c->done) c->pump();
    if (!c->responded) return nullptr;  // refused, unresolved, timed out
    return c.release();
}

int url_read(UrlConnection* c, std::size_t want, std::string& data) {
    data.clear();
    if (c == nullptr) return 0;
    while (c->buffer.size() - c->consumed < want && !c->done) c->pump();
    std::size_t available = c->buffer.size() - c->consumed;
    if (available < want && c->result != CURLE_OK) return 0;  // broke off or over a bound
    std::size_t n = available < want ? available : want;
    data.assign(c->buffer, c->consumed, n);
    c->consumed += n;
    if (c->consumed > 65536) {
        c->buffer.erase(0, c->consumed);
        c->consumed = 0;
    }
    return 1;
}

void url_close(UrlConnection* c) { delete c; }

// ---------------------------------------------------------------------------

std::size_t find_last_nocase(std::string_view text, std::string_view what) {
    return ascii_ifind_last(text, what);
}

}  // namespace nessel::platform
