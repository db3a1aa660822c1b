// SPDX-License-Identifier: MIT
// tests/unit/test_support.cpp: helpers shared by the unit tests.
#include "test_support.h"

#include "codecs/codecs.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace nessel::test {

std::string show(std::u16string_view units) {
    std::string out;
    char buf[16];
    for (char16_t u : units) {
        std::snprintf(buf, sizeof buf, "%sU+%04X", out.empty() ? "" : " ", static_cast<unsigned>(u));
        out += buf;
    }
    return out.empty() ? "(empty)" : out;
}

std::string show_bytes(std::string_view bytes) {
    std::string out;
    char buf[8];
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        std::snprintf(buf, sizeof buf, b >= 0x21 && b < 0x7F && b != '\\' ? "%c" : "\\x%02X", b);
        out += buf;
    }
    return out;
}

std::string utf8(std::u16string_view units) {
    // The marker bits of a lead byte, by the number of bytes that follow it.
    static constexpr unsigned char kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t cp = units[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[++i] - 0xDC00);
        const int n = cp < 0x80 ? 0 : cp < 0x800 ? 1 : cp < 0x10000 ? 2 : 3;
        out.push_back(static_cast<char>(kLead[n] | (cp >> (6 * n))));
        for (int k = n - 1; k >= 0; --k) out.push_back(static_cast<char>(0x80 | ((cp >> (6 * k)) & 0x3F)));
    }
    return out;
}

void EncodingsTest::SetUpTestSuite() { ASSERT_EQ(register_all_encodings(), 1); }

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const std::string& path, const std::string& content) { std::ofstream(path, std::ios::binary) << content; }

TempDir::TempDir() {
    // create_directory reports whether it made the directory, so a name that
    // another process took first is simply skipped (portable mkdtemp).
    std::random_device rd;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const auto dir = std::filesystem::temp_directory_path() /
                         ("nessel-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
        if (std::filesystem::create_directory(dir)) path_ = dir.string();
    }
    if (path_.empty()) throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

// Sets a variable of this process, or removes it where value is null.
static void set_env(const char* name, const char* value) {
#ifdef _WIN32
    // The C runtime keeps its own copy of the environment: set both.
    SetEnvironmentVariableA(name, value);
    _putenv_s(name, value ? value : "");
#else
    if (value != nullptr) setenv(name, value, 1);
    else unsetenv(name);
#endif
}

void ScopedEnvironment::set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
    set_env(name, value);
}

void ScopedEnvironment::restore() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
        set_env(it->first.c_str(), it->second ? it->second->c_str() : nullptr);
    saved_.clear();
}

bool running_under_wine() {
#ifdef _WIN32
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

SharedLib::SharedLib(const std::string& path) {
#ifdef _WIN32
    handle_ = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
    if (handle_ == nullptr) error_ = "LoadLibrary failed: " + std::to_string(GetLastError());
#else
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) error_ = dlerror();
#endif
}

SharedLib::~SharedLib() { close(); }

void* SharedLib::symbol(const char* name) const {
    if (handle_ == nullptr) return nullptr;
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
    return dlsym(handle_, name);
#endif
}

bool SharedLib::close() {
    if (handle_ == nullptr) return false;
#ifdef _WIN32
    bool ok = FreeLibrary(static_cast<HMODULE>(handle_)) != 0;
#else
    bool ok = dlclose(handle_) == 0;
#endif
    handle_ = nullptr;
    return ok;
}

}  // namespace nessel::test
