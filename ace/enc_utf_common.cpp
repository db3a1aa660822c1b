// SPDX-License-Identifier: MIT
// ace/enc_utf_common.cpp: what the codecs share: the LDH test, base32, and
// the splitting and joining of labels longer than 63 characters.
#include "ace/enc_utf.h"

namespace nessel {

int is_ldh_char(char16_t u) {
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
           u == '_' || u == '-';
}

void base32_encode(std::string_view bytes, std::string& out) {
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz234567";
    // ceil(8n / 5) characters, written in place.
    const size_t old = out.size();
    out.resize(old + (bytes.size() * 8 + 4) / 5);
    char* w = out.data() + old;
    unsigned acc = 0;
    int bits = 0;
    for (char c : bytes) {
        acc = (acc << 8) | static_cast<unsigned char>(c);
        bits += 8;
        while (bits >= 5) {
            bits -= 5;
            *w++ = kAlphabet[(acc >> bits) & 31];
        }
        acc &= (1u << bits) - 1;
    }
    if (bits > 0) *w++ = kAlphabet[(acc << (5 - bits)) & 31];
}

int base32_value(char c) {
    if (c >= 'a' && c <= 'z') return c - 'a';
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= '2' && c <= '7') return c - '2' + 26;
    return -1;
}

bool base32_decode(std::string_view text, std::string& bytes, unsigned& leftover) {
    unsigned acc = 0;
    int bits = 0;
    for (char c : text) {
        const int v = base32_value(c);
        if (v < 0) return false;
        acc = (acc << 5) | static_cast<unsigned>(v);
        bits += 5;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<char>((acc >> bits) & 0xFF));
        }
        acc &= (1u << bits) - 1;
    }
    leftover = acc;
    return true;
}

namespace {
constexpr size_t kMaxLabel = 63;
}  // namespace

int split_long_labels(std::string_view encoded, const SplitStyle& style, std::string& out) {
    out.clear();
    if (encoded.size() >= kWorkBytes) return 0;  // does not fit the working buffer
    size_t pos = 0;
    while (pos <= encoded.size()) {
        size_t dot = encoded.find('.', pos);
        size_t end = dot == std::string_view::npos ? encoded.size() : dot;
        std::string_view label = encoded.substr(pos, end - pos);
        if (label.size() <= kMaxLabel) {
            out.append(label);
        } else {
            std::string_view prefix;
            if (!style.prefix.empty() && ascii_istarts_with(label, style.prefix)) {
                prefix = label.substr(0, style.prefix.size());
                out.append(prefix);
                label.remove_prefix(prefix.size());
            }
            const size_t c = style.piece;
            const size_t r = label.size() % c, q = label.size() / c;
            out.append(label.substr(0, r));
            out.append("-0.");
            for (size_t i = 0; i < q; ++i) {
                // Continuation pieces carry the family's current prefix.
                out.append(style.prefix);
                out.append(label.substr(r + i * c, c));
                if (i + 1 < q) out.append("-0.");
            }
        }
        if (dot == std::string_view::npos) break;
        out.push_back('.');
        pos = dot + 1;
    }
    return 1;
}

int join_split_labels(std::string_view text, const SplitStyle& style, std::string& out) {
    out.clear();
    if (text.size() >= kWorkBytes) return 0;  // does not fit the working buffer
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '-' && i + 2 < text.size() && text[i + 1] == '0' && text[i + 2] == '.') {
            i += 3;
            i = std::min(text.size(), i + style.join_skip);
            continue;
        }
        out.push_back(text[i++]);
    }
    return 1;
}

}  // namespace nessel
