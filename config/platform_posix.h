// SPDX-License-Identifier: MIT
// config/platform_posix.h: small helpers shared by the POSIX platform files.
#pragma once

#include <cstdlib>
#include <string>
#include <string_view>

#include "base/ascii.h"

namespace nessel::platform {

// s with ASCII letters lowered.
inline std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = ascii_lower(c);
    return out;
}

// The environment variable name, or "" when it is not set.
inline std::string getenv_str(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

}  // namespace nessel::platform
