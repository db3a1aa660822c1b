// SPDX-License-Identifier: MIT
// The C++ interface against the C exports it calls, on the same names and
// texts: names to ACE, ACE back to UTF-16, text to GBK.  Each C caller uses
// buffers as small as the C++ layer's first attempt, so the difference is
// the layer's own work: copies, and the result string, which the append
// forms reuse.  Runs on the shipped
// default configuration in a private, temporary store.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "nessel.hpp"

namespace {

const std::vector<std::u16string> kNames = {u"b\u00FCcher.de", u"www.m\u00FCnchen.de",
                                            u"\u4E2D\u6587\u7F51.\u4E2D\u56FD",
                                            u"user@\u4E2D\u6587.cn", u"\u043C\u043E\u0441\u043A\u0432\u0430.\u0440\u0444"};
const std::vector<std::string> kNames8 = {"bücher.de", "www.münchen.de", "中文网.中国",
                                          "user@中文.cn", "москва.рф"};
const std::vector<std::string> kAce = {"xn--bcher-kva.de", "www.xn--mnchen-3ya.de",
                                       "xn--fiq228c5hs.xn--fiqs8s", "user@xn--fiq228c.cn",
                                       "xn--80adxhks.xn--p1ai"};

const nessel::library& lib() {
    static const nessel::library* instance = [] {
        char home[] = "/tmp/nessel-bench-XXXXXX";
        if (mkdtemp(home) == nullptr || setenv("HOME", home, 1) != 0 ||
            setenv("XDG_CONFIG_HOME", "", 1) != 0 || chdir(NESSEL_SOURCE_DIR "/data") != 0)
            std::abort();
        auto* l = new nessel::library;
        if (!*l) std::abort();
        return l;
    }();
    return *instance;
}

// One call each, kept out of line so that a profiler counts calls and
// instructions per call (valgrind --tool=callgrind).
[[gnu::noinline]] uint32_t c_to_ace(const std::u16string& name) {
    nessel_unit out[512];
    char codec[256];
    const uint32_t code = NamePrep_U("UTF-8", reinterpret_cast<const nessel_unit*>(name.c_str()),
                                     out, sizeof out, codec, sizeof codec, 0);
    benchmark::DoNotOptimize(out);
    return code;
}
[[gnu::noinline]] auto cxx_to_ace16(const std::u16string& name) {
    return lib().to_ace(std::u16string_view(name));
}
[[gnu::noinline]] auto cxx_to_ace8(const std::string& name) {
    return lib().to_ace(std::string_view(name));
}
[[gnu::noinline]] uint32_t c_to_unicode(const std::string& ace) {
    nessel_unit out[512];
    const uint32_t code = AceToUnicode("amc-z", ace.c_str(), out, 0);
    benchmark::DoNotOptimize(out);
    return code;
}
[[gnu::noinline]] auto cxx_to_unicode16(const std::string& ace) { return lib().to_unicode16(ace); }
// The append forms into one string that the loop reuses.
std::u16string g_units;
std::string g_bytes;
[[gnu::noinline]] auto cxx_append_unicode16(const std::string& ace) {
    g_units.clear();
    return lib().append_unicode(g_units, ace);
}

const std::u16string kText = u"\u4E2D\u6587\u7F51\u4E2D\u56FD\u4E2D\u6587\u7F51\u4E2D\u56FD";

[[gnu::noinline]] int c_encode(uint32_t enctype) {
    char out[256];
    const int r = unicode2encoding(enctype, reinterpret_cast<const nessel_unit*>(kText.c_str()), out);
    benchmark::DoNotOptimize(out);
    return r;
}
[[gnu::noinline]] auto cxx_encode(uint32_t enctype) {
    return lib().encode(std::u16string_view(kText), enctype);
}
[[gnu::noinline]] auto cxx_append_encoded(uint32_t enctype) {
    g_bytes.clear();
    return lib().append_encoded(g_bytes, std::u16string_view(kText), enctype);
}

template <typename Items, typename Fn>
void run(benchmark::State& state, const Items& items, Fn fn) {
    for (auto _ : state)
        for (const auto& item : items) benchmark::DoNotOptimize(fn(item));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(items.size()));
}

void BM_C_NamePrepU(benchmark::State& s) { run(s, kNames, c_to_ace); }
void BM_Cxx_ToAce16(benchmark::State& s) { run(s, kNames, cxx_to_ace16); }
void BM_Cxx_ToAce8(benchmark::State& s) { run(s, kNames8, cxx_to_ace8); }
void BM_C_AceToUnicode(benchmark::State& s) { run(s, kAce, c_to_unicode); }
void BM_Cxx_ToUnicode16(benchmark::State& s) { run(s, kAce, cxx_to_unicode16); }
void BM_Cxx_AppendUnicode16(benchmark::State& s) { run(s, kAce, cxx_append_unicode16); }
const std::vector<uint32_t> kGbk = {20};  // enctype of "GBK"
void BM_C_Unicode2Encoding(benchmark::State& s) { run(s, kGbk, c_encode); }
void BM_Cxx_Encode(benchmark::State& s) { run(s, kGbk, cxx_encode); }
void BM_Cxx_AppendEncoded(benchmark::State& s) { run(s, kGbk, cxx_append_encoded); }
BENCHMARK(BM_C_NamePrepU);
BENCHMARK(BM_Cxx_ToAce16);
BENCHMARK(BM_Cxx_ToAce8);
BENCHMARK(BM_C_AceToUnicode);
BENCHMARK(BM_Cxx_ToUnicode16);
BENCHMARK(BM_Cxx_AppendUnicode16);
BENCHMARK(BM_C_Unicode2Encoding);
BENCHMARK(BM_Cxx_Encode);
BENCHMARK(BM_Cxx_AppendEncoded);

}  // namespace

int main(int argc, char** argv) {
    lib();  // the start (a first import of the configuration) is not measured
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
