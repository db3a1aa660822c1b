// SPDX-License-Identifier: MIT
// encoding/enc_iscii.cpp: "dev", "tlg" and "knd" (ISCII-91 Devanagari,
// Telugu, Kannada) <-> UTF-16.  Bytes below 0x80 are ASCII; each byte
// 0xA1..0xFA stands for one character of the script.  The ISCII composition
// rules are not applied: every byte stands for itself.
// Tables: data/iscii.h, generated from tools/gen/sources/iscii/iscii91.txt.
#include "data/iscii.h"
#include "encoding/charsets.h"
#include "encoding/out_sink.h"

namespace nessel {
namespace {

constexpr const char16_t* kBlocks[3] = {data::dev_to_ucs, data::tlg_to_ucs, data::knd_to_ucs};

// Stops at the first byte without a character with result 0; dst keeps the
// units decoded before it.
template <typename Out>
int iscii_decode(std::string_view src, Out& dst, int script) {
    dst.clear();
    dst.reserve(src.size());
    const char16_t* block = kBlocks[script];
    for (char c : src) {
        const unsigned b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            dst.push_back(static_cast<char16_t>(b));
        } else if (b >= 0xA1 && b <= 0xFA && block[b - 0xA1] != 0xFFFD) {
            dst.push_back(block[b - 0xA1]);
        } else {
            return 0;
        }
    }
    return 1;
}

template <typename Out>
int iscii_encode(std::u16string_view src, Out& dst, const uint8_t* table, char16_t first,
                 char16_t last) {
    dst.clear();
    dst.reserve(src.size());
    for (char16_t u : src) {
        if (u < 0x80) {
            dst.push_back(static_cast<char>(u));
        } else if (u >= first && u <= last && table[u - first] != 0xFF) {
            dst.push_back(static_cast<char>(table[u - first]));
        } else {
            return 0;
        }
    }
    return 1;
}

}  // namespace

NESSEL_SINK_CONVERTERS(dev, iscii_decode(src, dst, 0),
                       iscii_encode(src, dst, data::ucs_to_dev, data::dev_first, data::dev_last))
NESSEL_SINK_CONVERTERS(tlg, iscii_decode(src, dst, 1),
                       iscii_encode(src, dst, data::ucs_to_tlg, data::tlg_first, data::tlg_last))
NESSEL_SINK_CONVERTERS(knd, iscii_decode(src, dst, 2),
                       iscii_encode(src, dst, data::ucs_to_knd, data::knd_first, data::knd_last))

}  // namespace nessel
