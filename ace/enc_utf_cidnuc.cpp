// SPDX-License-Identifier: MIT
// ace/enc_utf_cidnuc.cpp: three plain transfer forms without prefix settings:
// "cidnuc" (a row-compressed base32 form behind the fixed prefix "aq8"),
// "NCR" (decimal numeric character references, "&#252;") and "rawace"
// (every unit as "\0x" and four hexadecimal digits).
#include <charconv>

#include "ace/enc_utf.h"
#include "encoding/out_sink.h"

namespace nessel {
namespace {

constexpr unsigned char kNoCompression = 0xD8;

// A label of at most kMaxLabelUnits units compresses to at most two bytes a
// unit and the marker; a label of at most kMaxLabelBytes characters decodes
// to fewer bytes than that.
using Compressed = FixedSink<char, 2 * kMaxLabelUnits + 1>;
using LabelBytes = FixedSink<char, kMaxLabelBytes>;

// One row when the label starts outside LDH and keeps to one upper octet;
// else the uncompressed form.  A label of row 0xD8 is always uncompressed,
// since its one-row form would start with the no-compression marker.
void cidnuc_compress(std::u16string_view label, Compressed& out) {
    const unsigned row = label[0] >> 8;
    bool one_row = !is_ldh_char(label[0]) && row != kNoCompression;
    for (char16_t u : label)
        if ((u >> 8) != row) one_row = false;
    if (one_row) {
        out.push_back(static_cast<char>(row));
        for (char16_t u : label) out.push_back(static_cast<char>(u & 0xFF));
        return;
    }
    out.push_back(static_cast<char>(kNoCompression));
    for (char16_t u : label) {
        out.push_back(static_cast<char>(u >> 8));
        out.push_back(static_cast<char>(u & 0xFF));
    }
}

bool cidnuc_prefixed(std::string_view label) {
    return label.size() >= 3 && (label[0] == 'a' || label[0] == 'A') &&
           (label[1] == 'q' || label[1] == 'Q') && label[2] == '8';
}

int hex_value(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

template <typename Out>
int cidnuc_encode(std::u16string_view src, Out& dst) {
    dst.clear();
    Compressed compressed;
    const int ok = for_each_label(src, false, [&](std::u16string_view label, char sep) {
        bool ldh = true;
        for (char16_t u : label) {
            if (u >= 0x01 && u <= 0x7F && !is_ldh_char(u)) return 0;
            if (!is_ldh_char(u)) ldh = false;
        }
        if (ldh) {
            for (char16_t u : label) dst.push_back(static_cast<char>(u));
        } else {
            if (label.size() > kMaxLabelUnits) return 0;  // beyond the working buffer
            compressed.clear();
            cidnuc_compress(label, compressed);
            dst.append("aq8");
            base32_encode(compressed.view(), dst);
        }
        if (sep != 0) dst.push_back(sep);
        return 1;
    });
    if (ok == 0) dst.clear();
    return ok;
}

template <typename Out>
int cidnuc_decode(std::string_view src, Out& dst) {
    dst.clear();
    LabelBytes bytes;
    const int ok = for_each_label(src, false, [&](std::string_view label, char sep) {
        if (label.size() > kMaxLabelBytes) return 0;  // beyond the working buffer
        bytes.clear();
        unsigned leftover = 0;  // ignored: the length is not tested
        if (cidnuc_prefixed(label) && base32_decode(label.substr(3), bytes, leftover)) {
            auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
            if (!bytes.empty() && byte(0) == kNoCompression) {
                for (size_t i = 1; i + 1 < bytes.size(); i += 2)
                    dst.push_back(static_cast<char16_t>((byte(i) << 8) | byte(i + 1)));
            } else {
                for (size_t i = 1; i < bytes.size(); ++i)
                    dst.push_back(static_cast<char16_t>((byte(0) << 8) | byte(i)));
            }
        } else {
            for (char c : label) dst.push_back(static_cast<unsigned char>(c));
        }
        if (sep != 0) dst.push_back(static_cast<unsigned char>(sep));
        return 1;
    });
    if (ok == 0) dst.clear();
    return ok;
}

template <typename Out>
int ncr_encode(std::u16string_view src, Out& dst) {
    dst.clear();
    char buf[8];  // at most "65535"
    for (char16_t u : src) {
        if (u == u'.' || u == 0x3002) {
            dst.push_back('.');
        } else if (u == u'@' || u == 0xFF20) {
            dst.push_back('@');
        } else {
            dst.append("&#");
            const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<unsigned>(u));
            dst.append(std::string_view(buf, static_cast<size_t>(r.ptr - buf)));
            dst.push_back(';');
        }
    }
    return 1;
}

template <typename Out>
int ncr_decode(std::string_view src, Out& dst) {
    dst.clear();
    for (size_t i = 0; i < src.size();) {
        const char c = src[i];
        if (c == '.' || c == '@') {
            dst.push_back(static_cast<char16_t>(c));
            ++i;
            continue;
        }
        if (c != '&' || i + 1 >= src.size() || src[i + 1] != '#') return 0;
        i += 2;
        // Only the low 16 bits are kept, so the sum is reduced as it grows.
        unsigned value = 0;
        for (; i < src.size() && src[i] >= '0' && src[i] <= '9'; ++i)
            value = (value * 10 + static_cast<unsigned>(src[i] - '0')) & 0xFFFF;
        dst.push_back(static_cast<char16_t>(value));
        if (i >= src.size() || src[i] != ';') return 0;
        ++i;
    }
    return 1;
}

template <typename Out>
int rawace_encode(std::u16string_view src, Out& dst) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    dst.clear();
    dst.reserve(src.size() * 7);
    for (char16_t u : src) {
        dst.append("\\0x");
        for (int shift = 12; shift >= 0; shift -= 4) dst.push_back(kHex[(u >> shift) & 0xF]);
    }
    return 1;
}

template <typename Out>
int rawace_decode(std::string_view src, Out& dst) {
    dst.clear();
    for (size_t i = 0; i < src.size(); i += 7) {
        if (src.size() - i < 7 || src[i] != '\\' || src[i + 1] != '0' ||
            (src[i + 2] != 'x' && src[i + 2] != 'X')) {
            dst.clear();
            return 0;
        }
        unsigned value = 0;
        for (size_t k = 3; k < 7; ++k) {
            const int h = hex_value(static_cast<unsigned char>(src[i + k]));
            if (h < 0) {
                dst.clear();
                return 0;
            }
            value = (value << 4) | static_cast<unsigned>(h);
        }
        dst.push_back(static_cast<char16_t>(value));
    }
    return 1;
}

}  // namespace

NESSEL_SINK_CONVERTERS(cidnuc, cidnuc_decode(src, dst), cidnuc_encode(src, dst))
NESSEL_SINK_CONVERTERS(ncr, ncr_decode(src, dst), ncr_encode(src, dst))
NESSEL_SINK_CONVERTERS(rawace, rawace_decode(src, dst), rawace_encode(src, dst))

}  // namespace nessel
