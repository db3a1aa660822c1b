// SPDX-License-Identifier: MIT
// fuzz/fuzz_ace_decode.cpp: ACE text of any bytes decoded with each accepted
// codec through the exports, and re-encoded to ASCII.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "api/lifecycle.h"
#include "nessel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = nessel::init_once() != 0;
    if (!ready) std::abort();
    std::string text(reinterpret_cast<const char*>(data), size > 1000 ? 1000 : size);
    text = text.c_str();
    // Decoded units never outnumber the input bytes; leave room for the terminator.
    std::vector<nessel_unit> units(text.size() + 1);
    std::vector<char> bytes(4 * text.size() + 16);
    for (const char* codec : {"race", "lace", "racex", "dude", "dudex", "amc-z"}) {
        (void)AceToUnicode(codec, text.c_str(), units.data(), 0);
        (void)AceToNative(codec, text.c_str(), bytes.data(), "ascii", 0);
    }
    return 0;
}
