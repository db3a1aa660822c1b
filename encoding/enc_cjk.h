// SPDX-License-Identifier: MIT
// encoding/enc_cjk.h: small helpers shared by the CJK converters
// (enc_big5, enc_gb, enc_japan, enc_ksc).
#pragma once

#include <cstdint>
#include <string_view>

namespace nessel::cjk {

// A converter's source ends at its terminator: a zero inside a view ends the
// text there, exactly as it would in the zero-terminated string of the C API.
inline std::string_view before_nul(std::string_view s) {
    size_t n = s.find('\0');
    return n == std::string_view::npos ? s : s.substr(0, n);
}
inline std::u16string_view before_nul(std::u16string_view s) {
    size_t n = s.find(u'\0');
    return n == std::u16string_view::npos ? s : s.substr(0, n);
}

// Two-level reverse index of the generated tables: the lowest code that
// holds u, or 0 when no code does.
template <typename PageMap>
inline uint16_t reverse_lookup(const PageMap& page_map, const uint16_t* pages, char16_t u) {
    return pages[static_cast<size_t>(page_map[u >> 8]) * 256 + (u & 0xFF)];
}

// Failure of a converter: the destination is left empty.
template <typename Out>
[[nodiscard]] inline int fail(Out& dst) {
    dst.clear();
    return 0;
}

inline unsigned byte_at(std::string_view s, size_t i) { return static_cast<unsigned char>(s[i]); }

}  // namespace nessel::cjk
