// SPDX-License-Identifier: MIT
// Names to ACE and back under a zone table the size of the shipped default
// (about 1500 top-level zones), with the matching zones at the end of the
// table so that every lookup walks all of it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ace/convert.h"
#include "api/lifecycle.h"
#include "config/zone_table.h"
#include "encoding/encoding.h"
#include "nessel.h"

using namespace nessel;

namespace {

constexpr int kFillerZones = 1500;

void set_field(char (&dst)[256], const char* src) {
    std::memset(dst, 0, sizeof dst);
    std::strncpy(dst, src, sizeof dst - 1);
}

// Filler zones first, then ".de", ".cn" and the RACEX zone of "中国".
void install_table() {
    if (!init_once()) std::abort();
    std::vector<std::string> zones;
    for (int i = 0; i < kFillerZones; ++i) {
        char z[16];
        std::snprintf(z, sizeof z, ".t%04d", i);
        zones.emplace_back(z);
    }
    std::string racex;
    set_ace_prefix("racex", "ra--");
    if (find_encoding("racex")->from_unicode(u"\x4E2D\x56FD", racex) == 0) std::abort();
    for (const char* z : {".de", ".cn"}) zones.emplace_back(z);
    zones.push_back("." + racex);
    std::vector<ZoneRecord> records(zones.size());
    for (size_t i = 0; i < zones.size(); ++i) {
        set_field(records[i].zone, zones[i].c_str());
        set_field(records[i].codec, "PUNYCODE");
        set_field(records[i].prefix, "xn--");
    }
    publish_zone_table(zone_table_of(records.data(), records.size()));
}

const std::vector<std::u16string>& names() {
    static const std::vector<std::u16string> n = {
        u"b\x00FC" u"cher.de", u"www.m\x00FC" u"nchen.de", u"\x4E2D\x6587\x7F51.\x4E2D\x56FD",
        u"user@\x4E2D\x6587.cn", u"\x00FC\x00E4\x00F6.de"};
    return n;
}

void BM_NamePrepU(benchmark::State& state) {
    install_table();
    std::vector<std::vector<nessel_unit>> inputs;
    for (const auto& n : names()) {
        inputs.emplace_back(n.begin(), n.end());
        inputs.back().push_back(0);
    }
    std::vector<nessel_unit> out(1024);
    char codec[256];
    size_t i = 0;
    for (auto _ : state) {
        const auto& in = inputs[i++ % inputs.size()];
        benchmark::DoNotOptimize(NamePrep_U("UTF-8", in.data(), out.data(), 2048, codec, 256, 0));
    }
    state.SetItemsProcessed(state.iterations());
    release_zone_table();
}
BENCHMARK(BM_NamePrepU);

void BM_AceToUnicode(benchmark::State& state) {
    if (!init_once()) std::abort();
    const char* aces[] = {"xn--bcher-kva.de", "xn--fiq228c5hs.xn--fiqs8s",
                          "www.xn--mnchen-3ya.de"};
    std::vector<nessel_unit> out(1024);
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(AceToUnicode("amc-z", aces[i++ % 3], out.data(), 0));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AceToUnicode);

}  // namespace

BENCHMARK_MAIN();
