// SPDX-License-Identifier: MIT
// tests/unit/test_support.h: helpers shared by the unit tests.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "vectors.h"

namespace nessel::test {

// A random text of 1 to max_len elements, each drawn from pool.
template <class C>
std::basic_string<C> random_text(std::mt19937& rng, std::basic_string_view<C> pool, size_t max_len) {
    std::basic_string<C> s(1 + rng() % max_len, C());
    for (C& c : s) c = pool[rng() % pool.size()];
    return s;
}
// Printable forms for failure messages.
std::string show(std::u16string_view units);
std::string show_bytes(std::string_view bytes);
// UTF-16 to UTF-8 (surrogate pairs joined).
std::string utf8(std::u16string_view units);

// Tests of the registered encodings: every encoding is registered once,
// before the suite's first test.
class EncodingsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
};

// A whole file's bytes, and a file written with these bytes.
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& content);

// A fresh temporary directory, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Environment variables changed for a while (a null value removes one):
// restore(), or the destructor, puts each back as it was before the first
// change.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment() { restore(); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    void set(const char* name, const char* value);
    void restore();

private:
    // Each name with its earlier value (none where it was not set).
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// Whether this Windows program runs under Wine (false on other systems).
bool running_under_wine();

// Whether the per-user store enumerates a key's values in the order of their
// creation, as the library's own store and Windows do.  Wine's registry
// keeps them sorted by name (without regard to case) instead.
inline bool values_enumerate_in_creation_order() { return !running_under_wine(); }

// A shared library loaded at run time: dlopen on POSIX, LoadLibrary on
// Windows.  Closed with close() or with the object.
class SharedLib {
public:
    explicit SharedLib(const std::string& path);
    ~SharedLib();
    SharedLib(const SharedLib&) = delete;
    SharedLib& operator=(const SharedLib&) = delete;
    bool loaded() const { return handle_ != nullptr; }
    // The address of an exported name, or nullptr.
    void* symbol(const char* name) const;
    // Unloads; true on success.
    bool close();
    // Why the load failed.
    const std::string& error() const { return error_; }

private:
    void* handle_ = nullptr;
    std::string error_;
};

}  // namespace nessel::test
