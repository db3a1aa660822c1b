// SPDX-License-Identifier: MIT
// config/platform_posix.cpp: the platform layer on POSIX systems.
#include "config/platform.h"

namespace nessel::platform {

namespace {
char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

std::size_t find_last_nocase(std::string_view text, std::string_view what) {
    if (what.empty() || what.size() > text.size()) return std::string_view::npos;
    for (std::size_t pos = text.size() - what.size() + 1; pos-- > 0;) {
        std::size_t i = 0;
        while (i < what.size() && ascii_lower(text[pos + i]) == ascii_lower(what[i])) ++i;
        if (i == what.size()) return pos;
    }
    return std::string_view::npos;
}

}  // namespace nessel::platform
