// SPDX-License-Identifier: MIT
// bench/ace_codecs_bench.cpp: encode and decode one mixed-script name with
// each of LACE, DUDE/DUDEX, the UTF-8 family, UTF-5/UTF-5x, CIDNUC, NCR and
// RawACE through the registry, as the name conversion calls them.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "api/lifecycle.h"
#include "encoding/encoding.h"

namespace {

// "www.bücher-kaufen.пример.日本語.example" as UTF-16.
const std::u16string kName =
    u"www.b\u00FCcher-kaufen.\u043F\u0440\u0438\u043C\u0435\u0440.\u65E5\u672C\u8A9E.example";

const nessel::EncodingEntry* entry(const char* name) {
    if (!nessel::init_once()) return nullptr;
    return nessel::find_encoding(name);
}

void BM_Encode(benchmark::State& state, const char* codec) {
    const nessel::EncodingEntry* e = entry(codec);
    if (e == nullptr) {
        state.SkipWithError("codec not registered");
        return;
    }
    std::string out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(e->from_unicode(kName, out));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_Decode(benchmark::State& state, const char* codec) {
    const nessel::EncodingEntry* e = entry(codec);
    std::string encoded;
    if (e == nullptr || e->from_unicode(kName, encoded) == 0) {
        state.SkipWithError("codec not registered or name not encodable");
        return;
    }
    std::u16string out;
    // The DUDE decoder writes a line per digit to stdout: send fd 1 to
    // /dev/null during the loop only, so that the report still shows.
    std::fflush(stdout);
    const int saved = dup(1);
    const int null_fd = open("/dev/null", O_WRONLY);
    if (saved < 0 || null_fd < 0 || dup2(null_fd, 1) < 0) {
        state.SkipWithError("cannot redirect stdout");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(e->to_unicode(encoded, out));
        benchmark::DoNotOptimize(out.data());
    }
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    close(null_fd);
    state.SetItemsProcessed(state.iterations());
}

#define CODEC(name)                                      \
    BENCHMARK_CAPTURE(BM_Encode, name, #name);           \
    BENCHMARK_CAPTURE(BM_Decode, name, #name)

CODEC(lace);
CODEC(dude);
CODEC(dudex);
CODEC(utf8);
CODEC(gutf8);
CODEC(dutf8);
CODEC(utf5);
CODEC(utf5x);
CODEC(cidnuc);
CODEC(NCR);
CODEC(rawace);

}  // namespace

BENCHMARK_MAIN();
