// SPDX-License-Identifier: MIT
// base/result_codes.h: the result codes of the exports as named constants,
// with result_code_name() for messages and tests.
#pragma once

#include <cstdint>

namespace nessel {

inline constexpr uint32_t kOk = 0;
inline constexpr uint32_t kErrInit = 1001;          // InitSDK failed
inline constexpr uint32_t kErrNotLoaded = 2001;     // DeinitSDK: no zone table
inline constexpr uint32_t kErrArgument = 3001;      // null pointer / codec not accepted
inline constexpr uint32_t kErrNoZone = 4001;        // no zone matches
inline constexpr uint32_t kErrConversion = 6001;    // decoding or ACE encoding failed
inline constexpr uint32_t kErrNameprep = 6002;      // nameprep refused (zone options)
inline constexpr uint32_t kErrAllAscii = 7001;      // nothing to convert
inline constexpr uint32_t kErrEmpty = 7002;         // prepared name empty
inline constexpr uint32_t kErrNoCodec = 101;        // ACE codec not registered
inline constexpr uint32_t kErrNoTarget = 102;       // target encoding not registered
inline constexpr uint32_t kErrAceDecode = 201;      // ACE text does not decode
inline constexpr uint32_t kErrTargetEncode = 202;   // no form in target encoding
inline constexpr uint32_t kPrepProhibited = 203;    // empty input / prohibited unit
inline constexpr uint32_t kPrepLabelChar = 204;     // label character check
inline constexpr uint32_t kPrepNotAllowed = 205;    // allowed-range / excluded check
inline constexpr uint32_t kPrepMapFailed = 206;     // mapping failed
inline constexpr uint32_t kPrepNormalizeFailed = 207;  // normalization failed

// Symbolic name ("NESSEL_ERR_NO_ZONE") of a code, or "UNKNOWN".
const char* result_code_name(uint32_t code);
// One-line meaning of a code, for messages.
const char* result_code_message(uint32_t code);

}  // namespace nessel
