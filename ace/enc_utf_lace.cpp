// SPDX-License-Identifier: MIT
// ace/enc_utf_lace.cpp: "lace" (Length-based ACE, draft-ietf-idn-lace).
// A label is cut into runs of units that share an upper octet, each run
// written as its length, the octet and the lower octets; when that is longer
// than two bytes per unit the label is stored uncompressed behind 0xFF.  The
// bytes are written in base32 behind the LACE prefix setting.
#include "ace/convert.h"
#include "ace/enc_utf.h"

namespace nessel {
namespace {

constexpr unsigned char kNoCompression = 0xFF;
constexpr size_t kMaxRunEncode = 255;  // the run length is one byte
constexpr unsigned kMaxRunDecode = 36;

// The run form, or false when a run is too long for its length byte.
bool compress_runs(std::u16string_view label, std::string& out) {
    for (size_t i = 0; i < label.size();) {
        const unsigned upper = label[i] >> 8;
        size_t j = i + 1;
        while (j < label.size() && (label[j] >> 8) == upper) ++j;
        if (j - i > kMaxRunEncode) return false;
        out.push_back(static_cast<char>(j - i));
        out.push_back(static_cast<char>(upper));
        for (; i < j; ++i) out.push_back(static_cast<char>(label[i] & 0xFF));
    }
    return true;
}

void compress_plain(std::u16string_view label, std::string& out) {
    out.push_back(static_cast<char>(kNoCompression));
    for (char16_t u : label) {
        out.push_back(static_cast<char>(u >> 8));
        out.push_back(static_cast<char>(u & 0xFF));
    }
}

// Appends the units of one compressed label; false on a bad run.
bool expand(std::string_view bytes, std::u16string& dst) {
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

}  // namespace

int lace_from_unicode(std::u16string_view src, std::string& dst) {
    dst.clear();
    const std::string_view prefix = lace_prefix();
    thread_local std::string compressed;  // per-thread scratch, kept sized
    const int ok = for_each_label(src, false, [&](std::u16string_view label, char sep) {
        bool ascii = true;
        for (char16_t u : label) {
            if (u >= 0x01 && u <= 0x7F && !is_ldh_char(u)) return 0;
            if (u >= 0x80) ascii = false;
        }
        if (ascii) {
            for (char16_t u : label) dst.push_back(static_cast<char>(u));
        } else {
            compressed.clear();
            // A run over 255 units cannot carry its length; such a label
            // takes the uncompressed form, which still decodes.
            if (!compress_runs(label, compressed) || compressed.size() > 2 * label.size()) {
                compressed.clear();
                compress_plain(label, compressed);
            }
            if (compressed.size() > kMaxCompressed) return 0;
            dst.append(prefix);
            base32_encode(compressed, dst);
        }
        if (sep != 0) dst.push_back(sep);
        return 1;
    });
    if (ok == 0) dst.clear();
    return ok;
}

int lace_to_unicode(std::string_view src, std::u16string& dst) {
    dst.clear();
    const std::string_view prefix = lace_prefix();
    thread_local std::string bytes;
    return for_each_label(src, false, [&](std::string_view label, char sep) {
        // A label beyond the 1023-byte working buffer is refused.
        if (label.size() > kMaxLabelBytes) return 0;
        bool copy = true;
        if (ascii_istarts_with(label, prefix)) {
            bytes.clear();
            unsigned leftover = 0;  // ignored: the length is not tested
            if (base32_decode(label.substr(prefix.size()), bytes, leftover)) {
                copy = false;
                if (!expand(bytes, dst)) return 0;
            }
        }
        if (copy)
            for (char c : label) dst.push_back(static_cast<unsigned char>(c));
        if (sep != 0) dst.push_back(static_cast<unsigned char>(sep));
        return 1;
    });
}

}  // namespace nessel
