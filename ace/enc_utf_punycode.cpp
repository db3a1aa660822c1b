// SPDX-License-Identifier: MIT
// ace/enc_utf_punycode.cpp: "AMC-Z" / "PUNYCODE", Bootstring with the
// Punycode parameters (RFC 3492 section 5) applied label by label.
// Departures from RFC 3492: 16-bit units are the code points, there is no
// mixed-case annotation, digits are written in lower case, and the decoder
// keeps the low 16 bits of every decoded value.
#include "ace/convert.h"
#include "ace/enc_utf.h"

#include <array>
#include <cstdint>

namespace nessel {
namespace {

constexpr uint32_t kBase = 36, kTmin = 1, kTmax = 26, kSkew = 38, kDamp = 700;
constexpr uint32_t kInitialBias = 72, kInitialN = 0x80;
constexpr uint32_t kMaxInt = 0xFFFFFFFFu;

// RFC 3492 section 6.1.
inline uint32_t adapt(uint32_t delta, uint32_t numpoints, bool firsttime) {
    delta = firsttime ? delta / kDamp : delta / 2;
    delta += delta / numpoints;
    uint32_t k = 0;
    while (delta > ((kBase - kTmin) * kTmax) / 2) {
        delta /= kBase - kTmin;
        k += kBase;
    }
    return k + (kBase - kTmin + 1) * delta / (delta + kSkew);
}

inline uint32_t threshold(uint32_t k, uint32_t bias) {
    if (k <= bias) return kTmin;
    if (k >= bias + kTmax) return kTmax;
    return k - bias;
}

constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";

// Digit values of the bytes: "a"-"z" and "A"-"Z" 0-25, "0"-"9" 26-35, -1 else.
constexpr auto kDigitValue = [] {
    std::array<int8_t, 256> v{};
    for (int c = 0; c < 256; ++c) v[c] = -1;
    for (int c = 0; c < 26; ++c) v['a' + c] = v['A' + c] = static_cast<int8_t>(c);
    for (int c = 0; c < 10; ++c) v['0' + c] = static_cast<int8_t>(26 + c);
    return v;
}();

// Most bytes one unit of a label can take: its delta is below 2^32 and
// every digit but the last divides it by at least 10, so 11 digits.
constexpr size_t kMaxDigitsPerUnit = 11;

// Writes delta as a variable-length integer under bias.
inline char* put_delta(char* w, uint32_t q, uint32_t bias) {
    for (uint32_t k = kBase;; k += kBase) {
        const uint32_t t = threshold(k, bias);
        if (q < t) break;
        *w++ = kDigits[t + (q - t) % (kBase - t)];
        q = (q - t) / (kBase - t);
    }
    *w++ = kDigits[q];
    return w;
}

// Longest label that encode_sorted takes: a position fits the low 6 bits of
// a sort key and one bit of a 64-bit mask, and no delta can overflow (it
// stays below 2^16 * 65).
constexpr size_t kSortedLabel = 64;

// Bits set in each byte value.
constexpr auto kByteBits = [] {
    std::array<uint8_t, 256> v{};
    for (int c = 1; c < 256; ++c) v[c] = static_cast<uint8_t>((c & 1) + v[c >> 1]);
    return v;
}();

// Bits set in x, without relying on a population-count instruction.  The
// masks counted here cover the positions before one unit of a label, so
// most fit a byte and take one table read.
inline uint32_t bit_count(uint64_t x) {
    if (x < 256) return kByteBits[x];
    x -= (x >> 1) & 0x5555555555555555u;
    x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return static_cast<uint32_t>((x * 0x0101010101010101u) >> 56);
}

// The units above 0x7F of a label of at most kSortedLabel units are sorted
// once, with their positions, in the order they are encoded.  The positions
// of the units already encoded (and those below 0x80) are kept as a mask, so
// that the units below the one being encoded and before its position are
// counted without walking the label.  b units of the label are below 0x80.
char* encode_sorted(const char16_t* label, size_t len, uint32_t b, char* w) {
    uint32_t keys[kSortedLabel];
    size_t count = 0;
    uint64_t below = 0;  // positions of the units below the one being encoded
    for (size_t j = 0; j < len; ++j) {
        if (label[j] < 0x80) {
            below |= uint64_t{1} << j;
            continue;
        }
        const uint32_t key = (static_cast<uint32_t>(label[j]) << 6) | static_cast<uint32_t>(j);
        size_t i = count++;
        for (; i > 0 && keys[i - 1] > key; --i) keys[i] = keys[i - 1];
        keys[i] = key;
    }
    uint32_t n = kInitialN, delta = 0, bias = kInitialBias, h = b;
    for (size_t i = 0; i < count;) {
        const uint32_t m = keys[i] >> 6;
        delta += (m - n) * (h + 1);
        const uint32_t total = h;  // units below m in the whole label
        uint32_t counted = 0;      // of them, those already added to delta
        uint64_t handled = 0;
        for (; i < count && (keys[i] >> 6) == m; ++i) {
            const uint64_t bit = uint64_t{1} << (keys[i] & 63);
            const uint32_t before = bit_count(below & (bit - 1));
            delta += before - counted;
            counted = before;
            w = put_delta(w, delta, bias);
            bias = adapt(delta, h + 1, h == b);
            delta = 0;
            ++h;
            handled |= bit;
        }
        // The units below m after its last position, and the step to m + 1.
        delta += total - counted + 1;
        below |= handled;
        n = m + 1;
    }
    return w;
}

// Encodes a label that holds a unit above 0x7F at w, which has room for
// prefix.size() + 1 + (kMaxDigitsPerUnit + 1) * len bytes.  Returns the end
// of what it wrote, or nullptr on overflow with *fail_at the end of what
// was written before it.
char* encode_label(const char16_t* label, size_t len, std::string_view prefix, char* w,
                   char** fail_at) {
    for (char c : prefix) *w++ = c;
    uint32_t b = 0;
    for (size_t j = 0; j < len; ++j)
        if (label[j] < 0x80) {
            *w++ = static_cast<char>(label[j]);
            ++b;
        }
    if (b > 0) *w++ = '-';
    if (len <= kSortedLabel) return encode_sorted(label, len, b, w);
    uint32_t n = kInitialN, delta = 0, bias = kInitialBias, h = b;
    const auto count = static_cast<uint32_t>(len);
    // m is the smallest unit not yet handled; each pass over the label also
    // finds the next one, so the label is walked once per distinct unit.
    uint32_t m = kMaxInt;
    for (size_t j = 0; j < len; ++j)
        if (label[j] >= n && label[j] < m) m = label[j];
    while (h < count) {
        if (m - n > (kMaxInt - delta) / (h + 1)) {
            *fail_at = w;
            return nullptr;
        }
        delta += (m - n) * (h + 1);
        uint32_t next = kMaxInt;
        for (size_t j = 0; j < len; ++j) {
            const char16_t c = label[j];
            if (c < m) {
                if (++delta == 0) {
                    *fail_at = w;
                    return nullptr;
                }
            } else if (c == m) {
                w = put_delta(w, delta, bias);
                bias = adapt(delta, h + 1, h == b);
                delta = 0;
                ++h;
            } else if (c < next) {
                next = c;
            }
        }
        ++delta;
        n = m + 1;
        m = next;
    }
    return w;
}

// Decodes the part of a label after its prefix, appending at out[len]
// (room for rest.size() more units: every unit takes at least one byte).
// False on a bad digit or overflow, with len counting what was decoded.
bool decode_label(std::string_view rest, char16_t* out, size_t& len) {
    const size_t start = len;
    size_t in = 0;
    const size_t dash = rest.rfind('-');
    if (dash != std::string_view::npos && dash > 0) {
        for (size_t j = 0; j < dash; ++j) out[len++] = static_cast<unsigned char>(rest[j]);
        in = dash + 1;
    }
    uint32_t n = kInitialN, i = 0, bias = kInitialBias;
    while (in < rest.size()) {
        const uint32_t oldi = i;
        uint32_t w = 1;
        for (uint32_t k = kBase;; k += kBase) {
            if (in >= rest.size()) return false;
            const int d = kDigitValue[static_cast<unsigned char>(rest[in++])];
            if (d < 0) return false;
            // Overflow is checked in 64 bits: both products stay below 2^38.
            const uint64_t next_i = i + uint64_t{static_cast<uint32_t>(d)} * w;
            if (next_i > kMaxInt) return false;
            i = static_cast<uint32_t>(next_i);
            const uint32_t t = threshold(k, bias);
            if (static_cast<uint32_t>(d) < t) break;
            const uint64_t next_w = uint64_t{w} * (kBase - t);
            if (next_w > kMaxInt) return false;
            w = static_cast<uint32_t>(next_w);
        }
        const auto count = static_cast<uint32_t>(len - start);
        bias = adapt(i - oldi, count + 1, oldi == 0);
        if (i / (count + 1) > kMaxInt - n) return false;
        n += i / (count + 1);
        i %= count + 1;
        // Labels are short: shift the units after the insertion point by hand.
        char16_t* at = out + start + i;
        for (char16_t* p = out + len; p > at; --p) *p = p[-1];
        *at = static_cast<char16_t>(n & 0xFFFF);
        ++len;
        ++i;
    }
    return true;
}

// The bytes that end a label of ACE text: "." and "@".
constexpr auto kLabelEnd = [] {
    std::array<bool, 256> v{};
    v['.'] = v['@'] = true;
    return v;
}();

// The low bytes of the label separators ".", U+3002, "@" and U+FF20.
constexpr auto kSeparatorLowByte = [] {
    std::array<bool, 256> v{};
    for (char16_t c : {u'.', char16_t{0x3002}, u'@', char16_t{0xFF20}}) v[c & 0xFF] = true;
    return v;
}();

}  // namespace

int punycode_from_unicode(std::u16string_view src, std::string& dst) {
    dst.clear();
    const std::string_view prefix = punycode_prefix();
    const char16_t* s = src.data();
    size_t pos = 0;
    for (;;) {
        // The label runs to the next separator; "any" collects its bits.
        size_t end = pos;
        char16_t any = 0;
        char sep = 0;
        for (; end < src.size(); ++end) {
            const char16_t c = s[end];
            // Only a unit whose low byte is a separator's needs the compares.
            if (kSeparatorLowByte[c & 0xFF]) {
                if (c == u'.' || c == 0x3002) sep = '.';
                else if (c == u'@' || c == 0xFF20) sep = '@';
                if (sep != 0) break;
            }
            any |= c;
        }
        const size_t len = end - pos;
        const size_t old = dst.size();
        if (any < 0x80) {
            dst.resize(old + len);
            for (size_t j = 0; j < len; ++j) dst[old + j] = static_cast<char>(s[pos + j]);
        } else if (len <= kSortedLabel) {
            // Short labels go through a buffer of their worst case (a prefix
            // setting holds at most four characters); they cannot overflow.
            char buf[4 + 1 + (kMaxDigitsPerUnit + 1) * kSortedLabel];
            char* fail_at = nullptr;
            char* w = encode_label(s + pos, len, prefix.substr(0, 4), buf, &fail_at);
            dst.append(buf, static_cast<size_t>(w - buf));
        } else {
            // Written in place at the end of dst, then cut to what it took.
            dst.resize(old + prefix.size() + 1 + (kMaxDigitsPerUnit + 1) * len);
            char* fail_at = nullptr;
            char* w = encode_label(s + pos, len, prefix, dst.data() + old, &fail_at);
            dst.resize((w != nullptr ? w : fail_at) - dst.data());
            if (w == nullptr) return 0;
        }
        if (sep == 0) break;
        dst.push_back(sep);
        pos = end + 1;
    }
    return 1;
}

int punycode_to_unicode(std::string_view src, std::u16string& dst) {
    // Every byte yields at most one unit, so the output is written in place
    // into src.size() units and cut to its length at the end.
    dst.resize(src.size());
    char16_t* out = dst.data();
    size_t len = 0;
    const std::string_view prefix = punycode_prefix();
    size_t pos = 0;
    for (;;) {
        size_t end = pos;
        while (end < src.size() && !kLabelEnd[static_cast<unsigned char>(src[end])]) ++end;
        const std::string_view label = src.substr(pos, end - pos);
        // The prefix is compared byte for byte: "XN--" is not "xn--".
        if (label.size() >= prefix.size() && label.substr(0, prefix.size()) == prefix) {
            if (!decode_label(label.substr(prefix.size()), out, len)) {
                dst.resize(len);
                return 0;
            }
        } else {
            for (char c : label) out[len++] = static_cast<unsigned char>(c);
        }
        if (end == src.size()) break;
        out[len++] = static_cast<unsigned char>(src[end]);
        pos = end + 1;
    }
    dst.resize(len);
    return 1;
}

}  // namespace nessel
