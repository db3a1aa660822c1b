// SPDX-License-Identifier: MIT
// tests/unit/platform_test.cpp: the platform layer's pure helpers.
#include <gtest/gtest.h>

#include "config/platform.h"

namespace nessel::platform {
namespace {

constexpr std::size_t npos = std::string_view::npos;

TEST(FindLastNocase, Table) {
    struct Case {
        std::string_view text, what;
        std::size_t expected;
    } cases[] = {
        {"abc.example.com", ".COM", 11},
        {"a.b.a.b", ".b", 5},             // the last of several occurrences
        {"VERSION=3 version=4", "Version=", 10},
        {"xn--abc", "XN--ABC", 0},        // whole text
        {"abc", "abcd", npos},            // longer than the text
        {"abc", "", npos},                // empty search text
        {"", "a", npos},
        {"aaaa", "aa", 2},                // overlapping: the last start wins
        {"\xC4\xE4", "\xE4", 1},          // bytes above 0x7F compare exactly
        {"\xC4", "\xE4", npos},
        {"[]@", "{}`", npos},             // no folding outside A-Z
    };
    for (const auto& c : cases)
        EXPECT_EQ(find_last_nocase(c.text, c.what), c.expected) << c.text << " / " << c.what;
}

}  // namespace
}  // namespace nessel::platform
