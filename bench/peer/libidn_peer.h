// SPDX-License-Identifier: MIT
// libidn (IDNA2003) as names_peer_bench calls it.  The Punycode coders
// return 0 for success.
#pragma once

#include <cstddef>
#include <cstdint>

bool libidn_to_ascii(const char* name);
bool libidn_to_unicode(const char* ace);
bool libidn_nameprep(char* buf, size_t size);
int libidn_punycode_encode(size_t len, const uint32_t* in, size_t* out_len, char* out);
int libidn_punycode_decode(size_t len, const char* in, size_t* out_len, uint32_t* out);
