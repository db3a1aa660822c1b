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
inline constexpr int kExitInit = 3;     // the library could not be initialised (no zone table)

int cmd_encodings(const Args& args);
int cmd_to_ace(const Args& args);
int cmd_to_unicode(const Args& args);
int cmd_nameprep(const Args& args);
int cmd_encode(const Args& args);
int cmd_decode(const Args& args);
int cmd_convert(const Args& args);
int cmd_zones(const Args& args);
int cmd_update(const Args& args);
int cmd_reg(const Args& args);

}  // namespace nessel::cli
