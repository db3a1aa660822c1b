// SPDX-License-Identifier: MIT
// The C++ interface against the C exports it calls, operation by operation,
// on the same names and texts, short and long: names to ACE (UTF-16 and
// UTF-8 in), ACE back to text, nameprep, text to and from GBK by enctype and
// by name.  The C caller of each operation does what a C program must to get
// the same result: UTF-8 input goes through encoding2unicode("utf8") first,
// an encoding name through str2enctype, and its output lands in a buffer as
// small as the C++ layer's first attempt.  The C++ side runs the owned form
// (a new string per call), the append form into a string that the loop
// reuses and, for the charsets, the into form (a nessel::buffer the loop
// reuses).  A C caller brings its own buffer, so the into form is compared
// with the C call itself; the other forms with the C call whose result is
// then copied the same way: "C + string" (into a new string) and
// "C + append" (appended to the reused string).  Runs on the shipped
// default configuration in a private, temporary store.
//
//   cxx_api_bench [benchmark options]
//   valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file=DIR/cg.%p
//       cxx_api_bench --callgrind=20    (dumps "op|impl|calls" per case; then
//       python3 bench/peer/callgrind_summary.py DIR/cg.*  gives Ir per call)
#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "nessel.hpp"

namespace {

// The private store's directory, removed when the program ends (the library
// object itself is never destroyed, so the store may still be open: the
// files are unlinked all the same).
struct private_home {
    char path[32] = "/tmp/nessel-bench-XXXXXX";
    ~private_home() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

const nessel::library& lib() {
    static private_home home;
    static const nessel::library* instance = [] {
        if (mkdtemp(home.path) == nullptr || setenv("HOME", home.path, 1) != 0 ||
            setenv("XDG_CONFIG_HOME", "", 1) != 0 || chdir(NESSEL_SOURCE_DIR "/data") != 0)
            std::abort();
        auto* l = new nessel::library;
        if (!*l) std::abort();
        return l;
    }();
    return *instance;
}

const std::vector<std::string> kShortNames = {"bücher.de", "www.münchen.de", "中文网.中国",
                                              "user@中文.cn", "москва.рф"};
const std::vector<std::string> kLongNames = {
    "donaudampfschifffahrtsgesellschaftskapitänsmützenträgerverein.österreich-grüße.at",
    "北京市海淀区中关村大街科技园区软件开发中心第一研究所.网络信息中心.中国",
    "info@ελληνικά-παραδείγματα-μακρύτερων-ονομάτων.δοκιμή.gr"};
const std::string kShortText = "中文网中国中文网中国";  // 10 units
const std::string kLongText = [] {
    std::string s;
    for (int i = 0; i < 50; ++i) s += kShortText;
    return s;  // 500 units
}();

std::u16string units(const std::string& utf8) {
    std::u16string s;
    nessel_unit buf[4096];
    if (encoding2unicode(str2enctype("utf8"), utf8.c_str(), buf) == 0) std::abort();
    for (const nessel_unit* p = buf; *p; ++p) s.push_back(static_cast<char16_t>(*p));
    return s;
}
std::vector<std::u16string> units(const std::vector<std::string>& v) {
    std::vector<std::u16string> out;
    for (const auto& s : v) out.push_back(units(s));
    return out;
}
const nessel_unit* c16(const std::u16string& s) {
    return reinterpret_cast<const nessel_unit*>(s.c_str());
}
std::vector<std::string> ace_of(const std::vector<std::string>& names) {
    std::vector<std::string> out;
    for (const auto& n : names) out.push_back(lib().to_ace(n)->text);
    return out;
}
std::string gbk_of(const std::string& text) { return lib().encode(text, "gbk").value(); }

constexpr std::size_t kTextsPerPass = 5;

// Output of the C callers: as large as the C++ layer's first attempt.
nessel_unit g_units[8192];
char g_bytes[16384];
const uint32_t kUtf8 = 5, kGbk = 20;  // enctypes of "utf8" and "GBK"

// One case: a pass over its items, giving the number of calls made.
struct Case {
    std::string op, impl;
    std::function<std::size_t()> pass;
};

template <typename Items, typename Fn>
std::function<std::size_t()> over(const Items& items, Fn fn) {
    return [&items, fn] {
        for (const auto& item : items) benchmark::DoNotOptimize(fn(item));
        return items.size();
    };
}

// The charset conversions, by enctype or by name, each form in code of
// its own (no call form pays for the registers of another).
template <bool by_name>
void add_charset_cases(std::vector<Case>& cases, const std::string& size,
                       const std::vector<std::u16string>& t16, const std::vector<std::string>& gbk) {
    static std::u16string reused16;
    static std::string reused8;
    static nessel::buffer bytes_buf;
    static nessel::buffer16 units_buf;
    const auto& l = lib();
    const std::string how = by_name ? " name" : " enctype";
        cases.push_back({"encode" + how + size, "C", over(t16, [](const std::u16string& t) {
                             const uint32_t type = by_name ? str2enctype("gbk") : kGbk;
                             return unicode2encoding(type, c16(t), g_bytes);
                         })});
        // The C call with its result copied into a new string: what the
        // C++ call's new string is fairly compared with.
        cases.push_back({"encode" + how + size, "C + string",
                         over(t16, [](const std::u16string& t) {
                             const uint32_t type = by_name ? str2enctype("gbk") : kGbk;
                             if (unicode2encoding(type, c16(t), g_bytes) == 0)
                                 return std::string();
                             return std::string(g_bytes);
                         })});
        cases.push_back({"encode" + how + size, "C++",
                         over(t16, [&l](const std::u16string& t) {
                             return by_name ? l.encode(std::u16string_view(t), "gbk")
                                            : l.encode(std::u16string_view(t), kGbk);
                         })});
        cases.push_back({"encode" + how + size, "C + append", over(t16, [](const std::u16string& t) {
                             reused8.clear();
                             const uint32_t type = by_name ? str2enctype("gbk") : kGbk;
                             if (unicode2encoding(type, c16(t), g_bytes) == 0) return std::size_t{0};
                             reused8.append(g_bytes);
                             return reused8.size();
                         })});
        cases.push_back({"encode" + how + size, "C++ append",
                         over(t16, [&l](const std::u16string& t) {
                             reused8.clear();
                             return by_name
                                        ? l.append_encoded(reused8, std::u16string_view(t), "gbk")
                                        : l.append_encoded(reused8, std::u16string_view(t), kGbk);
                         })});
        cases.push_back({"encode" + how + size, "C++ buffer",
                         over(t16, [&l](const std::u16string& t) {
                             return by_name
                                        ? l.encode_into(bytes_buf, std::u16string_view(t), "gbk")
                                        : l.encode_into(bytes_buf, std::u16string_view(t), kGbk);
                         })});
        cases.push_back({"decode" + how + size, "C", over(gbk, [](const std::string& b) {
                             const uint32_t type = by_name ? str2enctype("gbk") : kGbk;
                             return encoding2unicode(type, b.c_str(), g_units);
                         })});
        cases.push_back({"decode" + how + size, "C + string",
                         over(gbk, [](const std::string& b) {
                             const uint32_t type = by_name ? str2enctype("gbk") : kGbk;
                             if (encoding2unicode(type, b.c_str(), g_units) == 0)
                                 return std::u16string();
                             return std::u16string(reinterpret_cast<const char16_t*>(g_units));
                         })});
        cases.push_back({"decode" + how + size, "C++",
                         over(gbk, [&l](const std::string& b) {
                             return by_name ? l.decode16(b, "gbk") : l.decode16(b, kGbk);
                         })});
        cases.push_back({"decode" + how + size, "C + append", over(gbk, [](const std::string& b) {
                             reused16.clear();
                             const uint32_t type = by_name ? str2enctype("gbk") : kGbk;
                             if (encoding2unicode(type, b.c_str(), g_units) == 0)
                                 return std::size_t{0};
                             reused16.append(reinterpret_cast<const char16_t*>(g_units));
                             return reused16.size();
                         })});
        cases.push_back({"decode" + how + size, "C++ append",
                         over(gbk, [&l](const std::string& b) {
                             reused16.clear();
                             return by_name ? l.append_decoded(reused16, b, "gbk")
                                            : l.append_decoded(reused16, b, kGbk);
                         })});
        cases.push_back({"decode" + how + size, "C++ buffer",
                         over(gbk, [&l](const std::string& b) {
                             return by_name ? l.decode_into(units_buf, b, "gbk")
                                            : l.decode_into(units_buf, b, kGbk);
                         })});
}

std::vector<Case> make_cases() {
    static const auto short16 = units(kShortNames), long16 = units(kLongNames);
    static const auto short_ace = ace_of(kShortNames), long_ace = ace_of(kLongNames);
    // Each text several times in a pass, so that the pass's own cost (the
    // std::function call around it) is shared by several calls, as for names.
    static const std::vector<std::u16string> short_text(kTextsPerPass, units(kShortText)),
        long_text(kTextsPerPass, units(kLongText));
    static const std::vector<std::string> short_text8(kTextsPerPass, kShortText),
        long_text8(kTextsPerPass, kLongText);
    static const std::vector<std::string> short_gbk(kTextsPerPass, gbk_of(kShortText)),
        long_gbk(kTextsPerPass, gbk_of(kLongText));
    static std::u16string reused16;
    static std::string reused8;
    std::vector<Case> cases;
    const auto& l = lib();
    for (bool is_long : {false, true}) {
        const std::string size = is_long ? " long" : " short";
        const auto& n16 = is_long ? long16 : short16;
        const auto& n8 = is_long ? kLongNames : kShortNames;
        const auto& ace = is_long ? long_ace : short_ace;
        const auto& t16 = is_long ? long_text : short_text;
        const auto& t8 = is_long ? long_text8 : short_text8;
        const auto& gbk = is_long ? long_gbk : short_gbk;
        auto c_ace = [](const nessel_unit* in) {
            char codec[256];
            return NamePrep_U("UTF-8", in, g_units, 512 * sizeof(nessel_unit), codec,
                              sizeof codec, 0);
        };
        cases.push_back({"to_ace u16" + size, "C", over(n16, [=](const std::u16string& n) {
                             return c_ace(c16(n));
                         })});
        cases.push_back({"to_ace u16" + size, "C + string", over(n16, [=](const std::u16string& n) {
                             if (c_ace(c16(n)) != 0) return std::u16string();
                             return std::u16string(reinterpret_cast<const char16_t*>(g_units));
                         })});
        cases.push_back({"to_ace u16" + size, "C++", over(n16, [&l](const std::u16string& n) {
                             return l.to_ace(std::u16string_view(n));
                         })});
        cases.push_back({"to_ace u8" + size, "C", over(n8, [=](const std::string& n) {
                             nessel_unit in[1024];
                             if (encoding2unicode(kUtf8, n.c_str(), in) == 0) return 6001u;
                             return c_ace(in);
                         })});
        cases.push_back({"to_ace u8" + size, "C + string", over(n8, [=](const std::string& n) {
                             nessel_unit in[1024];
                             if (encoding2unicode(kUtf8, n.c_str(), in) == 0 || c_ace(in) != 0)
                                 return std::string();
                             const nessel_unit *begin = g_units, *end = g_units;
                             while (*end) ++end;
                             return std::string(begin, end);  // ASCII, a byte a unit
                         })});
        cases.push_back({"to_ace u8" + size, "C++", over(n8, [&l](const std::string& n) {
                             return l.to_ace(std::string_view(n));
                         })});
        cases.push_back({"to_unicode u16" + size, "C", over(ace, [](const std::string& a) {
                             return AceToUnicode("amc-z", a.c_str(), g_units, 0);
                         })});
        cases.push_back({"to_unicode u16" + size, "C + string", over(ace, [](const std::string& a) {
                             if (AceToUnicode("amc-z", a.c_str(), g_units, 0) != 0)
                                 return std::u16string();
                             return std::u16string(reinterpret_cast<const char16_t*>(g_units));
                         })});
        cases.push_back({"to_unicode u16" + size, "C++", over(ace, [&l](const std::string& a) {
                             return l.to_unicode16(a);
                         })});
        cases.push_back({"to_unicode u16" + size, "C + append", over(ace, [](const std::string& a) {
                             reused16.clear();
                             if (AceToUnicode("amc-z", a.c_str(), g_units, 0) != 0) return std::size_t{0};
                             reused16.append(reinterpret_cast<const char16_t*>(g_units));
                             return reused16.size();
                         })});
        cases.push_back({"to_unicode u16" + size, "C++ append",
                         over(ace, [&l](const std::string& a) {
                             reused16.clear();
                             return l.append_unicode(reused16, a);
                         })});
        cases.push_back({"to_unicode u8" + size, "C", over(ace, [](const std::string& a) {
                             return AceToNative("amc-z", a.c_str(), g_bytes, "utf8", 0);
                         })});
        cases.push_back({"to_unicode u8" + size, "C++", over(ace, [&l](const std::string& a) {
                             return l.to_unicode(a);
                         })});
        cases.push_back({"to_unicode u8" + size, "C + append", over(ace, [](const std::string& a) {
                             reused8.clear();
                             if (AceToNative("amc-z", a.c_str(), g_bytes, "utf8", 0) != 0)
                                 return std::size_t{0};
                             reused8.append(g_bytes);
                             return reused8.size();
                         })});
        cases.push_back({"to_unicode u8" + size, "C++ append",
                         over(ace, [&l](const std::string& a) {
                             reused8.clear();
                             return l.append_unicode(reused8, a);
                         })});
        cases.push_back({"nameprep u16" + size, "C", over(n16, [](const std::u16string& n) {
                             return talvex_name_prep_u(c16(n), g_units, 1024, 0xA5);
                         })});
        cases.push_back({"nameprep u16" + size, "C + string", over(n16, [](const std::u16string& n) {
                             if (talvex_name_prep_u(c16(n), g_units, 1024, 0xA5) != 0)
                                 return std::u16string();
                             return std::u16string(reinterpret_cast<const char16_t*>(g_units));
                         })});
        cases.push_back({"nameprep u16" + size, "C++", over(n16, [&l](const std::u16string& n) {
                             return l.nameprep(std::u16string_view(n));
                         })});
        add_charset_cases<false>(cases, size, t16, gbk);
        add_charset_cases<true>(cases, size, t16, gbk);
        // UTF-8 text to GBK: the C caller decodes the UTF-8 first.
        cases.push_back({"encode u8" + size, "C", over(t8, [](const std::string& t) {
                             if (encoding2unicode(kUtf8, t.c_str(), g_units) == 0) return 0;
                             return unicode2encoding(kGbk, g_units, g_bytes);
                         })});
        cases.push_back({"encode u8" + size, "C + string", over(t8, [](const std::string& t) {
                             if (encoding2unicode(kUtf8, t.c_str(), g_units) == 0 ||
                                 unicode2encoding(kGbk, g_units, g_bytes) == 0)
                                 return std::string();
                             return std::string(g_bytes);
                         })});
        cases.push_back({"encode u8" + size, "C++", over(t8, [&l](const std::string& t) {
                             return l.encode(std::string_view(t), kGbk);
                         })});
    }
    return cases;
}

}  // namespace

int main(int argc, char** argv) {
    lib();  // the start (a first import of the configuration) is not measured
    unsigned callgrind_passes = 0;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--callgrind=", 12) == 0)
            callgrind_passes = static_cast<unsigned>(std::strtoul(argv[i] + 12, nullptr, 10));
        else
            args.push_back(argv[i]);
    }
    const std::vector<Case> cases = make_cases();
    if (callgrind_passes > 0) {
        for (const Case& c : cases) {
            c.pass();
            c.pass();
            std::size_t calls = 0;
            CALLGRIND_TOGGLE_COLLECT;
            for (unsigned i = 0; i < callgrind_passes; ++i) calls += c.pass();
            CALLGRIND_TOGGLE_COLLECT;
            const std::string label = c.op + "|" + c.impl + "|" + std::to_string(calls);
            CALLGRIND_DUMP_STATS_AT(label.c_str());
        }
        return 0;
    }
    for (const Case& c : cases) {
        benchmark::RegisterBenchmark((c.op + "/" + c.impl).c_str(), [&c](benchmark::State& s) {
            std::size_t calls = 0;
            for (auto _ : s) calls += c.pass();
            s.SetItemsProcessed(static_cast<int64_t>(calls));
        });
    }
    int n = static_cast<int>(args.size());
    benchmark::Initialize(&n, args.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
