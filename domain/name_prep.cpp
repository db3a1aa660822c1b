// SPDX-License-Identifier: MIT
// domain/name_prep.cpp: names and addresses to ACE from UTF-16 and from
// native encodings.  The whole input is prepared once with the options 0xA5
// (which maps U+3002 to "." and the at-sign variants to "@"); a plain name
// goes whole to the zone-directed conversion, an address through
// convert_address.
#include "domain/name_prep.h"

#include "api/result_codes.h"
#include "domain/convert_domain.h"
#include "encoding/encoding.h"
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

constexpr size_t kPreparedCapacity = 8192;  // prepared name, terminator included

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

}  // namespace

NamePrepResult name_prep_unicode(std::string_view encoding, std::u16string_view input) {
    NamePrepResult r;
    // A refused input leaves the prepared name empty; so does one beyond
    // nameprep's input limit, which is refused here without calling it.
    std::u16string prepared;
    if (input.size() > kMaxInputUnits ||
        name_prep(input, prepared, kAddressPrepFlags, kPreparedCapacity) != 0)
        prepared.clear();
    if (prepared.empty()) {
        r.code = kErrEmpty;
        return r;
    }
    if (is_all_ascii(prepared)) {
        r.code = kErrAllAscii;
        return r;
    }
    uint32_t error = 0;
    const char* codec_used = nullptr;
    const int ok = prepared.find(u'@') == std::u16string::npos
                       ? convert_domain(prepared, r.output, codec_used, encoding, error)
                       : convert_address(prepared, r.output, codec_used, encoding, error);
    if (!ok) {
        r.code = error;
        return r;
    }
    // The result buffer holds 8191 units: a local part plus a long ACE
    // domain part could exceed it.
    if (r.output.size() > kMaxNameUnits) {
        r.code = kErrConversion;
        r.output.clear();
        return r;
    }
    r.code = kOk;
    if (codec_used != nullptr) r.codec = codec_used;
    return r;
}

NamePrepResult name_prep_native(std::string_view encoding, std::string_view input,
                                uint32_t options) {
    const bool fallback = (options & kTryFallbacks) != 0;
    std::u16string decoded;
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
