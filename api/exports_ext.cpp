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

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace nessel;

namespace {

// True when one of the n elements (bytes or units) is zero: the last
// 16-byte block (ending at the end, so overlapping the one before it) and
// the whole blocks before it, their zero masks gathered for one test at the
// end; texts shorter than a block element by element.
template <typename T>
bool has_zero_element(const T* s, size_t n) {
    size_t i = 0;
#if defined(__SSE2__)
    constexpr size_t kBlock = 16 / sizeof(T);
    if (n >= kBlock) {
        const __m128i zero = _mm_setzero_si128();
        const auto zeros_at = [&](size_t at) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at));
            if constexpr (sizeof(T) == 1) return _mm_cmpeq_epi8(v, zero);
            else return _mm_cmpeq_epi16(v, zero);
        };
        __m128i seen = zeros_at(n - kBlock);
        for (; i + kBlock < n; i += kBlock) seen = _mm_or_si128(seen, zeros_at(i));
        return _mm_movemask_epi8(seen) != 0;
    }
#endif
    for (; i < n; ++i)
        if (s[i] == 0) return true;
    return false;
}

bool has_zero_unit(const nessel_unit* s, size_t n) { return has_zero_element(s, n); }

// Short byte texts in line (a call to memchr costs more than the scan),
// longer ones with memchr.
bool has_zero_byte(const char* s, size_t n) {
    return n > 64 ? std::memchr(s, 0, n) != nullptr : has_zero_element(s, n);
}

bool has_zero(const char* s, size_t n) { return has_zero_byte(s, n); }
bool has_zero(const char16_t* s, size_t n) {
    return has_zero_unit(reinterpret_cast<const nessel_unit*>(s), n);
}

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
// for a text the converter refuses differ by direction.  One registry
// lookup, the zero scan, then the entry's conversion (a charset's raw
// converter straight into the caller's output when it has the room).
template <typename In, typename Out>
uint32_t convert_export_n(uint32_t enctype, const In* input, size_t input_len, Out* output,
                          size_t output_cap, size_t* output_len, uint32_t unknown,
                          uint32_t inner_zero, uint32_t failed) {
    if (output_len == nullptr) return kErrArgument;
    *output_len = 0;
    if (!text_ok(input, input_len) || !text_ok(output, output_cap)) return kErrArgument;
    static constexpr In empty[1] = {};
    if (input_len == 0) input = empty;  // a null text of length 0 is the empty one
    const EncodingEntry* e = find_encoding_by_type(enctype);
    if (e == nullptr) return unknown;
    if (has_zero(input, input_len)) return inner_zero;
    size_t len = 0;
    if (convert_entry_n(*e, input, input_len, output, output_cap, len) == 0) return failed;
    *output_len = len;
    return len > output_cap ? kErrConversion : kOk;
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
    if (has_zero_unit(input, n)) return kErrConversion;
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
    if (has_zero_byte(ace_text, ace_len)) return kErrAceDecode;
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
    if (has_zero_unit(input, n)) return kErrConversion;
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
