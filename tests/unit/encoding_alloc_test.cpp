// SPDX-License-Identifier: MIT
// The encoding exports on every registered encoding, both ways: they give
// what the registry's string converters give (result and text), and once the
// thread's buffers are sized they allocate nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "api/lifecycle.h"
#include "codecs/codecs.h"
#include "encoding/encoding.h"
#include "nessel.h"
#include "test_support.h"

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
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    if (g_counting.load(std::memory_order_relaxed)) g_allocations.fetch_add(1);
    return std::malloc(n == 0 ? 1 : n);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

using namespace nessel;
using nessel::test::show;
using nessel::test::show_bytes;
using nessel::test::utf16;

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
    for (size_t n : {62u, 64u, 300u, 1100u}) {
        in.push_back(std::u16string(n, u'\x00FC'));
        in.push_back(u"a." + std::u16string(n, u'\x4E2D') + u"@b");
    }
    const std::u16string pool =
        u"az09-._@ \x00DF\x00FC\x00E9\x0153\x0434\x03B1\x05D0\x0627\x0E01\x0E48\x1EA1\x1EC7\x0103\x0111"
        u"\x0B95\x0BCD\x0BC6\x0BBE\x0915\x094D\x0C15\x0C95\x3002\xFF20\x3042\x30AB\x4E2D\xAC00\xFF76\xD800";
    std::mt19937 rng(14);
    for (int i = 0; i < 300; ++i) {
        std::u16string s(1 + rng() % 24, u'a');
        for (char16_t& u : s) u = pool[rng() % pool.size()];
        in.push_back(s);
    }
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

}  // namespace

TEST(EncodingExports, EveryEncodingAlikeToItsStringConverterAndAllocationFree) {
    ASSERT_EQ(init_once(), 1);
    const std::vector<std::u16string> units = unit_inputs();
    const std::vector<std::string> bytes = byte_inputs();
    const uint32_t count = encoding_count();
    ASSERT_GT(count, 50u);
    std::vector<nessel_unit> out16(1 << 16);
    std::vector<char> out8(1 << 16);
    std::vector<nessel_unit> in16;
    // Per encoding: the byte inputs and what the encoder made of the units.
    std::vector<std::vector<std::string>> to_decode(count + 1, bytes);

    // One pass over every encoding; with check set the results are compared
    // with the string converters (whose allocations are not counted), with
    // counted set each encoding's allocations must be none.
    auto pass = [&](bool check, bool counted) {
        for (uint32_t et = 1; et <= count; ++et) {
            const std::string name = find_encoding_by_type(et)->name;
            size_t encoded = 0, decoded = 0;
            for (const std::u16string& u : units) {
                in16.assign(u.begin(), u.end());
                in16.push_back(0);
                g_counting = true;
                const int r = unicode2encoding(et, in16.data(), out8.data());
                g_counting = false;
                if (!check) continue;
                std::string want;
                const int w = unicode_to_encoding(et, until_zero(std::u16string_view(u)), want);
                ASSERT_EQ(r, w) << name << " " << show(u);
                ASSERT_EQ(std::string_view(out8.data()), until_zero(std::string_view(want)))
                    << name << " " << show(u);
                if (r != 0) {
                    ++encoded;
                    to_decode[et].push_back(want);
                }
            }
            for (const std::string& b : to_decode[et]) {
                g_counting = true;
                const int r = encoding2unicode(et, b.c_str(), out16.data());
                g_counting = false;
                if (!check) continue;
                std::u16string want;
                const int w = encoding_to_unicode(et, until_zero(std::string_view(b)), want);
                ASSERT_EQ(r, w) << name << " " << show_bytes(b);
                ASSERT_EQ(std::u16string_view(reinterpret_cast<const char16_t*>(out16.data())),
                          until_zero(std::u16string_view(want)))
                    << name << " " << show_bytes(b);
                decoded += r != 0;
            }
            if (check) {
                EXPECT_GT(encoded, 0u) << name;
                EXPECT_GT(decoded, 0u) << name;
            } else if (counted) {
                EXPECT_EQ(g_allocations.load(), 0) << name;
            }
            g_allocations = 0;
        }
    };
    pass(true, false);
    pass(false, false);  // sizes the per-thread buffers of the exports alone
    pass(false, true);
}
