// SPDX-License-Identifier: MIT
// The libidn calls of names_peer_bench, apart because idn2.h redefines the
// names of idna.h.
#include <idna.h>
#include <punycode.h>
#include <stringprep.h>

#include <cstdlib>

#include "libidn_peer.h"

bool libidn_to_ascii(const char* name) {
    char* out = nullptr;
    const bool ok = idna_to_ascii_8z(name, &out, 0) == IDNA_SUCCESS;
    std::free(out);
    return ok;
}

bool libidn_to_unicode(const char* ace) {
    char* out = nullptr;
    const bool ok = idna_to_unicode_8z8z(ace, &out, 0) == IDNA_SUCCESS;
    std::free(out);
    return ok;
}

bool libidn_nameprep(char* buf, size_t size) {
    return stringprep(buf, size, Stringprep_profile_flags(0), stringprep_nameprep) == STRINGPREP_OK;
}

int libidn_punycode_encode(size_t len, const uint32_t* in, size_t* out_len, char* out) {
    return punycode_encode(len, in, nullptr, out_len, out);
}

int libidn_punycode_decode(size_t len, const char* in, size_t* out_len, uint32_t* out) {
    return punycode_decode(len, in, out_len, out, nullptr);
}
