// SPDX-License-Identifier: MIT
// codecs/codecs.cpp: registration of every encoding and ACE codec, in the
// order of encodings.def, and the settings-consistent dispatch.
#include "codecs/codecs.h"

#include "ace/convert.h"
#include "ace/enc_utf.h"
#include "encoding/charsets.h"

namespace nessel {
namespace {

// The registered form of a converter: it reads its source up to the first
// zero, as the zero-terminated source of the C interface ends there.  Chains
// (AceToNative, NamePrep's decoding, "dutf8", the "x" variants) call the
// registered entries, so each step stops where a zero-terminated one would.
template <ToUnicodeFn F>
int to_unicode_until_zero(std::string_view src, std::u16string& dst) {
    return F(until_zero(src), dst);
}
template <FromUnicodeFn F>
int from_unicode_until_zero(std::u16string_view src, std::string& dst) {
    return F(until_zero(src), dst);
}

}  // namespace

int register_all_encodings() {
#define ENCODING(name, to, from)                                                     \
    if (register_encoding(name, to_unicode_until_zero<to>, from_unicode_until_zero<from>) == 0) \
        return 0;
#define CHARSET(name, fn)                                                           \
    if (register_charset(name, to_unicode_until_zero<fn##_to_unicode>,             \
                         from_unicode_until_zero<fn##_from_unicode>, fn##_to_unicode_raw, \
                         fn##_from_unicode_raw) == 0)                               \
        return 0;
#define CODEC(name, fn)                                                             \
    if (register_codec(name, to_unicode_until_zero<fn##_to_unicode>,               \
                       from_unicode_until_zero<fn##_from_unicode>, fn##_to_unicode_raw, \
                       fn##_from_unicode_raw) == 0)                                 \
        return 0;
#include "codecs/encodings.def"
#undef CODEC
#undef CHARSET
#undef ENCODING
    return 1;
}

int encoding_to_unicode(uint32_t enctype, std::string_view src, std::u16string& dst) {
    dst.clear();
    const EncodingEntry* e = find_encoding_by_type(enctype);
    if (e == nullptr) return 0;
    // One state of the ACE settings for the whole call.
    int r = with_ace_settings([&] { return e->to_unicode(src, dst); });
    if (r == 0) dst.clear();
    return r;
}

int unicode_to_encoding(uint32_t enctype, std::u16string_view src, std::string& dst) {
    dst.clear();
    const EncodingEntry* e = find_encoding_by_type(enctype);
    if (e == nullptr) return 0;
    int r = with_ace_settings([&] { return e->from_unicode(src, dst); });
    if (r == 0) dst.clear();
    return r;
}

}  // namespace nessel
