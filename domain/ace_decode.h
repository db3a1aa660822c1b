// SPDX-License-Identifier: MIT
// domain/ace_decode.h: ACE to UTF-16 or to a native encoding, with a codec
// that the caller names.  No zone table and no nameprep are involved; the
// decoders use the prefix settings as the last forward conversion left them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/limits.h"

namespace nessel {

// True for the six codec names accepted at the ACE-to-native interface:
// "race", "lace", "racex", "dude", "dudex", "amc-z" (any letter case).
bool ace_codec_accepted(const char* codec);

// Largest decoded text, in units, that the intermediate buffer holds.
inline constexpr size_t kMaxDecodedUnits = kLabelBuffer - 1;

// Decodes text with source_codec and encodes it with target_encoding.
// Returns 0, 101, 102, 201 or 202.  output is filled for 0 and for 202 (what
// the encoder left); has_output false stands for a missing output buffer.
uint32_t encode_string(const char* source_codec, const char* text, const char* target_encoding,
                       bool has_output, std::string& output);
// Decodes text with source_codec.  Returns 0, 101 or 201; output is filled
// for 0 and for 201 (what the decoder left).
uint32_t encode_string_u(const char* source_codec, const char* text, bool has_output,
                         std::u16string& output);
// The same on text given by its length (a zero byte in it ends the text for
// the decoder, as for every converter).
uint32_t encode_string_u(const char* source_codec, std::string_view text, std::u16string& output);

}  // namespace nessel
