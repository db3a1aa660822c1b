// SPDX-License-Identifier: MIT
// cli/main.cpp: the nessel program: command dispatch, --help and --version.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#endif

#include "api/program.h"
#include "cli/commands.h"
#include "nessel.hpp"

namespace nessel::cli {

int cmd_encodings(const Args& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "nessel: encodings takes no arguments\n");
        return kExitUsage;
    }
    if (!program::init_converters()) {
        std::fprintf(stderr, "nessel: initialisation failed\n");
        return kExitInit;
    }
    // An encoding's enctype is its place in the list; the list ends at the
    // first one not registered.
    for (uint32_t t = 1; t <= std::size(encoding_names); ++t) {
        const std::string name(encoding_names[t - 1]);
        if (str2enctype(name.c_str()) != t) break;
        std::printf("%u\t%s\n", t, name.c_str());
    }
    return kExitOk;
}

namespace {

const Command kCommands[] = {
    {"to-ace", "to-ace [-f ENC | -a ENC] [-F] [-c] [NAME...]", cmd_to_ace},
    {"to-unicode", "to-unicode [-c CODEC] [-t ENC] [-p PREFIX] [ACE...]", cmd_to_unicode},
    {"nameprep", "nameprep [-f FLAGS] [NAME...]", cmd_nameprep},
    {"encode", "encode ENCODING [-p PREFIX] [-s SUFFIX] [TEXT...]", cmd_encode},
    {"decode", "decode ENCODING [-p PREFIX] [-s SUFFIX] [BYTES...]", cmd_decode},
    {"convert", "convert [-f FROM] [-t TO] [TEXT...]", cmd_convert},
    {"encodings", "encodings", cmd_encodings},
    {"zones", "zones", cmd_zones},
    {"update", "update", cmd_update},
    {"reg", "reg list|get|set|delete KEY [NAME] [DATA] [--dword]", cmd_reg},
};

constexpr const char* kHelp = R"(
Each command works on its arguments or, without them, on each line of
standard input.  Text on the terminal side is UTF-8.  Results go to standard
output, one line per item; a failure is reported on standard error as
  nessel: COMMAND: ITEM: CODE NAME: meaning
and the remaining items are still processed.

  to-ace       Names or e-mail addresses to their ACE form, as the zone table
               prescribes.  UTF-8 input goes through NamePrep_U; with
               -f/--from ENC the input bytes are in ENC and go through
               NamePrep; with -a/--as ENC UTF-8 input is first recoded into
               ENC.  -F/--fallback retries with the 30 fallback encodings
               (NamePrep only).  -c/--show-codec appends a tab and the codec
               used.  A name that is ASCII once prepared is printed in its
               prepared form (codec "-").
  to-unicode   ACE back to text with -c/--codec CODEC: race, lace, racex,
               dude, dudex or amc-z (default amc-z, which decodes Punycode
               "xn--").  -t/--to ENC writes any registered encoding instead
               of UTF-8; -p/--prefix sets the codec's ACE prefix first.
  nameprep     Nameprep on its own.  -f/--flags is a number (0xA5, the
               default, is what name conversion uses) or names joined by ","
               from LOCAL_RULES, TO_SIMPLIFIED, MAP_IDEOGRAPHIC_STOP,
               CHECK_ALLOWED, JAPANESE_PREMAP, DELIMITERS, ALLOW_UNDERSCORE,
               KOREAN_PREMAP, TO_TRADITIONAL.
  encode       UTF-8 text to the bytes of any registered encoding or codec.
  decode       Bytes in any registered encoding or codec to UTF-8 text.
               For ACE codecs -p/-s set the ACE prefix and suffix first.
  convert      Text between two encodings (-f/--from, -t/--to; each a
               registered encoding or UTF-8, the default).
  encodings    The registered encodings: enctype, tab, name.
  zones        The loaded zone table, one record per line (tab-separated,
               header first; zone_unicode decodes zones in RACEX form).
  update       Fetch the configuration from the download server now and
               reload the zone table.
  reg          The per-user registry store: list a key's values, get, set
               (REG_SZ, or REG_DWORD with --dword) or delete a value.

The zone table is read from the per-user registry store
($XDG_CONFIG_HOME/nessel/registry.db); when it holds fewer than six zones it
is filled from "pellow.ini" (the default beside the program, or the
installed share/nessel/pellow.ini), which gives every top-level domain the
Punycode ACE form with prefix "xn--".

Exit status: 0 every item converted; 1 at least one item failed; 2 bad
command line; 3 the library could not be initialised (no zone table).
)";

void usage(FILE* out) {
    std::fprintf(out, "usage: nessel COMMAND [OPTIONS] [ITEMS...]\n"
                      "       nessel --help | --version\n\ncommands:\n");
    for (const auto& c : kCommands) std::fprintf(out, "  nessel %s\n", c.synopsis);
}

}  // namespace
}  // namespace nessel::cli

#ifdef _WIN32
namespace {
// The program's arguments as UTF-8, whatever the ANSI code page: the C
// runtime's argv holds them converted to that code page, which loses every
// character it lacks.
std::vector<std::string> utf8_arguments() {
    std::vector<std::string> args;
    int n = 0;
    LPWSTR* w = CommandLineToArgvW(GetCommandLineW(), &n);
    if (w == nullptr) return args;
    for (int i = 0; i < n; ++i) {
        int len = WideCharToMultiByte(CP_UTF8, 0, w[i], -1, nullptr, 0, nullptr, nullptr);
        std::string a(len > 0 ? static_cast<std::size_t>(len) : 1u, '\0');
        if (len > 0) WideCharToMultiByte(CP_UTF8, 0, w[i], -1, a.data(), len, nullptr, nullptr);
        a.resize(std::strlen(a.c_str()));
        args.push_back(std::move(a));
    }
    LocalFree(w);
    return args;
}
}  // namespace
#endif

int main(int argc, char** argv) {
    using namespace nessel::cli;
#ifdef _WIN32
    // Text is UTF-8 on both sides and bytes pass unchanged: no line-end
    // translation on the standard streams, and a console shows UTF-8.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
    const std::vector<std::string> utf8_args = utf8_arguments();
    std::vector<char*> utf8_argv;
    for (const auto& a : utf8_args) utf8_argv.push_back(const_cast<char*>(a.c_str()));
    if (static_cast<int>(utf8_argv.size()) == argc) {
        utf8_argv.push_back(nullptr);
        argv = utf8_argv.data();
    }
#endif
    if (argc < 2) {
        usage(stderr);
        return kExitUsage;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
        std::strcmp(argv[1], "help") == 0) {
        usage(stdout);
        std::fputs(kHelp, stdout);
        return kExitOk;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", GetVersion_Nessel());
        return kExitOk;
    }
    for (const auto& c : kCommands)
        if (std::strcmp(argv[1], c.name) == 0) {
            const Args args(argv + 2, argv + argc);
            if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
                usage(stdout);
                std::fputs(kHelp, stdout);
                return kExitOk;
            }
            return c.run(args);
        }
    std::fprintf(stderr, "nessel: unknown command '%s' (see nessel --help)\n", argv[1]);
    return kExitUsage;
}
