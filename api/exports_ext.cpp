// SPDX-License-Identifier: MIT
// api/exports_ext.cpp: the length-taking exports of nessel_ext.h.  The same
// core calls as the zero-terminated exports, on views of the caller's text;
// results are copied out only when they fit, with the length needed
// reported when they do not.
#include "nessel_ext.h"

#include <cstring>
#include <string>

#include "base/result_codes.h"
#include "domain/ace_decode.h"
#include "domain/to_ace.h"
#include "encoding/dispatch.h"
#include "encoding/encoding.h"
#include "nameprep/nameprep.h"

using namespace nessel;

namespace {

// Pointer and length of a caller's text; a null pointer stands for an empty
// text when the length is 0.
template <typename T>
bool text_ok(const T* p, size_t n) {
    return __builtin_expect(p != nullptr, 1) || n == 0;
}

// Delivers a result held elsewhere: copied when it fits, else only its
// length is reported and too_small returned.
template <typename Unit, typename Src>
uint32_t deliver_n(const Src* src, size_t len, Unit* output, size_t output_cap,
                   size_t* output_len, uint32_t too_small) {
    *output_len = len;
    if (len > output_cap) return too_small;
    if (len != 0) std::memcpy(output, src, len * sizeof(Unit));
    return kOk;
}

// The length-taking decode and encode, written once over the unit types:
// the codes for an enctype not registered, for a zero inside the text and
// for a text the converter refuses differ by direction.
//
// The common call (a charset's raw converter writing straight into the
// caller's output, which has its bound) is done in the export itself with
// nothing but that converter called; the conversion through the view
// converter goes on in convert_rest.  An enctype not registered is reported
// before a zero inside the text.
template <typename In, typename Out>
[[gnu::noinline]] uint32_t convert_rest(const EncodingEntry& e, const In* input, size_t input_len,
                                        Out* output, size_t output_cap, size_t* output_len,
                                        uint32_t inner_zero, uint32_t failed) {
    *output_len = 0;
    if (has_zero(input, input_len)) return inner_zero;
    if (convert_entry_n(e, input, input_len, output, output_cap, *output_len) == 0) return failed;
    return *output_len > output_cap ? kErrConversion : kOk;
}

template <typename In, typename Out>
[[gnu::always_inline]] inline uint32_t convert_export_n(uint32_t enctype, const In* input,
                                                        size_t input_len, Out* output,
                                                        size_t output_cap, size_t* output_len,
                                                        uint32_t unknown, uint32_t inner_zero,
                                                        uint32_t failed) {
    if (__builtin_expect(output_len == nullptr, 0)) return kErrArgument;
    if (__builtin_expect(input == nullptr || output == nullptr, 0)) {
        *output_len = 0;
        if (!text_ok(input, input_len) || !text_ok(output, output_cap)) return kErrArgument;
        static constexpr In empty[1] = {};
        if (input == nullptr) input = empty;  // a null text of length 0 is the empty one
    }
    const EncodingEntry* e = find_encoding_by_type(enctype);
    if (e == nullptr) {
        *output_len = 0;
        return unknown;
    }
    const auto raw = raw_into_bounded<In>(*e, input_len, output_cap);
    if (raw == nullptr)
        return convert_rest(*e, input, input_len, output, output_cap, output_len, inner_zero,
                            failed);
    if (has_zero(input, input_len)) {
        *output_len = 0;
        return inner_zero;
    }
    // Within the converter's bound the result fits.
    if (raw(input, input_len, output, *output_len) != 0) return kOk;
    *output_len = 0;
    return failed;
}

}  // namespace

extern "C" {

NESSEL_API uint32_t NESSEL_CALL nessel_to_ace_n(const char* encoding, const nessel_unit* input,
                                                size_t input_len, nessel_unit* output,
                                                size_t output_cap, size_t* output_len,
                                                char* codec_out, size_t codec_out_size) noexcept {
    if (output_len != nullptr) *output_len = 0;
    if (encoding == nullptr || output_len == nullptr || !text_ok(input, input_len) ||
        !text_ok(output, output_cap))
        return kErrArgument;
    // Past one unit beyond the longest name the result is the same refusal
    // (too long), so the rest of a longer text is not looked at.
    const size_t n = input_len <= kPrepMaxInput ? input_len : kPrepMaxInput + 1;
    if (has_zero(input, n)) return kErrConversion;
    const NamePrepResult r =
        name_prep_unicode(encoding, std::u16string_view(reinterpret_cast<const char16_t*>(input), n));
    if (r.code != kOk) return r.code;
    const size_t codec_len = std::strlen(r.codec);
    if (codec_out != nullptr && codec_len >= codec_out_size) return kErrConversion;
    const uint32_t code =
        deliver_n(r.output.data(), r.output.size(), output, output_cap, output_len, kErrConversion);
    if (code == kOk && codec_out != nullptr) std::memcpy(codec_out, r.codec, codec_len + 1);
    return code;
}

NESSEL_API uint32_t NESSEL_CALL nessel_to_unicode_n(const char* ace_codec, const char* ace_text,
                                                    size_t ace_len, nessel_unit* output,
                                                    size_t output_cap, size_t* output_len) noexcept {
    if (output_len != nullptr) *output_len = 0;
    if (!ace_codec_accepted(ace_codec) || output_len == nullptr || !text_ok(ace_text, ace_len) ||
        !text_ok(output, output_cap))
        return kErrArgument;
    if (has_zero(ace_text, ace_len)) return kErrAceDecode;
    thread_local std::u16string result;  // keeps its memory between calls
    const uint32_t code =
        encode_string_u(ace_codec, std::string_view(ace_text ? ace_text : "", ace_len), result);
    if (code != kOk) return code;
    return deliver_n(result.data(), result.size(), output, output_cap, output_len, kErrConversion);
}

NESSEL_API uint32_t NESSEL_CALL nessel_nameprep_n(const nessel_unit* input, size_t input_len,
                                                  nessel_unit* output, size_t output_cap,
                                                  size_t* output_len, uint32_t flags) noexcept {
    if (output_len != nullptr) *output_len = 0;
    if (output_len == nullptr || !text_ok(input, input_len) || !text_ok(output, output_cap))
        return PREP_ERR_PROHIBITED;
    const size_t n = input_len <= kPrepMaxInput ? input_len : kPrepMaxInput + 1;
    if (has_zero(input, n)) return kErrConversion;
    const std::u16string_view in(reinterpret_cast<const char16_t*>(input), n);
    size_t len = 0;
    if (output_cap >= kPrepWorkUnits) {
        // Room for the longest prepared name and its terminator: straight in.
        const uint32_t code =
            name_prep_to(in, reinterpret_cast<char16_t*>(output), kPrepWorkUnits, flags, len);
        if (code == kOk) *output_len = len;
        return code;
    }
    char16_t work[kPrepWorkUnits];
    const uint32_t code = name_prep_to(in, work, kPrepWorkUnits, flags, len);
    if (code != kOk) return code;
    return deliver_n(work, len, output, output_cap, output_len, PREP_ERR_NORMALIZE_FAILED);
}

NESSEL_API uint32_t NESSEL_CALL nessel_decode_n(uint32_t enctype, const char* input,
                                                size_t input_len, nessel_unit* output,
                                                size_t output_cap, size_t* output_len) noexcept {
    return convert_export_n(enctype, input, input_len, reinterpret_cast<char16_t*>(output),
                            output_cap, output_len, kErrNoCodec, kErrAceDecode, kErrAceDecode);
}

NESSEL_API uint32_t NESSEL_CALL nessel_encode_n(uint32_t enctype, const nessel_unit* input,
                                                size_t input_len, char* output,
                                                size_t output_cap, size_t* output_len) noexcept {
    return convert_export_n(enctype, reinterpret_cast<const char16_t*>(input), input_len, output,
                            output_cap, output_len, kErrNoTarget, kErrConversion, kErrTargetEncode);
}

}  // extern "C"
