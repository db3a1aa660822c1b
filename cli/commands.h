// SPDX-License-Identifier: MIT
// cli/commands.h: the subcommands of the nessel program.  Each takes the
// arguments after its name and returns the program's exit status.
#pragma once

#include <string>
#include <vector>

namespace nessel::cli {

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* synopsis;
    int (*run)(const Args& args);
};

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // a conversion or lookup failed
inline constexpr int kExitUsage = 2;    // bad command line

int cmd_encodings(const Args& args);

}  // namespace nessel::cli
