// SPDX-License-Identifier: MIT
// tests/unit/vectors.h: reading the TSV vector files under tests/vectors/.
#pragma once

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace nessel::test {

struct Row {
    std::vector<std::string> f;  // the fields, "[TEXT*N]" expanded
    std::string where;           // "file:line" for failure messages
    const std::string& operator[](size_t i) const { return f.at(i); }
    size_t size() const { return f.size(); }
    // Field i, or "" where the row is shorter.
    std::string get(size_t i) const { return i < f.size() ? f[i] : std::string(); }
};

// "[TEXT*N]" stands for TEXT repeated N times (long inputs stay readable).
inline std::string expand(const std::string& s) {
    std::string out;
    for (size_t i = 0, star, close; i < s.size(); ++i) {
        if (s[i] != '[' || (star = s.find('*', i)) == std::string::npos || (close = s.find(']', star)) == std::string::npos ||
            close == star + 1 || s.find_first_not_of("0123456789", star + 1) != close) {
            out.push_back(s[i]);
            continue;
        }
        for (long n = std::stol(s.substr(star + 1, close - star - 1)); n > 0; --n) out += s.substr(i + 1, star - i - 1);
        i = close;
    }
    return out;
}

// The rows of tests/vectors/<name>; lines that are empty or start with '#'
// are comments.
inline std::vector<Row> read_rows(const std::string& name, size_t min_fields) {
    std::ifstream in(std::string(NESSEL_SOURCE_DIR) + "/tests/vectors/" + name);
    if (!in) throw std::runtime_error("missing vector file " + name);
    std::vector<Row> rows;
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        if (line.empty() || line[0] == '#') continue;
        Row r{{}, name + ":" + std::to_string(n)};
        for (size_t p = 0, tab = 0; tab != std::string::npos; p = tab + 1)
            r.f.push_back(expand(line.substr(p, (tab = line.find('\t', p)) - p)));
        if (r.f.size() < min_fields) throw std::runtime_error("short row at " + r.where);
        rows.push_back(std::move(r));
    }
    return rows;
}

// Units from space-separated tokens: "U+XXXX" is one unit, any other token
// stands for its own characters ("U+00C4 b c" is three units).
inline std::u16string M(std::string_view notation) {
    std::u16string out;
    for (size_t pos = 0; pos <= notation.size();) {
        const size_t end = std::min(notation.find(' ', pos), notation.size());
        const std::string_view tok = notation.substr(pos, end - pos);
        if (tok.starts_with("U+"))
            out.push_back(static_cast<char16_t>(std::stoul(std::string(tok.substr(2)), nullptr, 16)));
        else
            for (char c : tok) out.push_back(static_cast<unsigned char>(c));
        pos = end + 1;
    }
    return out;
}

// The same where the text holds "U+"; else each byte is one unit (spaces too).
inline std::u16string U(std::string_view notation) {
    if (notation.find("U+") != std::string_view::npos) return M(notation);
    const auto* bytes = reinterpret_cast<const unsigned char*>(notation.data());
    return std::u16string(bytes, bytes + notation.size());
}

// Backslash escapes decoded: \xHH, and \n \t \r \\ where their letter is
// in `letters`; any other backslash stands for itself.
inline std::string unescape(std::string_view s, std::string_view letters = "ntr\\x") {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const char next = i + 1 < s.size() ? s[i + 1] : '\0';
        if (s[i] != '\\' || next == '\0' || letters.find(next) == std::string_view::npos) {
            out.push_back(s[i]);
        } else if (next == 'x') {
            out.push_back(static_cast<char>(std::stoul(std::string(s.substr(i + 2, 2)), nullptr, 16)));
            i += 3;
        } else {
            out.push_back(next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : '\\');
            ++i;
        }
    }
    return out;
}

// Bytes written with \xHH escapes only ("\\xC3\\xBC").
inline std::string B(std::string_view escaped) { return unescape(escaped, "x"); }

// UTF-8 to UTF-16 (surrogate pairs for characters beyond the BMP).
inline std::u16string utf16(std::string_view s) {
    // The payload bits of a lead byte, by the number of bytes that follow it.
    static constexpr unsigned char kLeadBits[] = {0x7F, 0x1F, 0x0F, 0x07};
    std::u16string out;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i++]);
        const int n = b < 0x80 ? 0 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
        char32_t cp = b & kLeadBits[n];
        for (int k = 0; k < n && i < s.size(); ++k, ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

// The empty text is written "-" (or "(empty)" where "-" is a text).
inline std::string text(const std::string& field, const char* empty = "-") { return field == empty ? "" : field; }

}  // namespace nessel::test
