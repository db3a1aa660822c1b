// SPDX-License-Identifier: MIT
// ace/enc_utf_common.cpp: what the codecs share: the LDH test and the value
// of a base32 character (the templates are in enc_utf.h).
#include "ace/enc_utf.h"

namespace nessel {

int is_ldh_char(char16_t u) {
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
           u == '_' || u == '-';
}

int base32_value(char c) {
    if (c >= 'a' && c <= 'z') return c - 'a';
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= '2' && c <= '7') return c - '2' + 26;
    return -1;
}

}  // namespace nessel
