// SPDX-License-Identifier: MIT
// bench/charset_peer_bench.cpp: the legacy charsets through the exports
// encoding2unicode / unicode2encoding beside ICU (ucnv_toUChars /
// ucnv_fromUChars) and glibc iconv, on the same corpora in the same run: one
// call per line, and one call on the whole buffer.  The corpora come from
// tools/make_charset_corpus.py; lines on which the three do not agree both
// ways are dropped first.  After the runs a table gives lines/s, MB/s (of
// native bytes) and ours / best peer for every charset both ways.
//
//   charset_peer_bench CORPUS_DIR [benchmark options]
//   charset_peer_bench CORPUS_DIR --one-pass=KEY/DIR/MODE/IMPL   (for callgrind
//       --toggle-collect=measured_pass: one warm-up pass, then one pass in
//       measured_pass())
#include <benchmark/benchmark.h>
#include <iconv.h>
#include <unicode/ucnv.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "api/lifecycle.h"
#include "nessel.h"

namespace {

struct Charset {
    const char* key;    // ours, and the corpus file name
    const char* icu;
    const char* iconv;
};
const Charset kCharsets[] = {
    {"GBK", "GBK", "GBK"},           {"Big5", "Big5", "BIG5"},
    {"Shift_JIS", "Shift_JIS", "SHIFT_JIS"}, {"EUC-JP", "EUC-JP", "EUC-JP"},
    {"jis", "ISO-2022-JP", "ISO-2022-JP"},   {"EUC-KR", "EUC-KR", "EUC-KR"},
    {"iso8859-1", "ISO-8859-1", "ISO-8859-1"}, {"iso8859-2", "ISO-8859-2", "ISO-8859-2"},
    {"iso8859-3", "ISO-8859-3", "ISO-8859-3"}, {"iso8859-4", "ISO-8859-4", "ISO-8859-4"},
    {"iso8859-5", "ISO-8859-5", "ISO-8859-5"}, {"iso8859-6", "ISO-8859-6", "ISO-8859-6"},
    {"iso8859-7", "ISO-8859-7", "ISO-8859-7"}, {"iso8859-8", "ISO-8859-8", "ISO-8859-8"},
    {"iso8859-9", "ISO-8859-9", "ISO-8859-9"}, {"cp1250", "windows-1250", "CP1250"},
    {"cp1251", "windows-1251", "CP1251"},     {"cp1252", "windows-1252", "CP1252"},
    {"cp1253", "windows-1253", "CP1253"},     {"cp1254", "windows-1254", "CP1254"},
    {"cp1255", "windows-1255", "CP1255"},     {"cp1256", "windows-1256", "CP1256"},
    {"cp1257", "windows-1257", "CP1257"},     {"cp1258", "windows-1258", "CP1258"},
    {"tsc", "TIS-620", "TIS-620"},
};

// One charset's lines, each zero-terminated, in one buffer per form, and
// the whole text (lines joined without separator) for the buffer cases.
struct Corpus {
    const Charset* cs = nullptr;
    std::vector<size_t> bpos, upos;  // start of each line
    std::vector<size_t> blen, ulen;
    std::string bytes;               // lines, each followed by a zero byte
    std::u16string units;
    std::string whole_bytes;
    std::u16string whole_units;
    size_t native_bytes = 0;         // the kept lines' bytes (no terminators)
    size_t lines() const { return bpos.size(); }
};

std::string read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// Output buffers large enough for any line or the whole buffer.
struct Buffers {
    std::vector<char16_t> u;
    std::vector<char> b;
};

struct Peers {
    UConverter* icu = nullptr;
    iconv_t to_u = reinterpret_cast<iconv_t>(-1), from_u = reinterpret_cast<iconv_t>(-1);
};

int32_t icu_decode(Peers& p, const char* s, size_t n, char16_t* out, size_t cap) {
    UErrorCode e = U_ZERO_ERROR;
    int32_t r = ucnv_toUChars(p.icu, reinterpret_cast<UChar*>(out), int32_t(cap), s, int32_t(n), &e);
    return U_FAILURE(e) ? -1 : r;
}
int32_t icu_encode(Peers& p, const char16_t* s, size_t n, char* out, size_t cap) {
    UErrorCode e = U_ZERO_ERROR;
    int32_t r = ucnv_fromUChars(p.icu, out, int32_t(cap), reinterpret_cast<const UChar*>(s), int32_t(n), &e);
    return U_FAILURE(e) ? -1 : r;
}
// glibc iconv, state reset for every call (ISO-2022-JP is stateful).
long iconv_run(iconv_t cd, const char* s, size_t n, char* out, size_t cap) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(s);
    char* o = out;
    size_t il = n, ol = cap;
    if (iconv(cd, &in, &il, &o, &ol) == static_cast<size_t>(-1)) return -1;
    if (iconv(cd, nullptr, nullptr, &o, &ol) == static_cast<size_t>(-1)) return -1;
    return o - out;
}

// Keeps the lines that ours, ICU and iconv convert alike both ways.
Corpus load(const std::string& dir, const Charset& cs, Peers& p, Buffers& buf) {
    Corpus c;
    c.cs = &cs;
    const std::string native = read_file(dir + "/" + cs.key + ".native");
    const std::string u16raw = read_file(dir + "/" + cs.key + ".u16");
    std::u16string u16(u16raw.size() / 2, u'\0');
    std::memcpy(u16.data(), u16raw.data(), u16.size() * 2);
    const uint32_t et = str2enctype(cs.key);
    size_t bi = 0, ui = 0, dropped = 0;
    while (bi < native.size() && ui < u16.size()) {
        const size_t be = native.find('\n', bi), ue = u16.find(u'\n', ui);
        if (be == std::string::npos || ue == std::u16string::npos) break;
        const std::string line = native.substr(bi, be - bi);
        const std::u16string uline = u16.substr(ui, ue - ui);
        bi = be + 1;
        ui = ue + 1;
        bool ok = encoding2unicode(et, line.c_str(), reinterpret_cast<nessel_unit*>(buf.u.data())) != 0 &&
                  uline == buf.u.data();
        // Our "jis" encoder does not return to ASCII at the end of the text.
        const std::string_view tail = "\x1B(B";
        const std::string_view ended_in_ascii =
            std::string_view(line).substr(0, line.size() >= 3 && line.compare(line.size() - 3, 3, tail) == 0
                                                 ? line.size() - 3 : line.size());
        ok = ok && unicode2encoding(et, reinterpret_cast<const nessel_unit*>(uline.c_str()), buf.b.data()) != 0 &&
             (line == buf.b.data() || ended_in_ascii == buf.b.data());
        ok = ok && icu_decode(p, line.data(), line.size(), buf.u.data(), buf.u.size()) == int32_t(uline.size()) &&
             std::u16string_view(buf.u.data(), uline.size()) == uline;
        ok = ok && icu_encode(p, uline.data(), uline.size(), buf.b.data(), buf.b.size()) == int32_t(line.size()) &&
             std::string_view(buf.b.data(), line.size()) == line;
        ok = ok && iconv_run(p.to_u, line.data(), line.size(), buf.b.data(), buf.b.size()) == long(uline.size() * 2) &&
             std::memcmp(buf.b.data(), uline.data(), uline.size() * 2) == 0;
        ok = ok && iconv_run(p.from_u, reinterpret_cast<const char*>(uline.data()), uline.size() * 2,
                             buf.b.data(), buf.b.size()) == long(line.size()) &&
             std::memcmp(buf.b.data(), line.data(), line.size()) == 0;
        if (!ok) {
            ++dropped;
            continue;
        }
        c.bpos.push_back(c.bytes.size());
        c.blen.push_back(line.size());
        c.bytes += line;
        c.bytes.push_back('\0');
        c.upos.push_back(c.units.size());
        c.ulen.push_back(uline.size());
        c.units += uline;
        c.units.push_back(u'\0');
        c.whole_bytes += line;
        c.whole_units += uline;
        c.native_bytes += line.size();
    }
    std::fprintf(stderr, "%-10s %6zu lines kept, %zu dropped, %zu bytes\n", cs.key, c.lines(), dropped,
                 c.native_bytes);
    return c;
}

// One pass of a case over the corpus: every line, or the whole buffer once.
using Pass = std::function<void()>;

struct Case {
    std::string name;  // KEY/DIR/MODE/IMPL
    Pass pass;
    const Corpus* corpus;
};

std::vector<Case> make_cases(const std::vector<Corpus>& corpora, std::vector<Peers>& peers, Buffers& buf) {
    std::vector<Case> cases;
    for (size_t k = 0; k < corpora.size(); ++k) {
        const Corpus* c = &corpora[k];
        Peers* p = &peers[k];
        const uint32_t et = str2enctype(c->cs->key);
        auto* u = reinterpret_cast<nessel_unit*>(buf.u.data());
        char* b = buf.b.data();
        const std::string key = c->cs->key;
        auto add = [&](const std::string& what, Pass f) { cases.push_back({key + "/" + what, std::move(f), c}); };
        add("decode/line/nessel", [c, et, u] {
            for (size_t i = 0; i < c->lines(); ++i) benchmark::DoNotOptimize(encoding2unicode(et, &c->bytes[c->bpos[i]], u));
        });
        add("decode/line/icu", [c, p, &buf] {
            for (size_t i = 0; i < c->lines(); ++i)
                benchmark::DoNotOptimize(icu_decode(*p, &c->bytes[c->bpos[i]], c->blen[i], buf.u.data(), buf.u.size()));
        });
        add("decode/line/iconv", [c, p, b, &buf] {
            for (size_t i = 0; i < c->lines(); ++i)
                benchmark::DoNotOptimize(iconv_run(p->to_u, &c->bytes[c->bpos[i]], c->blen[i], b, buf.b.size()));
        });
        add("encode/line/nessel", [c, et, b] {
            for (size_t i = 0; i < c->lines(); ++i)
                benchmark::DoNotOptimize(unicode2encoding(et, reinterpret_cast<const nessel_unit*>(&c->units[c->upos[i]]), b));
        });
        add("encode/line/icu", [c, p, b, &buf] {
            for (size_t i = 0; i < c->lines(); ++i)
                benchmark::DoNotOptimize(icu_encode(*p, &c->units[c->upos[i]], c->ulen[i], b, buf.b.size()));
        });
        add("encode/line/iconv", [c, p, b, &buf] {
            for (size_t i = 0; i < c->lines(); ++i)
                benchmark::DoNotOptimize(iconv_run(p->from_u, reinterpret_cast<const char*>(&c->units[c->upos[i]]),
                                                   c->ulen[i] * 2, b, buf.b.size()));
        });
        add("decode/buffer/nessel", [c, et, u] { benchmark::DoNotOptimize(encoding2unicode(et, c->whole_bytes.c_str(), u)); });
        add("decode/buffer/icu", [c, p, &buf] {
            benchmark::DoNotOptimize(icu_decode(*p, c->whole_bytes.data(), c->whole_bytes.size(), buf.u.data(), buf.u.size()));
        });
        add("decode/buffer/iconv", [c, p, b, &buf] {
            benchmark::DoNotOptimize(iconv_run(p->to_u, c->whole_bytes.data(), c->whole_bytes.size(), b, buf.b.size()));
        });
        add("encode/buffer/nessel", [c, et, b] {
            benchmark::DoNotOptimize(unicode2encoding(et, reinterpret_cast<const nessel_unit*>(c->whole_units.c_str()), b));
        });
        add("encode/buffer/icu", [c, p, b, &buf] {
            benchmark::DoNotOptimize(icu_encode(*p, c->whole_units.data(), c->whole_units.size(), b, buf.b.size()));
        });
        add("encode/buffer/iconv", [c, p, b, &buf] {
            benchmark::DoNotOptimize(iconv_run(p->from_u, reinterpret_cast<const char*>(c->whole_units.data()),
                                               c->whole_units.size() * 2, b, buf.b.size()));
        });
    }
    return cases;
}

// CPU seconds per pass of every case that ran, from the reporter (CPU time:
// wall time on a shared machine varies too much to compare).
std::map<std::string, double> g_seconds;

class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                g_seconds[r.benchmark_name()] = r.cpu_accumulated_time / double(r.iterations);
        ConsoleReporter::ReportRuns(runs);
    }
};

void print_table(const std::vector<Corpus>& corpora) {
    std::printf("\n| charset | direction | mode | ours lines/s | ours MB/s | best peer | peer lines/s | ours/best |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    for (const Corpus& c : corpora)
        for (const char* dir : {"decode", "encode"})
            for (const char* mode : {"line", "buffer"}) {
                const std::string base = std::string(c.cs->key) + "/" + dir + "/" + mode + "/";
                auto find = [&](const char* impl) {
                    auto it = g_seconds.find(base + impl);
                    return it == g_seconds.end() ? 0.0 : it->second;
                };
                const double ours = find("nessel"), icu = find("icu"), ic = find("iconv");
                if (ours == 0 || (icu == 0 && ic == 0)) continue;
                const bool icu_best = icu != 0 && (ic == 0 || icu < ic);
                const double best = icu_best ? icu : ic;
                const double n = double(c.lines());
                std::printf("| %s | %s | %s | %.0f | %.0f | %s | %.0f | %.2f |\n", c.cs->key, dir, mode,
                            n / ours, double(c.native_bytes) / ours / 1e6, icu_best ? "ICU" : "iconv",
                            n / best, best / ours);
            }
}

}  // namespace

// The pass that callgrind counts with --toggle-collect=measured_pass (kept
// apart from the warm-up: no inlining, no merging of the two).
#if defined(__clang__)
#define NESSEL_KEEP_APART __attribute__((noinline))
#else
#define NESSEL_KEEP_APART __attribute__((noinline, noipa))
#endif
extern "C" NESSEL_KEEP_APART void measured_pass(const Pass* p) { (*p)(); }
extern "C" NESSEL_KEEP_APART void warm_up_pass(const Pass* p) { (*p)(); }

int main(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: %s CORPUS_DIR [--one-pass=CASE] [benchmark options]\n", argv[0]);
        return 2;
    }
    if (nessel::init_once() != 1) return 3;
    const std::string dir = argv[1];
    std::string one_pass;
    std::vector<char*> args = {argv[0]};
    for (int i = 2; i < argc; ++i) {
        if (std::strncmp(argv[i], "--one-pass=", 11) == 0) one_pass = argv[i] + 11;
        else args.push_back(argv[i]);
    }
    Buffers buf;
    buf.u.resize(4 << 20);
    buf.b.resize(16 << 20);
    std::vector<Peers> peers(std::size(kCharsets));
    std::vector<Corpus> corpora;
    corpora.reserve(std::size(kCharsets));
    for (size_t k = 0; k < std::size(kCharsets); ++k) {
        const Charset& cs = kCharsets[k];
        if (!one_pass.empty() && one_pass.rfind(std::string(cs.key) + "/", 0) != 0) {
            corpora.emplace_back();
            corpora.back().cs = &cs;
            continue;
        }
        UErrorCode e = U_ZERO_ERROR;
        peers[k].icu = ucnv_open(cs.icu, &e);
        peers[k].to_u = iconv_open("UTF-16LE", cs.iconv);
        peers[k].from_u = iconv_open(cs.iconv, "UTF-16LE");
        if (U_FAILURE(e) || peers[k].to_u == reinterpret_cast<iconv_t>(-1) ||
            peers[k].from_u == reinterpret_cast<iconv_t>(-1)) {
            std::fprintf(stderr, "%s: a peer converter is missing\n", cs.key);
            return 3;
        }
        corpora.push_back(load(dir, cs, peers[k], buf));
    }
    std::vector<Case> cases = make_cases(corpora, peers, buf);
    if (!one_pass.empty()) {
        for (const Case& c : cases)
            if (c.name == one_pass) {
                warm_up_pass(&c.pass);
                measured_pass(&c.pass);
                std::printf("%s: %zu lines, %zu bytes\n", c.name.c_str(), c.corpus->lines(), c.corpus->native_bytes);
                return 0;
            }
        std::fprintf(stderr, "no case %s\n", one_pass.c_str());
        return 2;
    }
    for (const Case& c : cases) {
        if (c.corpus->lines() == 0) continue;
        const bool per_line = c.name.find("/line/") != std::string::npos;
        const double items = per_line ? double(c.corpus->lines()) : 1.0;
        const double bytes = double(c.corpus->native_bytes);
        benchmark::RegisterBenchmark(c.name.c_str(), [&c, items, bytes](benchmark::State& st) {
            for (auto _ : st) c.pass();
            st.SetItemsProcessed(int64_t(items * double(st.iterations())));
            st.SetBytesProcessed(int64_t(bytes * double(st.iterations())));
        });
    }
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    print_table(corpora);
    return 0;
}
