// SPDX-License-Identifier: MIT
// ace/enc_utf_lace.cpp: "lace" (Length-based ACE, draft-ietf-idn-lace).
// A label is cut into runs of units that share an upper octet, each run
// written as its length, the octet and the lower octets; when that is longer
// than two bytes per unit the label is stored uncompressed behind 0xFF.  The
// bytes are written in base32 behind the LACE prefix setting.
#include "ace/convert.h"
#include "ace/enc_utf.h"
#include "encoding/out_sink.h"

namespace nessel {
namespace {

constexpr unsigned char kNoCompression = 0xFF;
constexpr size_t kMaxRunEncode = 255;  // the run length is one byte
constexpr unsigned kMaxRunDecode = 36;

// The compressed form of a label is refused beyond kMaxCompressed bytes;
// its size is known before it is written.
using Compressed = FixedSink<char, kMaxCompressed>;
// A label's bytes: a longer label than kMaxLabelBytes is refused before
// decoding, and base32 gives fewer bytes than characters.
using LabelBytes = FixedSink<char, kMaxLabelBytes>;

// Size of the run form, or 0 when a run is too long for its length byte.
size_t runs_size(std::u16string_view label) {
    size_t size = 0;
    for (size_t i = 0; i < label.size();) {
        const unsigned upper = label[i] >> 8;
        size_t j = i + 1;
        while (j < label.size() && (label[j] >> 8) == upper) ++j;
        if (j - i > kMaxRunEncode) return 0;
        size += 2 + (j - i);
        i = j;
    }
    return size;
}

void compress_runs(std::u16string_view label, Compressed& out) {
    for (size_t i = 0; i < label.size();) {
        const unsigned upper = label[i] >> 8;
        size_t j = i + 1;
        while (j < label.size() && (label[j] >> 8) == upper) ++j;
        out.push_back(static_cast<char>(j - i));
        out.push_back(static_cast<char>(upper));
        for (; i < j; ++i) out.push_back(static_cast<char>(label[i] & 0xFF));
    }
}

void compress_plain(std::u16string_view label, Compressed& out) {
    out.push_back(static_cast<char>(kNoCompression));
    for (char16_t u : label) {
        out.push_back(static_cast<char>(u >> 8));
        out.push_back(static_cast<char>(u & 0xFF));
    }
}

// Appends the units of one compressed label; false on a bad run.
template <typename Out>
bool expand(std::string_view bytes, Out& dst) {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.empty()) return true;
    if (byte(0) == kNoCompression) {
        for (size_t i = 1; i + 1 < bytes.size(); i += 2)
            dst.push_back(static_cast<char16_t>((byte(i) << 8) | byte(i + 1)));
        return true;
    }
    for (size_t i = 0; i < bytes.size();) {
        const unsigned n = byte(i);
        if (n == 0 || n > kMaxRunDecode) return false;
        // A run that promises more bytes than remain is malformed: the
        // encoder never writes one, so it is refused rather than guessed at.
        if (bytes.size() - i < n + 2) return false;
        const unsigned upper = byte(i + 1);
        for (unsigned k = 0; k < n; ++k)
            dst.push_back(static_cast<char16_t>((upper << 8) | byte(i + 2 + k)));
        i += n + 2;
    }
    return true;
}

template <typename Out>
int lace_encode(std::u16string_view src, Out& dst) {
    dst.clear();
    const std::string_view prefix = lace_prefix();
    Compressed compressed;
    const int ok = for_each_label(src, false, [&](std::u16string_view label, char sep) {
        bool ascii = true;
        for (char16_t u : label) {
            if (u >= 0x01 && u <= 0x7F && !is_ldh_char(u)) return 0;
            if (u >= 0x80) ascii = false;
        }
        if (ascii) {
            for (char16_t u : label) dst.push_back(static_cast<char>(u));
        } else {
            // A run over 255 units cannot carry its length; such a label
            // takes the uncompressed form, which still decodes.  So does a
            // label whose run form would be longer than two bytes a unit.
            size_t size = runs_size(label);
            const bool runs = size != 0 && size <= 2 * label.size();
            if (!runs) size = 2 * label.size() + 1;
            if (size > kMaxCompressed) return 0;
            compressed.clear();
            if (runs) compress_runs(label, compressed);
            else compress_plain(label, compressed);
            dst.append(prefix);
            base32_encode(compressed.view(), dst);
        }
        if (sep != 0) dst.push_back(sep);
        return 1;
    });
    if (ok == 0) dst.clear();
    return ok;
}

template <typename Out>
int lace_decode(std::string_view src, Out& dst) {
    dst.clear();
    const std::string_view prefix = lace_prefix();
    LabelBytes bytes;
    return for_each_label(src, false, [&](std::string_view label, char sep) {
        // A label beyond the 1023-byte working buffer is refused.
        if (label.size() > kMaxLabelBytes) return 0;
        bool copy = true;
        if (ascii_istarts_with(label, prefix)) {
            bytes.clear();
            unsigned leftover = 0;  // ignored: the length is not tested
            if (base32_decode(label.substr(prefix.size()), bytes, leftover)) {
                copy = false;
                if (!expand(bytes.view(), dst)) return 0;
            }
        }
        if (copy)
            for (char c : label) dst.push_back(static_cast<unsigned char>(c));
        if (sep != 0) dst.push_back(static_cast<unsigned char>(sep));
        return 1;
    });
}

}  // namespace

NESSEL_SINK_CONVERTERS(lace, lace_decode(src, dst), lace_encode(src, dst))

}  // namespace nessel
