// SPDX-License-Identifier: MIT
// ace/enc_utf_dude.cpp: "dude" (Differential Unicode Domain Encoding,
// draft-ietf-idn-dude) and "dudex" (DUDE with labels over 63 characters split
// into "-0" pieces).  Each unit is written as its XOR with the previous unit
// of the label, in hexadecimal nibbles drawn from a 32-character alphabet
// whose first half marks the last nibble of a number.  The decoder prints a
// "dudeprefix:" line to stdout for every label it copies and every digit.
#include <cstdio>

#include "ace/convert.h"
#include "ace/enc_utf.h"
#include "encoding/out_sink.h"

namespace nessel {
namespace {

// No "l", "o", "0" or "1": values 0-15 end a number, 16-31 continue it.
constexpr char kAlphabet[] = "abcdefghijkmnpqrstuvwxyz23456789";
constexpr char16_t kInitialPrev = 0x60;

int dude_value(unsigned char c) {
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + 32);
    for (int v = 0; v < 32; ++v)
        if (kAlphabet[v] == c) return v;
    return -1;
}

void print_prefix_line(std::string_view prefix) {
    std::printf("dudeprefix:%.*s\n", static_cast<int>(prefix.size()), prefix.data());
    // The caller's own output may interleave with these lines.
    std::fflush(stdout);
}

// Continuation pieces carry the DUDE prefix now in force.
SplitStyle dudex_style() { return SplitStyle{dude_prefix(), 57, 4}; }

template <typename Out>
int dude_encode(std::u16string_view src, Out& dst) {
    dst.clear();
    const std::string_view prefix = dude_prefix();
    return for_each_label(src, true, [&](std::u16string_view label, char sep) {
        bool ascii = true;
        for (char16_t u : label)
            if (u > 0x7F) ascii = false;
        if (ascii) {
            for (char16_t u : label) dst.push_back(static_cast<char>(u));
        } else {
            dst.append(prefix);
            char16_t prev = kInitialPrev;
            for (char16_t u : label) {
                if (u == u'-') {  // the hyphen stands for itself; prev stays
                    dst.push_back('-');
                    continue;
                }
                const unsigned d = u ^ prev;
                int shift = 12;
                while (shift > 0 && ((d >> shift) & 0xF) == 0) shift -= 4;
                for (; shift > 0; shift -= 4) dst.push_back(kAlphabet[16 + ((d >> shift) & 0xF)]);
                dst.push_back(kAlphabet[d & 0xF]);
                prev = u;
            }
        }
        if (sep != 0) dst.push_back(sep);
        return 1;
    });
}

template <typename Out>
int dude_decode(std::string_view src, Out& dst) {
    dst.clear();
    const std::string_view prefix = dude_prefix();
    char16_t prev = kInitialPrev;
    unsigned number = 0;
    bool label_start = true;
    size_t i = 0;
    while (i < src.size()) {
        const auto c = static_cast<unsigned char>(src[i]);
        if (c == '.' || c == '@') {
            dst.push_back(c);
            prev = kInitialPrev;
            // Nibbles of a number left unfinished at the end of a label are
            // dropped, as at the end of the text: each label starts afresh.
            number = 0;
            label_start = true;
            ++i;
            continue;
        }
        if (c == '-') {
            dst.push_back(u'-');
            label_start = false;
            ++i;
            continue;
        }
        print_prefix_line(prefix);
        if (label_start) {
            // The prefix is compared byte for byte, over its own length.
            if (src.substr(i, prefix.size()) != prefix) {
                while (i < src.size() && src[i] != '.' && src[i] != '@')
                    dst.push_back(static_cast<unsigned char>(src[i++]));
                continue;
            }
            i += prefix.size();
            label_start = false;
        }
        // The end of the text, ".", "-" and bytes from 0x80 up where a digit
        // is due end the conversion without a terminator at the current end.
        if (i >= src.size() || static_cast<unsigned char>(src[i]) < '2' ||
            static_cast<unsigned char>(src[i]) >= 0x80) {
            dst.clear();
            return 0;
        }
        const int v = dude_value(static_cast<unsigned char>(src[i]));
        if (v < 0) return 0;  // keeps the units decoded so far
        // Only the low 16 bits are ever used, so older nibbles may fall off.
        number = ((number << 4) | (static_cast<unsigned>(v) & 0xF)) & 0xFFFFF;
        if (v < 16) {
            prev = static_cast<char16_t>((number ^ prev) & 0xFFFF);
            dst.push_back(prev);
            number = 0;
        }
        ++i;
    }
    return 1;
}

// DUDE into the 1024-byte working buffer (a text that does not fit it
// fails), then split.
template <typename Out>
int dudex_encode(std::u16string_view src, Out& dst) {
    FixedSink<char, kWorkBytes> work;
    if (dude_encode(src, work) == 0 || work.overflowed()) {
        dst.clear();
        return 0;
    }
    return split_long_labels(work.view(), dudex_style(), dst);
}

template <typename Out>
int dudex_decode(std::string_view src, Out& dst) {
    FixedSink<char, kWorkBytes> work;
    if (join_split_labels(src, dudex_style(), work) == 0) {
        dst.clear();
        return 0;
    }
    return dude_decode(work.view(), dst);
}

}  // namespace

NESSEL_SINK_CONVERTERS(dude, dude_decode(src, dst), dude_encode(src, dst))
NESSEL_SINK_CONVERTERS(dudex, dudex_decode(src, dst), dudex_encode(src, dst))

}  // namespace nessel
