// SPDX-License-Identifier: MIT
// Names against peer IDN libraries: the same corpus (tools/gen_name_corpus.py)
// through our exports under the shipped zone table and through ICU (UTS #46
// and RFC 3491 nameprep), libidn2 and libidn.  Prints names/s per operation
// and implementation and the ratio ours / best peer.
//
//   names_peer_bench [benchmark flags]     timed runs (Google Benchmark)
//   valgrind --tool=callgrind --collect-atstart=no names_peer_bench --callgrind=1000
//                                          one counted pass per case over the
//                                          first 1000 names, dumped as "op|impl"
//
// Our library runs on a fresh store in a temporary directory: XDG_CONFIG_HOME
// and TMPDIR point there, the working directory holds a copy of the shipped
// pellow.ini (imported by InitSDK because the store is empty) and the proxy
// variables point at 127.0.0.1:9, so the update check fails at once.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <idn2.h>
#include <unicode/uidna.h>
#include <unicode/usprep.h>
#include <unistd.h>
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "libidn_peer.h"
#include "nessel.h"

namespace {

namespace fs = std::filesystem;

// ------------------------------------------------------------------ corpus

std::u16string utf16(const std::string& s) {
    std::u16string out;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        uint32_t c = b;
        int n = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        if (n > 0) c = b & (0x3F >> n);
        for (int k = 1; k <= n; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        i += n + 1;
        if (c >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD7C0 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 | (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t dot; (dot = s.find(sep, start)) != std::string::npos; start = dot + 1)
        out.push_back(s.substr(start, dot - start));
    out.push_back(s.substr(start));
    return out;
}

struct Name {
    std::string u8;
    std::u16string u16;
    std::vector<nessel_unit> units;        // zero-terminated, for our exports
    std::vector<std::string> labels8;      // per label, for the peers
    std::vector<std::u16string> labels16;
    std::vector<std::vector<uint32_t>> labels32;
    std::string ace;                       // ICU's ACE form
    std::u16string ace16;
    std::vector<std::string> ace_labels;   // per label, "xn--" removed when present
};

struct Corpus {
    std::vector<Name> names;
    size_t rejected = 0;
    // Names refused by ICU, NamePrep_U, libidn2, libidn, libidn2's decoder.
    size_t refused_by[5] = {};
};

// ------------------------------------------------------------------ peers

using PunyEncode = int (*)(size_t, const uint32_t*, size_t*, char*);
using PunyDecode = int (*)(size_t, const char*, size_t*, uint32_t*);

struct Peers {
    UIDNA* uts46 = nullptr;
    UStringPrepProfile* nameprep = nullptr;
    PunyEncode idn2_encode = nullptr;
    PunyDecode idn2_decode = nullptr;
};

Peers& peers() {
    static Peers p;
    return p;
}

bool icu_to_ascii(const std::u16string& in, std::string* out) {
    UErrorCode e = U_ZERO_ERROR;
    UIDNAInfo info = UIDNA_INFO_INITIALIZER;
    UChar buf[1024];
    const int32_t n = uidna_nameToASCII(peers().uts46, reinterpret_cast<const UChar*>(in.data()),
                                        static_cast<int32_t>(in.size()), buf, 1024, &info, &e);
    if (U_FAILURE(e) || info.errors != 0) return false;
    if (out != nullptr) out->assign(buf, buf + n);
    return true;
}

// ------------------------------------------------------------------ our store

std::string g_tmp;

void remove_store() {
    if (!g_tmp.empty()) fs::remove_all(g_tmp);
}

bool start_library() {
    char tmpl[] = "/tmp/nessel-names-bench-XXXXXX";
    if (mkdtemp(tmpl) == nullptr) return false;
    g_tmp = tmpl;
    std::atexit(remove_store);
    fs::create_directories(g_tmp + "/config");
    fs::copy_file(NESSEL_PELLOW_INI, g_tmp + "/pellow.ini");
    setenv("XDG_CONFIG_HOME", (g_tmp + "/config").c_str(), 1);
    setenv("TMPDIR", g_tmp.c_str(), 1);
    for (const char* v : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        setenv(v, "http://127.0.0.1:9", 1);
    unsetenv("no_proxy");
    unsetenv("NO_PROXY");
    if (chdir(g_tmp.c_str()) != 0) return false;
    return InitSDK() == 0;
}

// ------------------------------------------------------------------ cases

// One case: a pass over the corpus that returns how many names failed.
struct Case {
    std::string op, impl;
    bool ours;
    std::function<size_t(size_t count)> pass;
};

// NamePrep_U and NamePrep clear output_size bytes of their output on every
// call: 2048 bytes hold any ACE name a resolver passes.
constexpr uint32_t kOutSize = 2048;
nessel_unit g_out16[8192];
char g_out8[16384];
uint32_t g_out32[1024];

std::vector<Case> make_cases(const Corpus& c) {
    const auto& n = c.names;
    const uint32_t puny = str2enctype("PUNYCODE");
    std::vector<Case> cases;
    auto add = [&](const char* op, const char* impl, bool ours, std::function<size_t(size_t)> f) {
        cases.push_back({op, impl, ours, std::move(f)});
    };
    // ---- names to ACE
    add("to_ascii", "NamePrep_U", true, [&n](size_t count) {
        size_t fails = 0;
        char codec[256];
        for (size_t i = 0; i < count; ++i)
            fails += NamePrep_U("utf8", n[i].units.data(), g_out16, kOutSize, codec, 256, 0) != 0;
        return fails;
    });
    add("to_ascii", "NamePrep(utf8)", true, [&n](size_t count) {
        size_t fails = 0;
        char codec[256];
        for (size_t i = 0; i < count; ++i)
            fails += NamePrep("utf8", n[i].u8.c_str(), g_out8, kOutSize, codec, 256, 0) != 0;
        return fails;
    });
    add("to_ascii", "icu-uts46-utf16", false, [&n](size_t count) {
        size_t fails = 0;
        for (size_t i = 0; i < count; ++i) {
            UErrorCode e = U_ZERO_ERROR;
            UIDNAInfo info = UIDNA_INFO_INITIALIZER;
            uidna_nameToASCII(peers().uts46, reinterpret_cast<const UChar*>(n[i].u16.data()),
                              static_cast<int32_t>(n[i].u16.size()),
                              reinterpret_cast<UChar*>(g_out16), 8192, &info, &e);
            fails += U_FAILURE(e) || info.errors != 0;
        }
        return fails;
    });
    add("to_ascii", "icu-uts46-utf8", false, [&n](size_t count) {
        size_t fails = 0;
        for (size_t i = 0; i < count; ++i) {
            UErrorCode e = U_ZERO_ERROR;
            UIDNAInfo info = UIDNA_INFO_INITIALIZER;
            uidna_nameToASCII_UTF8(peers().uts46, n[i].u8.data(), static_cast<int32_t>(n[i].u8.size()),
                                   g_out8, sizeof g_out8, &info, &e);
            fails += U_FAILURE(e) || info.errors != 0;
        }
        return fails;
    });
    add("to_ascii", "libidn2-idna2008", false, [&n](size_t count) {
        size_t fails = 0;
        for (size_t i = 0; i < count; ++i) {
            char* out = nullptr;
            fails += idn2_to_ascii_8z(n[i].u8.c_str(), &out, IDN2_NO_TR46) != IDN2_OK;
            idn2_free(out);
        }
        return fails;
    });
    add("to_ascii", "libidn2-uts46", false, [&n](size_t count) {
        size_t fails = 0;
        for (size_t i = 0; i < count; ++i) {
            char* out = nullptr;
            fails += idn2_to_ascii_8z(n[i].u8.c_str(), &out, IDN2_NONTRANSITIONAL) != IDN2_OK;
            idn2_free(out);
        }
        return fails;
    });
    add("to_ascii", "libidn", false, [&n](size_t count) {
        size_t fails = 0;
        for (size_t i = 0; i < count; ++i) fails += !libidn_to_ascii(n[i].u8.c_str());
        return fails;
    });
    // ---- ACE to names
    add("to_unicode", "AceToUnicode", true, [&n](size_t count) {
        size_t fails = 0;
        for (size_t i = 0; i < count; ++i)
            fails += AceToUnicode("amc-z", n[i].ace.c_str(), g_out16, 0) != 0;
        return fails;
    });
    add("to_unicode", "icu-uts46-utf16", false, [&n](size_t count) {
        size_t fails = 0;
        for (size_t i = 0; i < count; ++i) {
            UErrorCode e = U_ZERO_ERROR;
            UIDNAInfo info = UIDNA_INFO_INITIALIZER;
            uidna_nameToUnicode(peers().uts46, reinterpret_cast<const UChar*>(n[i].ace16.data()),
                                static_cast<int32_t>(n[i].ace16.size()),
                                reinterpret_cast<UChar*>(g_out16), 8192, &info, &e);
            fails += U_FAILURE(e) || info.errors != 0;
        }
        return fails;
    });
    add("to_unicode", "libidn2", false, [&n](size_t count) {
        size_t fails = 0;
        for (size_t i = 0; i < count; ++i) {
            char* out = nullptr;
            fails += idn2_to_unicode_8z8z(n[i].ace.c_str(), &out, 0) != IDN2_OK;
            idn2_free(out);
        }
        return fails;
    });
    add("to_unicode", "libidn", false, [&n](size_t count) {
        size_t fails = 0;
        for (size_t i = 0; i < count; ++i) fails += !libidn_to_unicode(n[i].ace.c_str());
        return fails;
    });
    // ---- nameprep alone: ours on whole names, the peers per label (nameprep
    // is defined per label; its bidi check refuses some whole names)
    add("nameprep", "talvex_name_prep_u", true, [&n](size_t count) {
        size_t fails = 0;
        for (size_t i = 0; i < count; ++i)
            fails += talvex_name_prep_u(n[i].units.data(), g_out16, 1024, 0xA5) != 0;
        return fails;
    });
    add("nameprep", "icu-usprep", false, [&n](size_t count) {
        size_t fails = 0;
        for (size_t i = 0; i < count; ++i) {
            for (const auto& label : n[i].labels16) {
                UErrorCode e = U_ZERO_ERROR;
                usprep_prepare(peers().nameprep, reinterpret_cast<const UChar*>(label.data()),
                               static_cast<int32_t>(label.size()), reinterpret_cast<UChar*>(g_out16),
                               8192, USPREP_DEFAULT, nullptr, &e);
                fails += U_FAILURE(e);
            }
        }
        return fails;
    });
    add("nameprep", "libidn", false, [&n](size_t count) {
        size_t fails = 0;
        for (size_t i = 0; i < count; ++i) {
            for (const auto& label : n[i].labels8) {
                std::memcpy(g_out8, label.c_str(), label.size() + 1);
                fails += !libidn_nameprep(g_out8, sizeof g_out8);
            }
        }
        return fails;
    });
    // ---- Punycode: ours on whole names; peers per label on prepared code
    // points, adding "xn--" in front of every label that is not ASCII.
    add("punycode_encode", "unicode2encoding", true, [&n, puny](size_t count) {
        size_t fails = 0;
        for (size_t i = 0; i < count; ++i)
            fails += unicode2encoding(puny, n[i].units.data(), g_out8) == 0;
        return fails;
    });
    auto peer_encode = [&n](auto encode) {
        return [&n, encode](size_t count) {
            size_t fails = 0;
            for (size_t i = 0; i < count; ++i) {
                char* w = g_out8;
                for (const auto& label : n[i].labels32) {
                    bool ascii = true;
                    for (uint32_t c : label) ascii = ascii && c < 0x80;
                    if (ascii) {
                        for (uint32_t c : label) *w++ = static_cast<char>(c);
                    } else {
                        std::memcpy(w, "xn--", 4);
                        w += 4;
                        size_t len = 256;
                        if (encode(label.size(), label.data(), &len, w) != 0) ++fails;
                        else w += len;
                    }
                    *w++ = '.';
                }
                w[-1] = 0;
            }
            return fails;
        };
    };
    add("punycode_encode", "libidn2", false,
        peer_encode([](size_t len, const uint32_t* in, size_t* out_len, char* out) {
            return peers().idn2_encode(len, in, out_len, out);
        }));
    add("punycode_encode", "libidn", false, peer_encode(libidn_punycode_encode));
    add("punycode_decode", "encoding2unicode", true, [&n, puny](size_t count) {
        size_t fails = 0;
        for (size_t i = 0; i < count; ++i)
            fails += encoding2unicode(puny, n[i].ace.c_str(), g_out16) == 0;
        return fails;
    });
    auto peer_decode = [&n](auto decode) {
        return [&n, decode](size_t count) {
            size_t fails = 0;
            for (size_t i = 0; i < count; ++i) {
                for (const auto& label : n[i].ace_labels) {
                    size_t len = 1024;
                    if (decode(label.size(), label.data(), &len, g_out32) != 0) ++fails;
                }
            }
            return fails;
        };
    };
    add("punycode_decode", "libidn2", false,
        peer_decode([](size_t len, const char* in, size_t* out_len, uint32_t* out) {
            return peers().idn2_decode(len, in, out_len, out);
        }));
    add("punycode_decode", "libidn", false, peer_decode(libidn_punycode_decode));
    return cases;
}

// ------------------------------------------------------------------ set-up

bool open_peers() {
    UErrorCode e = U_ZERO_ERROR;
    peers().uts46 = uidna_openUTS46(UIDNA_DEFAULT, &e);
    if (U_FAILURE(e)) return false;
    peers().nameprep = usprep_openByType(USPREP_RFC3491_NAMEPREP, &e);
    if (U_FAILURE(e)) return false;
    // libidn2 exports its Punycode coder only under internal, versioned names.
    void* lib = dlopen("libidn2.so.0", RTLD_NOW);
    if (lib == nullptr) return false;
    auto lookup = [lib](const char* name) {
        void* f = dlvsym(lib, name, "IDN2_0.0.0");
        return f != nullptr ? f : dlsym(lib, name);
    };
    peers().idn2_encode = reinterpret_cast<PunyEncode>(lookup("_idn2_punycode_encode"));
    peers().idn2_decode = reinterpret_cast<PunyDecode>(lookup("_idn2_punycode_decode"));
    return peers().idn2_encode != nullptr && peers().idn2_decode != nullptr;
}

// Keeps the names that every implementation converts, with their ACE form
// (ICU's), labels as code points and ACE labels for the raw Punycode peers.
Corpus load_corpus(const char* path, size_t limit) {
    Corpus c;
    std::ifstream in(path);
    std::string line;
    nessel_unit out[2048];
    while (c.names.size() < limit && std::getline(in, line)) {
        if (line.empty()) continue;
        Name n;
        n.u8 = line;
        n.u16 = utf16(line);
        n.units.assign(n.u16.begin(), n.u16.end());
        n.units.push_back(0);
        char* a2 = nullptr;
        char* u2 = nullptr;
        const bool ok[] = {
            icu_to_ascii(n.u16, &n.ace),
            NamePrep_U("utf8", n.units.data(), out, sizeof out, nullptr, 0, 0) == 0,
            idn2_to_ascii_8z(line.c_str(), &a2, IDN2_NO_TR46) == IDN2_OK,
            libidn_to_ascii(line.c_str()),
            idn2_to_unicode_8z8z(n.ace.c_str(), &u2, 0) == IDN2_OK,
        };
        idn2_free(a2);
        idn2_free(u2);
        bool all = true;
        for (size_t k = 0; k < std::size(ok); ++k) {
            c.refused_by[k] += !ok[k];
            all = all && ok[k];
        }
        if (!all) {
            ++c.rejected;
            continue;
        }
        n.ace16.assign(n.ace.begin(), n.ace.end());
        for (const auto& label : split(line, '.')) {
            n.labels8.push_back(label);
            n.labels16.push_back(utf16(label));
            n.labels32.emplace_back(n.labels16.back().begin(), n.labels16.back().end());
        }
        for (auto& label : split(n.ace, '.'))
            if (label.rfind("xn--", 0) == 0) n.ace_labels.push_back(label.substr(4));
        c.names.push_back(std::move(n));
    }
    return c;
}

// ------------------------------------------------------------------ report

// Collects items/s per benchmark while the console reporter prints as usual.
class Collector : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> rate;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred || r.run_type != Run::RT_Iteration) continue;
            auto it = r.counters.find("items_per_second");
            if (it != r.counters.end()) rate[r.benchmark_name()] = it->second;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

void print_summary(const std::vector<Case>& cases, const Collector& col) {
    std::printf("\n%-16s %-20s %14s %12s\n", "operation", "implementation", "names/s",
                "ours/best");
    std::map<std::string, double> best;
    for (const auto& c : cases) {
        auto it = col.rate.find(c.op + "/" + c.impl);
        if (!c.ours && it != col.rate.end()) best[c.op] = std::max(best[c.op], it->second);
    }
    for (const auto& c : cases) {
        auto it = col.rate.find(c.op + "/" + c.impl);
        if (it == col.rate.end()) continue;
        char ratio[32] = "";
        if (c.ours && best[c.op] > 0) std::snprintf(ratio, sizeof ratio, "%.2fx", it->second / best[c.op]);
        std::printf("%-16s %-20s %14.0f %12s\n", c.op.c_str(), c.impl.c_str(), it->second, ratio);
    }
}

}  // namespace

int main(int argc, char** argv) {
    size_t callgrind_names = 0;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--callgrind=", 12) == 0)
            callgrind_names = std::strtoul(argv[i] + 12, nullptr, 10);
        else
            args.push_back(argv[i]);
    }
    if (!open_peers()) {
        std::fprintf(stderr, "names_peer_bench: a peer library could not be opened\n");
        return 1;
    }
    if (!start_library()) {
        std::fprintf(stderr, "names_peer_bench: InitSDK failed on the default zone table\n");
        return 1;
    }
    const Corpus corpus =
        load_corpus(NESSEL_NAMES_CORPUS, callgrind_names > 0 ? callgrind_names : SIZE_MAX);
    std::printf("corpus: %zu names kept, %zu refused (ICU %zu, NamePrep_U %zu, libidn2 %zu, "
                "libidn %zu, libidn2 decoding %zu)\n",
                corpus.names.size(), corpus.rejected, corpus.refused_by[0], corpus.refused_by[1],
                corpus.refused_by[2], corpus.refused_by[3], corpus.refused_by[4]);
    if (corpus.names.empty()) return 1;
    const std::vector<Case> cases = make_cases(corpus);
    for (const auto& c : cases) {
        const size_t fails = c.pass(corpus.names.size());
        if (fails != 0) std::printf("%s/%s: %zu names fail\n", c.op.c_str(), c.impl.c_str(), fails);
    }

    if (callgrind_names > 0) {
        // One counted pass per case after two warm-up passes; the dumps
        // carry "op|impl" and the name count for tools reading them.
        const size_t count = corpus.names.size();
        std::printf("callgrind: %zu names per case\n", count);
        for (const auto& c : cases) {
            c.pass(count);
            c.pass(count);
            CALLGRIND_TOGGLE_COLLECT;
            benchmark::DoNotOptimize(c.pass(count));
            CALLGRIND_TOGGLE_COLLECT;
            const std::string label = c.op + "|" + c.impl + "|" + std::to_string(count);
            CALLGRIND_DUMP_STATS_AT(label.c_str());
        }
        return 0;
    }

    for (const auto& c : cases) {
        const size_t count = corpus.names.size();
        benchmark::RegisterBenchmark((c.op + "/" + c.impl).c_str(), [&c, count](benchmark::State& s) {
            for (auto _ : s) benchmark::DoNotOptimize(c.pass(count));
            s.SetItemsProcessed(static_cast<int64_t>(s.iterations() * count));
        })->Unit(benchmark::kMillisecond);
    }
    int bargc = static_cast<int>(args.size());
    benchmark::Initialize(&bargc, args.data());
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    print_summary(cases, collector);
    return 0;
}
