// SPDX-License-Identifier: MIT
// api/exports.cpp: the twelve exports.  Each is a short shim: null checks,
// one call into the core, and the copy of the core's result into the
// caller's buffer with its terminator.
#include "nessel.h"

#include <cstring>
#include <string>

#include "api/lifecycle.h"
#include "base/result_codes.h"
#include "domain/ace_decode.h"
#include "domain/to_ace.h"
#include "encoding/encoding.h"
#include "nameprep/nameprep.h"

using namespace nessel;

namespace {

void units_out(std::u16string_view s, nessel_unit* dst) {
    for (size_t i = 0; i < s.size(); ++i) dst[i] = s[i];
    dst[s.size()] = 0;
}

void bytes_out(std::string_view s, char* dst) {
    for (size_t i = 0; i < s.size(); ++i) dst[i] = s[i];
    dst[s.size()] = 0;
}

// Copies at most kPrepMaxInput + 1 units into buf: enough to tell that an
// input is too long without walking an arbitrarily long one.
std::u16string_view units_in_bounded(const nessel_unit* s, char16_t (&buf)[kPrepMaxInput + 2]) {
    size_t n = 0;
    while (n <= kPrepMaxInput && s[n] != 0) {
        buf[n] = static_cast<char16_t>(s[n]);
        ++n;
    }
    return std::u16string_view(buf, n);
}

// Copies a conversion's result into the caller's buffers after they were
// cleared.  Writes are bounded by the sizes the caller gave: output_units and
// codec_out_size count the terminator.  A successful result that does not fit
// fails with 6001 and leaves output cleared and codec_out untouched; the
// unchanged address of a failed conversion is copied only when it fits.
template <typename Unit, typename Text>
uint32_t deliver(const NamePrepResult& r, const Text& text, Unit* output, size_t output_units,
                 char* codec_out, uint32_t codec_out_size) {
    const bool fits = text.size() < output_units;
    const size_t codec_len = std::strlen(r.codec);
    const bool wants_codec = codec_out != nullptr && codec_len > 0;
    if (r.code != kOk) {
        if (fits && !text.empty()) {
            for (size_t i = 0; i < text.size(); ++i) output[i] = static_cast<Unit>(text[i]);
            output[text.size()] = 0;
        }
        return r.code;
    }
    if (!fits || (wants_codec && codec_len >= codec_out_size)) return kErrConversion;
    for (size_t i = 0; i < text.size(); ++i) output[i] = static_cast<Unit>(text[i]);
    output[text.size()] = 0;
    if (wants_codec) std::memcpy(codec_out, r.codec, codec_len + 1);
    return kOk;
}

}  // namespace

extern "C" {

NESSEL_API uint32_t NESSEL_CALL InitSDK(void) noexcept { return init_sdk(); }

NESSEL_API uint32_t NESSEL_CALL DeinitSDK(void) noexcept { return deinit_sdk(); }

NESSEL_API int NESSEL_CALL UpdateRegistry(void) noexcept { return update_registry(); }

NESSEL_API const char* NESSEL_CALL GetVersion_Nessel(void) noexcept {
    // The version comes from the build's project version, like the DLL's
    // version resource and the SDK archive's name.
    return "Nessel Version " NESSEL_VERSION;
}

NESSEL_API uint32_t NESSEL_CALL NamePrep(const char* encoding, const char* input, char* output,
                                         uint32_t output_size, char* codec_out,
                                         uint32_t codec_out_size, unsigned char options) noexcept {
    if (encoding == nullptr || input == nullptr || output == nullptr) return kErrArgument;
    // output_size also sizes the 8192-unit intermediate buffer; a larger
    // value is refused as a bad argument before anything is written.
    if (output_size > kMaxNativeOutputSize) return kErrArgument;
    const NamePrepResult r = name_prep_native(encoding, input, options);
    if (!r.ran) return r.code;
    std::memset(output, 0, output_size);
    if (r.code == kErrAllAscii || r.code == kErrEmpty) return r.code;
    // The ACE result goes out one byte per unit (deliver keeps the low byte).
    return deliver(r, r.output, output, output_size, codec_out, codec_out_size);
}

NESSEL_API uint32_t NESSEL_CALL NamePrep_U(const char* encoding, const nessel_unit* input,
                                           nessel_unit* output, uint32_t output_size,
                                           char* codec_out, uint32_t codec_out_size,
                                           uint32_t) noexcept {
    if (encoding == nullptr || input == nullptr || output == nullptr) return kErrArgument;
    char16_t in[kPrepMaxInput + 2];
    const NamePrepResult r = name_prep_unicode(encoding, units_in_bounded(input, in));
    // An empty or all-ASCII prepared name leaves output untouched.
    if (r.code == kErrAllAscii || r.code == kErrEmpty) return r.code;
    std::memset(output, 0, output_size);
    return deliver(r, r.output, output, output_size / sizeof(nessel_unit), codec_out,
                   codec_out_size);
}

NESSEL_API uint32_t NESSEL_CALL AceToNative(const char* ace_codec, const char* ace_text,
                                            char* output, const char* native_encoding,
                                            uint32_t) noexcept {
    if (!ace_codec_accepted(ace_codec)) return kErrArgument;
    std::string result;
    uint32_t code = encode_string(ace_codec, ace_text, native_encoding, output != nullptr, result);
    if ((code == kOk || code == kErrTargetEncode) && output != nullptr) bytes_out(result, output);
    return code;
}

NESSEL_API uint32_t NESSEL_CALL AceToUnicode(const char* ace_codec, const char* ace_text,
                                             nessel_unit* output, uint32_t) noexcept {
    if (!ace_codec_accepted(ace_codec)) return kErrArgument;
    // Per-thread result buffer, kept sized between calls.
    thread_local std::u16string result;
    uint32_t code = encode_string_u(ace_codec, ace_text, output != nullptr, result);
    if ((code == kOk || code == kErrAceDecode) && output != nullptr && ace_text != nullptr)
        units_out(result, output);
    return code;
}

NESSEL_API uint32_t NESSEL_CALL talvex_name_prep_u(const nessel_unit* input, nessel_unit* output,
                                                   uint32_t output_capacity,
                                                   uint32_t flags) noexcept {
    // A null name is refused like an empty one.
    if (input == nullptr || output == nullptr) return PREP_ERR_PROHIBITED;
    // Read at most one unit past the longest accepted name: a longer input is
    // refused without scanning the rest of it.
    char16_t in[kPrepMaxInput + 2];
    char16_t result[kPrepWorkUnits];
    size_t len = 0;
    const size_t capacity = output_capacity < kPrepWorkUnits ? output_capacity : kPrepWorkUnits;
    uint32_t code = name_prep_to(units_in_bounded(input, in), result, capacity, flags, len);
    if (code == kOk) units_out(std::u16string_view(result, len), output);
    return code;
}

NESSEL_API uint32_t NESSEL_CALL str2enctype(const char* name) noexcept {
    return name ? encoding_type(name) : 0;
}

// The result goes straight into the caller's destination (unbounded by
// contract); nothing is allocated per call.
NESSEL_API int NESSEL_CALL encoding2unicode(uint32_t enctype, const char* source,
                                            nessel_unit* destination) noexcept {
    if (destination == nullptr) return 0;
    return encoding_to_unicode_into(enctype, source, reinterpret_cast<char16_t*>(destination));
}

NESSEL_API int NESSEL_CALL unicode2encoding(uint32_t enctype, const nessel_unit* source,
                                            char* destination) noexcept {
    if (destination == nullptr) return 0;
    return unicode_to_encoding_into(enctype, reinterpret_cast<const char16_t*>(source),
                                    destination);
}

}  // extern "C"
