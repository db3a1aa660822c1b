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
#include "encoding/encoding.h"
#include "nameprep/nameprep.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace nessel;

namespace {

// True when one of the n units is zero.
bool has_zero_unit(const nessel_unit* s, size_t n) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= n; i += 8)
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)), zero)) != 0)
            return true;
#endif
    for (; i < n; ++i)
        if (s[i] == 0) return true;
    return false;
}

bool has_zero_byte(const char* s, size_t n) { return n != 0 && std::memchr(s, 0, n) != nullptr; }

// Pointer and length of a caller's text; a null pointer stands for an empty
// text when the length is 0.
template <typename T>
bool text_ok(const T* p, size_t n) {
    return p != nullptr || n == 0;
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

}  // namespace

extern "C" {

NESSEL_API uint32_t NESSEL_CALL nessel_to_ace_n(const char* encoding, const nessel_unit* input,
                                                size_t input_len, nessel_unit* output,
                                                size_t output_cap, size_t* output_len,
                                                char* codec_out, size_t codec_out_size) noexcept {
    if (encoding == nullptr || output_len == nullptr || !text_ok(input, input_len) ||
        !text_ok(output, output_cap))
        return kErrArgument;
    *output_len = 0;
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
    if (!ace_codec_accepted(ace_codec) || output_len == nullptr || !text_ok(ace_text, ace_len) ||
        !text_ok(output, output_cap))
        return kErrArgument;
    *output_len = 0;
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
    if (output_len == nullptr || !text_ok(input, input_len) || !text_ok(output, output_cap))
        return PREP_ERR_PROHIBITED;
    *output_len = 0;
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
    if (output_len == nullptr || !text_ok(input, input_len) || !text_ok(output, output_cap))
        return kErrArgument;
    *output_len = 0;
    const EncodingEntry* e = find_encoding_by_type(enctype);
    if (e == nullptr) return kErrNoCodec;
    if (has_zero_byte(input, input_len)) return kErrAceDecode;
    const char* src = input ? input : "";
    // The converter appends to a per-thread string it owns and the result is
    // copied out: a decoder may write several units for one byte (a Tamil
    // glyph byte stands for a whole syllable), so no per-byte bound on the
    // caller's capacity is safe for a converter writing into raw memory.
    thread_local std::u16string scratch;
    scratch.clear();
    const int ok = e->to_unicode(std::string_view(src, input_len), scratch);
    if (!ok) return kErrAceDecode;
    return deliver_n(scratch.data(), scratch.size(), output, output_cap, output_len, kErrConversion);
}

NESSEL_API uint32_t NESSEL_CALL nessel_encode_n(uint32_t enctype, const nessel_unit* input,
                                                size_t input_len, char* output,
                                                size_t output_cap, size_t* output_len) noexcept {
    if (output_len == nullptr || !text_ok(input, input_len) || !text_ok(output, output_cap))
        return kErrArgument;
    *output_len = 0;
    const EncodingEntry* e = find_encoding_by_type(enctype);
    if (e == nullptr) return kErrNoTarget;
    if (has_zero_unit(input, input_len)) return kErrConversion;
    static const char16_t empty[1] = {0};
    const char16_t* src = input ? reinterpret_cast<const char16_t*>(input) : empty;
    // As for decoding: an encoder's output per unit has no small bound (a
    // numeric character reference takes eight bytes, an ACE form adds its
    // prefix), so the result is built in a per-thread string and copied out.
    thread_local std::string scratch;
    scratch.clear();
    const int ok = e->from_unicode(std::u16string_view(src, input_len), scratch);
    if (!ok) return kErrTargetEncode;
    return deliver_n(scratch.data(), scratch.size(), output, output_cap, output_len, kErrConversion);
}

}  // extern "C"
