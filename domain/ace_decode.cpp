// SPDX-License-Identifier: MIT
// domain/ace_decode.cpp: the drivers behind AceToNative and AceToUnicode.
#include "domain/ace_decode.h"

#include "ace/convert.h"
#include "base/result_codes.h"
#include "encoding/encoding.h"

namespace nessel {

bool ace_codec_accepted(const char* codec) {
    if (codec == nullptr) return false;
    static constexpr std::string_view kAccepted[] = {"race", "lace", "racex",
                                                     "dude", "dudex", "amc-z"};
    const std::string_view c(codec);
    for (std::string_view name : kAccepted)
        if (ascii_iequal(c, name)) return true;
    return false;
}

uint32_t encode_string(const char* source_codec, const char* text, const char* target_encoding,
                       bool has_output, std::string& output) {
    output.clear();
    const EncodingEntry* source = source_codec ? find_encoding(source_codec) : nullptr;
    const EncodingEntry* target = target_encoding ? find_encoding(target_encoding) : nullptr;
    if (source == nullptr) return kErrNoCodec;
    if (target == nullptr) return kErrNoTarget;
    if (text == nullptr) return kErrAceDecode;
    // Per-thread intermediate text, kept sized between calls.
    thread_local std::u16string decoded;
    // A decoded text beyond the intermediate buffer is refused as undecodable.
    // The decoder reads one state of the prefix settings.
    if (with_ace_settings([&] { return source->to_unicode(text, decoded); }) == 0 ||
        decoded.size() > kMaxDecodedUnits)
        return kErrAceDecode;
    if (!has_output) return kErrTargetEncode;
    // The target encoder, like every registered converter, reads the decoded
    // text up to its first zero unit.
    return target->from_unicode(decoded, output) ? kOk : kErrTargetEncode;
}

uint32_t encode_string_u(const char* source_codec, const char* text, bool has_output,
                         std::u16string& output) {
    if (text == nullptr || !has_output) {
        output.clear();
        const EncodingEntry* source = source_codec ? find_encoding(source_codec) : nullptr;
        return source == nullptr ? kErrNoCodec : kErrAceDecode;
    }
    return encode_string_u(source_codec, std::string_view(text), output);
}

uint32_t encode_string_u(const char* source_codec, std::string_view text, std::u16string& output) {
    output.clear();
    const EncodingEntry* source = source_codec ? find_encoding(source_codec) : nullptr;
    if (source == nullptr) return kErrNoCodec;
    return with_ace_settings([&] { return source->to_unicode(text, output); }) ? kOk : kErrAceDecode;
}

}  // namespace nessel
