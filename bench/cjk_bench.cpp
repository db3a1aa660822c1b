// SPDX-License-Identifier: MIT
// bench/cjk_bench.cpp: the CJK converters beside the C library's iconv(3) on
// the same lines of about 100 characters (one ASCII letter in five, the rest
// spread over the charset's table), both directions.  bytes_per_second counts
// the charset's bytes in both directions, so the two sides compare directly.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>
#include <vector>

#include "data/big5.h"
#include "data/gbk.h"
#include "data/ksc.h"
#include "data/jisx0208.h"
#include "encoding/charsets.h"
#include "encoding/encoding.h"

namespace {

using nessel::FromUnicodeFn;
using nessel::ToUnicodeFn;

struct Charset {
    const char* name;
    const char* iconv_name;
    ToUnicodeFn to;
    FromUnicodeFn from;
    const uint16_t* table;
    size_t table_size;
};

const Charset kCharsets[] = {
    {"Big5", "BIG5", nessel::big5_to_unicode, nessel::big5_from_unicode, nessel::data::big5_to_ucs, std::size(nessel::data::big5_to_ucs)},
    {"GBK", "GBK", nessel::gbk_to_unicode, nessel::gbk_from_unicode, nessel::data::gbk_to_ucs, std::size(nessel::data::gbk_to_ucs)},
    {"Shift_JIS", "SJIS", nessel::sjis_to_unicode, nessel::sjis_from_unicode, nessel::data::jisx0208_to_ucs, std::size(nessel::data::jisx0208_to_ucs)},
    {"EUC-JP", "EUC-JP", nessel::eucjp_to_unicode, nessel::eucjp_from_unicode, nessel::data::jisx0208_to_ucs, std::size(nessel::data::jisx0208_to_ucs)},
    {"jis", "ISO-2022-JP", nessel::jis_to_unicode, nessel::jis_from_unicode, nessel::data::jisx0208_to_ucs, std::size(nessel::data::jisx0208_to_ucs)},
    {"EUC-KR", "CP949", nessel::ksc_to_unicode, nessel::ksc_from_unicode, nessel::data::ksc_to_ucs, std::size(nessel::data::ksc_to_ucs)},
};

std::string iconv_convert(iconv_t cd, const std::string& in, size_t room) {
    std::string out(room, '\0');
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* ip = const_cast<char*>(in.data());
    size_t il = in.size();
    char* op = out.data();
    size_t ol = out.size();
    iconv(cd, &ip, &il, &op, &ol);
    iconv(cd, nullptr, nullptr, &op, &ol);
    out.resize(out.size() - ol);
    return out;
}

// A line that both converters handle identically: 100 characters, every
// fifth an ASCII letter, the others table characters that iconv also maps
// to the same bytes.
struct Line {
    std::u16string units;
    std::string bytes;
    std::string utf16le;
};

Line make_line(const Charset& cs) {
    iconv_t check = iconv_open(cs.iconv_name, "UTF-16LE");
    Line line;
    size_t pos = 0;
    while (line.units.size() < 100) {
        char16_t u;
        if (line.units.size() % 5 == 4) {
            u = static_cast<char16_t>('a' + line.units.size() % 26);
        } else {
            do {
                pos = (pos + 97) % cs.table_size;
                u = cs.table[pos];
            } while (u == 0xFFFD || u < 0x100 || (u >= 0xFF61 && u <= 0xFF9F));
        }
        std::u16string probe = line.units + u;
        std::string ours;
        if (!cs.from(probe, ours)) continue;
        std::string le;
        for (char16_t c : probe) {
            le.push_back(static_cast<char>(c & 0xFF));
            le.push_back(static_cast<char>(c >> 8));
        }
        std::string theirs = iconv_convert(check, le, le.size() * 4 + 16);
        if (theirs.ends_with("\x1B(B") && !ours.ends_with("\x1B(B")) theirs.resize(theirs.size() - 3);
        if (theirs != ours) continue;
        line.units = probe;
        line.bytes = ours;
        line.utf16le = le;
    }
    iconv_close(check);
    return line;
}

void BM_Decode(benchmark::State& state, const Charset* cs) {
    Line line = make_line(*cs);
    std::u16string out;
    for (auto _ : state) {
        int r = cs->to(line.bytes, out);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.bytes.size()));
}

void BM_Encode(benchmark::State& state, const Charset* cs) {
    Line line = make_line(*cs);
    std::string out;
    for (auto _ : state) {
        int r = cs->from(line.units, out);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.bytes.size()));
}

void BM_IconvDecode(benchmark::State& state, const Charset* cs) {
    Line line = make_line(*cs);
    iconv_t cd = iconv_open("UTF-16LE", cs->iconv_name);
    std::string out(line.bytes.size() * 4 + 16, '\0');
    for (auto _ : state) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* ip = line.bytes.data();
        size_t il = line.bytes.size();
        char* op = out.data();
        size_t ol = out.size();
        size_t r = iconv(cd, &ip, &il, &op, &ol);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(out.data());
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.bytes.size()));
}

void BM_IconvEncode(benchmark::State& state, const Charset* cs) {
    Line line = make_line(*cs);
    iconv_t cd = iconv_open(cs->iconv_name, "UTF-16LE");
    std::string out(line.utf16le.size() * 4 + 16, '\0');
    for (auto _ : state) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* ip = line.utf16le.data();
        size_t il = line.utf16le.size();
        char* op = out.data();
        size_t ol = out.size();
        size_t r = iconv(cd, &ip, &il, &op, &ol);
        iconv(cd, nullptr, nullptr, &op, &ol);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(out.data());
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.bytes.size()));
}

int register_benchmarks() {
    for (const Charset& cs : kCharsets) {
        std::string n = cs.name;
        benchmark::RegisterBenchmark(("decode/" + n + "/nessel").c_str(), BM_Decode, &cs);
        benchmark::RegisterBenchmark(("decode/" + n + "/iconv").c_str(), BM_IconvDecode, &cs);
        benchmark::RegisterBenchmark(("encode/" + n + "/nessel").c_str(), BM_Encode, &cs);
        benchmark::RegisterBenchmark(("encode/" + n + "/iconv").c_str(), BM_IconvEncode, &cs);
    }
    return 0;
}
const int registered = register_benchmarks();

}  // namespace

BENCHMARK_MAIN();
