// SPDX-License-Identifier: MIT
// ace/enc_utf_race.cpp: "race" (Row-based ACE, draft-ietf-idn-race) and
// "racex" (RACE with labels over 63 characters split into "-0" pieces).
// A label is compressed by Unicode row (upper octet), written in base32 and
// framed by the RACE prefix and suffix settings.
#include "ace/convert.h"
#include "ace/enc_utf.h"

#include <cstdint>
#include <cstring>

namespace nessel {
namespace {

constexpr unsigned char kNoCompression = 0xD8;

// Largest compressed form of a label the encoder takes: the marker byte and
// two bytes per unit.
constexpr size_t kMaxCompressedLabel = 1 + 2 * kMaxLabelUnits;

// Writes the compressed form of label to out; returns its length.
size_t compress(const char16_t* label, size_t len, unsigned char* out) {
    int row = -1;
    bool mixed = false;
    for (size_t j = 0; j < len; ++j) {
        const int upper = label[j] >> 8;
        if (upper == 0) continue;
        if (row < 0) row = upper;
        else if (row != upper) mixed = true;
    }
    size_t w = 0;
    // A label whose only row is 0xD8 cannot use one-row mode: its first byte
    // would read as the no-compression marker.
    if (mixed || row == kNoCompression) {
        out[w++] = kNoCompression;
        for (size_t j = 0; j < len; ++j) {
            out[w++] = static_cast<unsigned char>(label[j] >> 8);
            out[w++] = static_cast<unsigned char>(label[j] & 0xFF);
        }
        return w;
    }
    const unsigned u1 = row < 0 ? 0 : static_cast<unsigned>(row);
    out[w++] = static_cast<unsigned char>(u1);
    for (size_t j = 0; j < len; ++j) {
        const unsigned upper = label[j] >> 8, lower = label[j] & 0xFF;
        if (upper == u1) {
            if (lower == 0xFF) {
                out[w++] = 0xFF;
                out[w++] = 0x99;
            } else {
                out[w++] = static_cast<unsigned char>(lower);
            }
        } else {  // row 0 inside a label of row u1
            out[w++] = 0xFF;
            out[w++] = static_cast<unsigned char>(lower);
        }
    }
    return w;
}

// Length of what compress writes for label.
size_t compressed_size(const char16_t* label, size_t len) {
    int row = -1;
    bool mixed = false;
    size_t escapes = 0;  // units that take two bytes in one-row mode
    for (size_t j = 0; j < len; ++j) {
        const int upper = label[j] >> 8;
        if (upper == 0) {
            ++escapes;  // row 0 inside a label of another row
            continue;
        }
        if (row < 0) row = upper;
        else if (row != upper) mixed = true;
        if ((label[j] & 0xFF) == 0xFF) ++escapes;
    }
    if (mixed || row == kNoCompression) return 1 + 2 * len;
    if (row < 0) {
        // Row 0 throughout: only 0xFF takes two bytes.
        escapes = 0;
        for (size_t j = 0; j < len; ++j) escapes += label[j] == 0xFF;
    }
    return 1 + len + escapes;
}

enum class Decoded { kOk, kNotBase32, kFail };

// Decodes the base32 text after the prefix into units.
Decoded decode_body(std::string_view body, std::u16string& units) {
    const size_t rem = body.size() % 8;
    if (rem == 1 || rem == 3 || rem == 6) return Decoded::kFail;
    // Per-thread scratch: decoding a name allocates nothing once it is sized.
    thread_local std::string bytes;
    bytes.clear();
    unsigned leftover = 0;
    if (!base32_decode(body, bytes, leftover)) return Decoded::kNotBase32;
    if (leftover != 0) return Decoded::kFail;  // leftover bits must be zero
    if (bytes.empty()) return Decoded::kOk;
    const auto u1 = static_cast<unsigned char>(bytes[0]);
    if (u1 == kNoCompression) {
        for (size_t i = 1; i + 1 < bytes.size(); i += 2)
            units.push_back(static_cast<char16_t>((static_cast<unsigned char>(bytes[i]) << 8) |
                                                  static_cast<unsigned char>(bytes[i + 1])));
        return Decoded::kOk;
    }
    for (size_t i = 1; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b != 0xFF) {
            units.push_back(static_cast<char16_t>((u1 << 8) | b));
            continue;
        }
        // 0xFF as the last byte has no unit to escape: the form is malformed.
        if (i + 1 >= bytes.size()) return Decoded::kFail;
        const auto next = static_cast<unsigned char>(bytes[++i]);
        units.push_back(next == 0x99 ? static_cast<char16_t>((u1 << 8) | 0xFF)
                                     : static_cast<char16_t>(next));
    }
    return Decoded::kOk;
}

}  // namespace

size_t race_label_size(const char16_t* label, size_t len, size_t affixes) {
    return affixes + (compressed_size(label, len) * 8 + 4) / 5;
}

size_t race_label_encode(const char16_t* label, size_t len, std::string_view prefix,
                         std::string_view suffix, std::string& out) {
    unsigned char compressed[kMaxCompressedLabel];
    const size_t n = compress(label, len, compressed);
    const size_t old = out.size();
    out.append(prefix);
    base32_encode(std::string_view(reinterpret_cast<const char*>(compressed), n), out);
    out.append(suffix);
    return out.size() - old;
}

int race_from_unicode(std::u16string_view src, std::string& dst) {
    dst.clear();
    const char16_t* s = src.data();
    size_t pos = 0;
    for (;;) {
        // The label runs to the next "." or "@"; it is copied when no unit
        // is above 0x7F.
        size_t end = pos;
        bool copy = true;
        for (; end < src.size(); ++end) {
            const char16_t u = s[end];
            if (u == u'.' || u == u'@') break;
            if (u >= 0x80) copy = false;
        }
        const size_t len = end - pos;
        if (copy) {
            const size_t old = dst.size();
            dst.resize(old + len);
            for (size_t j = 0; j < len; ++j) dst[old + j] = static_cast<char>(s[pos + j] & 0xFF);
        } else {
            if (len > kMaxLabelUnits) return 0;  // beyond the working buffer
            race_label_encode(s + pos, len, race_prefix(), race_suffix(), dst);
        }
        if (end == src.size()) break;
        dst.push_back(static_cast<char>(s[end]));
        pos = end + 1;
    }
    return 1;
}

int race_to_unicode(std::string_view src, std::u16string& dst) {
    dst.clear();
    const std::string_view prefix = race_prefix();
    size_t pos = 0;
    while (pos <= src.size()) {
        size_t end = src.find_first_of(".@", pos);
        if (end == std::string_view::npos) end = src.size();
        std::string_view label = src.substr(pos, end - pos);
        if (label.size() > kMaxLabelBytes) {  // beyond the working buffer
            dst.clear();
            return 0;
        }
        Decoded d = Decoded::kNotBase32;
        if (ascii_istarts_with(label, prefix)) {
            const size_t mark = dst.size();
            d = decode_body(label.substr(prefix.size()), dst);
            if (d == Decoded::kFail) {
                dst.clear();
                return 0;
            }
            if (d == Decoded::kNotBase32) dst.resize(mark);
        }
        if (d != Decoded::kOk)
            for (char c : label) dst.push_back(static_cast<unsigned char>(c));
        if (end == src.size()) break;
        dst.push_back(static_cast<unsigned char>(src[end]));
        pos = end + 1;
    }
    return 1;
}

int racex_from_unicode(std::u16string_view src, std::string& dst) {
    if (race_from_unicode(src, dst) == 0) {
        dst.clear();
        return 0;
    }
    // Splitting leaves a text that fits the working buffer and has no label
    // ("." to ".") over 63 characters as it is: the usual case needs no copy.
    if (dst.size() < kWorkBytes) {
        size_t run = 0, longest = 0;
        for (char c : dst) {
            run = c == '.' ? 0 : run + 1;
            longest = run > longest ? run : longest;
        }
        if (longest <= 63) return 1;
    }
    // The split refuses a text beyond the working buffer; what fits is
    // copied, so that the caller's output keeps its own room (a swap with a
    // per-thread string would hand that room from one caller to the next).
    if (dst.size() >= kWorkBytes) {
        dst.clear();
        return 0;
    }
    char work[kWorkBytes];
    const std::string_view encoded(work, dst.size());
    std::memcpy(work, dst.data(), dst.size());
    return split_long_labels(encoded, SplitStyle{race_prefix(), 57, 4}, dst);
}

int racex_to_unicode(std::string_view src, std::u16string& dst) {
    thread_local std::string work;
    if (join_split_labels(src, SplitStyle{race_prefix(), 57, 4}, work) == 0) {
        dst.clear();
        return 0;
    }
    return race_to_unicode(work, dst);
}

}  // namespace nessel
