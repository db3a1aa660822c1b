// SPDX-License-Identifier: MIT
// tests/unit/test_support.cpp: helpers shared by the unit tests.
#include "test_support.h"

#include "codecs/codecs.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace nessel::test {

std::string unescape(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const char next = i + 1 < s.size() ? s[i + 1] : '\0';
        if (s[i] != '\\' || next == '\0' || std::string_view("ntr\\x").find(next) == std::string_view::npos) {
            out.push_back(s[i]);
        } else if (next == 'x') {
            out.push_back(static_cast<char>(std::stoul(std::string(s.substr(i + 2, 2)), nullptr, 16)));
            i += 3;
        } else {
            out.push_back(next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : '\\');
            ++i;
        }
    }
    return out;
}

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
        auto b = static_cast<unsigned char>(c);
        if (b >= 0x21 && b < 0x7F && b != '\\') {
            out.push_back(static_cast<char>(b));
        } else {
            std::snprintf(buf, sizeof buf, "\\x%02X", b);
            out += buf;
        }
    }
    return out;
}

std::string utf8(std::u16string_view units) {
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t cp = units[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[++i] - 0xDC00);
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
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
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[40];
        std::snprintf(name, sizeof name, "nessel-test-%08x%08x", rd(), rd());
        if (std::filesystem::create_directory(base / name)) {
            path_ = (base / name).string();
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void set_env(const char* name, const char* value) {
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
    saved_.push_back({name, old != nullptr, old != nullptr ? old : ""});
    set_env(name, value);
}

void ScopedEnvironment::restore() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
        set_env(it->name.c_str(), it->had_value ? it->value.c_str() : nullptr);
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

bool values_enumerate_in_creation_order() { return !running_under_wine(); }

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
