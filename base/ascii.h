// SPDX-License-Identifier: MIT
// base/ascii.h: ASCII letter case, the one way the library compares names,
// keys and markers without regard to case.  Bytes above 0x7F compare as
// they are.
#pragma once

#include <cstddef>
#include <string_view>

namespace nessel {

constexpr char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c; }

// a and b equal when ASCII letters are folded to lower case.
constexpr bool ascii_iequal(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
    return true;
}

// text begins with prefix, ASCII letters folded.
constexpr bool ascii_istarts_with(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && ascii_iequal(text.substr(0, prefix.size()), prefix);
}

// Offset of the last occurrence of what in text, ASCII letters folded;
// npos when there is none or what is empty.
constexpr size_t ascii_ifind_last(std::string_view text, std::string_view what) {
    if (what.empty() || what.size() > text.size()) return std::string_view::npos;
    for (size_t pos = text.size() - what.size() + 1; pos-- > 0;)
        if (ascii_iequal(text.substr(pos, what.size()), what)) return pos;
    return std::string_view::npos;
}

}  // namespace nessel
