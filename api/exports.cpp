// SPDX-License-Identifier: MIT
// api/exports.cpp: the twelve exports.  Each is a short shim: null checks,
// one call into the core, and the copy of the core's result into the
// caller's buffer with its terminator.
#include "nessel.h"

#include <string>

#include "api/lifecycle.h"
#include "api/result_codes.h"
#include "domain/ace_decode.h"
#include "encoding/encoding.h"
#include "nameprep/nameprep.h"

using namespace nessel;

namespace {

std::u16string units_in(const nessel_unit* s) {
    std::u16string out;
    if (s != nullptr)
        for (size_t i = 0; s[i] != 0; ++i) out.push_back(static_cast<char16_t>(s[i]));
    return out;
}

void units_out(std::u16string_view s, nessel_unit* dst) {
    for (size_t i = 0; i < s.size(); ++i) dst[i] = s[i];
    dst[s.size()] = 0;
}

void bytes_out(std::string_view s, char* dst) {
    for (size_t i = 0; i < s.size(); ++i) dst[i] = s[i];
    dst[s.size()] = 0;
}

}  // namespace

extern "C" {

NESSEL_API uint32_t NESSEL_CALL InitSDK(void) noexcept { return init_sdk(); }

NESSEL_API uint32_t NESSEL_CALL DeinitSDK(void) noexcept { return deinit_sdk(); }

NESSEL_API int NESSEL_CALL UpdateRegistry(void) noexcept { return update_registry(); }

NESSEL_API const char* NESSEL_CALL GetVersion_Nessel(void) noexcept {
    return "Nessel Version 4.0.31";
}

NESSEL_API uint32_t NESSEL_CALL NamePrep(const char* encoding, const char* input, char* output,
                                         uint32_t, char*, uint32_t, unsigned char) noexcept {
    if (encoding == nullptr || input == nullptr || output == nullptr) return kErrArgument;
    return kErrConversion;
}

NESSEL_API uint32_t NESSEL_CALL NamePrep_U(const char* encoding, const nessel_unit* input,
                                           nessel_unit* output, uint32_t, char*, uint32_t,
                                           uint32_t) noexcept {
    if (encoding == nullptr || input == nullptr || output == nullptr) return kErrArgument;
    return kErrEmpty;
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
    std::u16string result;
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
    size_t n = 0;
    while (n <= kPrepMaxInput && input[n] != 0) ++n;
    std::u16string in(input, input + n);
    std::u16string result;
    uint32_t code = name_prep(in, result, flags, output_capacity);
    if (code == kOk) units_out(result, output);
    return code;
}

NESSEL_API uint32_t NESSEL_CALL str2enctype(const char* name) noexcept {
    return name ? encoding_type(name) : 0;
}

NESSEL_API int NESSEL_CALL encoding2unicode(uint32_t enctype, const char* source,
                                            nessel_unit* destination) noexcept {
    if (destination == nullptr) return 0;
    std::u16string result;
    int r = source ? encoding_to_unicode(enctype, source, result) : 0;
    units_out(r ? std::u16string_view(result) : std::u16string_view(), destination);
    return r;
}

NESSEL_API int NESSEL_CALL unicode2encoding(uint32_t enctype, const nessel_unit* source,
                                            char* destination) noexcept {
    if (destination == nullptr) return 0;
    std::string result;
    int r = source ? unicode_to_encoding(enctype, units_in(source), result) : 0;
    bytes_out(r ? std::string_view(result) : std::string_view(), destination);
    return r;
}

}  // extern "C"
