// SPDX-License-Identifier: MIT
// base/result_codes.h: the result codes of the library, each with its
// symbolic name and its one-line meaning, written once here.  The public
// headers repeat the numbers and texts for their callers; api/ checks them
// against this table when it is compiled.
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

struct ResultCodeInfo {
    uint32_t code;
    const char* name;     // symbolic name, as the public header spells it
    const char* message;  // one-line meaning, for messages
};

inline constexpr ResultCodeInfo kResultCodes[] = {
    {kOk, "NESSEL_OK", "success"},
    {kErrInit, "NESSEL_ERR_INIT", "initialisation failed"},
    {kErrNotLoaded, "NESSEL_ERR_NOT_LOADED", "no zone table was loaded"},
    {kErrArgument, "NESSEL_ERR_ARGUMENT", "missing argument or ACE codec not accepted"},
    {kErrNoZone, "NESSEL_ERR_NO_ZONE", "no zone of the zone table matches the name"},
    {kErrConversion, "NESSEL_ERR_CONVERSION", "conversion failed"},
    {kErrNameprep, "NESSEL_ERR_NAMEPREP", "nameprep refused the name with the zone's options"},
    {kErrAllAscii, "NESSEL_ERR_ALL_ASCII", "the prepared name is entirely ASCII"},
    {kErrEmpty, "NESSEL_ERR_EMPTY", "the prepared name is empty"},
    {kErrNoCodec, "NESSEL_ERR_NO_CODEC", "the ACE codec is not registered"},
    {kErrNoTarget, "NESSEL_ERR_NO_TARGET", "the target encoding is not registered"},
    {kErrAceDecode, "NESSEL_ERR_ACE_DECODE", "the ACE text does not decode with the codec"},
    {kErrTargetEncode, "NESSEL_ERR_TARGET_ENCODE", "the decoded text has no form in the target encoding"},
    {kPrepProhibited, "PREP_ERR_PROHIBITED", "empty name or prohibited character"},
    {kPrepLabelChar, "PREP_ERR_LABEL_CHAR", "character not allowed in a label"},
    {kPrepNotAllowed, "PREP_ERR_NOT_ALLOWED", "character outside the allowed ranges"},
    {kPrepMapFailed, "PREP_ERR_MAP_FAILED", "mapping failed"},
    {kPrepNormalizeFailed, "PREP_ERR_NORMALIZE_FAILED", "normalization failed"},
};

// The row of code, or nullptr.
constexpr const ResultCodeInfo* find_result_code(uint32_t code) {
    for (const ResultCodeInfo& c : kResultCodes)
        if (c.code == code) return &c;
    return nullptr;
}

// Symbolic name ("NESSEL_ERR_NO_ZONE") of a code, or "UNKNOWN".
constexpr const char* result_code_name(uint32_t code) {
    const ResultCodeInfo* c = find_result_code(code);
    return c ? c->name : "UNKNOWN";
}
// One-line meaning of a code, for messages.
constexpr const char* result_code_message(uint32_t code) {
    const ResultCodeInfo* c = find_result_code(code);
    return c ? c->message : "unknown result code";
}

}  // namespace nessel
