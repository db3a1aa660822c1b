// SPDX-License-Identifier: MIT
// api/result_codes.cpp: names and meanings of the result codes.
#include "api/result_codes.h"

namespace nessel {
namespace {

struct CodeInfo {
    uint32_t code;
    const char* name;
    const char* message;
};

constexpr CodeInfo kCodes[] = {
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
    {kErrTargetEncode, "NESSEL_ERR_TARGET_ENCODE",
     "the decoded text has no form in the target encoding"},
    {kPrepProhibited, "PREP_ERR_PROHIBITED", "empty name or prohibited character"},
    {kPrepLabelChar, "PREP_ERR_LABEL_CHAR", "character not allowed in a label"},
    {kPrepNotAllowed, "PREP_ERR_NOT_ALLOWED", "character outside the allowed ranges"},
    {kPrepMapFailed, "PREP_ERR_MAP_FAILED", "mapping failed"},
    {kPrepNormalizeFailed, "PREP_ERR_NORMALIZE_FAILED", "normalization failed"},
};

const CodeInfo* lookup(uint32_t code) {
    for (const auto& c : kCodes)
        if (c.code == code) return &c;
    return nullptr;
}

}  // namespace

const char* result_code_name(uint32_t code) {
    const CodeInfo* c = lookup(code);
    return c ? c->name : "UNKNOWN";
}

const char* result_code_message(uint32_t code) {
    const CodeInfo* c = lookup(code);
    return c ? c->message : "unknown result code";
}

}  // namespace nessel
