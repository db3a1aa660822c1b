// SPDX-License-Identifier: MIT
// encoding/enc_viet.cpp: "vni" and "TCVN3" (TCVN 5712 VN3) <-> UTF-16.
// Both write a Vietnamese letter as one byte or as a base byte plus a tone
// byte; one table of 134 letter records (data/viet.h) serves both.  Decoding
// reads the two-byte index first, then the one-byte one, else the byte stands
// for itself; encoding finds a unit's record through a reverse index.
#include "data/viet.h"
#include "encoding/charsets.h"
#include "encoding/out_sink.h"

namespace nessel {
namespace {

// Working-buffer limits: at most 511 units are decoded and no unit is
// encoded once 1022 bytes are written; the rest of the source is dropped and
// the conversion still succeeds.
constexpr size_t kMaxDecodedUnits = 511;
constexpr size_t kMaxEncodedBytes = 1022;

struct VietColumn {
    const char16_t* single;
    const uint8_t* lead;
    const char16_t* pair;
    const uint8_t* bytes;  // two per record
};

constexpr VietColumn kVni{data::vni_single, data::vni_lead, data::vni_pair, data::viet_vni};
constexpr VietColumn kTcvn3{data::tcvn3_single, data::tcvn3_lead, data::tcvn3_pair, data::viet_tcvn3};

template <typename Out>
int viet_decode(std::string_view src, Out& dst, const VietColumn& col) {
    dst.clear();
    size_t i = 0;
    while (i < src.size() && dst.size() < kMaxDecodedUnits) {
        const unsigned b = static_cast<unsigned char>(src[i]);
        const unsigned row = col.lead[b];
        if (row != 0 && i + 1 < src.size()) {
            const char16_t u = col.pair[(row - 1) * 256u + static_cast<unsigned char>(src[i + 1])];
            if (u != 0) {
                dst.push_back(u);
                i += 2;
                continue;
            }
        }
        dst.push_back(col.single[b] != 0 ? col.single[b] : static_cast<char16_t>(b));
        ++i;
    }
    return 1;
}

template <typename Out>
int viet_encode(std::u16string_view src, Out& dst, const VietColumn& col) {
    dst.clear();
    for (char16_t u : src) {
        if (dst.size() >= kMaxEncodedBytes) break;
        const unsigned rec = data::viet_rev[u];
        if (rec != 0) {
            dst.push_back(static_cast<char>(col.bytes[2 * (rec - 1)]));
            if (col.bytes[2 * (rec - 1) + 1] != 0) dst.push_back(static_cast<char>(col.bytes[2 * (rec - 1) + 1]));
        } else if (u <= 0xFF) {
            dst.push_back(static_cast<char>(u));  // Latin-1 passes as the byte of the same value
        } else {
            // A unit above U+00FF that is no Vietnamese letter has no byte:
            // writing its low 8 bits would give an unrelated character (or
            // end the text at a zero byte), so the conversion fails.
            dst.clear();
            return 0;
        }
    }
    return 1;
}

}  // namespace

NESSEL_SINK_CONVERTERS(vni, viet_decode(src, dst, kVni), viet_encode(src, dst, kVni))
NESSEL_SINK_CONVERTERS(tcvn3, viet_decode(src, dst, kTcvn3), viet_encode(src, dst, kTcvn3))

}  // namespace nessel
