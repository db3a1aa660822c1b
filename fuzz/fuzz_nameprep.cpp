// SPDX-License-Identifier: MIT
// fuzz/fuzz_nameprep.cpp: nameprep of any units under any flags.  The first
// two bytes are the flags; the rest are big-endian UTF-16 units.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "api/lifecycle.h"
#include "nessel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = nessel::init_once() != 0;
    if (!ready) std::abort();
    if (size < 2) return 0;
    const uint32_t flags = static_cast<uint32_t>(data[0]) << 8 | data[1];
    std::vector<nessel_unit> in;
    for (size_t i = 2; i + 1 < size && in.size() < 1100; i += 2) {
        auto u = static_cast<nessel_unit>(data[i] << 8 | data[i + 1]);
        if (u == 0) break;
        in.push_back(u);
    }
    in.push_back(0);
    std::vector<nessel_unit> out(1024, 0xFFFF);
    const uint32_t r = talvex_name_prep_u(in.data(), out.data(), 1024, flags);
    if (r != 0 && r != 203 && r != 204 && r != 205 && r != 206 && r != 207) std::abort();
    if (r == 0) {
        size_t n = 0;
        while (n < out.size() && out[n] != 0) ++n;
        if (n == out.size()) std::abort();  // success always leaves a terminator
    }
    return 0;
}
