// SPDX-License-Identifier: MIT
// bench/nameprep_bench.cpp: talvex_name_prep_u on a mixed-script corpus
// (names per second) and the cost of the one-time initialisation.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "api/lifecycle.h"
#include "nameprep/nameprep.h"
#include "nessel.h"

namespace {

// UTF-8 names of several scripts, with upper case, compatibility forms and
// marks to map, decompose and compose.
const char* const kCorpus[] = {
    "www.Example.com",          "Bücher.Straße.de",        "ÉCOLE-Française.fr",
    "ПРИМЕР.испытание",         "Παράδειγμα.δοκιμή",       "مثال.إختبار",
    "ตัวอย่าง.ทดสอบ",            "उदाहरण.परीक्षा",            "실례.테스트",
    "例え.テスト",               "例子.测试",                "國際化.網域",
    "ｆｕｌｌｗｉｄｔｈ．ｃｏｍ",   "ﬁnance-ﬂow.net",           "Ǆemal-ǅ.hr",
    "Ελληνικά.ΕΛ",              "Tiếng-Việt.vn",           "ماء-السماء.عرب",
    "ひらがな。カタカナ",         "ハンカクｶﾀｶﾅ.jp",          "abc_def@mail.example",
    "Ⅻ-①②③.test",              "e\xCC\x81t\xC3\xA9.fr",   "한국어-도메인.한국",
};

std::vector<std::u16string> corpus() {
    std::vector<std::u16string> out;
    for (const char* name : kCorpus) {
        std::u16string s;
        for (const auto* p = reinterpret_cast<const unsigned char*>(name); *p;) {
            char32_t c = *p++;
            int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
            c &= more == 3 ? 0x07 : more == 2 ? 0x0F : more == 1 ? 0x1F : 0x7F;
            while (more-- > 0) c = (c << 6) | (*p++ & 0x3F);
            s.push_back(static_cast<char16_t>(c));
        }
        out.push_back(s);
    }
    return out;
}

void run_names(benchmark::State& state, uint32_t flags) {
    if (!nessel::init_once()) {
        state.SkipWithError("init_once failed");
        return;
    }
    std::vector<std::vector<nessel_unit>> names;
    for (const std::u16string& s : corpus()) {
        names.emplace_back(s.begin(), s.end());
        names.back().push_back(0);
    }
    std::vector<nessel_unit> out(8192);
    size_t ok = 0;
    for (auto _ : state) {
        for (const auto& name : names) {
            uint32_t rc = talvex_name_prep_u(name.data(), out.data(), 8192, flags);
            ok += rc == 0;
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * names.size()));
    state.counters["prepared"] = static_cast<double>(ok) / static_cast<double>(state.iterations());
}

void BM_NamePrepU_NamePrepFlags(benchmark::State& state) { run_names(state, 0xA5); }
void BM_NamePrepU_Simplified(benchmark::State& state) { run_names(state, 0xA7); }
void BM_NamePrepU_AllPremaps(benchmark::State& state) { run_names(state, 0x3BD); }

// The first call does the whole one-time initialisation: registry, the
// checks of the compiled-in tables and both variant tables.
void BM_InitOnceFirstCall(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(nessel::init_once());
}

// The run-time part of the nameprep builders, repeated: what init_once
// spends on nameprep.
void BM_NameprepBuilders(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(nessel::build_normalization_tables());
        benchmark::DoNotOptimize(nessel::build_mapping_index());
        auto zh = nessel::build_variant_table(256, nessel::chinese_variant_pairs());
        auto ar = nessel::build_variant_table(256, nessel::arabic_variant_pairs());
        benchmark::DoNotOptimize(zh.get());
        benchmark::DoNotOptimize(ar.get());
    }
}

void BM_ChineseVariantTable(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(nessel::build_variant_table(256, nessel::chinese_variant_pairs()));
}

}  // namespace

BENCHMARK(BM_InitOnceFirstCall)->Iterations(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NameprepBuilders)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ChineseVariantTable)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NamePrepU_NamePrepFlags);
BENCHMARK(BM_NamePrepU_Simplified);
BENCHMARK(BM_NamePrepU_AllPremaps);

BENCHMARK_MAIN();
