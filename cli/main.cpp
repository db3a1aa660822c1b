// SPDX-License-Identifier: MIT
// cli/main.cpp: the nessel program: command dispatch, --help and --version.
#include <cstdio>
#include <cstring>

#include "api/lifecycle.h"
#include "cli/commands.h"
#include "encoding/encoding.h"
#include "nessel.h"

namespace nessel::cli {

int cmd_encodings(const Args& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "nessel: encodings takes no arguments\n");
        return kExitUsage;
    }
    if (!init_once()) {
        std::fprintf(stderr, "nessel: initialisation failed\n");
        return kExitFailure;
    }
    for (uint32_t t = 1; t <= encoding_count(); ++t)
        std::printf("%u\t%s\n", t, find_encoding_by_type(t)->name.c_str());
    return kExitOk;
}

namespace {

const Command kCommands[] = {
    {"encodings", "encodings", cmd_encodings},
};

void usage(FILE* out) {
    std::fprintf(out, "usage: nessel COMMAND [ARGS...]\n       nessel --help | --version\n\n"
                      "commands:\n");
    for (const auto& c : kCommands) std::fprintf(out, "  nessel %s\n", c.synopsis);
}

}  // namespace
}  // namespace nessel::cli

int main(int argc, char** argv) {
    using namespace nessel::cli;
    if (argc < 2) {
        usage(stderr);
        return kExitUsage;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        usage(stdout);
        return kExitOk;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", GetVersion_Nessel());
        return kExitOk;
    }
    for (const auto& c : kCommands)
        if (std::strcmp(argv[1], c.name) == 0) return c.run(Args(argv + 2, argv + argc));
    std::fprintf(stderr, "nessel: unknown command '%s' (see nessel --help)\n", argv[1]);
    return kExitUsage;
}
