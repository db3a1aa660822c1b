// SPDX-License-Identifier: MIT
// base/result_codes.cpp: names and meanings of the result codes.  The table is
// the one the C++ interface carries, so the program and C++ callers print the
// same texts.
#include "base/result_codes.h"

#include "nessel.hpp"

namespace nessel {

const char* result_code_name(uint32_t code) { return code_name(code); }

const char* result_code_message(uint32_t code) { return code_message(code); }

}  // namespace nessel
