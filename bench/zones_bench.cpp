// SPDX-License-Identifier: MIT
// The zone table's start-up costs and conversions on several threads:
// loading the store with the shipped default (1,488 zones) and with 10,000
// zones, InitSDK on the default store, and names per second with 1, 2 and 4
// threads on one initialised library, without and with a reload of the zone
// table every 10 ms.  The store lives in a private temporary directory.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "api/lifecycle.h"
#include "config/import.h"
#include "config/zone_table.h"
#include "nessel.h"

using namespace nessel;

namespace {

// A private store: HOME in a fresh directory, the update not due.
std::string private_store() {
    static std::string dir = [] {
        char templ[] = "/tmp/nessel-bench-XXXXXX";
        if (mkdtemp(templ) == nullptr) std::abort();
        setenv("HOME", templ, 1);
        unsetenv("XDG_CONFIG_HOME");
        setenv("TMPDIR", templ, 1);
        return std::string(templ);
    }();
    return dir;
}

void import_zones(int count) {
    const std::string dir = private_store();
    std::string file = dir + "/pellow.ini";
    if (count == 0) {
        file = NESSEL_SOURCE_DIR "/data/pellow.ini";
    } else {
        std::ofstream out(file);
        out << "VERSION=1\n[Pellow]\nNumKey=" << count << "\n";
        char n[16];
        for (int i = 1; i <= count; ++i) {
            std::snprintf(n, sizeof n, "%05d", i);
            out << "Key" << n << "=HKEY_CURRENT_USER\nSubKey" << n
                << "=SOFTWARE\\Talvex international inc.\\Talvex Client\\DNSF\nValueName" << n
                << "=.z" << i << "\nValueType" << n << "=STRING\nValue" << n
                << "=;;;;;0;xn--;PUNYCODE;\n";
        }
    }
    if (import_config_file(file) != 1) std::abort();
}

void BM_LoadZoneTable(benchmark::State& state) {
    import_zones(static_cast<int>(state.range(0)));
    for (auto _ : state)
        if (load_zone_table() != 1) state.SkipWithError("load failed");
    state.counters["zones"] = zone_count();
}
BENCHMARK(BM_LoadZoneTable)->Arg(0)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_InitSDK(benchmark::State& state) {
    import_zones(0);
    for (auto _ : state)
        if (InitSDK() != 0) state.SkipWithError("InitSDK failed");
    state.counters["zones"] = zone_count();
}
BENCHMARK(BM_InitSDK)->Unit(benchmark::kMicrosecond);

const std::vector<std::vector<nessel_unit>>& names() {
    static const std::vector<std::vector<nessel_unit>> n = [] {
        std::vector<std::vector<nessel_unit>> v;
        for (std::u16string s : {u"b\u00FCcher.de", u"\u4E2D\u6587\u7F51.\u4E2D\u56FD",
                                 u"\u043C\u043E\u0441\u043A\u0432\u0430.\u0440\u0444",
                                 u"\u0E44\u0E17\u0E22.\u0E44\u0E17\u0E22", u"info@b\u00FCcher.de",
                                 u"www.m\u00FCnchen.de", u"\u00FC\u00E4\u00F6.com"}) {
            v.emplace_back(s.begin(), s.end());
            v.back().push_back(0);
        }
        return v;
    }();
    return n;
}

// Arg: reload interval in ms (0: none).  Thread 0 runs the reloads.
void BM_ThreadsNamePrepU(benchmark::State& state) {
    std::atomic<bool> stop{false};
    std::thread reloader;
    if (state.thread_index() == 0 && state.range(0) > 0)
        reloader = std::thread([&] {
            while (!stop) {
                (void)load_zone_table();
                std::this_thread::sleep_for(std::chrono::milliseconds(state.range(0)));
            }
        });
    nessel_unit out[512];
    char codec[256];
    std::size_t i = static_cast<std::size_t>(state.thread_index());
    for (auto _ : state) {
        const auto& n = names()[i++ % names().size()];
        benchmark::DoNotOptimize(NamePrep_U("UTF-8", n.data(), out, sizeof out, codec, 256, 0));
    }
    state.SetItemsProcessed(state.iterations());
    if (reloader.joinable()) {
        stop = true;
        reloader.join();
    }
}
BENCHMARK(BM_ThreadsNamePrepU)
    ->Setup([](const benchmark::State&) {
        import_zones(0);
        if (InitSDK() != 0) std::abort();
    })
    ->Arg(0)->Arg(10)->Threads(1)->Threads(2)->Threads(4)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
