// SPDX-License-Identifier: MIT
// The hot paths: nameprep's shortcuts give what the full pass gives; names
// and every encoding export (unknown enctypes too) convert as the string
// converters do, read nothing past the terminator and allocate nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <cstdlib>
#include <functional>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "api/lifecycle.h"
#include "codecs/codecs.h"
#include "domain/convert_domain.h"
#include "encoding/encoding.h"
#include "nameprep/internal.h"
#include "nameprep/testing.h"
#include "nessel.h"
#include "test_support.h"
#include "zone_fixture.h"
#if !defined(_WIN32)
#include <sys/mman.h>
#include <unistd.h>
#endif

// Counts the allocations of this program while counting is switched on.
// (g++ takes the replaced pair's malloc/free for a mismatch once inlined.)
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};
}  // namespace

void* operator new(std::size_t n) {
    if (g_counting.load(std::memory_order_relaxed)) g_allocations.fetch_add(1);
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
// The nothrow form too: everything the replaced delete frees must come from
// malloc (the library's registry allocates with it).
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    if (g_counting.load(std::memory_order_relaxed)) g_allocations.fetch_add(1);
    return std::malloc(n == 0 ? 1 : n);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

using namespace nessel;
using namespace nessel::test;

namespace {

// Every BMP unit alone and random strings mixing letters, marks,
// delimiters and the units the premapping, folding and reordering touch.
std::vector<std::u16string> raw_names() {
    std::vector<std::u16string> inputs;
    for (uint32_t u = 1; u <= 0xFFFF; ++u) inputs.push_back(std::u16string(1, char16_t(u)));
    const std::u16string pool =
        u"abzAZ09-._@\x00DF\x00C5\x0130\x0131\x0301\x0308\x0327\x0345\x037A\x03A3\x03C2\x0390"
        u"\x0649\x064A\x0627\x0653\x0E01\x0E33\x0E48\x0E4B\x0E4D\x0E32\x1100\x1161\x11A8\xAC00"
        u"\x3002\xFF0E\xFF20\xFE6B\xFF21\x2126\x212B\x1E9B\x0323\x4E2D\x570B\x56FD\x8AAA\x8BF4"
        u"\x3042\x30AC\x309B\xFF76\xFF9E\x00AD\x200B\x2160\x33C6\xFB03\x01C4\x1F88\x0F73\x0F71"
        u"\x0B47\x0B3E\x0BC6\x0BBE\x0D46\x0D3E\x1025\x102E\x1100\x1161\x11A8\x304B\x3099";
    std::mt19937 rng(13);
    for (int i = 0; i < 40000; ++i) inputs.push_back(test::random_text<char16_t>(rng, pool, 12));
    return inputs;
}

// The names as the zone pass sees them: the raw names prepared with the
// address options, plus the domain part after the first "@" of a prepared
// address.
std::vector<std::u16string> prepared_names(const std::vector<std::u16string>& raw) {
    std::vector<std::u16string> names;
    for (const auto& in : raw) {
        std::u16string p;
        if (name_prep(in, p, kAddressPrepFlags, 8192) != 0 || p.empty()) continue;
        const size_t at = p.find(u'@');
        if (at != std::u16string::npos && at + 1 < p.size()) names.push_back(p.substr(at + 1));
        names.push_back(std::move(p));
    }
    return names;
}

}  // namespace

// The nameprep pass's shortcut for text normalization leaves alone, and the
// zone's nameprep pass that is left out for prepared names: each gives what
// the full pass gives.
TEST(NameprepShortcut, AlikeWithAndWithoutIt) {
    ASSERT_EQ(init_once(), 1);
    const std::vector<std::u16string> raw = raw_names(), names = prepared_names(raw);
    size_t taken = 0;
    for (uint32_t flags : {0x000u, 0x001u, 0x0A5u, 0x0ADu, 0x203u, 0x0A7u}) {
        for (const auto& in : raw) {
            char16_t fast[1024], full[1024];
            size_t fast_len = 0, full_len = 0;
            const uint32_t a = prep_detail::prepare(in, fast, 1024, flags, fast_len, true);
            const uint32_t b = prep_detail::prepare(in, full, 1024, flags, full_len, false);
            const bool same_text = std::u16string_view(fast, fast_len) == std::u16string_view(full, full_len);
            ASSERT_TRUE(a == b && (a != 0 || same_text)) << std::hex << flags << " " << test::show(in);
            taken += normalization_keeps_unit(in[0]);
        }
    }
    EXPECT_GT(taken, 0u);
    ASSERT_GT(names.size(), 50000u);
    // Every combination of the nine option bits nameprep reads (0x01..0x200
    // without the unused 0x40).
    for (uint32_t bits = 0; bits < 512; ++bits) {
        const uint32_t flags = (bits & 0x3F) | ((bits & 0x1C0) << 1);
        // Options that rule the zone's shortcut out must really change some
        // name; under the others, every name the shortcut takes stays as it is.
        const bool options_keep = name_prep_keeps_prepared(u"a", flags);
        bool changed = false;
        for (const auto& p : names) {
            if (options_keep && !name_prep_keeps_prepared(p, flags)) continue;
            std::u16string again;
            const uint32_t code = name_prep(p, again, flags, kZonePrepCapacity);
            changed = code != 0 || again != p;
            if (!changed) continue;
            EXPECT_FALSE(options_keep) << "flags " << std::hex << flags << ": " << test::show(p)
                                       << " gives " << std::dec << code << " " << test::show(again);
            break;
        }
        // (The Korean table's units do not survive the first pass, so the
        // shortcut could allow it; it is left out of this check.)
        EXPECT_TRUE(options_keep || changed || (flags & PREP_KOREAN_PREMAP))
            << "flags " << std::hex << flags;
    }
    // The shipped zones (options 0) take the shortcut.
    EXPECT_TRUE(name_prep_keeps_prepared(u"b\x00FC" u"cher.de", 0));
    // Whole conversions through zones of various options.
    for (uint32_t flags : {0x00u, 0x01u, 0xA1u, 0x04u, 0x2A5u}) {
        test::install_zones({{".", "PUNYCODE", "xn--", "", "", "", "", "", "", int32_t(flags)},
                             {"", "race", "ra--", "", "", "", "", "", "", int32_t(flags)}});
        for (size_t i = 0; i < names.size(); i += 7) {
            const std::u16string dotted = names[i] + u".";
            std::string fast, full;
            const char *codec_fast = nullptr, *codec_full = nullptr;
            uint32_t error_fast = 0, error_full = 0;
            const int ok_fast = convert_domain_ace(dotted, true, fast, codec_fast, "UTF-8", error_fast);
            const int ok_full = convert_domain_ace(dotted, false, full, codec_full, "UTF-8", error_full);
            ASSERT_TRUE(ok_fast == ok_full && (ok_fast ? fast == full : error_fast == error_full))
                << std::hex << flags << " " << test::show(dotted);
        }
    }
    release_zone_table();
}

namespace {

// Names and text in the scripts of the registered charsets, labels around
// the 63-character and 1024-byte limits, and random strings of units and
// bytes (separators, ASCII, letters of each script, bytes of every range).
std::vector<std::u16string> unit_inputs() {
    std::vector<std::u16string> in;
    for (const char* s : {"bücher.de", "Example.COM", "user@münchen.de", "中文网.中国", "日本語のテキスト",
                          "한국어.한국", "москва.рф", "ไทย.ไทย", "Tiếng Việt có dấu", "தமிழ்நாடு", "ஸ்ரீ கொ கோ கௌ",
                          "भारत.भारत", "తెలుగు", "ಕನ್ನಡ", "ελληνικά", "עברית", "العربية", "a b", "-_"})
        in.push_back(utf16(s));
    // Every length around the 16-unit steps of the ASCII fast path.
    for (size_t len = 0; len <= 40; ++len)
        for (const char16_t last : {u'z', u'\u00E9', u'\u65E5'}) {
            std::u16string t(len, last);
            for (size_t i = 0; i + 1 < len; ++i) t[i] = static_cast<char16_t>('a' + i % 26);
            in.push_back(t);
        }
    for (size_t n : {62u, 64u, 300u, 1100u}) {
        in.push_back(std::u16string(n, u'\x00FC'));
        in.push_back(u"a." + std::u16string(n, u'\x4E2D') + u"@b");
    }
    const std::u16string pool =
        u"az09-._@ \x00DF\x00FC\x00E9\x0153\x0434\x03B1\x05D0\x0627\x0E01\x0E48\x1EA1\x1EC7\x0103\x0111"
        u"\x0B95\x0BCD\x0BC6\x0BBE\x0915\x094D\x0C15\x0C95\x3002\xFF20\x3042\x30AB\x4E2D\xAC00\xFF76\xD800";
    std::mt19937 rng(14);
    for (int i = 0; i < 300; ++i) in.push_back(test::random_text<char16_t>(rng, pool, 24));
    return in;
}

std::vector<std::string> byte_inputs() {
    std::vector<std::string> in = {"xn--bcher-kva.de", "M2VCM3M8M5N2", "&#97;.&#252;", "\\0x00FC\\0x0062",
                                   "aq8ad6a.AQ8", "\xC3\xBC\xE6\x97\xA5", "\xC0\x80z", "\x1B$B$\"\x1B(B"};
    std::mt19937 rng(41);
    const std::string pool = "aG2Vq8-.@&#;\\0x\x1B$(B\x80\xA1\xA3\xAA\xC3\xD8\xE5\xF7\xFE\xFF";
    for (int i = 0; i < 300; ++i) {
        std::string s(1 + rng() % 24, 'a');
        for (char& c : s) c = rng() % 3 ? pool[rng() % pool.size()] : char(1 + rng() % 255);
        in.push_back(s);
    }
    return in;
}

#if !defined(_WIN32)
// A source copied so that its terminator is the last byte before an
// inaccessible page: an export that reads past the terminator faults.
const char* at_page_end(const void* src, size_t n) {
    static const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    static char* const end = [] {
        char* m = static_cast<char*>(mmap(nullptr, 5 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        if (m == MAP_FAILED || mprotect(m + 4 * page, page, PROT_NONE) != 0) std::abort();
        return m + 4 * page;
    }();
    if (n > 4 * page) std::abort();
    return static_cast<const char*>(std::memcpy(end - n, src, n));
}
#else
const char* at_page_end(const void* src, size_t) { return static_cast<const char*>(src); }
#endif

// What f returns, its allocations counted.
template <class F>
auto counted(F f) {
    g_counting = true;
    const auto r = f();
    g_counting = false;
    return r;
}

}  // namespace

// The hot paths: converting a name, and both encoding exports through every
// encoding, their sources at a page end.  Each call once: an export gives what
// the string converter gives, for which a zero ends the text too.  Then once
// more, counted: no call allocates, whichever calls came before it.
TEST(HotPath, ExportsAlikeToTheStringConvertersAndAllocationFree) {
    ASSERT_EQ(init_once(), 1);
    ASSERT_GT(encoding_count(), 50u);
    test::install_zones({{".de", "PUNYCODE", "xn--"},
                         {".cn", "race", "ra--"},
                         {".jp", "lace", "lq--"},
                         {"example.zz", "racex", "ra--"},
                         {".zz", "cidnuc"}});
    static nessel_unit out16[1 << 16];
    static char out8[1 << 16], codec[256];
    std::vector<std::pair<std::string, std::function<int(bool check)>>> calls;
    for (const std::string& name : std::vector<std::string>{"bücher.de", "www.münchen.de", "中文网.cn", "user@中文.cn",
                                                            "日本語.jp", "ü@example.zz", "ÿя.zz", "müller@bücher.de",
                                                            std::string(300, 'a') + "ü.de", "nothing.here"})
        calls.emplace_back(name, [name, wide = utf16(name)](bool) {
            const auto* in = reinterpret_cast<const nessel_unit*>(wide.c_str());
            return counted([&] {
                return NamePrep_U("UTF-8", in, out16, sizeof out16, codec, sizeof codec, 0) +
                       NamePrep("utf8", name.c_str(), out8, sizeof out8, codec, sizeof codec, 0) +
                       talvex_name_prep_u(in, out16, 1024, 0xA5);
            });
        });
    for (const char* ace : {"xn--bcher-kva.de", "ra--3bs6kzzmrkpa.cn", "xn--bcher-kv.de", "www.example.com"})
        for (const char* c : {"amc-z", "race", "racex", "lace"})
            calls.emplace_back(ace, [ace, c](bool) { return counted([&] { return AceToUnicode(c, ace, out16, 0); }); });
    const std::vector<std::u16string> units = unit_inputs();
    std::vector<size_t> encoded(encoding_count() + 2), decoded(encoding_count() + 2);  // successes per encoding
    // Enctypes 0 and one past the last are unknown: both exports fail and
    // leave an empty text, as the string converters do.
    for (uint32_t et = 0; et <= encoding_count() + 1; ++et) {
        const EncodingEntry* entry = find_encoding_by_type(et);
        const std::string name = entry != nullptr ? entry->name : "unknown";
        for (const std::u16string& u : units) {
            calls.emplace_back(name, [et, u, &encoded](bool check) {
                const auto* src = reinterpret_cast<const nessel_unit*>(at_page_end(u.c_str(), 2 * (u.size() + 1)));
                out8[0] = '*';  // stale: a failure must empty it
                const int r = counted([&] { return unicode2encoding(et, src, out8); });
                if (!check) return r;
                const std::u16string text(until_zero(std::u16string_view(u)));
                std::string want, whole;
                const int w = unicode_to_encoding(et, text, want);
                EXPECT_TRUE(r == w && std::string_view(out8) == until_zero(std::string_view(want)) &&
                            unicode_to_encoding(et, text + u'\0' + u"q\u4E2D", whole) == w && whole == want)
                    << show(text) << " gives " << r << " " << show_bytes(out8) << "; the converter " << w << " "
                    << show_bytes(want);
                encoded[et] += r != 0;
                return r;
            });
        }
        // The byte inputs, and the unit inputs as the string converter encodes them.
        std::vector<std::string> bytes = byte_inputs();
        for (const std::u16string& u : units)
            if (std::string b; unicode_to_encoding(et, u, b) == 1) bytes.push_back(b);
        for (const std::string& b : bytes) {
            calls.emplace_back(name, [et, b, &decoded](bool check) {
                out16[0] = u'*';  // stale: a failure must empty it
                const int r = counted([&] { return encoding2unicode(et, at_page_end(b.c_str(), b.size() + 1), out16); });
                if (!check) return r;
                const std::string text(until_zero(std::string_view(b)));
                const std::u16string_view out(reinterpret_cast<const char16_t*>(out16));
                std::u16string want, whole;
                const int w = encoding_to_unicode(et, text, want);
                EXPECT_TRUE(r == w && out == until_zero(std::u16string_view(want)) &&
                            encoding_to_unicode(et, text + '\0' + "q\xC3\xA9", whole) == w && whole == want)
                    << show_bytes(text) << " gives " << r << " " << show(std::u16string(out)) << "; the converter " << w << " "
                    << show(want);
                decoded[et] += r != 0;
                return r;
            });
        }
    }
    for (const auto& [what, call] : calls) {
        call(true);
        ASSERT_FALSE(HasFailure()) << "in " << what;  // the first mismatch tells enough
    }
    EXPECT_GT(g_allocations.load(), 0) << "the counter sees the buffers being sized";
    for (const auto& [what, call] : calls) {
        g_allocations = 0;
        call(false);
        if (g_allocations.load() != 0) ADD_FAILURE() << what << " allocates";
    }
    for (uint32_t et = 1; et <= encoding_count(); ++et)
        EXPECT_TRUE(encoded[et] > 0 && decoded[et] > 0) << find_encoding_by_type(et)->name;
    release_zone_table();
}
