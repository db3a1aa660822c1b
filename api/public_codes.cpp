// SPDX-License-Identifier: MIT
// api/public_codes.cpp: the public headers spell the result codes, their
// names and messages and the nameprep option bits for their callers; this
// file makes the build fail when they drift from the library's own table
// (base/).  It holds no code.
#include <string_view>

#include "base/flags.h"
#include "base/result_codes.h"
#include "nessel.h"
#include "nessel.hpp"

namespace nessel {
namespace {

static_assert(NESSEL_OK == kOk);
static_assert(NESSEL_ERR_INIT == kErrInit);
static_assert(NESSEL_ERR_NOT_LOADED == kErrNotLoaded);
static_assert(NESSEL_ERR_ARGUMENT == kErrArgument);
static_assert(NESSEL_ERR_NO_ZONE == kErrNoZone);
static_assert(NESSEL_ERR_CONVERSION == kErrConversion);
static_assert(NESSEL_ERR_NAMEPREP == kErrNameprep);
static_assert(NESSEL_ERR_ALL_ASCII == kErrAllAscii);
static_assert(NESSEL_ERR_EMPTY == kErrEmpty);
static_assert(NESSEL_ERR_NO_CODEC == kErrNoCodec);
static_assert(NESSEL_ERR_NO_TARGET == kErrNoTarget);
static_assert(NESSEL_ERR_ACE_DECODE == kErrAceDecode);
static_assert(NESSEL_ERR_TARGET_ENCODE == kErrTargetEncode);
static_assert(PREP_ERR_PROHIBITED == kPrepProhibited);
static_assert(PREP_ERR_LABEL_CHAR == kPrepLabelChar);
static_assert(PREP_ERR_NOT_ALLOWED == kPrepNotAllowed);
static_assert(PREP_ERR_MAP_FAILED == kPrepMapFailed);
static_assert(PREP_ERR_NORMALIZE_FAILED == kPrepNormalizeFailed);

static_assert(PREP_LOCAL_RULES == kPrepLocalRules);
static_assert(PREP_TO_SIMPLIFIED == kPrepToSimplified);
static_assert(PREP_MAP_IDEOGRAPHIC_STOP == kPrepMapIdeographicStop);
static_assert(PREP_CHECK_ALLOWED == kPrepCheckAllowed);
static_assert(PREP_JAPANESE_PREMAP == kPrepJapanesePremap);
static_assert(PREP_DELIMITERS == kPrepDelimiters);
static_assert(PREP_ALLOW_UNDERSCORE == kPrepAllowUnderscore);
static_assert(PREP_KOREAN_PREMAP == kPrepKoreanPremap);
static_assert(PREP_TO_TRADITIONAL == kPrepToTraditional);

// The C++ interface's table: the same rows, names and messages.  The rows
// are matched by code with plain loops (no pointer tests: a sanitized build
// does not fold those in a constant expression).
constexpr bool cxx_table_agrees() {
    if (std::size(detail::code_table) != std::size(kResultCodes)) return false;
    for (const ResultCodeInfo& c : kResultCodes) {
        int found = 0;
        for (const detail::code_info& d : detail::code_table) {
            if (d.code != c.code) continue;
            ++found;
            if (std::string_view(d.name) != c.name) return false;
            if (std::string_view(d.message) != c.message) return false;
        }
        if (found != 1) return false;
    }
    return true;
}
static_assert(cxx_table_agrees());

}  // namespace
}  // namespace nessel
