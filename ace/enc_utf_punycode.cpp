// SPDX-License-Identifier: MIT
// ace/enc_utf_punycode.cpp: "AMC-Z" / "PUNYCODE", Bootstring with the
// Punycode parameters (RFC 3492 section 5) applied label by label.
// Departures from RFC 3492: 16-bit units are the code points, there is no
// mixed-case annotation, digits are written in lower case, and the decoder
// keeps the low 16 bits of every decoded value.
#include "ace/convert.h"
#include "ace/enc_utf.h"

#include <cstdint>

namespace nessel {
namespace {

constexpr uint32_t kBase = 36, kTmin = 1, kTmax = 26, kSkew = 38, kDamp = 700;
constexpr uint32_t kInitialBias = 72, kInitialN = 0x80;
constexpr uint32_t kMaxInt = 0xFFFFFFFFu;

// RFC 3492 section 6.1.
uint32_t adapt(uint32_t delta, uint32_t numpoints, bool firsttime) {
    delta = firsttime ? delta / kDamp : delta / 2;
    delta += delta / numpoints;
    uint32_t k = 0;
    while (delta > ((kBase - kTmin) * kTmax) / 2) {
        delta /= kBase - kTmin;
        k += kBase;
    }
    return k + (kBase - kTmin + 1) * delta / (delta + kSkew);
}

uint32_t threshold(uint32_t k, uint32_t bias) {
    if (k <= bias) return kTmin;
    if (k >= bias + kTmax) return kTmax;
    return k - bias;
}

char digit_char(uint32_t d) { return d < 26 ? char('a' + d) : char('0' + d - 26); }

int digit_value(unsigned char c) {
    if (c >= 'a' && c <= 'z') return c - 'a';
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= '0' && c <= '9') return c - '0' + 26;
    return -1;
}

// Encodes one label that holds a unit above 0x7F; false on overflow.
bool encode_label(std::u16string_view label, std::string& out) {
    out.append(punycode_prefix());
    uint32_t b = 0;
    for (char16_t c : label)
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++b;
        }
    if (b > 0) out.push_back('-');
    uint32_t n = kInitialN, delta = 0, bias = kInitialBias, h = b;
    const auto len = static_cast<uint32_t>(label.size());
    while (h < len) {
        uint32_t m = kMaxInt;
        for (char16_t c : label)
            if (c >= n && c < m) m = c;
        if (m - n > (kMaxInt - delta) / (h + 1)) return false;
        delta += (m - n) * (h + 1);
        for (char16_t c : label) {
            if (c < m) {
                if (++delta == 0) return false;
            } else if (c == m) {
                uint32_t q = delta;
                for (uint32_t k = kBase;; k += kBase) {
                    uint32_t t = threshold(k, bias);
                    if (q < t) break;
                    out.push_back(digit_char(t + (q - t) % (kBase - t)));
                    q = (q - t) / (kBase - t);
                }
                out.push_back(digit_char(q));
                bias = adapt(delta, h + 1, h == b);
                delta = 0;
                ++h;
            }
        }
        ++delta;
        n = m + 1;
    }
    return true;
}

// Decodes the part of a label after its prefix; false on a bad digit or
// overflow, with out holding what was decoded so far.
bool decode_label(std::string_view rest, std::u16string& out) {
    const size_t start = out.size();
    size_t in = 0;
    size_t dash = rest.rfind('-');
    if (dash != std::string_view::npos && dash > 0) {
        for (size_t j = 0; j < dash; ++j) out.push_back(static_cast<unsigned char>(rest[j]));
        in = dash + 1;
    }
    uint32_t n = kInitialN, i = 0, bias = kInitialBias;
    while (in < rest.size()) {
        const uint32_t oldi = i;
        uint32_t w = 1;
        for (uint32_t k = kBase;; k += kBase) {
            if (in >= rest.size()) return false;
            int d = digit_value(static_cast<unsigned char>(rest[in++]));
            if (d < 0) return false;
            const auto digit = static_cast<uint32_t>(d);
            if (digit > (kMaxInt - i) / w) return false;
            i += digit * w;
            uint32_t t = threshold(k, bias);
            if (digit < t) break;
            if (w > kMaxInt / (kBase - t)) return false;
            w *= kBase - t;
        }
        const auto len = static_cast<uint32_t>(out.size() - start);
        bias = adapt(i - oldi, len + 1, oldi == 0);
        if (i / (len + 1) > kMaxInt - n) return false;
        n += i / (len + 1);
        i %= len + 1;
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(start + i),
                   static_cast<char16_t>(n & 0xFFFF));
        ++i;
    }
    return true;
}

}  // namespace

int punycode_from_unicode(std::u16string_view src, std::string& dst) {
    dst.clear();
    size_t pos = 0;
    while (pos <= src.size()) {
        size_t end = pos;
        while (end < src.size() && src[end] != u'.' && src[end] != 0x3002 && src[end] != u'@' &&
               src[end] != 0xFF20)
            ++end;
        std::u16string_view label = src.substr(pos, end - pos);
        bool ascii = true;
        for (char16_t c : label) ascii = ascii && c < 0x80;
        if (ascii) {
            for (char16_t c : label) dst.push_back(static_cast<char>(c));
        } else if (!encode_label(label, dst)) {
            return 0;
        }
        if (end == src.size()) break;
        dst.push_back((src[end] == u'.' || src[end] == 0x3002) ? '.' : '@');
        pos = end + 1;
    }
    return 1;
}

int punycode_to_unicode(std::string_view src, std::u16string& dst) {
    dst.clear();
    const std::string_view prefix = punycode_prefix();
    size_t pos = 0;
    while (pos <= src.size()) {
        size_t end = src.find_first_of(".@", pos);
        if (end == std::string_view::npos) end = src.size();
        std::string_view label = src.substr(pos, end - pos);
        // The prefix is compared byte for byte: "XN--" is not "xn--".
        if (label.substr(0, prefix.size()) == prefix && label.size() >= prefix.size()) {
            if (!decode_label(label.substr(prefix.size()), dst)) return 0;
        } else {
            for (char c : label) dst.push_back(static_cast<unsigned char>(c));
        }
        if (end == src.size()) break;
        dst.push_back(static_cast<unsigned char>(src[end]));
        pos = end + 1;
    }
    return 1;
}

}  // namespace nessel
