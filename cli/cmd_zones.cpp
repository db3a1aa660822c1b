// SPDX-License-Identifier: MIT
// cli/cmd_zones.cpp: the loaded zone table, and the forced update.
#include <cstdio>
#include <string>

#include "api/program.h"
#include "cli/commands.h"
#include "cli/text.h"
#include "nessel.h"

namespace nessel::cli {
namespace {

void print_table() {
    std::printf("#\tzone\tcodec\tprefix\tsuffix\talt_codec\talt_prefix\talt_suffix\t"
                "strip_tail\tappend_tail\tprep_flags\tzone_unicode\n");
    int n = 0;
    for (const program::ZoneRow& r : program::loaded_zones()) {
        std::printf("%d", ++n);
        for (const std::string& text : r.fields) std::printf("\t%s", text.c_str());
        std::string unicode;
        const bool shown = r.has_unicode && utf16_to_utf8(r.zone_unicode, unicode);
        std::printf("\t0x%X\t%s\n", static_cast<unsigned>(r.prep_flags),
                    shown ? unicode.c_str() : "-");
    }
}

}  // namespace

int cmd_zones(const Args& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "nessel: zones takes no arguments\n");
        return kExitUsage;
    }
    const uint32_t init = InitSDK();
    if (init != NESSEL_OK) {
        report_code("zones", "initialisation", init);
        return kExitInit;
    }
    print_table();
    return kExitOk;
}

int cmd_update(const Args& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "nessel: update takes no arguments\n");
        return kExitUsage;
    }
    // UpdateRegistry fetches and reloads by itself; InitSDK would run an
    // unforced update check first and could fetch twice.
    if (!program::init_converters()) {
        report_code("update", "initialisation", NESSEL_ERR_INIT);
        return kExitInit;
    }
    if (UpdateRegistry() == 0) {
        if (const char* why = program::download_unavailable()) {
            std::fprintf(stderr, "nessel: update: no download library: %s\n", why);
            return kExitFailure;
        }
        std::fprintf(stderr, "nessel: update: the configuration could not be fetched from the "
                             "download server, or no zone table could be loaded\n");
        return kExitFailure;
    }
    std::printf("updated: %d zones loaded\n", program::loaded_zone_count());
    return kExitOk;
}

}  // namespace nessel::cli
