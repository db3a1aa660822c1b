// SPDX-License-Identifier: MIT
// tests/unit/vectors.h: reading the TSV vector files under tests/vectors/.
#pragma once

#include <fstream>
#include <stdexcept>
#include <string>
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

// The empty text is written "-" (or "(empty)" where "-" is a text).
inline std::string text(const std::string& field, const char* empty = "-") { return field == empty ? "" : field; }

}  // namespace nessel::test
