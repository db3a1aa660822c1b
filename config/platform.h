// SPDX-License-Identifier: MIT
// config/platform.h: everything the zone configuration asks of the operating
// system: the per-user registry store, profile (INI) reading, the search for
// the configuration file, the temporary directory and file of a download,
// URL download in blocks, and the last case-insensitive occurrence of a text.
//
// One header, one implementation per system: platform_posix.cpp (SQLite
// store, libcurl) and platform_win32.cpp (the Win32 registry, profile,
// SearchPathA, GetTempPathA and WinINet functions).  No system type appears
// here: handles are opaque, statuses are plain Win32 status numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace nessel::platform {

// ---------------------------------------------------------------------------
// Status numbers, as the Win32 registry functions return them.
inline constexpr int kErrorSuccess = 0;            // ERROR_SUCCESS
inline constexpr int kErrorFileNotFound = 2;       // ERROR_FILE_NOT_FOUND: no such value
inline constexpr int kErrorAccessDenied = 5;       // ERROR_ACCESS_DENIED: store read-only
inline constexpr int kErrorInvalidHandle = 6;      // ERROR_INVALID_HANDLE
inline constexpr int kErrorNotEnoughMemory = 8;    // ERROR_NOT_ENOUGH_MEMORY
inline constexpr int kErrorInvalidParameter = 87;  // ERROR_INVALID_PARAMETER: bad key path
inline constexpr int kErrorBusy = 170;             // ERROR_BUSY: store locked too long
inline constexpr int kErrorMoreData = 234;         // ERROR_MORE_DATA: buffer too small
inline constexpr int kErrorNoMoreItems = 259;      // ERROR_NO_MORE_ITEMS: index past the end
inline constexpr int kErrorBadDb = 1009;           // ERROR_BADDB: other store failure
inline constexpr int kErrorCantOpen = 1011;        // ERROR_CANTOPEN: store cannot be opened
inline constexpr int kErrorRegistryCorrupt = 1015; // ERROR_REGISTRY_CORRUPT: not a store

// Value types.
inline constexpr uint32_t kRegSz = 1;     // REG_SZ: text, stored with the bytes given
inline constexpr uint32_t kRegDword = 4;  // REG_DWORD: 4 little-endian bytes

// Access wanted when a key is opened (the Win32 access masks).
inline constexpr uint32_t kKeyRead = 0x20019;       // KEY_READ
inline constexpr uint32_t kKeyWrite = 0x20006;      // KEY_WRITE
inline constexpr uint32_t kKeyAllAccess = 0xF003F;  // KEY_ALL_ACCESS

// The only root the library uses.
enum class RegRoot : int { CurrentUser = 1 };

// ---------------------------------------------------------------------------
// Registry store.  Key paths use "\" between names and, like value names,
// compare without regard to ASCII letter case.  A key's values enumerate in
// the order of their creation; rewriting a value keeps its place.

struct RegKey;  // an open key

// RegCreateKeyExA: opens subkey under root, creating it (and its parents)
// when absent.  An empty subkey is the root itself.  On success *key is set
// and must be closed with reg_close_key.
[[nodiscard]] int reg_create_key(RegRoot root, std::string_view subkey, uint32_t access,
                                 RegKey** key);
void reg_close_key(RegKey* key);

// RegQueryValueExA: the stored type and bytes of one value (data replaced).
[[nodiscard]] int reg_query_value(RegKey* key, std::string_view name, uint32_t* type,
                                  std::string* data);
// RegSetValueExA: creates or rewrites one value with exactly the bytes given.
[[nodiscard]] int reg_set_value(RegKey* key, std::string_view name, uint32_t type,
                                std::string_view data);
// RegEnumValueA: the value at index (0-based) in enumeration order;
// kErrorNoMoreItems past the last one.  name and data are replaced.
[[nodiscard]] int reg_enum_value(RegKey* key, uint32_t index, std::string* name, uint32_t* type,
                                 std::string* data);
// RegDeleteValueA.
[[nodiscard]] int reg_delete_value(RegKey* key, std::string_view name);

// The first max values of the key in enumeration order, read in one pass
// (one statement, so one consistent state of the store): fn(context, name,
// type, data) is called for each; the views are valid during the call only.
// A status other than kErrorSuccess when the read failed (fn may have been
// called for some values before).
using RegValueFn = void (*)(void* context, std::string_view name, uint32_t type,
                            std::string_view data);
[[nodiscard]] int reg_enum_values(RegKey* key, uint32_t max, RegValueFn fn, void* context);
template <typename F>
[[nodiscard]] int reg_enum_values(RegKey* key, uint32_t max, F&& fn) {
    return reg_enum_values(
        key, max,
        [](void* c, std::string_view name, uint32_t type, std::string_view data) {
            (*static_cast<std::remove_reference_t<F>*>(c))(name, type, data);
        },
        &fn);
}

// Groups the registry calls up to the matching reg_end_batch into one
// change that other processes see whole or not at all (and, while it is
// open, reads see one consistent state).  Batches nest; only the outermost
// one commits.  reg_begin_batch returns a status: nonzero when the store
// cannot be opened or stays locked, and then no batch is open.
// reg_end_batch(commit = false) drops the changes of the outermost batch.
// A system without such transactions may make both calls do nothing.
[[nodiscard]] int reg_begin_batch();
int reg_end_batch(bool commit);

// ---------------------------------------------------------------------------
// Profile (INI) reading, as GetPrivateProfileIntA / GetPrivateProfileStringA
// read a file: section and key names without regard to case, the first
// matching section and key win, spaces around names and values ignored, one
// pair of matching quotes around a value removed.

struct Profile;  // a configuration file opened for lookups

// Never fails: a file that cannot be read answers every lookup with the
// default.  Close with profile_close.
Profile* profile_open(const std::string& path);
void profile_close(Profile* profile);
// GetPrivateProfileIntA: the key's number (leading spaces and sign allowed,
// stops at the first non-digit, negative numbers give 0), or def when the
// key is absent or its value empty.
uint32_t profile_get_int(Profile* profile, std::string_view section, std::string_view key,
                         uint32_t def);
// GetPrivateProfileStringA with a buffer of capacity bytes: the value (or
// def when the key is absent), cut to capacity - 1 characters.
std::string profile_get_string(Profile* profile, std::string_view section, std::string_view key,
                               std::string_view def, std::size_t capacity);

// ---------------------------------------------------------------------------
// Files.

// Separator between a directory and a file name ("/" or "\").
extern const char kPathSeparator;

// SearchPathA counterpart: the full path of the first file called name in
// the system's search order for the configuration file; 1 when found.
// Paths longer than 259 characters are not returned.
[[nodiscard]] int search_file(std::string_view name, std::string& path);
// Replaces the installed data directory of that search order (the build's
// <prefix>/share/nessel): a program that carries its own copy of the data,
// such as a language binding installed elsewhere, points it there before the
// library is initialised.  Systems whose search has no such step ignore it.
void set_data_directory(std::string_view dir);

// GetTempPathA counterpart: the private directory for the temporary copy of
// a download, ending with kPathSeparator; 1 on success, 0 when it cannot be
// created or is not safe to use (a symbolic link, or owned by someone else).
[[nodiscard]] int temp_directory(std::string& dir);

// The temporary copy of a download.  download_file_create prepares writing
// to path (an existing file there is replaced); nullptr when the file cannot
// be created or the path is not safe to use.  The bytes go to a file of a
// unique name beside path, this process's own: download_file_close closes
// it (1 on success) and download_file_own_path names it, so the copy can be
// read before anything else can replace it.  download_file_finish closes it
// if still open; with keep, path then holds exactly the bytes written (put
// in place whole, so another process never reads a half-written copy);
// without keep, the bytes are discarded and path is left as it was.  1 on
// success.
struct DownloadFile;
DownloadFile* download_file_create(const std::string& path);
[[nodiscard]] int download_file_write(DownloadFile* file, std::string_view bytes);
[[nodiscard]] int download_file_close(DownloadFile* file);
const std::string& download_file_own_path(const DownloadFile* file);
int download_file_finish(DownloadFile* file, bool keep);

// ---------------------------------------------------------------------------
// URL download (InternetOpenA + InternetOpenUrlA, InternetReadFile,
// InternetCloseHandle), through the system's proxy settings.

struct UrlConnection;

// Bounds of one transfer; the library's updates use these defaults.
struct TransferBounds {
    uint32_t connect_ms = 10000;      // to connect
    uint32_t transfer_ms = 60000;     // the whole transfer
    std::size_t max_body = 1 << 20;   // bytes of the body
};

// Connects and sends the request; nullptr when no connection can be made
// (also when the system's download library cannot be loaded).  An HTTP
// error status is not a failure: its page is the body.
UrlConnection* url_open(const std::string& url, const std::string& user_agent,
                        const TransferBounds& bounds = {});
// Why downloads cannot run here (the download library is missing), or null.
const char* download_unavailable();
// Reads the next bytes of the body into data (replaced): exactly want bytes
// while the body lasts, fewer at its end, none after it.  1 on success, 0
// when the read failed (the transfer broke off or exceeded its bounds).
[[nodiscard]] int url_read(UrlConnection* connection, std::size_t want, std::string& data);
void url_close(UrlConnection* connection);

// ---------------------------------------------------------------------------
// StrRStrIA counterpart: offset of the last occurrence of what in text,
// comparing ASCII letters without regard to case; npos when there is none
// or what is empty.  Pure.
std::size_t find_last_nocase(std::string_view text, std::string_view what);

}  // namespace nessel::platform
