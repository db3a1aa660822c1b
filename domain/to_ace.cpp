// SPDX-License-Identifier: MIT
// domain/to_ace.cpp: names and addresses to ACE from UTF-16 and from
// native encodings.  The whole input is prepared once with the options 0xA5
// (which maps U+3002 to "." and the at-sign variants to "@"); a plain name
// goes whole to the zone-directed conversion, an address through
// convert_address.
#include "domain/to_ace.h"

#include <cstring>

#include "base/result_codes.h"
#include "domain/convert_domain.h"
#include "codecs/codecs.h"
#include "nameprep/nameprep.h"

namespace nessel {

const std::array<const char*, 30> kFallbackEncodings = {
    "gb",        "big5",      "sjis",      "euc",       "jis",       "ksc",
    "tsc",       "tab",       "tam",       "dev",       "knd",       "tlg",
    "iso8859-1", "iso8859-2", "iso8859-3", "iso8859-4", "iso8859-5", "iso8859-6",
    "iso8859-7", "iso8859-8", "iso8859-9", "cp1250",    "cp1251",    "cp1252",
    "cp1253",    "cp1254",    "cp1255",    "cp1256",    "cp1257",    "cp1258",
};

namespace {

// Buffers of one call on this thread, kept between calls and sized once by
// the limits, so that converting a name allocates nothing.
struct NamePrepScratch {
    std::u16string decoded;  // native input decoded to UTF-16
    std::u16string output;   // the conversion's result
    NamePrepScratch() {
        decoded.reserve(kMaxDecodedInputUnits + 1);
        output.reserve(kMaxNameUnits + 1);
    }
};

NamePrepScratch& scratch() {
    thread_local NamePrepScratch s;
    return s;
}

// Decodes input with the registered encoding; false when the encoding is not
// registered, the converter fails or the result exceeds the decode buffer.
bool decode_native(std::string_view encoding, std::string_view input, std::u16string& decoded) {
    decoded.clear();
    if (encoding_to_unicode(encoding_type(encoding), input, decoded) == 0) return false;
    if (decoded.size() > kMaxDecodedInputUnits) {
        decoded.clear();
        return false;
    }
    // Nameprep reads the decoded name up to its first zero unit, as it would
    // read the zero-terminated decode buffer.
    decoded.resize(until_zero(decoded).size());
    return true;
}

void set_codec(NamePrepResult& r, const char* codec) {
    // Record fields hold at most 255 bytes; read no further.
    size_t n = 0;
    while (n < sizeof r.codec - 1 && codec[n] != 0) ++n;
    std::memcpy(r.codec, codec, n);
    r.codec[n] = 0;
}

}  // namespace

NamePrepResult name_prep_unicode(std::string_view encoding, std::u16string_view input) {
    NamePrepResult r;
    // A refused input leaves the prepared name empty; so does one beyond
    // nameprep's input limit, which is refused here without calling it.  A
    // prepared name is never longer than nameprep's input limit, so its
    // 8192-unit capacity is never the limit that applies.
    char16_t prepared_units[kPrepWorkUnits];
    size_t prepared_len = 0;
    if (input.size() > kMaxInputUnits ||
        name_prep_to(input, prepared_units, kPrepWorkUnits, kAddressPrepFlags, prepared_len) != 0)
        prepared_len = 0;
    const std::u16string_view prepared(prepared_units, prepared_len);
    if (prepared.empty()) {
        r.code = kErrEmpty;
        return r;
    }
    if (is_all_ascii(prepared)) {
        r.code = kErrAllAscii;
        return r;
    }
    std::u16string& output = scratch().output;
    output.clear();
    uint32_t error = 0;
    const char* codec_used = nullptr;
    const int ok = convert_address(prepared, output, codec_used, encoding, error, true);
    if (!ok) {
        r.code = error;
        r.output = output;
        return r;
    }
    // The result buffer holds 8191 units: a local part plus a long ACE
    // domain part could exceed it.
    if (output.size() > kMaxNameUnits) {
        r.code = kErrConversion;
        return r;
    }
    r.code = kOk;
    r.output = output;
    if (codec_used != nullptr) set_codec(r, codec_used);
    return r;
}

NamePrepResult name_prep_native(std::string_view encoding, std::string_view input,
                                uint32_t options) {
    const bool fallback = (options & kTryFallbacks) != 0;
    std::u16string& decoded = scratch().decoded;
    if (!decode_native(encoding, input, decoded) && !fallback) {
        NamePrepResult r;
        r.code = kErrConversion;
        r.ran = false;
        return r;
    }
    // With the fallback bit a failed decoding goes on as empty text.
    NamePrepResult r = name_prep_unicode(encoding, decoded);
    if (r.code == kOk || !fallback || r.code == kErrAllAscii) return r;
    for (const char* f : kFallbackEncodings) {
        if (ascii_iequal(f, encoding)) continue;
        if (!decode_native(f, input, decoded)) continue;
        // The fallback's own name steers the nameprep options.
        r = name_prep_unicode(f, decoded);
        if (r.code == kOk) return r;
    }
    return r;
}

}  // namespace nessel
