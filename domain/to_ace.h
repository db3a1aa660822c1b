// SPDX-License-Identifier: MIT
// domain/to_ace.h: the cores of NamePrep_U (UTF-16 names and addresses)
// and NamePrep (names in a registered native encoding, with the fallback
// encodings).  The exports in api/exports.cpp add the null checks and the
// copies into the caller's buffers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/limits.h"

namespace nessel {

// Longest input that nameprep takes, in units.
inline constexpr size_t kMaxInputUnits = kLabelBuffer - 1;
// Longest decoded native input, in units (the 8192-unit decode buffer).
inline constexpr size_t kMaxDecodedInputUnits = kNameBuffer - 1;
// Largest output_size that NamePrep accepts: its intermediate UTF-16 buffer
// is 8192 units.
inline constexpr uint32_t kMaxNativeOutputSize = kNativeOutputBuffer;
// Option bit of NamePrep: try the fallback encodings after a failure.
inline constexpr uint32_t kTryFallbacks = 0x80;

// The encodings tried, in this order, when kTryFallbacks is set.
extern const std::array<const char*, 30> kFallbackEncodings;

// Outcome of one conversion.  output is meaningful for 0 (the ACE form) and
// for 4001/6001/6002 (empty for a name, the address unchanged for an
// address); codec names the codec used, only for 0 (empty otherwise).
// output views per-thread storage that the next conversion on the same
// thread overwrites; nothing in a result is allocated.
struct NamePrepResult {
    uint32_t code = 0;
    std::u16string_view output;
    char codec[256];  // zero-terminated; only the text up to the terminator is set
    // False when name_prep_native failed before any conversion ran (the
    // input did not decode and no fallback was asked for): the caller's
    // buffer is then left untouched.
    bool ran = true;
    NamePrepResult() { codec[0] = 0; }
};

// Prepares input with nameprep (options 0xA5) and converts it: 0, 4001,
// 6001, 6002, 7001 (all ASCII) or 7002 (empty, refused by nameprep, or longer
// than 1023 units).
NamePrepResult name_prep_unicode(std::string_view encoding, std::u16string_view input);

// Decodes input from encoding and converts it as name_prep_unicode does;
// with kTryFallbacks in options, retries with the fallback encodings after a
// failure other than 7001.  A decoding failure without the bit gives 6001
// (also for a decoded text of more than 8191 units).
NamePrepResult name_prep_native(std::string_view encoding, std::string_view input,
                                uint32_t options);

}  // namespace nessel
