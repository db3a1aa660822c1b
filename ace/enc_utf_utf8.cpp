// SPDX-License-Identifier: MIT
// ace/enc_utf_utf8.cpp: "utf8" (UTF-8 of the 16-bit units, each unit on its
// own, surrogates included), "gutf8" (the same with ASCII capitals lowered)
// and "dutf8" (UTF-8 applied twice, the first pass read as ISO-8859-1).
// The decoder takes lead bytes of up to five continuation bytes (the 1993
// form of UTF-8) and keeps the low 16 bits of the value; overlong forms pass.
#include "ace/enc_utf.h"
#include "encoding/encoding.h"
#include "encoding/out_sink.h"

#include <cstdint>

namespace nessel {
namespace {

constexpr size_t kWorkUnits = kLabelBuffer;  // "dutf8"'s intermediate unit buffer

template <typename Out>
void append_utf8(std::u16string_view src, Out& dst) {
    for (char16_t u : src) {
        if (u < 0x80) {
            dst.push_back(static_cast<char>(u));
        } else if (u < 0x800) {
            dst.push_back(static_cast<char>(0xC0 | (u >> 6)));
            dst.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            dst.push_back(static_cast<char>(0xE0 | (u >> 12)));
            dst.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            dst.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
}

template <typename Out>
int utf8_encode(std::u16string_view src, Out& dst) {
    dst.clear();
    append_utf8(src, dst);
    return 1;
}

template <typename Out>
int utf8_decode(std::string_view src, Out& dst) {
    dst.clear();
    for (size_t i = 0; i < src.size();) {
        const auto lead = static_cast<unsigned char>(src[i++]);
        if (lead < 0x80) {
            dst.push_back(lead);
            continue;
        }
        if ((lead & 0xC0) == 0x80) return 0;  // continuation byte without a lead
        // The two- and three-byte forms, which most text uses, without the
        // general walk below.
        if (lead < 0xE0 && i < src.size()) {
            const auto b = static_cast<unsigned char>(src[i]);
            if ((b & 0xC0) != 0x80) return 0;
            dst.push_back(static_cast<char16_t>(((lead & 0x1Fu) << 6) | (b & 0x3Fu)));
            ++i;
            continue;
        }
        if (lead < 0xF0 && i + 1 < src.size()) {
            const auto b1 = static_cast<unsigned char>(src[i]);
            const auto b2 = static_cast<unsigned char>(src[i + 1]);
            if ((b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80) return 0;
            dst.push_back(static_cast<char16_t>(((lead & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu)));
            i += 2;
            continue;
        }
        // One continuation byte, plus one for each 1 bit from bit 5 down.
        int n = 1;
        while (n <= 6 && (lead & (0x20 >> (n - 1)))) ++n;
        if (n > 5) return 0;  // 0xFE and 0xFF
        uint32_t value = lead & ((1u << (6 - n)) - 1);
        for (int k = 0; k < n; ++k, ++i) {
            if (i >= src.size()) return 0;
            const auto b = static_cast<unsigned char>(src[i]);
            if ((b & 0xC0) != 0x80) return 0;
            value = (value << 6) | (b & 0x3F);
        }
        dst.push_back(static_cast<char16_t>(value & 0xFFFF));
    }
    return 1;
}

// Only "A"-"Z" are lowered: setting bit 0x20 in every byte would also turn
// "@" into "`" and break the lead bytes of multi-byte sequences, so that the
// decoder could no longer restore a name with characters beyond ASCII.
template <typename Out>
int gutf8_encode(std::u16string_view src, Out& dst) {
    utf8_encode(src, dst);
    for (size_t i = 0; i < dst.size(); ++i)
        if (dst[i] >= 'A' && dst[i] <= 'Z') dst[i] = static_cast<char>(dst[i] + 32);
    return 1;
}

// The ISO-8859-1 pair comes from the registry, so "dutf8" fails until it is
// registered.  Both passes run through 1024-byte / 1024-unit working buffers;
// a text that does not fit them (with its terminator) fails.
template <typename Out>
int dutf8_encode(std::u16string_view src, Out& dst) {
    dst.clear();
    const EncodingEntry* latin1 = find_encoding("iso8859-1");
    if (latin1 == nullptr || latin1->to_unicode_raw == nullptr || latin1->from_unicode_raw == nullptr) return 0;
    FixedSink<char, kWorkBytes> bytes;
    append_utf8(src, bytes);
    if (bytes.overflowed() || bytes.size() >= kWorkBytes) return 0;
    // One unit per byte: the units fit their buffer whenever the bytes do.
    char16_t units[kWorkUnits];
    size_t n = 0;
    if (latin1->to_unicode_raw(bytes.data(), bytes.size(), units, n) == 0 || n >= kWorkUnits) return 0;
    append_utf8(std::u16string_view(units, n), dst);
    return 1;
}

template <typename Out>
int dutf8_decode(std::string_view src, Out& dst) {
    dst.clear();
    const EncodingEntry* latin1 = find_encoding("iso8859-1");
    if (latin1 == nullptr || latin1->to_unicode_raw == nullptr || latin1->from_unicode_raw == nullptr) return 0;
    FixedSink<char16_t, kWorkUnits> units;
    if (utf8_decode(src, units) == 0 || units.overflowed() || units.size() >= kWorkUnits) return 0;
    // An overlong form of zero decodes to a zero unit, which ends the text
    // for the second pass as it would end a zero-terminated one.
    const std::u16string_view text = until_zero(units.view());
    char bytes[kWorkBytes];
    size_t n = 0;
    if (latin1->from_unicode_raw(text.data(), text.size(), bytes, n) == 0 || n >= kWorkBytes) return 0;
    return utf8_decode(std::string_view(bytes, n), dst);
}

}  // namespace

NESSEL_SINK_CONVERTERS(utf8, utf8_decode(src, dst), utf8_encode(src, dst))
NESSEL_SINK_CONVERTERS(gutf8, utf8_decode(src, dst), gutf8_encode(src, dst))
NESSEL_SINK_CONVERTERS(dutf8, dutf8_decode(src, dst), dutf8_encode(src, dst))

}  // namespace nessel
