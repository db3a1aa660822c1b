// SPDX-License-Identifier: MIT
// domain/to_ace.cpp: names and addresses to ACE from UTF-16 and from
// native encodings.  The whole input is prepared once with the options 0xA5
// (which maps U+3002 to "." and the at-sign variants to "@"); a plain name
// goes whole to the zone-directed conversion, an address through
// convert_address.
#include "domain/to_ace.h"

#include <cstring>

#include "ace/convert.h"
#include "ace/enc_utf.h"
#include "base/result_codes.h"
#include "domain/convert_domain.h"
#include "domain/scratch.h"
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

// Buffers of one call on this thread.
struct NamePrepScratch {
    ReservedString<char16_t, kMaxDecodedInputUnits> decoded;  // native input decoded to UTF-16
    char16_t units[kMaxDecodedInputUnits];  // the same, from the decoders written in place
    ReservedString<char16_t, kMaxNameUnits> output;           // the conversion's result
};

NamePrepScratch& scratch() { return thread_scratch<NamePrepScratch>(); }

// The registry entry of an encoding name, remembered per thread for the
// last name looked up while the registry stays as it was: a caller converts
// many names from the same encoding.
const EncodingEntry* find_encoding_remembered(std::string_view name) {
    struct Memo {
        uint64_t generation = 0;  // 0: nothing remembered
        char name[32];
        size_t length = 0;
        const EncodingEntry* entry = nullptr;
    };
    thread_local Memo m;
    const uint64_t generation = encoding_generation();
    if (m.generation == generation && m.length == name.size() &&
        std::memcmp(m.name, name.data(), name.size()) == 0)
        return m.entry;
    const EncodingEntry* e = find_encoding(name);
    if (name.size() <= sizeof m.name) {
        std::memcpy(m.name, name.data(), name.size());
        m.length = name.size();
        m.entry = e;
        m.generation = generation;
    }
    return e;
}

// Decodes input with the registered encoding into text (empty on failure);
// false when the encoding is not registered, the converter fails or the
// result exceeds the decode buffer.  Runs inside the caller's conversion
// (one state of the ACE settings).  UTF-8 writes at most one unit per byte,
// so a source that fits the decode buffer is decoded straight into it.
bool decode_native(std::string_view encoding, std::string_view input, NamePrepScratch& s,
                   std::u16string_view& text) {
    text = {};
    const EncodingEntry* e = find_encoding_remembered(encoding);
    if (e == nullptr) return false;
    if (e->to_unicode_raw == &utf8_to_unicode_raw) {
        const std::string_view src = until_zero(input);
        if (src.size() <= kMaxDecodedInputUnits) {
            size_t n = 0;
            if (utf8_to_unicode_raw(src.data(), src.size(), s.units, n) == 0) return false;
            text = until_zero(std::u16string_view(s.units, n));
            return true;
        }
    }
    std::u16string& decoded = s.decoded;
    decoded.clear();
    if (e->to_unicode(input, decoded) == 0 || decoded.size() > kMaxDecodedInputUnits) return false;
    // Nameprep reads the decoded name up to its first zero unit, as it would
    // read the zero-terminated decode buffer.
    text = until_zero(std::u16string_view(decoded));
    return true;
}

void set_codec(NamePrepResult& r, const char* codec) {
    // Record fields hold at most 255 bytes; read no further.
    const size_t n = strnlen(codec, sizeof r.codec - 1);
    std::memcpy(r.codec, codec, n);
    r.codec[n] = 0;
}

// Makes r a fresh result without copying its codec buffer.
void reset(NamePrepResult& r) {
    r.code = 0;
    r.output = {};
    r.codec[0] = 0;
    r.ran = true;
}

// name_prep_unicode into r, which holds a fresh result.
void name_prep_unicode_into(std::string_view encoding, std::u16string_view input,
                            NamePrepResult& r) {
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
        return;
    }
    if (is_all_ascii(prepared)) {
        r.code = kErrAllAscii;
        return;
    }
    std::u16string& output = scratch().output;
    output.clear();
    uint32_t error = 0;
    const char* codec_used = nullptr;
    const int ok = convert_address(prepared, output, codec_used, encoding, error, true);
    if (!ok) {
        r.code = error;
        r.output = output;
        return;
    }
    // The result buffer holds 8191 units: a local part plus a long ACE
    // domain part could exceed it.
    if (output.size() > kMaxNameUnits) {
        r.code = kErrConversion;
        return;
    }
    r.code = kOk;
    r.output = output;
    if (codec_used != nullptr) set_codec(r, codec_used);
}

}  // namespace

NamePrepResult name_prep_unicode(std::string_view encoding, std::u16string_view input) {
    NamePrepResult r;
    name_prep_unicode_into(encoding, input, r);
    return r;
}

namespace {

void name_prep_native_once(std::string_view encoding, std::string_view input, uint32_t options,
                           NamePrepResult& r) {
    const bool fallback = (options & kTryFallbacks) != 0;
    NamePrepScratch& s = scratch();
    std::u16string_view decoded;
    if (!decode_native(encoding, input, s, decoded) && !fallback) {
        r.code = kErrConversion;
        r.ran = false;
        return;
    }
    // With the fallback bit a failed decoding goes on as empty text.
    name_prep_unicode_into(encoding, decoded, r);
    if (r.code == kOk || !fallback || r.code == kErrAllAscii) return;
    for (const char* f : kFallbackEncodings) {
        if (ascii_iequal(f, encoding)) continue;
        if (!decode_native(f, input, s, decoded)) continue;
        // The fallback's own name steers the nameprep options.
        reset(r);
        name_prep_unicode_into(f, decoded, r);
        if (r.code == kOk) return;
    }
}

}  // namespace

NamePrepResult name_prep_native(std::string_view encoding, std::string_view input,
                                uint32_t options) {
    // Decoding and conversion see one state of the ACE settings: the
    // conversions inside join this one.
    NamePrepResult r;
    with_ace_settings([&] {
        reset(r);  // a run after a conflict starts afresh
        name_prep_native_once(encoding, input, options, r);
        return 0;
    });
    return r;
}

}  // namespace nessel
