// SPDX-License-Identifier: MIT
// tests/win/platform_win32_test.cpp: the Win32 platform layer against the
// real system: values land in HKEY_CURRENT_USER (read back here with the
// system's functions directly), profile files by bare name, SearchPathA and
// the download file.  Lookups, the file search, WinINet transfers and the
// text search run as the shared configuration cases.
#include <windows.h>
// (windows.h first: shlwapi.h needs its types.)
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "config/platform.h"
#include "test_support.h"

namespace nessel::platform {
namespace {

// A key of its own under HKEY_CURRENT_USER, removed with the object, and
// the parent with it when no other test process holds a key there.
struct TestKey {
    const std::string path = "SOFTWARE\\Nessel Tests\\" + std::to_string(GetCurrentProcessId());
    ~TestKey() {
        RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Nessel Tests");
    }
};

// A value's type and bytes read with the system's own functions, not the
// layer ({0, ""} where it cannot be read).
std::pair<DWORD, std::string> read_direct(const std::string& key, const char* name) {
    char buf[512];
    DWORD type = 0, size = sizeof buf;
    if (SHGetValueA(HKEY_CURRENT_USER, key.c_str(), name, &type, buf, &size) != ERROR_SUCCESS) return {0, ""};
    return {type, std::string(buf, size)};
}

// Values land in HKEY_CURRENT_USER; queries, enumeration, rewriting,
// deleting and the statuses of refused arguments.  (The order of the
// enumeration, which differs under Wine, is a case of the shared
// configuration tests.)
TEST(Win32Registry, ValuesQueriesEnumerationAndStatuses) {
    TestKey k;
    RegKey* key = nullptr;
    ASSERT_EQ(reg_create_key(RegRoot::CurrentUser, k.path, kKeyAllAccess, &key), kErrorSuccess);
    ASSERT_NE(key, nullptr);
    const std::string text("ra--abc\0", 8);
    const std::string dword("\x2A\x00\x00\x00", 4);
    EXPECT_EQ(reg_set_value(key, "Text", kRegSz, text), kErrorSuccess);
    EXPECT_EQ(reg_set_value(key, "Number", kRegDword, dword), kErrorSuccess);
    reg_close_key(key);

    EXPECT_EQ(read_direct(k.path, "Text"), std::make_pair(DWORD{REG_SZ}, text));
    EXPECT_EQ(read_direct(k.path, "Number"), std::make_pair(DWORD{REG_DWORD}, dword));

    // Opened again with other letter case: the same key and values.
    std::string upper = k.path;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    ASSERT_EQ(reg_create_key(RegRoot::CurrentUser, upper, kKeyRead, &key), kErrorSuccess);
    uint32_t t = 0;
    std::string data;
    EXPECT_EQ(reg_query_value(key, "TEXT", &t, &data), kErrorSuccess);
    EXPECT_EQ(t, kRegSz);
    EXPECT_EQ(data, text);
    EXPECT_EQ(reg_query_value(key, "absent", &t, &data), kErrorFileNotFound);
    reg_close_key(key);

    ASSERT_EQ(reg_create_key(RegRoot::CurrentUser, k.path + "\\DNSF", kKeyAllAccess, &key), 0);
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
}

// A bare name is resolved against the current directory, not the Windows
// directory where GetPrivateProfile* would look for it; a name too long for
// a path is not found.  (The lookups, the file search and the temporary
// directory of the download are cases of the shared configuration tests.)
TEST(Win32Files, BareNamesAreTheCurrentDirectorys) {
    test::TempDir dir;
    test::write_file(dir.path() + "\\pellow.ini", "[Pellow]\r\nNumKey = 3\r\n");
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    Profile* p = profile_open("pellow.ini");
    EXPECT_EQ(profile_get_int(p, "Pellow", "NumKey", 0), 3u);
    profile_close(p);
    p = profile_open("missing.ini");
    EXPECT_EQ(profile_get_int(p, "Pellow", "NumKey", 0), 0u);
    EXPECT_EQ(profile_get_string(p, "Pellow", "NumKey", "none", 260), "none");
    profile_close(p);
    std::string found;
    EXPECT_EQ(search_file(std::string(300, 'n') + ".ini", found), 0);
    std::filesystem::current_path(old);
}

TEST(Win32Files, DownloadFileIsPutInPlaceWhole) {
    test::TempDir dir;
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
    const std::filesystem::directory_iterator files(dir.path());
    EXPECT_EQ(std::distance(begin(files), end(files)), 1);
    EXPECT_EQ(download_file_create(dir.path() + "\\no-such-dir\\pellow.ini"), nullptr);
    EXPECT_EQ(download_file_create(dir.path()), nullptr);  // a directory is never written
}

}  // namespace
}  // namespace nessel::platform
