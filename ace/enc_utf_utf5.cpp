// SPDX-License-Identifier: MIT
// ace/enc_utf_utf5.cpp: "utf5" (UTF-5, draft-jseng-utf5) and "utf5x" (UTF-5
// with labels over 63 characters split into "-0" pieces).  Each unit is its
// hexadecimal digits without leading zeros, the first one written as a letter
// "G"-"V" so that it marks where a unit begins; "." and "@" pass through.
#include "ace/enc_utf.h"
#include "encoding/out_sink.h"

namespace nessel {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr SplitStyle kUtf5xStyle{"", 61, 0};

template <typename Out>
int utf5_encode(std::u16string_view src, Out& dst) {
    dst.clear();
    for (char16_t u : src) {
        if (u == u'.' || u == 0x3002) {
            dst.push_back('.');
            continue;
        }
        if (u == u'@' || u == 0xFF20) {
            dst.push_back('@');
            continue;
        }
        // Non-LDH ASCII may not stand in a host name.  A zero unit has no
        // UTF-5 form either (the decoder never yields one), so it fails too.
        if (u <= 0x7F && !is_ldh_char(u)) {
            dst.clear();
            return 0;
        }
        int shift = 12;
        while (((u >> shift) & 0xF) == 0) shift -= 4;  // u != 0: stops at shift >= 0
        dst.push_back(static_cast<char>('G' + ((u >> shift) & 0xF)));
        for (shift -= 4; shift >= 0; shift -= 4) dst.push_back(kHex[(u >> shift) & 0xF]);
    }
    return 1;
}

template <typename Out>
int utf5_decode(std::string_view src, Out& dst) {
    dst.clear();
    unsigned pending = 0;  // 0 means no unit is pending
    auto flush = [&] {
        if (pending != 0) dst.push_back(static_cast<char16_t>(pending));
        pending = 0;
    };
    for (char ch : src) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 'G' && c <= 'V') {
            flush();
            pending = c - 'G';
        } else if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) {
            const unsigned digit = c <= '9' ? c - '0' : c - 'A' + 10;
            pending = ((pending << 4) | digit) & 0xFFFF;
        } else if (c == '.') {
            flush();
            dst.push_back(u'.');
        } else if (c == '@') {
            if (pending == 0) return 0;  // "@" needs a unit before it
            flush();
            dst.push_back(u'@');
        } else {
            return 0;  // lower-case letters included
        }
    }
    flush();
    return 1;
}

// UTF-5 into the 1024-byte working buffer (a text that does not fit it
// fails), then split.
template <typename Out>
int utf5x_encode(std::u16string_view src, Out& dst) {
    FixedSink<char, kWorkBytes> work;
    if (utf5_encode(src, work) == 0 || work.overflowed()) {
        dst.clear();
        return 0;
    }
    return split_long_labels(work.view(), kUtf5xStyle, dst);
}

template <typename Out>
int utf5x_decode(std::string_view src, Out& dst) {
    FixedSink<char, kWorkBytes> work;
    if (join_split_labels(src, kUtf5xStyle, work) == 0) {
        dst.clear();
        return 0;
    }
    return utf5_decode(work.view(), dst);
}

}  // namespace

NESSEL_SINK_CONVERTERS(utf5, utf5_decode(src, dst), utf5_encode(src, dst))
NESSEL_SINK_CONVERTERS(utf5x, utf5x_decode(src, dst), utf5x_encode(src, dst))

}  // namespace nessel
