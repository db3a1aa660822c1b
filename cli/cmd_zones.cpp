// SPDX-License-Identifier: MIT
// cli/cmd_zones.cpp: the loaded zone table, and the forced update.
#include <cstdio>
#include <memory>
#include <string>

#include "ace/convert.h"
#include "api/lifecycle.h"
#include "base/result_codes.h"
#include "cli/commands.h"
#include "cli/text.h"
#include "config/platform.h"
#include "config/zone_table.h"
#include "encoding/encoding.h"
#include "nessel.h"

namespace nessel::cli {
namespace {

// The Unicode form of a zone written in RACEX form, or "-".
std::string zone_unicode(const std::string& zone) {
    if (zone.find("ra--") == std::string::npos) return "-";
    const EncodingEntry* racex = find_encoding("racex");
    std::u16string units;
    std::string text;
    set_ace_prefix("racex", "ra--");
    if (racex == nullptr || racex->to_unicode(zone, units) == 0 || !utf16_to_utf8(units, text))
        return "-";
    return text;
}

void print_table() {
    std::printf("#\tzone\tcodec\tprefix\tsuffix\talt_codec\talt_prefix\talt_suffix\t"
                "strip_tail\tappend_tail\tprep_flags\tzone_unicode\n");
    // One snapshot for the whole listing, whatever another thread loads meanwhile.
    const std::shared_ptr<const ZoneTable> table = shared_zone_table();
    for (int32_t i = 0; table && i < table->size(); ++i) {
        const ZoneView r = (*table)[i];
        std::printf("%d", i + 1);
        for (const char* text : r.text) std::printf("\t%s", text);
        std::printf("\t0x%X\t%s\n", static_cast<unsigned>(r.prep_flags), zone_unicode(r.zone()).c_str());
    }
}

}  // namespace

int cmd_zones(const Args& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "nessel: zones takes no arguments\n");
        return kExitUsage;
    }
    const uint32_t init = InitSDK();
    if (init != kOk) {
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
    if (!init_once()) {
        report_code("update", "initialisation", kErrInit);
        return kExitInit;
    }
    if (UpdateRegistry() == 0) {
        if (const char* why = platform::download_unavailable()) {
            std::fprintf(stderr, "nessel: update: no download library: %s\n", why);
            return kExitFailure;
        }
        std::fprintf(stderr, "nessel: update: the configuration could not be fetched from the "
                             "download server, or no zone table could be loaded\n");
        return kExitFailure;
    }
    std::printf("updated: %d zones loaded\n", zone_count());
    return kExitOk;
}

}  // namespace nessel::cli
