// SPDX-License-Identifier: MIT
// config/platform_win32.cpp: the platform layer on Windows: the registry of
// the current user, the profile functions, SearchPathA, GetTempPathA, WinINet
// and StrRStrIA.
#include "config/platform.h"

#include <windows.h>
#include <shlwapi.h>
#include <wininet.h>

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

#include "base/ascii.h"

namespace nessel::platform {

namespace {

// Win32 takes zero-terminated texts: a view with a zero byte inside cannot
// be passed whole, so such a name or path is refused.
bool to_cstr(std::string_view s, std::string& out) {
    if (s.find('\0') != std::string_view::npos) return false;
    out.assign(s);
    return true;
}

bool fits_dword(std::size_t n) { return n <= std::numeric_limits<DWORD>::max(); }

// The what.size() bytes at a equal what, ASCII letters folded.
bool equal_nocase_ascii(const char* a, std::string_view what) {
    return ascii_iequal(std::string_view(a, what.size()), what);
}

}  // namespace

// ---------------------------------------------------------------------------
// Registry.

struct RegKey {
    HKEY hkey;
};

int reg_create_key(RegRoot root, std::string_view subkey, uint32_t access, RegKey** key) {
    if (key == nullptr) return kErrorInvalidParameter;
    *key = nullptr;
    if (root != RegRoot::CurrentUser) return kErrorInvalidParameter;
    std::string path;
    if (!to_cstr(subkey, path)) return kErrorInvalidParameter;
    HKEY h = nullptr;
    LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              access, nullptr, &h, nullptr);
    if (rc != ERROR_SUCCESS) return static_cast<int>(rc);
    *key = new (std::nothrow) RegKey{h};
    if (*key == nullptr) {
        RegCloseKey(h);
        return kErrorNotEnoughMemory;
    }
    return kErrorSuccess;
}

void reg_close_key(RegKey* key) {
    if (key == nullptr) return;
    RegCloseKey(key->hkey);
    delete key;
}

int reg_query_value(RegKey* key, std::string_view name, uint32_t* type, std::string* data) {
    if (key == nullptr) return kErrorInvalidHandle;
    std::string cname;
    if (!to_cstr(name, cname)) return kErrorInvalidParameter;
    // Ask for the size, then read; the value may grow between the two calls
    // (another process), so a few rounds are allowed.
    for (int round = 0; round < 4; ++round) {
        DWORD t = 0, size = 0;
        LONG rc = RegQueryValueExA(key->hkey, cname.c_str(), nullptr, &t, nullptr, &size);
        if (rc != ERROR_SUCCESS) return static_cast<int>(rc);
        std::vector<BYTE> buf(size + 1);
        DWORD got = size + 1;
        rc = RegQueryValueExA(key->hkey, cname.c_str(), nullptr, &t, buf.data(), &got);
        if (rc == ERROR_MORE_DATA) continue;
        if (rc != ERROR_SUCCESS) return static_cast<int>(rc);
        if (type != nullptr) *type = t;
        if (data != nullptr) data->assign(reinterpret_cast<const char*>(buf.data()), got);
        return kErrorSuccess;
    }
    return kErrorMoreData;
}

// RegSetValueExA passes REG_SZ data through the ANSI code page and Wine adds
// a terminator to text stored without one; the library always stores its
// texts with their terminator, which comes back unchanged.
int reg_set_value(RegKey* key, std::string_view name, uint32_t type, std::string_view data) {
    if (key == nullptr) return kErrorInvalidHandle;
    std::string cname;
    if (!to_cstr(name, cname) || !fits_dword(data.size())) return kErrorInvalidParameter;
    LONG rc = RegSetValueExA(key->hkey, cname.c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size()));
    return static_cast<int>(rc);
}

int reg_enum_value(RegKey* key, uint32_t index, std::string* name, uint32_t* type,
                   std::string* data) {
    if (key == nullptr) return kErrorInvalidHandle;
    DWORD max_name = 0, max_data = 0;
    LONG rc = RegQueryInfoKeyA(key->hkey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, &max_name, &max_data, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) return static_cast<int>(rc);
    for (int round = 0; round < 4; ++round) {
        std::vector<char> nbuf(max_name + 1);
        std::vector<BYTE> dbuf(max_data + 1);
        DWORD nlen = static_cast<DWORD>(nbuf.size()), dlen = static_cast<DWORD>(dbuf.size()), t = 0;
        rc = RegEnumValueA(key->hkey, index, nbuf.data(), &nlen, nullptr, &t, dbuf.data(), &dlen);
        if (rc == ERROR_MORE_DATA) {
            // A value grew since RegQueryInfoKeyA: make room and ask again.
            max_name = max_name * 2 + 256;
            max_data = std::max<DWORD>(max_data * 2, dlen);
            continue;
        }
        if (rc != ERROR_SUCCESS) return static_cast<int>(rc);
        if (name != nullptr) name->assign(nbuf.data(), nlen);
        if (type != nullptr) *type = t;
        if (data != nullptr) data->assign(reinterpret_cast<const char*>(dbuf.data()), dlen);
        return kErrorSuccess;
    }
    return kErrorMoreData;
}

// The registry has no statement to read a key at once: RegEnumValueA in a
// loop, with buffers sized once and grown when a value grew meanwhile.
int reg_enum_values(RegKey* key, uint32_t max, RegValueFn fn, void* context) {
    if (key == nullptr) return kErrorInvalidHandle;
    DWORD max_name = 0, max_data = 0;
    LONG rc = RegQueryInfoKeyA(key->hkey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, &max_name, &max_data, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) return static_cast<int>(rc);
    std::vector<char> nbuf(max_name + 1);
    std::vector<BYTE> dbuf(max_data + 1);
    for (DWORD index = 0, grown = 0; index < max;) {
        DWORD nlen = static_cast<DWORD>(nbuf.size()), dlen = static_cast<DWORD>(dbuf.size()), t = 0;
        rc = RegEnumValueA(key->hkey, index, nbuf.data(), &nlen, nullptr, &t, dbuf.data(), &dlen);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc == ERROR_MORE_DATA && grown++ < 4) {
            nbuf.resize(nbuf.size() * 2 + 256);
            dbuf.resize(std::max<std::size_t>(dbuf.size() * 2, dlen + 1));
            continue;
        }
        if (rc != ERROR_SUCCESS) return static_cast<int>(rc);
        fn(context, std::string_view(nbuf.data(), nlen), t,
           std::string_view(reinterpret_cast<const char*>(dbuf.data()), dlen));
        ++index;
        grown = 0;
    }
    return kErrorSuccess;
}

int reg_delete_value(RegKey* key, std::string_view name) {
    if (key == nullptr) return kErrorInvalidHandle;
    std::string cname;
    if (!to_cstr(name, cname)) return kErrorInvalidParameter;
    return static_cast<int>(RegDeleteValueA(key->hkey, cname.c_str()));
}

// The Windows registry applies each call on its own and has no
// transactions.  A batch here is a lock shared by the threads and processes
// of the session: an import that rewrites the zones and a load that reads
// them never overlap, so a load never finds the zone key half rewritten
// (too few values, or some old and some new).  A named mutex is recursive
// for its owner, so batches nest; a dropped batch cannot be undone.  When
// the mutex cannot be created, batches do not lock (each call on its own).
namespace {
constexpr DWORD kBatchWaitMs = 15000;  // as long as the file store waits for its lock
thread_local int t_batch_depth = 0;

HANDLE batch_mutex() {
    static const HANDLE mutex = CreateMutexA(nullptr, FALSE, "Local\\nessel-registry-batch");
    return mutex;
}
}  // namespace

int reg_begin_batch() {
    if (HANDLE m = batch_mutex()) {
        // An owner that ended without releasing (WAIT_ABANDONED) left the
        // lock to this thread, which then holds it as usual.
        const DWORD w = WaitForSingleObject(m, kBatchWaitMs);
        if (w != WAIT_OBJECT_0 && w != WAIT_ABANDONED) return kErrorBusy;
    }
    ++t_batch_depth;
    return kErrorSuccess;
}

int reg_end_batch(bool) {
    if (t_batch_depth == 0) return kErrorInvalidHandle;
    --t_batch_depth;
    if (HANDLE m = batch_mutex()) ReleaseMutex(m);
    return kErrorSuccess;
}

// ---------------------------------------------------------------------------
// Profile reading.

struct Profile {
    std::string path;  // full path: a bare name would be looked for in the Windows directory
};

Profile* profile_open(const std::string& path) {
    auto* p = new Profile;
    char full[MAX_PATH];
    DWORD n = path.find('\0') == std::string::npos
                  ? GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr)
                  : 0;
    // A path that cannot be resolved stays as given; such a file simply
    // answers every lookup with the default.
    p->path = (n > 0 && n < MAX_PATH) ? std::string(full, n) : path;
    return p;
}

void profile_close(Profile* profile) { delete profile; }

uint32_t profile_get_int(Profile* profile, std::string_view section, std::string_view key,
                         uint32_t def) {
    std::string s, k;
    if (profile == nullptr || !to_cstr(section, s) || !to_cstr(key, k)) return def;
    // GetPrivateProfileIntA takes a signed default; the bits pass unchanged.
    UINT v = GetPrivateProfileIntA(s.c_str(), k.c_str(), static_cast<INT>(def),
                                   profile->path.c_str());
    // A negative number comes back as its two's complement (Wine does so,
    // whatever the documentation says); it counts as 0 here.
    if (static_cast<INT>(v) < 0) {
        std::string text = profile_get_string(profile, section, key, "", 64);
        std::size_t i = text.find_first_not_of(" \t");
        if (i != std::string::npos && text[i] == '-') return 0;
    }
    return v;
}

std::string profile_get_string(Profile* profile, std::string_view section, std::string_view key,
                               std::string_view def, std::size_t capacity) {
    std::string s, k, d;
    if (capacity == 0) return {};
    if (profile == nullptr || !to_cstr(section, s) || !to_cstr(key, k) || !to_cstr(def, d))
        return std::string(def.substr(0, capacity - 1));
    const DWORD cap = static_cast<DWORD>(std::min<std::size_t>(capacity, 1u << 20));
    std::vector<char> buf(cap);
    DWORD n = GetPrivateProfileStringA(s.c_str(), k.c_str(), d.c_str(), buf.data(), cap,
                                       profile->path.c_str());
    return std::string(buf.data(), std::min<DWORD>(n, cap - 1));
}

// ---------------------------------------------------------------------------
// Files.

const char kPathSeparator = '\\';

// SearchPathA's order has no installed data directory.
void set_data_directory(std::string_view) {}

int search_file(std::string_view name, std::string& path) {
    std::string cname;
    if (!to_cstr(name, cname) || cname.empty()) return 0;
    // The system's search order: the program's directory, the current
    // directory, the system directories and PATH.  A result that does not
    // fit MAX_PATH is reported as a size larger than the buffer: not found.
    char buf[MAX_PATH];
    DWORD n = SearchPathA(nullptr, cname.c_str(), nullptr, MAX_PATH, buf, nullptr);
    if (n == 0 || n >= MAX_PATH) return 0;
    // SearchPathA also matches a directory and stops there; a directory is
    // no configuration file, so nothing is found.
    DWORD attr = GetFileAttributesA(buf);
    if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY)) return 0;
    path.assign(buf, n);
    return 1;
}

int temp_directory(std::string& dir) {
    // GetTempPathA names the user's own temporary directory and ends with a
    // backslash.  It does not check the directory: that is done here.
    char buf[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof buf, buf);
    if (n == 0 || n >= sizeof buf) return 0;
    DWORD attr = GetFileAttributesA(buf);
    if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY) ||
        (attr & FILE_ATTRIBUTE_REPARSE_POINT))
        return 0;
    dir.assign(buf, n);
    if (dir.back() != '\\') dir.push_back('\\');
    return 1;
}

struct DownloadFile {
    std::string path;     // where the copy goes
    std::string partial;  // the unique file being written
    HANDLE handle;
};

DownloadFile* download_file_create(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos || path.size() >= MAX_PATH)
        return nullptr;
    // A link (reparse point) in the place of the copy is never written through.
    DWORD attr = GetFileAttributesA(path.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES &&
        (attr & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)))
        return nullptr;
    std::string dir = path;
    std::size_t cut = dir.find_last_of("\\/");
    dir = cut == std::string::npos ? std::string(".") : dir.substr(0, cut + 1);
    // GetTempFileNameA creates an empty file of a unique name in dir; the
    // bytes go there and the file is renamed into place when complete.
    char unique[MAX_PATH];
    if (GetTempFileNameA(dir.c_str(), "nsl", 0, unique) == 0) return nullptr;
    HANDLE h = CreateFileA(unique, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DeleteFileA(unique);
        return nullptr;
    }
    auto* f = new (std::nothrow) DownloadFile{path, unique, h};
    if (f == nullptr) {
        CloseHandle(h);
        DeleteFileA(unique);
    }
    return f;
}

int download_file_write(DownloadFile* file, std::string_view bytes) {
    if (file == nullptr) return 0;
    // Written as received (no line-end translation): the profile functions
    // read either kind of line end.
    while (!bytes.empty()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD done = 0;
        if (!WriteFile(file->handle, bytes.data(), chunk, &done, nullptr) || done == 0) return 0;
        bytes.remove_prefix(done);
    }
    return 1;
}

int download_file_close(DownloadFile* file) {
    if (file == nullptr) return 0;
    if (file->handle == INVALID_HANDLE_VALUE) return 1;
    const int ok = CloseHandle(file->handle) ? 1 : 0;
    file->handle = INVALID_HANDLE_VALUE;
    return ok;
}

const std::string& download_file_own_path(const DownloadFile* file) { return file->partial; }

int download_file_finish(DownloadFile* file, bool keep) {
    if (file == nullptr) return 0;
    int ok = (file->handle == INVALID_HANDLE_VALUE || CloseHandle(file->handle)) ? 1 : 0;
    if (keep && ok) {
        ok = MoveFileExA(file->partial.c_str(), file->path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                 ? 1
                 : 0;
    }
    if (!keep || !ok) DeleteFileA(file->partial.c_str());
    delete file;
    return keep ? ok : 1;
}

// ---------------------------------------------------------------------------
// URL download through WinINet.

struct UrlConnection {
    HINTERNET session;
    HINTERNET request;
    ULONGLONG started;
    std::size_t received;
    TransferBounds bounds;
};

// WinINet is part of the system: downloads are always available.
const char* download_unavailable() { return nullptr; }

UrlConnection* url_open(const std::string& url, const std::string& user_agent,
                        const TransferBounds& bounds) {
    if (url.find('\0') != std::string::npos || user_agent.find('\0') != std::string::npos)
        return nullptr;
    // The system's preconfigured proxy settings, no proxy name, no bypass
    // list, no flags.
    HINTERNET session = InternetOpenA(user_agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                                      nullptr, 0);
    if (session == nullptr) return nullptr;
    DWORD connect_ms = bounds.connect_ms;
    DWORD io_ms = bounds.transfer_ms;
    InternetSetOptionA(session, INTERNET_OPTION_CONNECT_TIMEOUT, &connect_ms, sizeof connect_ms);
    InternetSetOptionA(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &io_ms, sizeof io_ms);
    InternetSetOptionA(session, INTERNET_OPTION_SEND_TIMEOUT, &io_ms, sizeof io_ms);
    const ULONGLONG started = GetTickCount64();
    HINTERNET request =
        InternetOpenUrlA(session, url.c_str(), nullptr, 0, INTERNET_FLAG_HYPERLINK, 0);
    if (request == nullptr) {
        InternetCloseHandle(session);
        return nullptr;
    }
    auto* c = new (std::nothrow) UrlConnection{session, request, started, 0, bounds};
    if (c == nullptr) {
        InternetCloseHandle(request);
        InternetCloseHandle(session);
    }
    return c;
}

int url_read(UrlConnection* connection, std::size_t want, std::string& data) {
    data.clear();
    if (connection == nullptr) return 0;
    // InternetReadFile may hand over less than asked while the body goes on;
    // it is called again until want bytes are there or the body has ended
    // (a successful read of 0 bytes).
    while (data.size() < want) {
        const ULONGLONG elapsed = GetTickCount64() - connection->started;
        const ULONGLONG limit_ms = connection->bounds.transfer_ms;
        if (elapsed >= limit_ms) return 0;
        // A read waits no longer than the transfer has left, as far as the
        // system honours the receive timeout (Wine's InternetReadFile does
        // not: it waits for the server, and closing the handles from another
        // thread does not end the wait either).
        DWORD left_ms = static_cast<DWORD>(limit_ms - elapsed);
        InternetSetOptionA(connection->request, INTERNET_OPTION_RECEIVE_TIMEOUT, &left_ms,
                           sizeof left_ms);
        char buf[4096];
        DWORD ask = static_cast<DWORD>(std::min<std::size_t>(want - data.size(), sizeof buf));
        DWORD got = 0;
        if (!InternetReadFile(connection->request, buf, ask, &got)) return 0;
        if (got == 0) break;
        connection->received += got;
        if (connection->received > connection->bounds.max_body) return 0;
        data.append(buf, got);
    }
    return 1;
}

void url_close(UrlConnection* connection) {
    if (connection == nullptr) return;
    InternetCloseHandle(connection->request);
    InternetCloseHandle(connection->session);
    delete connection;
}

// ---------------------------------------------------------------------------
// StrRStrIA finds the candidates.  It folds letters by the ANSI code page
// (in code page 1252 "\xC4" matches "\xE4"), while this function folds ASCII
// letters only, as on every system: a candidate whose bytes above 0x7F
// differ is skipped and the search goes on before it.  StrRStrIA also stops
// at a zero byte, so a text holding zero bytes is searched piece by piece,
// from the last piece back; a text to look for that holds one is compared
// without StrRStrIA.
std::size_t find_last_nocase(std::string_view text, std::string_view what) {
    if (what.empty() || what.size() > text.size()) return std::string_view::npos;
    if (what.find('\0') != std::string_view::npos) {
        // StrRStrIA cannot be given such a text to look for: compare here.
        for (std::size_t pos = text.size() - what.size() + 1; pos-- > 0;)
            if (equal_nocase_ascii(text.data() + pos, what)) return pos;
        return std::string_view::npos;
    }
    const std::string needle(what);
    const std::string hay(text);  // one terminator after the last piece
    std::size_t piece_end = hay.size();  // hay[piece_end] is always a zero byte
    for (;;) {
        const std::size_t nul = piece_end == 0 ? std::string::npos : hay.rfind('\0', piece_end - 1);
        const std::size_t piece_start = nul == std::string::npos ? 0 : nul + 1;
        const char* base = hay.c_str() + piece_start;
        const char* limit = hay.c_str() + piece_end;
        while (limit > base) {
            const char* hit = StrRStrIA(base, limit, needle.c_str());
            if (hit == nullptr) break;
            const std::size_t at = static_cast<std::size_t>(hit - hay.c_str());
            if (at + what.size() <= piece_end && equal_nocase_ascii(hit, what)) return at;
            limit = hit;
        }
        if (nul == std::string::npos) return std::string_view::npos;
        piece_end = nul;
    }
}

}  // namespace nessel::platform
