// SPDX-License-Identifier: MIT
// fuzz/fuzz_registry.cpp: the first byte picks a registered encoding; the
// rest is decoded as its bytes, re-encoded, and also read as UTF-16 units and
// encoded.  Inputs are capped to stay within the codecs' working limits.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "api/lifecycle.h"
#include "encoding/encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = nessel::init_once() != 0;
    if (!ready) std::abort();
    if (size < 1) return 0;
    const uint32_t n = nessel::encoding_count();
    const uint32_t enctype = 1 + data[0] % n;
    const nessel::EncodingEntry* e = nessel::find_encoding_by_type(enctype);
    if (e == nullptr) std::abort();
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1 > 300 ? 300 : size - 1);
    bytes = bytes.c_str();  // as a C caller passes it: up to the first zero byte
    std::u16string units;
    if (e->to_unicode(bytes, units)) {
        std::string again;
        (void)e->from_unicode(units, again);
    }
    std::u16string raw;
    for (size_t i = 1; i + 1 < size && raw.size() < 150; i += 2) {
        auto u = static_cast<char16_t>(data[i] << 8 | data[i + 1]);
        if (u == 0) break;
        raw.push_back(u);
    }
    std::string encoded;
    if (e->from_unicode(raw, encoded)) {
        std::u16string back;
        (void)e->to_unicode(encoded.c_str(), back);
    }
    return 0;
}
