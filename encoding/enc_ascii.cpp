// SPDX-License-Identifier: MIT
// encoding/enc_ascii.cpp: "ascii" (7-bit) and "none" (UTF-16 as big-endian
// byte pairs) converters.
#include "encoding/encoding.h"
#include "encoding/out_sink.h"

namespace nessel {
namespace {

// Bytes from 0x80 up are not refused: they lose their top bit.
template <typename Out>
int ascii_decode(std::string_view src, Out& dst) {
    dst.clear();
    for (char c : src) dst.push_back(static_cast<char16_t>(static_cast<unsigned char>(c) & 0x7F));
    return 1;
}

// Stops at the first unit from 0x80 up, keeping what came before it.
template <typename Out>
int ascii_encode(std::u16string_view src, Out& dst) {
    dst.clear();
    for (char16_t u : src) {
        if (u >= 0x80) return 0;
        dst.push_back(static_cast<char>(u & 0x7F));
    }
    return 1;
}

// Two bytes per unit, high byte first.  A pair with a zero low byte ends the
// text but still yields its high byte as a last unit.
template <typename Out>
int none_decode(std::string_view src, Out& dst) {
    dst.clear();
    for (size_t i = 0; i < src.size(); i += 2) {
        auto h = static_cast<unsigned char>(src[i]);
        if (i + 1 >= src.size()) {
            dst.push_back(static_cast<char16_t>(h << 8));
            break;
        }
        auto l = static_cast<unsigned char>(src[i + 1]);
        dst.push_back(static_cast<char16_t>((h << 8) | l));
    }
    return 1;
}

// A unit with a zero high byte yields a zero byte inside the output.
template <typename Out>
int none_encode(std::u16string_view src, Out& dst) {
    dst.clear();
    for (char16_t u : src) {
        dst.push_back(static_cast<char>(u >> 8));
        dst.push_back(static_cast<char>(u & 0xFF));
    }
    return 1;
}

}  // namespace

NESSEL_SINK_CONVERTERS(ascii, ascii_decode(src, dst), ascii_encode(src, dst))
NESSEL_SINK_CONVERTERS(none, none_decode(src, dst), none_encode(src, dst))

}  // namespace nessel
