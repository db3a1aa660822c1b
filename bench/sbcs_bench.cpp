// SPDX-License-Identifier: MIT
// bench/sbcs_bench.cpp: single-byte charsets per line of about 100
// characters, both directions, beside glibc iconv on the same lines.
// Bytes processed are the legacy-encoded bytes of a line.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>
#include <vector>

#include "codecs/codecs.h"

namespace {

struct Sample {
    const char* name;   // registered name
    const char* iconv;  // glibc name
    std::string bytes;  // one line in the charset
};

// A line of 100 bytes mixing ASCII with the charset's upper half, so that
// both the table and the pass-through path are taken.
std::string make_line(unsigned first_upper, unsigned last_upper) {
    std::string s;
    unsigned u = first_upper;
    for (int i = 0; i < 100; ++i) {
        if (i % 3 == 0) {
            s.push_back(static_cast<char>('a' + i % 26));
        } else {
            s.push_back(static_cast<char>(u));
            u = u == last_upper ? first_upper : u + 1;
        }
    }
    return s;
}

const std::vector<Sample>& samples() {
    static const std::vector<Sample> v = {
        {"iso8859-5", "ISO-8859-5", make_line(0xB0, 0xEF)},  // Cyrillic letters
        {"cp1252", "CP1252", make_line(0xC0, 0xFF)},         // accented Latin letters
    };
    return v;
}

void ensure_registry() {
    static const int ok = nessel::register_all_encodings();
    (void)ok;
}

void BM_Decode(benchmark::State& state, int which) {
    ensure_registry();
    const Sample& s = samples()[which];
    const uint32_t et = nessel::encoding_type(s.name);
    std::u16string out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(nessel::encoding_to_unicode(et, s.bytes, out));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes.size()));
}

void BM_Encode(benchmark::State& state, int which) {
    ensure_registry();
    const Sample& s = samples()[which];
    const uint32_t et = nessel::encoding_type(s.name);
    std::u16string units;
    if (!nessel::encoding_to_unicode(et, s.bytes, units)) state.SkipWithError("decode failed");
    std::string out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(nessel::unicode_to_encoding(et, units, out));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes.size()));
}

// glibc iconv on the same line, converting to or from UTF-16LE into a
// buffer that is reused, as a caller of iconv would.
void BM_IconvDecode(benchmark::State& state, int which) {
    const Sample& s = samples()[which];
    iconv_t cd = iconv_open("UTF-16LE", s.iconv);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        state.SkipWithError("iconv_open failed");
        return;
    }
    std::vector<char> out(s.bytes.size() * 4 + 16);
    for (auto _ : state) {
        char* in = const_cast<char*>(s.bytes.data());
        size_t inleft = s.bytes.size();
        char* op = out.data();
        size_t outleft = out.size();
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        benchmark::DoNotOptimize(iconv(cd, &in, &inleft, &op, &outleft));
        benchmark::DoNotOptimize(out.data());
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes.size()));
}

void BM_IconvEncode(benchmark::State& state, int which) {
    ensure_registry();
    const Sample& s = samples()[which];
    std::u16string units;
    if (!nessel::encoding_to_unicode(nessel::encoding_type(s.name), s.bytes, units)) {
        state.SkipWithError("decode failed");
        return;
    }
    iconv_t cd = iconv_open(s.iconv, "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        state.SkipWithError("iconv_open failed");
        return;
    }
    std::vector<char> out(units.size() * 4 + 16);
    for (auto _ : state) {
        char* in = reinterpret_cast<char*>(units.data());
        size_t inleft = units.size() * 2;
        char* op = out.data();
        size_t outleft = out.size();
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        benchmark::DoNotOptimize(iconv(cd, &in, &inleft, &op, &outleft));
        benchmark::DoNotOptimize(out.data());
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.bytes.size()));
}

BENCHMARK_CAPTURE(BM_Decode, iso8859_5, 0);
BENCHMARK_CAPTURE(BM_IconvDecode, iso8859_5, 0);
BENCHMARK_CAPTURE(BM_Encode, iso8859_5, 0);
BENCHMARK_CAPTURE(BM_IconvEncode, iso8859_5, 0);
BENCHMARK_CAPTURE(BM_Decode, cp1252, 1);
BENCHMARK_CAPTURE(BM_IconvDecode, cp1252, 1);
BENCHMARK_CAPTURE(BM_Encode, cp1252, 1);
BENCHMARK_CAPTURE(BM_IconvEncode, cp1252, 1);

}  // namespace

BENCHMARK_MAIN();
