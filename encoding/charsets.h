// SPDX-License-Identifier: MIT
// encoding/charsets.h: converter pairs of the legacy charsets (CJK,
// single-byte tables, Vietnamese, Tamil, ISCII), as registered in
// encodings.def.  Each follows the converter contract of encoding.h.
#pragma once

#include <string>
#include <string_view>

namespace nessel {}  // namespace nessel
