// SPDX-License-Identifier: MIT
// tests/unit/cjk_golden.h: loading of the golden CJK mapping files
// (tests/golden/<table>.map, written by tools/gen/golden_cjk.py from Python's
// codecs, independently of our data/ headers).
#pragma once

#include <cstdint>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>

namespace nessel::test {

struct GoldenMap {
    std::map<unsigned, char16_t> to_ucs;    // code -> unit
    std::map<char16_t, unsigned> from_ucs;  // unit -> lowest code
    size_t duplicates = 0;                  // units held by more than one code
};

inline GoldenMap load_golden(const std::string& name) {
    std::ifstream in(std::string(NESSEL_SOURCE_DIR) + "/tests/golden/" + name + ".map");
    if (!in) throw std::runtime_error("missing golden file " + name);
    GoldenMap g;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        size_t tab = line.find('\t');
        unsigned code = std::stoul(line.substr(0, tab), nullptr, 16);
        auto u = static_cast<char16_t>(std::stoul(line.substr(tab + 1), nullptr, 16));
        g.to_ucs[code] = u;
        auto [it, fresh] = g.from_ucs.emplace(u, code);
        if (!fresh) {
            ++g.duplicates;
            if (code < it->second) it->second = code;
        }
    }
    return g;
}

}  // namespace nessel::test
