// SPDX-License-Identifier: MIT
// tests/win/platform_win32_test.cpp: the Win32 platform layer against the
// real system: values land in HKEY_CURRENT_USER (read back here with the
// registry functions directly), profile files by bare name, SearchPathA,
// GetTempPathA and the download file.  Lookups, WinINet transfers and the
// text search run as the shared configuration cases.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "config/platform.h"
#include "test_support.h"

namespace nessel::platform {
namespace {

using test::TempDir;

// A key of its own under HKEY_CURRENT_USER, removed with the object.
class TestKey {
public:
    TestKey() {
        char name[96];
        std::snprintf(name, sizeof name, "SOFTWARE\\Nessel Tests\\%lu-%lu", GetCurrentProcessId(),
                      static_cast<unsigned long>(GetTickCount()));
        path_ = name;
    }
    ~TestKey() { RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Reads a value with the registry functions themselves, not the layer.
bool read_direct(const std::string& key, const char* name, DWORD& type, std::string& data) {
    HKEY h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    char buf[512];
    DWORD size = sizeof buf;
    LONG rc = RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS) return false;
    data.assign(buf, size);
    return true;
}

// Values land in HKEY_CURRENT_USER; queries, enumeration, rewriting,
// deleting and the statuses of refused arguments; the enumeration order.
TEST(Win32Registry, ValuesQueriesEnumerationAndStatuses) {
    TestKey k;
    RegKey* key = nullptr;
    ASSERT_EQ(reg_create_key(RegRoot::CurrentUser, k.path(), kKeyAllAccess, &key), kErrorSuccess);
    ASSERT_NE(key, nullptr);
    const std::string text("ra--abc\0", 8);
    const std::string dword("\x2A\x00\x00\x00", 4);
    EXPECT_EQ(reg_set_value(key, "Text", kRegSz, text), kErrorSuccess);
    EXPECT_EQ(reg_set_value(key, "Number", kRegDword, dword), kErrorSuccess);
    reg_close_key(key);

    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(read_direct(k.path(), "Text", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, text);
    ASSERT_TRUE(read_direct(k.path(), "Number", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, dword);

    // Opened again with other letter case: the same key and values.
    std::string upper = k.path();
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    ASSERT_EQ(reg_create_key(RegRoot::CurrentUser, upper, kKeyRead, &key), kErrorSuccess);
    uint32_t t = 0;
    EXPECT_EQ(reg_query_value(key, "TEXT", &t, &data), kErrorSuccess);
    EXPECT_EQ(t, kRegSz);
    EXPECT_EQ(data, text);
    EXPECT_EQ(reg_query_value(key, "absent", &t, &data), kErrorFileNotFound);
    reg_close_key(key);

    ASSERT_EQ(reg_create_key(RegRoot::CurrentUser, k.path() + "\\DNSF", kKeyAllAccess, &key), 0);
    // A value larger than any buffer a first guess would take.  Texts are
    // stored with their terminator, as the library writes them.
    const std::string big = std::string(3000, 'x') + '\0';
    ASSERT_EQ(reg_set_value(key, ".big", kRegSz, big), 0);
    ASSERT_EQ(reg_set_value(key, ".small", kRegSz, std::string("s\0", 2)), 0);
    std::string name;
    uint32_t i = 0;
    for (; reg_enum_value(key, i, &name, &t, &data) == kErrorSuccess; ++i) {
        EXPECT_EQ(t, kRegSz);
        EXPECT_EQ(data, name == ".big" ? big : std::string("s\0", 2)) << name;
    }
    EXPECT_EQ(i, 2u);
    EXPECT_EQ(reg_enum_value(key, 2, &name, &t, &data), kErrorNoMoreItems);

    // Rewriting keeps one value; deleting removes it.
    ASSERT_EQ(reg_set_value(key, ".BIG", kRegSz, std::string("short\0", 6)), 0);
    EXPECT_EQ(reg_query_value(key, ".big", &t, &data), 0);
    EXPECT_EQ(data, std::string("short\0", 6));
    EXPECT_EQ(reg_delete_value(key, ".Big"), kErrorSuccess);
    EXPECT_EQ(reg_delete_value(key, ".big"), kErrorFileNotFound);
    EXPECT_EQ(reg_enum_value(key, 1, &name, &t, &data), kErrorNoMoreItems);

    // Names and paths with a zero byte cannot reach the registry whole.
    EXPECT_EQ(reg_set_value(key, std::string("a\0b", 3), kRegSz, "x"), kErrorInvalidParameter);
    reg_close_key(key);
    RegKey* none = nullptr;
    EXPECT_EQ(reg_create_key(RegRoot::CurrentUser, std::string("SOFTWARE\0x", 10), kKeyRead, &none),
              kErrorInvalidParameter);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(reg_query_value(nullptr, "x", &t, &data), kErrorInvalidHandle);

    // Windows enumerates a key's values in the order of their creation.
    // Wine's registry keeps them sorted by name (without regard to case)
    // instead; the zone table takes its record order from this enumeration.
    ASSERT_EQ(reg_create_key(RegRoot::CurrentUser, k.path() + "\\Order", kKeyAllAccess, &key), 0);
    const std::vector<std::string> created = {".zeta", ".Alpha", ".mid", ".beta"};
    for (const auto& n : created) ASSERT_EQ(reg_set_value(key, n, kRegSz, "x"), 0);
    ASSERT_EQ(reg_set_value(key, ".zeta", kRegSz, "rewritten"), 0);
    std::vector<std::string> seen;
    for (i = 0; reg_enum_value(key, i, &name, nullptr, nullptr) == 0; ++i)
        seen.push_back(name);
    reg_close_key(key);
    const std::vector<std::string> sorted = {".Alpha", ".beta", ".mid", ".zeta"};
    if (!test::values_enumerate_in_creation_order()) {
        EXPECT_EQ(seen, sorted) << "Wine's registry enumerates values by name";
    } else {
        EXPECT_EQ(seen, created) << "the registry enumerates values in creation order";
    }
}

// A bare name is resolved against the current directory, not the Windows
// directory where GetPrivateProfile* would look for it.  (The lookups
// themselves are cases of the shared configuration tests.)
TEST(Win32Profile, BareNameIsTheCurrentDirectorys) {
    TempDir dir;
    test::write_file(dir.path() + "\\pellow.ini", "[Pellow]\r\nNumKey = 3\r\n");
    char old[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, old), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
    Profile* p = profile_open("pellow.ini");
    EXPECT_EQ(profile_get_int(p, "Pellow", "NumKey", 0), 3u);
    profile_close(p);
    p = profile_open("missing.ini");
    EXPECT_EQ(profile_get_int(p, "Pellow", "NumKey", 0), 0u);
    EXPECT_EQ(profile_get_string(p, "Pellow", "NumKey", "none", 260), "none");
    profile_close(p);
    SetCurrentDirectoryA(old);
}

TEST(Win32Files, SearchPathAndTempPath) {
    TempDir dir;
    char old[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, old), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
    const std::string name = "nessel-search-" + std::to_string(GetCurrentProcessId()) + ".ini";
    std::string found;
    EXPECT_EQ(search_file(name, found), 0);
    test::write_file(name, "x");
    ASSERT_EQ(search_file(name, found), 1);
    EXPECT_EQ(std::filesystem::path(found).filename().string(), name);
    EXPECT_EQ(test::read_file(found), "x");
    EXPECT_EQ(search_file(std::string(300, 'n') + ".ini", found), 0);
    SetCurrentDirectoryA(old);

    std::string tmp;
    ASSERT_EQ(temp_directory(tmp), 1);
    EXPECT_EQ(tmp.back(), kPathSeparator);
    EXPECT_TRUE(std::filesystem::is_directory(tmp)) << tmp;
}

TEST(Win32Files, DownloadFileIsPutInPlaceWhole) {
    TempDir dir;
    const std::string path = dir.path() + "\\pellow.ini";
    test::write_file(path, "old");
    const std::string bytes("VERSION=2\n[Pellow]\nNumKey=0\n\0end", 32);

    DownloadFile* f = download_file_create(path);
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(download_file_write(f, bytes.substr(0, 10)), 1);
    EXPECT_EQ(test::read_file(path), "old");  // not visible before it is complete
    ASSERT_EQ(download_file_write(f, bytes.substr(10)), 1);
    ASSERT_EQ(download_file_finish(f, true), 1);
    EXPECT_EQ(test::read_file(path), bytes);  // no line-end translation, zero bytes kept

    f = download_file_create(path);
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(download_file_write(f, "dropped"), 1);
    download_file_finish(f, false);
    EXPECT_EQ(test::read_file(path), bytes);

    // Nothing but the copy is left in the directory.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        ++files;
        EXPECT_EQ(e.path().filename().string(), "pellow.ini");
    }
    EXPECT_EQ(files, 1);
    EXPECT_EQ(download_file_create(dir.path() + "\\no-such-dir\\pellow.ini"), nullptr);
    EXPECT_EQ(download_file_create(dir.path()), nullptr);  // a directory is never written
}

}  // namespace
}  // namespace nessel::platform
