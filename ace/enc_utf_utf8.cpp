// SPDX-License-Identifier: MIT
// ace/enc_utf_utf8.cpp: "utf8" (UTF-8 of the 16-bit units, each unit on its
// own, surrogates included), "gutf8" (the same with ASCII capitals lowered)
// and "dutf8" (UTF-8 applied twice, the first pass read as ISO-8859-1).
// The decoder takes lead bytes of up to five continuation bytes (the 1993
// form of UTF-8) and keeps the low 16 bits of the value; overlong forms pass.
#include "ace/enc_utf.h"
#include "encoding/encoding.h"

#include <cstdint>

namespace nessel {
namespace {

constexpr size_t kWorkUnits = kLabelBuffer;  // "dutf8"'s intermediate unit buffer

void append_utf8(std::u16string_view src, std::string& dst) {
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

}  // namespace

int utf8_from_unicode(std::u16string_view src, std::string& dst) {
    dst.clear();
    append_utf8(src, dst);
    return 1;
}

int utf8_to_unicode(std::string_view src, std::u16string& dst) {
    dst.clear();
    for (size_t i = 0; i < src.size();) {
        const auto lead = static_cast<unsigned char>(src[i++]);
        if (lead < 0x80) {
            dst.push_back(lead);
            continue;
        }
        if ((lead & 0xC0) == 0x80) return 0;  // continuation byte without a lead
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

int gutf8_to_unicode(std::string_view src, std::u16string& dst) {
    return utf8_to_unicode(src, dst);
}

// Only "A"-"Z" are lowered: setting bit 0x20 in every byte would also turn
// "@" into "`" and break the lead bytes of multi-byte sequences, so that the
// decoder could no longer restore a name with characters beyond ASCII.
int gutf8_from_unicode(std::u16string_view src, std::string& dst) {
    utf8_from_unicode(src, dst);
    for (char& c : dst)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return 1;
}

// The ISO-8859-1 pair comes from the registry, so "dutf8" fails until it is
// registered.  Both passes run through 1024-byte / 1024-unit working buffers;
// a text that does not fit them (with its terminator) fails.
int dutf8_from_unicode(std::u16string_view src, std::string& dst) {
    dst.clear();
    const EncodingEntry* latin1 = find_encoding("iso8859-1");
    if (latin1 == nullptr) return 0;
    std::string bytes;
    append_utf8(src, bytes);
    if (bytes.size() >= kWorkBytes) return 0;
    std::u16string units;
    if (latin1->to_unicode(bytes, units) == 0 || units.size() >= kWorkUnits) return 0;
    append_utf8(units, dst);
    return 1;
}

int dutf8_to_unicode(std::string_view src, std::u16string& dst) {
    dst.clear();
    const EncodingEntry* latin1 = find_encoding("iso8859-1");
    if (latin1 == nullptr) return 0;
    std::u16string units;
    if (utf8_to_unicode(src, units) == 0 || units.size() >= kWorkUnits) return 0;
    std::string bytes;
    if (latin1->from_unicode(units, bytes) == 0 || bytes.size() >= kWorkBytes) return 0;
    return utf8_to_unicode(bytes, dst);
}

}  // namespace nessel
